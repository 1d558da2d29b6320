// Timings and memory of the data grid on the real main window (offscreen),
// beside a plain Connector/C mysql_store_result loop. One case per process,
// so each peak memory figure belongs to that case alone:
//
//   morvane_bench grid  DB TABLE   runGridQuery "select * from DB.TABLE"
//   morvane_bench open  DB TABLE   openTable as the tree's double-click runs it
//   morvane_bench store DB TABLE   mysql_store_result and a fetch loop
//
// Prints one line: case, rows, milliseconds, peak memory growth (bytes),
// payload (bytes). The server comes from MYSQL_UNIX_PORT, user root.
#include "app/Startup.h"
#include "config/Settings.h"
#include "db/ResultTable.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/ListModel.h"
#include "ui/ListView.h"
#include "workspace/DataGrid.h"
#include "workspace/TableView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mysql.h>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

long long peakBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

void report(const char *name, const std::string &table, unsigned long long rows, double ms, long long grown,
            unsigned long long payload)
{
    std::printf("%s %s %llu %.1f %lld %llu\n", name, table.c_str(), rows, ms, grown, payload);
}

int storeLoop(const std::string &db, const std::string &table)
{
    MYSQL *m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "gbk");
    if (!mysql_real_connect(m, nullptr, "root", nullptr, nullptr, 0, nullptr, 0)) {
        std::fprintf(stderr, "connect: %s\n", mysql_error(m));
        return 1;
    }
    const std::string sql = "select * from " + db + "." + table;
    const long long before = peakBytes();
    QElapsedTimer timer;
    timer.start();
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "query: %s\n", mysql_error(m));
        return 1;
    }
    MYSQL_RES *res = mysql_store_result(m);
    const unsigned fields = mysql_num_fields(res);
    unsigned long long rows = 0, payload = 0;
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        const unsigned long *lengths = mysql_fetch_lengths(res);
        for (unsigned i = 0; i < fields; ++i)
            payload += row[i] ? lengths[i] : 0;
        ++rows;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const long long grown = peakBytes() - before;
    mysql_free_result(res);
    report("store_result_loop", table, rows, ms, grown, payload);
    mysql_close(m);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s grid|open|store DB TABLE\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1], db = argv[2], table = argv[3];
    if (mode == "store") return storeLoop(db, table);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
    window.show();
    app.processEvents();
    morvane::ListView &grid = *window.dataGrid;

    if (mode == "open") {
        // A first open warms the server's caches; then the median of runs,
        // each painted before the next.
        morvane::openTable(window, db, table);
        app.processEvents();
        std::vector<double> times;
        for (int i = 0; i < 25; ++i) {
            QElapsedTimer timer;
            timer.start();
            morvane::openTable(window, db, table);
            app.processEvents();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        report("openTable_median", table, std::uint64_t(grid.listRowCount()), times[times.size() / 2], 0, 0);
        report("openTable_max", table, std::uint64_t(grid.listRowCount()), times.back(), 0, 0);
        return 0;
    }

    // The grid's columns as opening the table builds them, then the whole
    // table through the grid query, painted once.
    morvane::openTable(window, db, table);
    app.processEvents();
    const long long before = peakBytes();
    QElapsedTimer timer;
    timer.start();
    morvane::runGridQuery(window, "select * from " + db + "." + table);
    app.processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    const long long grown = peakBytes() - before;
    report("runGridQuery", table, std::uint64_t(grid.listRowCount()), ms, grown,
           grid.listModel()->numberedTable().payloadBytes());
    return 0;
}
