#include "ui/FormBuilder.h"

#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/TreeView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>
#include <string_view>
#include <vector>

namespace morvane {

namespace {

QString designText(const char *utf8)
{
    QString s = QString::fromUtf8(utf8);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

// A label of several lines that stands beside several boxes: its lines keep
// the design's pitch whatever the font's own line height, so each line
// stays beside its box.
class PitchedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QStringList lines = text().split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QRect(0, i * kDesignLinePitch, width(), kDesignLinePitch),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine,
                             lines[i]);
    }
};

QWidget *createControl(const ControlSpec &spec)
{
    const QString text = designText(spec.text);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto *label = text.contains(QLatin1Char('\n')) ? new PitchedLabel(text) : new QLabel(text);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::LineEdit:
        return new QLineEdit(text);
    case ControlKind::TextEdit: {
        auto *box = new QPlainTextEdit(text);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Tab moves on to the next control; a tab character typed here
        // would end up in the statement.
        box->setTabChangesFocus(true);
        return box;
    }
    case ControlKind::Button: {
        // Enter in a box presses no button: Qt would make the first button
        // of a dialog its default.
        auto *button = new QPushButton(text);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text);
    case ControlKind::ComboBox: {
        auto *combo = new QComboBox;
        combo->setEditable(false);
        return combo;
    }
    case ControlKind::ListView:
        return new ListView;
    case ControlKind::TreeView:
        return new TreeView;
    case ControlKind::GroupBox:
        return new QGroupBox(text);
    case ControlKind::PictureBox:
        return new QFrame;
    case ControlKind::TabControl: {
        auto *tabs = new TabControl;
        for (const QString &title : text.split(QLatin1Char('|')))
            tabs->addTab(new QWidget, title);
        return tabs;
    }
    }
    return new QWidget;
}

bool isContainer(ControlKind kind)
{
    return kind == ControlKind::GroupBox || kind == ControlKind::PictureBox ||
           kind == ControlKind::TabControl;
}

// The controls of one container (one page of a tab control) in the order
// the eye reads them: rows from top to bottom, each from left to right,
// with a container's own controls in its place. A control belongs to a row
// when it starts above the middle of the row's first control.
void appendInVisualOrder(const char *container, int tab, std::span<const ControlSpec> specs,
                         const QHash<QString, QWidget *> &controls, QList<QWidget *> &order)
{
    std::vector<const ControlSpec *> items;
    for (const ControlSpec &spec : specs) {
        if (std::string_view(spec.parent) != container || spec.tab != tab) continue;
        QWidget *control = controls.value(QString::fromUtf8(spec.name));
        if (control && (isContainer(spec.kind) || (control->focusPolicy() & Qt::TabFocus)))
            items.push_back(&spec);
    }
    std::stable_sort(items.begin(), items.end(), [](const ControlSpec *a, const ControlSpec *b) {
        return a->rect.top() < b->rect.top();
    });
    for (auto row = items.begin(); row != items.end();) {
        const int middle = (*row)->rect.top() + (*row)->rect.height() / 2;
        auto end =
            std::find_if(row + 1, items.end(), [&](const ControlSpec *s) { return s->rect.top() >= middle; });
        std::stable_sort(row, end, [](const ControlSpec *a, const ControlSpec *b) {
            return a->rect.left() < b->rect.left();
        });
        for (auto it = row; it != end; ++it) {
            const ControlSpec &spec = **it;
            QWidget *control = controls.value(QString::fromUtf8(spec.name));
            if (auto *tabs = qobject_cast<TabControl *>(control)) {
                // The bar itself: Qt would take the tab control with all its
                // pages as one piece of the chain.
                order.append(tabs->findChild<QTabBar *>(QString(), Qt::FindDirectChildrenOnly));
                for (int page = 0; page < tabs->count(); ++page)
                    appendInVisualOrder(spec.name, page, specs, controls, order);
            } else if (isContainer(spec.kind)) {
                appendInVisualOrder(spec.name, -1, specs, controls, order);
            } else {
                order.append(control);
            }
        }
        row = end;
    }
}

} // namespace

void appendDesignColumns(ListView *list, std::span<const ListColumnSpec> columns)
{
    for (const ListColumnSpec &column : columns)
        list->listAppendColumn(toGbk(QString::fromUtf8(column.title)), column.width);
}

QHash<QString, QWidget *> buildForm(QWidget *window, std::span<const ControlSpec> specs)
{
    QHash<QString, QWidget *> controls;
    QWidget *content = window;
    if (auto *main = qobject_cast<QMainWindow *>(window)) {
        if (!main->centralWidget()) main->setCentralWidget(new QWidget);
        content = main->centralWidget();
    }
    for (const ControlSpec &spec : specs) {
        QWidget *control = createControl(spec);
        control->setObjectName(QString::fromUtf8(spec.name));
        QWidget *parent = *spec.parent ? controls.value(QString::fromUtf8(spec.parent), content) : content;
        if (auto *tabs = qobject_cast<TabControl *>(parent); tabs && spec.tab >= 0) {
            tabs->place(control, spec.tab, spec.rect);
        } else {
            control->setParent(parent);
            control->setGeometry(spec.rect);
        }
        controls.insert(control->objectName(), control);
    }
    // Tab follows the design's places, not the order of creation.
    QList<QWidget *> order;
    appendInVisualOrder("", -1, specs, controls, order);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // Closes the ring, so Tab on the last control comes back to the first.
    if (order.size() > 1) QWidget::setTabOrder(order.last(), order.first());
    return controls;
}

} // namespace morvane
