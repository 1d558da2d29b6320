#include "support/ScriptedDialogs.h"

#include "text/Gbk.h"

#include <gtest/gtest.h>

namespace morvane::test {

ScriptedDialogs::ScriptedDialogs() { setDialogSeam(this); }
ScriptedDialogs::~ScriptedDialogs() { setDialogSeam(nullptr); }

void ScriptedDialogs::messageBox(const Text &text) { messages.push_back(gbkToUtf8(text)); }

bool ScriptedDialogs::inputBox(Text &text)
{
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "an input box was shown that the test did not expect";
        return false;
    }
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    if (!answer)
        return false;
    text = utf8ToGbk(*answer);
    return true;
}

bool ScriptedDialogs::askYesNo(const Text &text)
{
    questions.push_back(gbkToUtf8(text));
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "a question was asked that the test did not expect: " << gbkToUtf8(text);
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::runModal(QDialog &window)
{
    ++modalCount;
    window.show();
    if (!modalScripts.empty()) {
        auto script = std::move(modalScripts.front());
        modalScripts.pop_front();
        script(window);
    }
    window.close();
}

} // namespace morvane::test
