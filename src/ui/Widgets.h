#pragma once
// The plain controls of the widget contract over Qt: texts go in and out as
// GBK, multi-line boxes hand out their lines joined by "\r\n" as the design's
// edit boxes do.
#include "text/Text.h"

#include <QMargins>
#include <QRect>

#include <functional>

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

// The inside size of a window whose frame has these margins, for the outer
// size `outer`.
QSize innerSizeFor(const QSize &outer, const QMargins &frame);
// Gives the window the outer size `outer` now and again when its frame
// becomes known: a window manager frames a window some time after it is
// shown, so a size set at show time would be the inside size. Stops
// watching once a frame was taken into account, so later resizes by the
// user stay. `frame` reports the frame margins (the window's own when
// empty).
void keepOuterSize(QWidget *window, const QSize &outer, std::function<QMargins()> frame = {});

} // namespace morvane
