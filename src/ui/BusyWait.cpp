#include "ui/BusyWait.h"

#include "db/Connection.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace morvane {

namespace {

// A round trip that answers within this time never enters an event loop,
// so quick statements behave exactly as they did on the GUI thread.
constexpr auto kQuickAnswer = std::chrono::milliseconds(10);
// After 取消, how long a statement may take to end before the connection is
// broken off under it (the server no longer answers).
constexpr int kBreakAfter = 2000;

// Shared between the GUI thread and the threads it starts; outlives an
// abandoned wait.
struct WaitState {
    std::mutex mutex;
    std::condition_variable finished;
    bool workDone = false;
    bool killDone = true;
    QEventLoop *loop = nullptr;

    void wake()
    {
        if (loop) QCoreApplication::postEvent(loop, new QEvent(QEvent::Quit));
    }
};

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// Drops user input to everything but the busy box while a round trip runs,
// so no handler is re-entered and no other statement starts.
class InputBlocker : public QObject {
public:
    QPointer<QWidget> box;

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (!isUserInput(event->type())) return false;
        if (box) {
            if (auto *widget = qobject_cast<QWidget *>(target); widget && widget->window() == box)
                return false;
            if (target == box->windowHandle()) return false;
        }
        event->ignore();
        return true;
    }
};

int g_waitDepth = 0;
InputBlocker *g_blocker = nullptr;

QString firstLine(const WaitInfo &info)
{
    if (info.connecting) return QStringLiteral("连接服务器…");
    QString text = fromGbk(info.what).trimmed();
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    if (end >= 0) text = text.left(end).trimmed() + QStringLiteral(" …");
    if (text.size() > 80) text = text.left(80) + QStringLiteral("…");
    return text;
}

// The box over the active window: what runs, the time so far and 取消.
class BusyBox : public QDialog {
public:
    BusyBox(QWidget *parent, const QString &what) : QDialog(parent)
    {
        setObjectName(QStringLiteral("busyBox"));
        setWindowTitle(QStringLiteral("正在执行"));
        setWindowModality(Qt::ApplicationModal);
        auto *layout = new QVBoxLayout(this);
        whatLabel = new QLabel(what, this);
        whatLabel->setObjectName(QStringLiteral("busyWhat"));
        timeLabel = new QLabel(this);
        timeLabel->setObjectName(QStringLiteral("busyTime"));
        cancelButton = new QPushButton(QStringLiteral("取消"), this);
        cancelButton->setObjectName(QStringLiteral("busyCancel"));
        layout->addWidget(whatLabel);
        layout->addWidget(timeLabel);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(cancelButton);
        layout->addLayout(row);
    }
    void showTime(qint64 ms, std::uint64_t rows)
    {
        QString text = QStringLiteral("已用时 %1 秒").arg(double(ms) / 1000.0, 0, 'f', 1);
        if (rows > 0) text += QStringLiteral("，已收到 %1 行").arg(rows);
        timeLabel->setText(text);
    }
    QLabel *whatLabel;
    QLabel *timeLabel;
    QPushButton *cancelButton;

protected:
    // Escape and the title bar's close button mean 取消.
    void reject() override { cancelButton->click(); }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        cancelButton->click();
    }
};

bool waitOffThread(const WaitInfo &info, const std::function<void()> &work)
{
    if (!qApp || QThread::currentThread() != qApp->thread()) {
        work();
        return true;
    }
    auto state = std::make_shared<WaitState>();
    // A connect attempt that is given up keeps running on its own, so the
    // thread holds its own copy of the work.
    std::thread worker([state, task = work] {
        task();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->workDone = true;
        state->finished.notify_all();
        state->wake();
    });
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        if (state->finished.wait_for(lock, kQuickAnswer, [&] { return state->workDone; })) {
            lock.unlock();
            worker.join();
            return true;
        }
    }

    if (g_waitDepth++ == 0) {
        g_blocker = new InputBlocker;
        qApp->installEventFilter(g_blocker);
    }
    QPointer<InputBlocker> blocker = g_blocker;
    const QPointer<QWidget> outerBox = blocker->box;
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QPointer<BusyBox> box;
    bool abandoned = false;
    bool broken = false;
    QTimer breakTimer;
    breakTimer.setSingleShot(true);
    QObject::connect(&breakTimer, &QTimer::timeout, [&] {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (!state->workDone) {
            broken = true;
            breakConnection(info);
        }
    });
    auto cancel = [&] {
        if (!box || !box->cancelButton->isEnabled()) return;
        box->cancelButton->setEnabled(false);
        box->whatLabel->setText(QStringLiteral("正在取消…"));
        if (info.connecting) {
            abandoned = true;
            loop.quit();
            return;
        }
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->killDone = false;
        }
        std::thread([state, info] {
            cancelStatement(info);
            std::lock_guard<std::mutex> lock(state->mutex);
            state->killDone = true;
            state->wake();
        }).detach();
        breakTimer.start(kBreakAfter);
    };
    auto rows = [&] { return info.rowsReceived ? info.rowsReceived->load(std::memory_order_relaxed) : 0; };
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!box && clock.elapsed() >= kBusyBoxDelay) {
            QWidget *over = QApplication::activeModalWidget();
            if (!over) over = QApplication::activeWindow();
            box = new BusyBox(over, firstLine(info));
            if (blocker) blocker->box = box;
            QObject::connect(box->cancelButton, &QPushButton::clicked, [&] { cancel(); });
            box->showTime(clock.elapsed(), rows());
            box->show();
        } else if (box) {
            box->showTime(clock.elapsed(), rows());
        }
        tick.start(box ? 200 : int(qMax<qint64>(1, kBusyBoxDelay - clock.elapsed())));
    });
    tick.setSingleShot(true);
    tick.start(kBusyBoxDelay);

    for (;;) {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            // A KILL still on its way could hit the next statement, unless
            // the connection it aims at was broken off.
            if (state->workDone && (state->killDone || broken)) break;
            state->loop = &loop;
        }
        loop.exec();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->loop = nullptr;
        if (abandoned) break;
    }
    tick.stop();
    breakTimer.stop();
    delete box;
    if (--g_waitDepth == 0) {
        delete g_blocker;
        g_blocker = nullptr;
    } else if (blocker) {
        blocker->box = outerBox;
    }
    if (abandoned) {
        worker.detach();
        return false;
    }
    worker.join();
    return true;
}

} // namespace

void installBusyWait()
{
    setRoundTripWaiter(waitOffThread);
}

} // namespace morvane
