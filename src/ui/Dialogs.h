#pragma once
// Every modal path of the program (message box, input box, yes/no question,
// modal window) goes through one seam. The real seam shows Qt dialogs; tests
// install a scripted one that records the texts and gives the answers.
#include "text/Text.h"

#include <QDialog>
#include <memory>

namespace morvane {

// Width a message box keeps beside its caption for the title bar's icon and
// buttons, in pixels.
constexpr int kCaptionRoom = 160;

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    // Caption "信息：", an OK button only.
    virtual void messageBox(const Text &text) = 0;
    // Caption "请输入：", an empty line, "确认输入(&O)" and "取消(&C)".
    // True with the typed text on OK.
    virtual bool inputBox(Text &text) = 0;
    // Yes/No with No as the default; true for Yes.
    virtual bool askYesNo(const Text &text) = 0;
    // Shows the window modally and returns when it is closed.
    virtual void runModal(QDialog &window) = 0;
};

DialogSeam &dialogs();
// Installs a seam (tests); nullptr restores the real dialogs.
void setDialogSeam(DialogSeam *seam);

inline void messageBox(const Text &text) { dialogs().messageBox(text); }
inline bool inputBox(Text &text) { return dialogs().inputBox(text); }
inline bool askYesNo(const Text &text) { return dialogs().askYesNo(text); }

// Creates the window anew, disables the other windows while it is open, and
// returns when it has been closed; the window is gone afterwards.
template <typename Window, typename... Args> void openModal(Args &&...args)
{
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    dialogs().runModal(*window);
}

} // namespace morvane
