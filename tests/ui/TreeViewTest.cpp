// The tree of the widget contract: depth-first indexes through inserts and
// deletes, item properties, and the right press.
#include "text/Gbk.h"
#include "ui/TreeView.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace morvane;

namespace {

// The texts of all items in depth-first order, read through the indexes.
std::vector<std::string> walk(const TreeView &tree)
{
    std::vector<std::string> texts;
    for (int i = 0; i < tree.treeItemCount(); ++i)
        texts.push_back(gbkToUtf8(tree.treeItemText(i)));
    return texts;
}

} // namespace

TEST(TreeView, IndexesFollowDepthFirstOrderThroughInsertsAndDeletes)
{
    TreeView tree;
    EXPECT_EQ(tree.treeAddItem(-1, "localhost", 3), 0);
    EXPECT_EQ(tree.treeAddItem(0, "a", 0, 4), 1);
    EXPECT_EQ(tree.treeAddItem(0, "b", 0, 4), 2);
    EXPECT_EQ(tree.treeAddItem(0, "c", 0, 4), 3);
    // Tables of "a" go between a and b and shift everything behind them.
    EXPECT_EQ(tree.treeAddItem(1, "a1", 1), 2);
    EXPECT_EQ(tree.treeAddItem(1, "a2", 1), 3);
    EXPECT_EQ(tree.treeAddItem(4, "b1", 1), 5);
    EXPECT_EQ(walk(tree), (std::vector<std::string>{"localhost", "a", "a1", "a2", "b", "b1", "c"}));
    EXPECT_EQ(tree.treeParent(0), -1);
    EXPECT_EQ(tree.treeParent(3), 1);
    EXPECT_EQ(tree.treeParent(5), 4);
    EXPECT_EQ(tree.treeParent(6), 0);
    EXPECT_EQ(tree.treeParent(99), -1);
    // A parent naming no item gives a top-level item, after everything.
    EXPECT_EQ(tree.treeAddItem(42, "other", 3), 7);
    EXPECT_EQ(tree.treeParent(7), -1);

    tree.treeDeleteItem(1); // "a" with its two tables
    EXPECT_EQ(walk(tree), (std::vector<std::string>{"localhost", "b", "b1", "c", "other"}));
    EXPECT_EQ(tree.treeParent(2), 1);
    EXPECT_EQ(tree.treeAddItem(3, "c1", 1), 4);
    EXPECT_EQ(walk(tree), (std::vector<std::string>{"localhost", "b", "b1", "c", "c1", "other"}));

    tree.treeClear();
    EXPECT_EQ(tree.treeItemCount(), 0);
    EXPECT_EQ(tree.treeAddItem(-1, "x", 3), 0);
}

TEST(TreeView, AbsentItemsReadAsEmptyAndChangeNothing)
{
    TreeView tree;
    tree.treeAddItem(-1, "root", 3);
    EXPECT_EQ(tree.treeItemText(5), "");
    EXPECT_EQ(tree.treeItemValue(-1), 0);
    EXPECT_EQ(tree.treeCurrentItem(), -1);
    tree.treeSetItemValue(5, 1);
    tree.treeSetImage(-1, 2);
    tree.treeDeleteItem(9);
    tree.treeExpand(7);
    EXPECT_EQ(tree.treeItemCount(), 1);
}

TEST(TreeView, ItemPropertiesAndGbkTexts)
{
    TreeView tree;
    tree.treeAddItem(-1, "localhost", 3);
    const int db = tree.treeAddItem(0, "商店"_gbk, 0, 4);
    EXPECT_EQ(tree.treeItemText(db), "商店"_gbk);
    EXPECT_EQ(tree.treeImage(db), 0);
    EXPECT_EQ(tree.treeSelectedImage(db), 4);
    EXPECT_EQ(tree.treeItemValue(db), 0);
    tree.treeSetItemValue(db, 1);
    tree.treeSetImage(db, 2);
    EXPECT_EQ(tree.treeItemValue(db), 1);
    EXPECT_EQ(tree.treeImage(db), 2);
    EXPECT_EQ(tree.treeSelectedImage(db), 4);
    const int table = tree.treeAddItem(db, "goods", 1);
    EXPECT_EQ(tree.treeSelectedImage(table), 1);
    tree.treeExpand(0);
    EXPECT_TRUE(tree.treeIsExpanded(0));
    tree.treeSetItemText(table, "renamed");
    EXPECT_EQ(tree.treeItemText(table), "renamed");
}

TEST(TreeView, RightPressMakesTheItemCurrentFirstAndEmptySpaceDoesNothing)
{
    TreeView tree;
    tree.resize(200, 300);
    tree.treeAddItem(-1, "localhost", 3);
    tree.treeAddItem(0, "a", 0, 4);
    tree.treeAddItem(0, "b", 0, 4);
    tree.treeExpand(0);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.treeSetCurrentItem(1);

    int currentWhenSignalled = -2;
    QObject::connect(&tree, &TreeView::rightPressed, [&] { currentWhenSignalled = tree.treeCurrentItem(); });
    QSignalSpy spy(&tree, &TreeView::rightPressed);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.treeItemRect(2).center());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(currentWhenSignalled, 2);

    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, QPoint(100, 290));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(tree.treeCurrentItem(), 2);
}

