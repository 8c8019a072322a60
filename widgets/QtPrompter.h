#pragma once

#include "platform/Prompt.h"

class QMessageBox;

namespace platform {

// The interactive prompter: modal Qt boxes with the suite's Spanish button captions.
class QtPrompter : public Prompter {
  public:
    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    // Builds the box without showing it (the answer of each button is its property "answer").
    static QMessageBox* build(const QString& text, int style, const QString& title);
};

}  // namespace platform
