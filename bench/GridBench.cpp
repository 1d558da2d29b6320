// One benchmark case per process, so each peak memory figure and each "first
// open of a session" belongs to that case alone. bench/run.sh runs the cases
// in interleaved rounds beside the mariadb client.
//
//   morvane_bench fill DB TABLE   the real main window: "select * from
//                                 DB.TABLE" in the query box, a click on 查询,
//                                 until the grid has painted
//   morvane_bench open DB TABLE   the real main window: a double-click on the
//                                 database in the tree, then on the table
//                                 (first open of the session) and once more
//                                 (reopen), each until the grid has painted
//   morvane_bench lib DB TABLE    the connection layer alone: execute and
//                                 fetchResultTable, no window
//   morvane_bench tree - -        the tree alone, no server: 2 000 databases
//                                 added, then 20 000 tables to the first one
//   morvane_bench sleep - -       the real main window: "select sleep(5)" in
//                                 the console, a click on 执行sql, until the
//                                 handler has appended the outcome
//   morvane_bench paused PID -    the real main window: the server (process
//                                 PID) paused with SIGSTOP, "select 1" in the
//                                 console, 执行sql, 取消 in the busy box after
//                                 1 s, until the handler has appended the
//                                 outcome; the server is resumed afterwards
//
// Prints "name value" lines. Times are wall milliseconds (cpu_ms: CPU time
// of this process, user and system); gap_ms is the
// longest interval between ticks of a 10 ms timer on the GUI thread during
// the measured action (its end included), so a blocked GUI thread shows as
// the length of the block. The server comes from MYSQL_UNIX_PORT, user root.
#include "app/Startup.h"
#include "config/Settings.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/BusyWait.h"
#include "ui/ListModel.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"
#include "workspace/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

long long peakBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

// User and system CPU time of this process so far: unlike wall time, it
// hardly depends on what else the machine runs.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void put(const char *name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

