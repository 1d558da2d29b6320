#include "ui/Widgets.h"

#include "text/Gbk.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QWindow>

namespace morvane {

namespace {

// Qt keeps line breaks as "\n"; the boxes hand them out as "\r\n".
QString toQtLines(const Text &text)
{
    QString s = fromGbk(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

Text fromQtLines(QString s)
{
    s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return toGbk(s);
}

} // namespace

Text getText(const QWidget *control)
{
    if (auto *line = qobject_cast<const QLineEdit *>(control)) return toGbk(line->text());
    if (auto *box = qobject_cast<const QPlainTextEdit *>(control)) return fromQtLines(box->toPlainText());
    if (auto *label = qobject_cast<const QLabel *>(control)) return fromQtLines(label->text());
    if (auto *button = qobject_cast<const QAbstractButton *>(control)) return toGbk(button->text());
    if (auto *group = qobject_cast<const QGroupBox *>(control)) return toGbk(group->title());
    return control ? toGbk(control->windowTitle()) : Text();
}

void setText(QWidget *control, const Text &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(fromGbk(text));
    else if (auto *box = qobject_cast<QPlainTextEdit *>(control))
        box->setPlainText(toQtLines(text));
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(toQtLines(text));
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(fromGbk(text));
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(fromGbk(text));
    else if (control)
        control->setWindowTitle(fromGbk(text));
}

void appendText(QPlainTextEdit *box, const Text &text)
{
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    // An appended outcome is not the user's edit: it leaves no undo step,
    // and what came before it can no longer be undone either.
    const bool undo = box->isUndoRedoEnabled();
    box->setUndoRedoEnabled(false);
    box->insertPlainText(toQtLines(text));
    box->setUndoRedoEnabled(undo);
    box->ensureCursorVisible();
}

void comboAddItem(QComboBox *combo, const Text &text)
{
    // A drop-down list starts with no item chosen; Qt would choose the first.
    const bool wasEmpty = combo->count() == 0;
    combo->addItem(fromGbk(text));
    if (wasEmpty) combo->setCurrentIndex(-1);
}

void comboClear(QComboBox *combo)
{
    combo->clear();
}

Text comboText(const QComboBox *combo)
{
    return toGbk(combo->currentText());
}

int isChecked(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

void setChecked(QCheckBox *box, int value)
{
    box->setChecked(value == 1);
}

void setOuterSize(QWidget *window, const QSize &outer)
{
    window->resize(outer - (window->frameGeometry().size() - window->geometry().size()));
}

QSize innerSizeFor(const QSize &outer, const QMargins &frame)
{
    return QSize(std::max(outer.width() - frame.left() - frame.right(), 0),
                 std::max(outer.height() - frame.top() - frame.bottom(), 0));
}

namespace {

class OuterSizeKeeper : public QObject {
public:
    OuterSizeKeeper(QWidget *window, const QSize &outer, std::function<QMargins()> frame)
        : QObject(window), m_window(window), m_outer(outer), m_frame(std::move(frame))
    {
        apply(margins());
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            check();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QMargins margins() const
    {
        if (m_frame) return m_frame();
        const QWindow *handle = m_window->windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }

    void apply(const QMargins &frame)
    {
        m_applied = frame;
        m_window->resize(innerSizeFor(m_outer, frame));
    }

    void check()
    {
        const QMargins frame = margins();
        if (frame == m_applied) return;
        apply(frame);
        if (!frame.isNull()) {
            m_window->removeEventFilter(this);
            deleteLater();
        }
    }

    QWidget *m_window;
    QSize m_outer;
    std::function<QMargins()> m_frame;
    QMargins m_applied;
};

} // namespace

void keepOuterSize(QWidget *window, const QSize &outer, std::function<QMargins()> frame)
{
    new OuterSizeKeeper(window, outer, std::move(frame));
}

} // namespace morvane
