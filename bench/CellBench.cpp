// How long a press on a large cell takes to show its value in the console,
// on the real main window (offscreen, no server needed): the press handler
// and the paint that follows, median of five presses. Beside it, the same
// value set into the console as one text without the line pieces (what a
// press did before), and the mapping of an edited console text back to the
// value.
//
//   morvane_cellbench [old]      "old" adds the one-text timings (slow)
//
// Prints one line per case: case, value bytes, milliseconds.
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/CellEdit.h"
#include "workspace/CellEditText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace morvane;

namespace {

double medianMs(int runs, const std::function<void()> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

Text repeated(const Text &piece, std::size_t bytes)
{
    Text out;
    out.reserve(bytes + piece.size());
    while (out.size() + piece.size() <= bytes)
        out += piece;
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool old = argc > 1 && std::strcmp(argv[1], "old") == 0;

    MainWindow window;
    window.resize(1024, 768);
    window.show();
    ListView &grid = *window.dataGrid;
    grid.listAppendColumn("序"_gbk, 50);
    grid.listAppendColumn("id", 50);
    grid.listAppendColumn("v", 200);
    const int row = grid.listAppendRow();
    grid.listSetCell(row, 0, "1");
    grid.listSetCell(row, 1, "1");
    app.processEvents();
    const QRect box = window.sqlConsole->geometry();
    std::printf("console visible %d, %dx%d\n", int(window.sqlConsole->isVisible()), box.width(), box.height());

    const struct {
        const char *name;
        Text value;
    } cases[] = {
        {"ascii_one_line_64k", repeated("abcdefgh", 64 * 1024)},
        {"ascii_one_line_256k", repeated("abcdefgh", 256 * 1024)},
        {"ascii_one_line_1m", repeated("abcdefgh", 1024 * 1024)},
        {"gbk_one_line_1m", repeated("苹果香蕉乗運錦 "_gbk, 1024 * 1024)},
        {"lines_of_80_1m", repeated(Text(79, 'x') + "\n", 1024 * 1024)},
        {"ascii_one_line_2m_cut", repeated("abcdefgh", 2 * 1024 * 1024)},
    };
    for (const auto &c : cases) {
        grid.listSetCell(row, 2, c.value);
        const QPoint at = grid.listCellCenter(row, 2);
        const double press = medianMs(5, [&] {
            setText(window.sqlConsole, "");
            app.processEvents();
            prepareCellEdit(window, at.x(), at.y());
            app.processEvents();
        });
        std::printf("press %s %zu %.1f\n", c.name, c.value.size(), press);

        // One character changed in the middle, mapped back to the value.
        const ConsoleValue cv = appState().cellEdit.console;
        Text edited = cv.shown;
        edited[edited.size() / 2] = edited[edited.size() / 2] == 'x' ? 'y' : 'x';
        const double map = medianMs(5, [&] {
            const Text back = getText(window.sqlConsole);
            volatile std::size_t n = valueFromConsole(c.value, cv, edited).size();
            (void)n;
            (void)back;
        });
        std::printf("read_back %s %zu %.1f\n", c.name, c.value.size(), map);

        if (old && c.value.size() <= 256 * 1024) {
            const double whole = medianMs(1, [&] {
                setText(window.sqlConsole, c.value);
                app.processEvents();
            });
            std::printf("one_text %s %zu %.1f\n", c.name, c.value.size(), whole);
        }
        std::fflush(stdout);
    }
    return 0;
}