TEST(TreeView, DoubleClickSignalsAfterTheFirstClickMadeTheItemCurrent)
{
    TreeView tree;
    tree.resize(200, 300);
    tree.treeAddItem(-1, "localhost", 3);
    tree.treeAddItem(0, "a", 0, 4);
    tree.treeExpand(0);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    int current = -2;
    QObject::connect(&tree, &TreeView::doubleClicked, [&] { current = tree.treeCurrentItem(); });
    const QPoint at = tree.treeItemRect(1).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(current, 1);
}

TEST(TreeView, ManyItemsStayCheapToAddAndAddress)
{
    // Tables added to an early database shift the later items; the indexes
    // must stay right without walking the tree per call.
    TreeView tree;
    tree.treeAddItem(-1, "localhost", 3);
    for (int i = 0; i < 50; ++i)
        tree.treeAddItem(0, "db" + std::to_string(i), 0, 4);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(tree.treeAddItem(1, "t" + std::to_string(i), 1), 2 + i);
    EXPECT_EQ(tree.treeItemText(20002), "db1");
    EXPECT_EQ(tree.treeParent(20002), 0);
    EXPECT_EQ(tree.treeParent(20001), 1);
}

TEST(TreeView, LinesJoinTheItemsAndNoItemHasAnExpandButton)
{
    TreeView tree;
    tree.resize(200, 300);
    tree.treeAddItem(-1, "localhost", 3);
    const int a = tree.treeAddItem(0, "a", 0, 4);
    tree.treeAddItem(a, "a1", 1); // a has children but stays collapsed
    const int b = tree.treeAddItem(0, "b", 0, 4);
    const int c = tree.treeAddItem(0, "c", 0, 4);
    tree.treeExpand(0);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    const QImage shot = tree.viewport()->grab().toImage();

    // The area left of an item, where a tree draws its lines and buttons.
    auto branches = [&](int item) {
        const QRect r = tree.treeItemRect(item);
        return shot.copy(QRect(0, r.top(), r.left(), r.height()));
    };
    auto inked = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 200;
        return n;
    };
    ASSERT_GT(tree.treeItemRect(a).left(), 0);
    EXPECT_GT(inked(branches(b)), 0) << "no line beside a middle item";
    EXPECT_GT(inked(branches(c)), 0) << "no line beside the last item";
    // A collapsed item with children looks like a sibling without any.
    EXPECT_EQ(branches(a), branches(b));
    // The last item's line stops at its middle.
    EXPECT_NE(branches(c), branches(b));
    // Nothing left of the top-level item.
    EXPECT_EQ(tree.treeItemRect(0).left(), 0);
}

TEST(TreeView, IndexesStayRightThroughAnyMixOfChangesAndLookups)
{
    // Random adds (often many in a row under one parent), deletes and
    // lookups, each checked against the tree's own depth-first walk.
    TreeView tree;
    std::mt19937 random(7);
    int serial = 0;
    const auto order = [&] {
        std::vector<QTreeWidgetItem *> items;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it)
            items.push_back(*it);
        return items;
    };
    const auto position = [](const std::vector<QTreeWidgetItem *> &items, const QTreeWidgetItem *item) {
        return item ? int(std::find(items.begin(), items.end(), item) - items.begin()) : -1;
    };
    for (int step = 0; step < 3000; ++step) {
        const int count = tree.treeItemCount();
        const int kind = int(random() % 10);
        if (kind < 6 || count == 0) {
            // Parent: none, out of range, or an item; a run of children.
            const int parent = count == 0 || kind == 0 ? -1
                               : kind == 1             ? count + 3
                                                       : int(random() % unsigned(count));
            const int run = kind == 5 ? 20 : 1;
            for (int k = 0; k < run; ++k) {
                const std::string text = "i" + std::to_string(serial++);
                const int at = tree.treeAddItem(parent, text, 1);
                const std::vector<QTreeWidgetItem *> items = order();
                ASSERT_GE(at, 0);
                ASSERT_LT(at, int(items.size()));
                ASSERT_EQ(gbkToUtf8(toGbk(items[std::size_t(at)]->text(0))), text) << "step " << step;
            }
        } else if (kind < 8) {
            tree.treeDeleteItem(int(random() % unsigned(count)));
            ASSERT_EQ(tree.treeItemCount(), int(order().size()));
        } else {
            const int item = int(random() % unsigned(count));
            const std::vector<QTreeWidgetItem *> items = order();
            tree.treeSetCurrentItem(item);
            ASSERT_EQ(tree.currentItem(), items[std::size_t(item)]);
            ASSERT_EQ(tree.treeCurrentItem(), item);
            ASSERT_EQ(tree.treeParent(item), position(items, items[std::size_t(item)]->parent()));
            ASSERT_EQ(tree.treeChildCount(item), items[std::size_t(item)]->childCount());
        }
        if (step % 100 == 99) {
            const std::vector<QTreeWidgetItem *> items = order();
            ASSERT_EQ(tree.treeItemCount(), int(items.size()));
            for (int i = 0; i < int(items.size()); ++i) {
                ASSERT_EQ(tree.treeItemText(i), toGbk(items[std::size_t(i)]->text(0))) << i;
                ASSERT_EQ(tree.treeParent(i), position(items, items[std::size_t(i)]->parent())) << i;
            }
        }
        if (step == 1500) {
            tree.treeClear();
            ASSERT_EQ(tree.treeAddItem(-1, "again", 3), 0);
        }
    }
}
