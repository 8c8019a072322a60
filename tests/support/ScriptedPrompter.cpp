#include "tests/support/ScriptedPrompter.h"

namespace platform {

int ScriptedPrompter::messageBox(const QString& text, int style, const QString& title) {
    Shown s;
    s.text = text;
    s.title = title;
    s.style = style;
    if (answers_.empty()) {
        ++unexpected_;
        s.answer = buttonsOf(style).answers[0];
    } else {
        s.answer = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back(s);
    return s.answer;
}

std::optional<QString> ScriptedPrompter::inputBox(const QString& prompt, const QString& title,
                                                  const QString& defaultText) {
    Shown s;
    s.kind = Shown::Kind::Input;
    s.text = prompt;
    s.title = title;
    s.defaultText = defaultText;
    if (inputs_.empty()) {
        ++unexpected_;
    } else {
        s.input = inputs_.front();
        inputs_.pop_front();
    }
    shown_.push_back(s);
    return s.input;
}

void ScriptedPrompter::reset() {
    answers_.clear();
    inputs_.clear();
    shown_.clear();
    unexpected_ = 0;
}

}  // namespace platform
