#include "ui/Dialogs.h"

#include "text/Gbk.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace morvane {

namespace {

QWidget *activeParent()
{
    return QApplication::activeWindow();
}

// A window manager's title bar holds an icon and its buttons beside the
// caption; a box as narrow as a short message would cut "信息：" to "…".
void keepCaptionVisible(QMessageBox &box)
{
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kCaptionRoom;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}

class QtDialogs : public DialogSeam {
public:
    void messageBox(const Text &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, fromGbk("信息："_gbk), fromGbk(text), QMessageBox::Ok,
                        activeParent());
        keepCaptionVisible(box);
        box.exec();
    }

    bool inputBox(Text &text) override
    {
        QDialog dialog(activeParent());
        dialog.setWindowTitle(fromGbk("请输入："_gbk));
        auto *layout = new QVBoxLayout(&dialog);
        auto *line = new QLineEdit(&dialog);
        layout->addWidget(line);
        auto *buttons = new QDialogButtonBox(&dialog);
        auto *ok = buttons->addButton(fromGbk("确认输入(&O)"_gbk), QDialogButtonBox::AcceptRole);
        buttons->addButton(fromGbk("取消(&C)"_gbk), QDialogButtonBox::RejectRole);
        ok->setDefault(true);
        layout->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        dialog.resize(360, dialog.sizeHint().height());
        if (dialog.exec() != QDialog::Accepted) return false;
        text = toGbk(line->text());
        return true;
    }

    bool askYesNo(const Text &text) override
    {
        QMessageBox box(QMessageBox::Question, fromGbk("信息："_gbk), fromGbk(text),
                        QMessageBox::Yes | QMessageBox::No, activeParent());
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        keepCaptionVisible(box);
        return box.exec() == QMessageBox::Yes;
    }

    void runModal(QDialog &window) override
    {
        window.setWindowModality(Qt::ApplicationModal);
        window.exec();
    }
};

QtDialogs &realDialogs()
{
    static QtDialogs seam;
    return seam;
}

DialogSeam *g_seam = nullptr;

} // namespace

DialogSeam &dialogs()
{
    return g_seam ? *g_seam : realDialogs();
}

void setDialogSeam(DialogSeam *seam)
{
    g_seam = seam;
}

} // namespace morvane
