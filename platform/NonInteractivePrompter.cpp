#include "platform/NonInteractivePrompter.h"

#include <cstdio>

namespace platform {

namespace {
void writeToStderr(const QString& title, const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QByteArray out =
        (title.isEmpty() ? QString() : title.trimmed() + QStringLiteral(": ")).toUtf8() +
        t.toUtf8() + '\n';
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stderr);
    std::fflush(stderr);
}
}  // namespace

int NonInteractivePrompter::messageBox(const QString& text, int style, const QString& title) {
    writeToStderr(title, text);
    const ButtonSet set = buttonsOf(style);
    for (int i = 0; i < set.count; ++i) {
        const int a = set.answers[i];
        if (a == mb::Abort || a == mb::Cancel || a == mb::No) {
            // Yes/No/Cancel offers both; leaving means Cancel there.
            if (a == mb::No && (style & mb::ButtonsMask) == mb::YesNoCancel) continue;
            return a;
        }
    }
    return set.answers[0];
}

std::optional<QString> NonInteractivePrompter::inputBox(const QString& prompt, const QString& title,
                                                        const QString&) {
    writeToStderr(title, prompt);
    return std::nullopt;
}

}  // namespace platform
