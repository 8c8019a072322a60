#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "platform/Prompt.h"

namespace platform {

// Answers prompts from a script and records what was shown, for tests.
class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        enum class Kind { Message, Input } kind = Kind::Message;
        QString text;
        QString title;
        int style = 0;
        QString defaultText;
        int answer = 0;
        std::optional<QString> input;
    };

    // Queue the next answers. When the queue is empty a message box gets its first button and
    // an input box is cancelled; `unexpected()` tells how often that happened.
    void answer(int code) { answers_.push_back(code); }
    void type(std::optional<QString> text) { inputs_.push_back(std::move(text)); }

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    const std::vector<Shown>& shown() const { return shown_; }
    const Shown& last() const { return shown_.back(); }
    int unexpected() const { return unexpected_; }
    std::size_t pending() const { return answers_.size() + inputs_.size(); }
    void reset();

  private:
    std::deque<int> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::vector<Shown> shown_;
    int unexpected_ = 0;
};

}  // namespace platform
