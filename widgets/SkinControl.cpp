#include "widgets/SkinControl.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "platform/ArchivoLegible.h"
#include "platform/Failure.h"
#include "platform/IniReader.h"
#include "platform/TextFile.h"

namespace {

[[noreturn]] void missing(const QString& path) {
    platform::raise(platform::errnum::FileNotFound, QStringLiteral("No se encontró el archivo"),
                    path);
}

}  // namespace

SkinControl::SkinControl(QObject* parent) : QObject(parent) {}

SkinControl::~SkinControl() {
    if (ownsApplicationSheet_ && qApp) qApp->setStyleSheet(QString());
}

void SkinControl::LoadSkin(const QString& path, const QString& settingsFile) {
    QString file = path;
    // A folder is a style only with its settings file; without one it is where a sheet should
    // be, and the reader names it.
    if (QFileInfo(path).isDir() && !settingsFile.isEmpty()) {
        const QDir folder(path);
        const QString settings = folder.filePath(settingsFile);
        // Read here rather than through readIniKey: a settings file that cannot be read is named
        // for what it is, not taken for one without the key.
        const QString sheet =
            platform::iniKeyOf(platform::textfile::readLines(settings), QStringLiteral("Estilo"),
                               QStringLiteral("Hoja"), QString());
        if (sheet.isEmpty()) missing(settings);
        file = folder.filePath(sheet);
    }
    // Missing, a style (its folder too) is "not found"; anything else there is named by the reader.
    if (!QFileInfo::exists(file)) missing(file);
    sheet_ = QString::fromUtf8(platform::archivo::lee(file, platform::limite::kEstilos));
    sheetFile_ = file;
    // Images of a sheet are written "estilo:name": looked for next to the sheet, then in the
    // folder above it, where the styles share theirs.
    const QDir carpeta = QFileInfo(file).absoluteDir();
    QDir arriba = carpeta;
    arriba.cdUp();
    QDir::setSearchPaths(QStringLiteral("estilo"), {carpeta.path(), arriba.path()});
    applyEverywhere();
}

void SkinControl::ApplyWindow(QWidget* window) {
    if (!window) platform::raise(91, QStringLiteral("Variable de objeto no establecida"));
    if (!windows_.contains(window)) windows_.append(window);
    window->setStyleSheet(sheet_);
}

void SkinControl::setApplyOptions(int options) {
    options_ = options;
    applyEverywhere();
}

void SkinControl::applyEverywhere() {
    windows_.removeAll(nullptr);
    for (const auto& w : windows_) w->setStyleSheet(sheet_);
    if (!qApp) return;
    if (options_ & kTodaLaAplicacion) {
        qApp->setStyleSheet(sheet_);
        ownsApplicationSheet_ = true;
    } else if (ownsApplicationSheet_) {
        qApp->setStyleSheet(QString());
        ownsApplicationSheet_ = false;
    }
}
