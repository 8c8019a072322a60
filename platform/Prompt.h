#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace platform {

// Message-box style codes (buttons + icon + default button) and answers, as the suite uses them.
namespace mb {
constexpr int OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4,
              RetryCancel = 5;
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
constexpr int DefaultButton2 = 256, DefaultButton3 = 512;
constexpr int ButtonsMask = 0x0F, IconMask = 0xF0;
constexpr int Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}  // namespace mb

// Button captions of a style, in order, and the answer code of each.
struct ButtonSet {
    int count = 1;
    int answers[3] = {mb::Ok, 0, 0};
};
ButtonSet buttonsOf(int style);
QString captionOf(
    int answer);  // "Aceptar", "Cancelar", "Anular", "Reintentar", "Omitir", "Sí", "No"

// Every modal message box and input box of the program goes through the one current Prompter.
class Prompter {
  public:
    virtual ~Prompter() = default;
    // Returns the answer 1..7.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    // Returns the typed text; no value when the user cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
};

Prompter& prompts();
// Installs a prompter and returns the one it replaces (tests put theirs back afterwards).
std::shared_ptr<Prompter> setPrompter(std::shared_ptr<Prompter> p);

// Shorthands over the current prompter.
int msgBox(const QString& text, int style = mb::OkOnly, const QString& title = {});
std::optional<QString> inputBox(const QString& prompt, const QString& title = {},
                                const QString& defaultText = {});

}  // namespace platform
