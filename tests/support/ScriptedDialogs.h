#pragma once
// A dialog seam for tests: records every text shown, answers from scripts,
// and lets a test drive each modal window before it closes. Installed for
// its lifetime. Texts are recorded as UTF-8 so tests compare with literals.
#include "ui/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace morvane::test {

class ScriptedDialogs : public DialogSeam {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    std::vector<std::string> messages;                  // every messageBox text
    std::deque<std::optional<std::string>> inputAnswers; // nullopt = cancel
    std::vector<std::string> questions;                 // every askYesNo text
    std::deque<bool> yesNoAnswers;
    // Runs while a modal window is open (shown); the window closes after it.
    // Several can be queued: one per modal opening, in order.
    std::deque<std::function<void(QDialog &)>> modalScripts;
    int modalCount = 0;

    void messageBox(const Text &text) override;
    bool inputBox(Text &text) override;
    bool askYesNo(const Text &text) override;
    void runModal(QDialog &window) override;
};

} // namespace morvane::test
