#include "platform/Prompt.h"

#include "platform/NonInteractivePrompter.h"

namespace platform {

namespace {
std::shared_ptr<Prompter>& current() {
    static std::shared_ptr<Prompter> p = std::make_shared<NonInteractivePrompter>();
    return p;
}
}  // namespace

ButtonSet buttonsOf(int style) {
    switch (style & mb::ButtonsMask) {
        case mb::OkCancel:
            return {2, {mb::Ok, mb::Cancel, 0}};
        case mb::AbortRetryIgnore:
            return {3, {mb::Abort, mb::Retry, mb::Ignore}};
        case mb::YesNoCancel:
            return {3, {mb::Yes, mb::No, mb::Cancel}};
        case mb::YesNo:
            return {2, {mb::Yes, mb::No, 0}};
        case mb::RetryCancel:
            return {2, {mb::Retry, mb::Cancel, 0}};
        default:
            return {1, {mb::Ok, 0, 0}};
    }
}

QString captionOf(int answer) {
    switch (answer) {
        case mb::Ok:
            return QStringLiteral("Aceptar");
        case mb::Cancel:
            return QStringLiteral("Cancelar");
        case mb::Abort:
            return QStringLiteral("Anular");
        case mb::Retry:
            return QStringLiteral("Reintentar");
        case mb::Ignore:
            return QStringLiteral("Omitir");
        case mb::Yes:
            return QStringLiteral("Sí");
        case mb::No:
            return QStringLiteral("No");
        default:
            return {};
    }
}

Prompter& prompts() {
    return *current();
}

std::shared_ptr<Prompter> setPrompter(std::shared_ptr<Prompter> p) {
    auto old = current();
    current() = p ? std::move(p) : std::make_shared<NonInteractivePrompter>();
    return old;
}

int msgBox(const QString& text, int style, const QString& title) {
    return prompts().messageBox(text, style, title);
}

std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                const QString& defaultText) {
    return prompts().inputBox(prompt, title, defaultText);
}

}  // namespace platform
