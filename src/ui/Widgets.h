#pragma once
// The plain controls of the widget contract over Qt: texts go in and out as
// GBK, multi-line boxes hand out their lines joined by "\r\n" as the design's
// edit boxes do.
#include "text/Text.h"

#include <QRect>

class QWidget;
class QComboBox;
class QCheckBox;
class QPlainTextEdit;

namespace morvane {

// Text of an edit box (QLineEdit, QPlainTextEdit), label, button, group box
// or window caption.
Text getText(const QWidget *control);
void setText(QWidget *control, const Text &text);
// Adds at the end of a multi-line box and scrolls there, without an undo
// step.
void appendText(QPlainTextEdit *box, const Text &text);

void comboAddItem(QComboBox *combo, const Text &text);
void comboClear(QComboBox *combo);
Text comboText(const QComboBox *combo);

int isChecked(const QCheckBox *box);
void setChecked(QCheckBox *box, int value);

// Sizes a window so that its outer size, frame included, is `outer`. The
// frame is known only once the window is shown; before that it counts as 0.
void setOuterSize(QWidget *window, const QSize &outer);

} // namespace morvane
