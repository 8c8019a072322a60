#include "platform/SkinControl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "platform/Failure.h"
#include "platform/IniReader.h"

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
    if (QFileInfo(path).isDir()) {
        const QDir folder(path);
        const QString settings = folder.filePath(settingsFile);
        if (settingsFile.isEmpty() || !QFileInfo(settings).isFile()) missing(settings);
        const QString sheet = platform::readIniKey(settings, QStringLiteral("Estilo"),
                                                   QStringLiteral("Hoja"), QString());
        if (sheet.isEmpty()) missing(settings);
        file = folder.filePath(sheet);
    }
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly)) missing(file);
    sheet_ = QString::fromUtf8(f.readAll());
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
