#pragma once
// Windows are built from their design tables: one row per control with its
// kind, design name (the objectName), container, tab, place, size and text.
#include <QHash>
#include <QRect>
#include <QString>
#include <span>

class QWidget;

namespace morvane {

// The line pitch of a label of several lines in the designs, in pixels.
constexpr int kDesignLinePitch = 12;

enum class ControlKind {
    Label,
    LineEdit, // single-line edit box
    TextEdit, // multi-line edit box with a vertical scroll bar
    Button,
    CheckBox,
    ComboBox, // drop-down list, pick only
    ListView,
    TreeView,
    GroupBox,
    PictureBox, // a plain container
    TabControl, // its text lists the tab titles separated by '|'
};

struct ControlSpec {
    ControlKind kind;
    const char *name;   // design name, becomes objectName
    const char *parent; // design name of the container; "" for the window
    int tab;            // page of a tab-control parent, else -1
    QRect rect;         // design place and size within the container
    const char *text;   // UTF-8 initial text or caption
};

// A list view's design-time column: UTF-8 title and width in pixels.
struct ListColumnSpec {
    const char *title;
    int width;
};

class ListView;
void appendDesignColumns(ListView *list, std::span<const ListColumnSpec> columns);

// Creates the controls on `window` in table order and returns them by name.
// Tab moves through them by their places, top to bottom, left to right;
// no button is a default button.
QHash<QString, QWidget *> buildForm(QWidget *window, std::span<const ControlSpec> specs);

// A control of a built form by its design name, as its own type.
template <typename T> T *formControl(const QHash<QString, QWidget *> &controls, const char *name)
{
    return qobject_cast<T *>(controls.value(QString::fromUtf8(name)));
}

} // namespace morvane
