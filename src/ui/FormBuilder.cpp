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
#include <QPlainTextEdit>
#include <QPushButton>

namespace morvane {

namespace {

QString designText(const char *utf8)
{
    QString s = QString::fromUtf8(utf8);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

QWidget *createControl(const ControlSpec &spec)
{
    const QString text = designText(spec.text);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(text);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::LineEdit:
        return new QLineEdit(text);
    case ControlKind::TextEdit: {
        auto *box = new QPlainTextEdit(text);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        return box;
    }
    case ControlKind::Button:
        return new QPushButton(text);
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
    return controls;
}

} // namespace morvane