// The longest wait of the GUI thread between two ticks of a 10 ms timer.
class Probe : public QObject {
public:
    Probe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    void begin()
    {
        m_last = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    double endMs()
    {
        tick();
        return m_longest / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Sees the grid's viewport paint.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *viewport) : m_viewport(viewport) { viewport->installEventFilter(this); }
    void reset() { m_painted = false; }
    // Runs the event loop until the grid has painted; false after 60 s.
    bool wait()
    {
        QElapsedTimer limit;
        limit.start();
        while (!m_painted) {
            if (limit.elapsed() > 60000) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint) m_painted = true;
        return false;
    }

private:
    QWidget *m_viewport;
    bool m_painted = false;
};

void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

int libCase(const std::string &db, const std::string &table)
{
    const int connection = morvane::connect("", "root", "");
    if (!connection) {
        std::fprintf(stderr, "no connection to the server\n");
        return 1;
    }
    const long long before = peakBytes();
    const double cpuBefore = cpuMs();
    QElapsedTimer timer;
    timer.start();
    morvane::ResultTable rows;
    if (!morvane::execute(connection, "select * from " + db + "." + table) ||
        !morvane::fetchResultTable(connection, rows)) {
        std::fprintf(stderr, "query failed\n");
        return 1;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    put("lib_ms", ms);
    put("lib_cpu_ms", cpuMs() - cpuBefore);
    put("lib_rows", double(rows.rowCount()));
    put("lib_payload", double(rows.payloadBytes()));
    put("lib_growth_ratio",
        double(peakBytes() - before) / double(std::max<std::size_t>(rows.payloadBytes(), 1)));
    return 0;
}

// The tree item named `name` under `parent`, or -1.
int findChild(const morvane::TreeView &tree, int parent, const std::string &name)
{
    for (int i = 0; i < tree.treeItemCount(); ++i)
        if (tree.treeParent(i) == parent && tree.treeItemText(i) == name) return i;
    return -1;
}

void doubleClick(morvane::TreeView &tree, int item)
{
    const QRect rect = tree.treeItemRect(item);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s fill|open|lib DB TABLE\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1], db = argv[2], table = argv[3];
    if (mode == "lib") return libCase(db, table);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Round trips wait as in the program.
    morvane::installBusyWait();
    if (mode == "tree") {
        morvane::TreeView tree;
        QElapsedTimer timer;
        timer.start();
        tree.treeAddItem(-1, "localhost", 3);
        for (int i = 0; i < 2000; ++i)
            tree.treeAddItem(0, "db" + std::to_string(i), 0, 4);
        tree.treeExpand(0);
        put("tree_databases_ms", timer.nsecsElapsed() / 1e6);
        timer.start();
        for (int i = 0; i < 20000; ++i)
            tree.treeAddItem(1, "t" + std::to_string(i), 1);
        tree.treeSetItemValue(1, 1);
        tree.treeSetImage(1, 2);
        tree.treeExpand(1);
        put("tree_tables_ms", timer.nsecsElapsed() / 1e6);
        return tree.treeParent(tree.treeItemCount() - 1) == 0 ? 0 : 1;
    }
    QTemporaryDir dir;
    morvane::setRunDirectory(dir.path().toStdString());
    QDir(dir.path()).mkpath("data");
    {
        QFile ini(QString::fromStdString(morvane::configPath()));
        if (!ini.open(QIODevice::WriteOnly)) return 1;
        ini.write(morvane::utf8ToGbk("[本地mysql配置]\r\n本地mysql服务器=\r\n本地mysql用户名=root\r\n"
                                     "本地mysql密码=\r\n")
                      .c_str());
    }
    morvane::MainWindow window;
    morvane::runStartup(window);
    if (morvane::appState().connection == 0) {
        std::fprintf(stderr, "no connection to the server\n");
        return 1;
    }
    window.resize(1200, 800);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    // The grid is on the 数据 tab: the user looks at it while opening.
    window.workspaceTabs->selectTab(2);
    settle();
    morvane::ListView &grid = *window.dataGrid;
    morvane::TreeView &tree = *window.schemaTree;
    PaintWatch painted(grid.viewport());
    Probe probe;

    if (mode == "open") {
        const int database = findChild(tree, 0, db);
        if (database < 0) return 1;
        doubleClick(tree, database); // loads its tables
        tree.treeExpand(database);
        settle();
        const int item = findChild(tree, database, table);
        if (item < 0) return 1;
        if (!tree.treeItemRect(item).isValid()) return 1;
        const char *names[2][2] = {{"open_first_ms", "open_first_gap_ms"},
                                   {"open_again_ms", "open_again_gap_ms"}};
        for (const auto &name : names) {
            painted.reset();
            probe.begin();
            QElapsedTimer timer;
            timer.start();
            doubleClick(tree, item);
            if (!painted.wait()) return 1;
            put(name[0], timer.nsecsElapsed() / 1e6);
            put(name[1], probe.endMs());
            settle();
        }
        put("open_columns", grid.listColumnCount());
        put("open_rows", grid.listRowCount());
        return 0;
    }

    if (mode == "fill") {
        morvane::setText(window.queryBox, "select * from " + db + "." + table);
        settle();
        painted.reset();
        const long long before = peakBytes();
        const double cpuBefore = cpuMs();
        probe.begin();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(window.queryButton, Qt::LeftButton);
        if (!painted.wait()) return 1;
        put("fill_ms", timer.nsecsElapsed() / 1e6);
        put("fill_cpu_ms", cpuMs() - cpuBefore);
        put("fill_gap_ms", probe.endMs());
        const long long grown = peakBytes() - before;
        const std::size_t payload = grid.listModel()->numberedTable().payloadBytes();
        put("fill_rows", grid.listRowCount());
        put("fill_payload", double(payload));
        put("fill_growth_ratio", double(grown) / double(std::max<std::size_t>(payload, 1)));
        return 0;
    }
    if (mode == "sleep" || mode == "paused") {
        const bool paused = mode == "paused";
        const pid_t server = paused ? pid_t(std::stol(db)) : 0;
        window.workspaceTabs->selectTab(0);
        morvane::setText(window.sqlConsole, paused ? "select 1" : "select sleep(5)");
        settle();
        QElapsedTimer sinceCancel;
        if (paused) {
            ::kill(server, SIGSTOP);
            QTimer::singleShot(1000, [&] {
                for (QWidget *widget : QApplication::topLevelWidgets()) {
                    if (widget->objectName() != QLatin1String("busyBox") || !widget->isVisible()) continue;
                    sinceCancel.start();
                    QTest::mouseClick(widget->findChild<QPushButton *>(QStringLiteral("busyCancel")),
                                      Qt::LeftButton);
                }
            });
        }
        probe.begin();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(window.runSqlButton, Qt::LeftButton);
        const double ms = timer.nsecsElapsed() / 1e6;
        const double gap = probe.endMs();
        if (paused) ::kill(server, SIGCONT);
        put(paused ? "paused_ms" : "sleep_ms", ms);
        put(paused ? "paused_gap_ms" : "sleep_gap_ms", gap);
        if (paused)
            put("paused_cancel_to_return_ms", sinceCancel.isValid() ? double(sinceCancel.elapsed()) : -1);
        std::fprintf(stderr, "%s\n", morvane::gbkToUtf8(morvane::getText(window.sqlConsole)).c_str());
        return 0;
    }
    std::fprintf(stderr, "unknown case %s\n", mode.c_str());
    return 2;
}
