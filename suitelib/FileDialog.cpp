#include "suitelib/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace SuiteLib {

namespace {

FileDialog::Chooser& chooser() {
    static FileDialog::Chooser instance;
    return instance;
}

// "Description |*.A;*.B|Other|*.C" becomes "Description (*.A *.B);;Other (*.C)".
QString dialogFilter(const QString& suiteFilter) {
    const QStringList parts = suiteFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QStringList trimmed;
        for (const QString& pattern : patterns) {
            if (!pattern.trimmed().isEmpty()) trimmed << pattern.trimmed();
        }
        filters << parts[i].trimmed() + QStringLiteral(" (") + trimmed.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

void FileDialog::SetDialogTitle(const QString& title) {
    title_ = title;
}

void FileDialog::SetFilter(const QString& filter) {
    filter_ = filter;
}

void FileDialog::ShowOpen() {
    const QString filter = dialogFilter(filter_);
    std::optional<QString> chosen;
    if (chooser()) {
        chosen = chooser()(title_, filter);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        const QString path =
            QFileDialog::getOpenFileName(QApplication::activeWindow(), title_, QString(), filter);
        if (!path.isEmpty()) chosen = path;
    }
    cancelled_ = !chosen || chosen->isEmpty();
    fileName_ = cancelled_ ? QString() : *chosen;
}

QString FileDialog::GetFileName() const {
    return fileName_;
}

bool FileDialog::GetCancelled() const {
    return cancelled_;
}

void FileDialog::setChooser(Chooser chooser) {
    SuiteLib::chooser() = std::move(chooser);
}

}  // namespace SuiteLib
