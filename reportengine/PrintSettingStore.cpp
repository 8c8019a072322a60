#include "reportengine/PrintSettingStore.h"

#include <QSettings>

namespace reportengine {

namespace {

QString section(qint32 handle) {
    return handle == 0 ? QStringLiteral("impresion") : QStringLiteral("impresion%1").arg(handle);
}

// Per user, in the suite's own settings file.
constexpr auto kOrganization = "Cronequipo";
constexpr auto kFile = "informes";

}  // namespace

PrintSetting PrintSettingStore::read(qint32 handle) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganization),
                QLatin1String(kFile));
    s.beginGroup(section(handle));
    PrintSetting p;
    p.printer = s.value(QStringLiteral("impresora")).toString();
    const QString o = s.value(QStringLiteral("orientacion")).toString();
    if (o == QLatin1String("vertical"))
        p.orientation = PrintSetting::Orientation::Portrait;
    else if (o == QLatin1String("horizontal"))
        p.orientation = PrintSetting::Orientation::Landscape;
    return p;
}

void PrintSettingStore::write(qint32 handle, const PrintSetting& setting) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganization),
                QLatin1String(kFile));
    s.beginGroup(section(handle));
    s.setValue(QStringLiteral("impresora"), setting.printer);
    switch (setting.orientation) {
        case PrintSetting::Orientation::Portrait:
            s.setValue(QStringLiteral("orientacion"), QStringLiteral("vertical"));
            break;
        case PrintSetting::Orientation::Landscape:
            s.setValue(QStringLiteral("orientacion"), QStringLiteral("horizontal"));
            break;
        case PrintSetting::Orientation::Template:
            s.setValue(QStringLiteral("orientacion"), QStringLiteral("formato"));
            break;
    }
}

QString PrintSettingStore::saveFolder() {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganization),
                QLatin1String(kFile));
    return s.value(QStringLiteral("guardar/carpeta")).toString();
}

void PrintSettingStore::setSaveFolder(const QString& folder) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganization),
                QLatin1String(kFile));
    s.setValue(QStringLiteral("guardar/carpeta"), folder);
}

}  // namespace reportengine
