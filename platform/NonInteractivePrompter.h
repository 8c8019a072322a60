#pragma once

#include "platform/Prompt.h"

namespace platform {

// For runs without a user: writes title and message to standard error and answers with the
// choice that leaves (Abort, Cancel or No; OK when it is the only button). Input boxes cancel.
class NonInteractivePrompter : public Prompter {
  public:
    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
};

}  // namespace platform
