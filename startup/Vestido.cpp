#include "startup/Vestido.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QVersionNumber>
#include <QWidget>

#include "platform/ArchivoLegible.h"
#include "platform/Failure.h"
#include "platform/Hoy.h"
#include "platform/Process.h"
#include "platform/Regional.h"
#include "startup/Errores.h"
#include "startup/PanelEstado.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"
#include "widgets/SkinControl.h"

namespace {

const QString kIcono = QStringLiteral(":/ICONVORLANE");

QLabel& panel(QStatusBar* bar, const char* clave) {
    QLabel* p = bar ? bar->findChild<QLabel*>(QString::fromLatin1(clave)) : nullptr;
    if (!p) platform::raise(35601, QStringLiteral("No se encontró el elemento"));
    return *p;
}

QString descripcionCaja(const QString& tabla) {
    return gDB()
        .DatosTabla(tabla, gCaja, QStringLiteral("Descripcion"), QStringLiteral("IdCajas"),
                    platform::Variant(8), QString(), true, true)
        .textOr(QString());
}

QString textoVersion() {
    QVersionNumber v = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    if (v.isNull()) v = QVersionNumber::fromString(QStringLiteral(CRONEQUIPO_VERSION));
    return QStringLiteral("V.%1.%2.%3").arg(v.segmentAt(0)).arg(v.segmentAt(1)).arg(v.segmentAt(2));
}

// Every picture of an icon file, read through the platform's reader: a FIFO or a device in its
// place is refused, never waited on.
QIcon iconoDeArchivo(const QString& archivo) {
    QBuffer datos;
    datos.setData(platform::archivo::lee(archivo, platform::limite::kFormatos));
    datos.open(QIODevice::ReadOnly);
    QImageReader lector(&datos);
    QIcon icono;
    do {
        const QImage imagen = lector.read();
        if (!imagen.isNull()) icono.addPixmap(QPixmap::fromImage(imagen));
    } while (lector.jumpToNextImage());
    return icono;
}

void ponIcono(QWidget* form, const QString& archivo) {
    const bool recurso = archivo.startsWith(QLatin1Char(':'));
    if (recurso && !QFileInfo(archivo).isFile())
        platform::raise(platform::errnum::FileNotFound,
                        QStringLiteral("No se encontró el archivo"));
    const QIcon icono = recurso ? QIcon(archivo) : iconoDeArchivo(archivo);
    if (icono.availableSizes().isEmpty())
        platform::raise(481, QStringLiteral("La imagen no es válida"));
    form->setWindowIcon(icono);
}

}  // namespace

void AplicaSkin(QWidget* form) {
    if (!form) platform::raise(91, QStringLiteral("Variable de objeto no establecida"));
    const QString seccion = SuiteLib::machineInfo().UserName().toUpper() + QStringLiteral("_") +
                            gDB().gDBName.toUpper() + QStringLiteral("Styles");
    const qint16 estilo = platform::leadingInteger16(LeeIni(
        QStringLiteral("kv300mn.ini"), seccion, QStringLiteral("Styles"), QStringLiteral("4")));
    QString ruta;
    QString ajustes;
    switch (estilo) {
        case 1:
            ruta = QStringLiteral("Styles/Vista.cjstyles");
            break;
        case 2:
            ruta = QStringLiteral("Styles/WinXP.Luna.cjstyles");
            break;
        case 3:
            ruta = QStringLiteral("Styles/WinXP.Royale.cjstyles");
            break;
        case 4:
            ruta = QStringLiteral("Styles/iTunes");
            ajustes = QStringLiteral("Normalitunes.ini");
            break;
        default:
            ruta = QStringLiteral("Styles/Office2007.cjstyles");
            break;
    }
    const QString completa =
        SuiteLib::tools().FolderPath(platform::process::programFolder()) + ruta;
    auto* skin = form->findChild<SkinControl*>(QStringLiteral("SkinFramework1"));
    if (!skin) platform::raise(438, QStringLiteral("El objeto no admite esta propiedad o método"));
    skin->LoadSkin(completa, ajustes);
    skin->ApplyWindow(form);
    skin->setApplyOptions(skin->ApplyOptions() | SkinControl::kTodaLaAplicacion);
}

void CargaBarraEstado(QStatusBar* bar, const QString& mensaje) {
    DB_Dll& db = gDB();
    QString descripcion;
    auto texto = [bar](const char* clave, const QString& t) { panel(bar, clave).setText(t); };
    auto ayuda = [bar](const char* clave) {
        QLabel& p = panel(bar, clave);
        p.setToolTip(p.text());
    };
    auto steps = platform::Steps::skipping();
    steps.then([&] { texto("MENSAJE", mensaje); })
        .then([&] {
            // The connection panels are filled once; later calls only change the message.
            if (!panel(bar, "SERVER").text().isEmpty()) platform::Steps::leave();
        })
        .then([&] { texto("SERVER", QStringLiteral("Srv: ") + db.gServidor); })
        .then([&] { texto("USUARIO", QStringLiteral("Uid: ") + db.gUsuario); })
        .then([&] { texto("BASEDEDATOS", QStringLiteral("Db: ") + db.gDBName); })
        .then([&] { ayuda("BASEDEDATOS"); })
        .then([&] {
            if (gCaja.isEmpty()) gCaja = QStringLiteral("1");
        })
        .then([&] { descripcion = descripcionCaja(QStringLiteral("@Admin_V_TA_Cajas")); })
        .then([&] {
            if (!descripcion.trimmed().isEmpty()) return;
            QString sql =
                QStringLiteral(
                    "INSERT INTO @Admin_V_TA_Cajas (IDCAJAS,DESCRIPCION) "
                    "VALUES('") +
                SuiteLib::tools().SqlSafeText(SuiteLib::tools().PadCode(gCaja.trimmed(), 4)) +
                QStringLiteral("','CAJA ") + SuiteLib::tools().SqlSafeText(gCaja) +
                QStringLiteral("')");
            qint32 filas = 0;
            db.EjecutaConsultaSQL(sql, filas, nullptr);
        })
        .then([&] {
            texto("CAJA",
                  gCaja + QStringLiteral(" ") + descripcionCaja(QStringLiteral("V_TA_Cajas")));
        })
        .then([&] { texto("VERSION", textoVersion()); })
        .then([&] { ayuda("SERVER"); })
        .then([&] { ayuda("USUARIO"); })
        .then([&] { ayuda("BASEDEDATOS"); })
        .then([&] { ayuda("CAJA"); });
    steps.run();
}

void AsignaIcono(QWidget* form) {
    auto steps = platform::Steps::skipping();
    steps.then([&] { ponIcono(form, kIcono); })
        .then([&] {
            if (!form->testAttribute(Qt::WA_SetWindowIcon))
                ponIcono(form, QDir::current().filePath(QStringLiteral("vorlane.ico")));
        })
        .then([&] {
            if (QString::fromLatin1(form->metaObject()->className())
                    .compare(QLatin1String("FRMMDI"), Qt::CaseInsensitive) == 0)
                platform::Steps::leave();
        });
    for (const char* nombre : {"UtilVor1", "TBarRep1", "Util0011"}) {
        steps.then([form, nombre] {
            QObject* control = form->findChild<QObject*>(QString::fromLatin1(nombre));
            if (!control)
                platform::raise(438, QStringLiteral("El objeto no admite esta propiedad o método"));
            control->setProperty("StyleBar", gFlatToolbars);
        });
    }
    steps.then([] { QCoreApplication::processEvents(); });
    steps.run();
}

void ArmaBarraEstado(QStatusBar* bar) {
    auto* mensaje = new PanelEstado(bar);
    mensaje->setObjectName(QStringLiteral("MENSAJE"));
    bar->addWidget(mensaje, 1);
    for (const char* clave : {"SERVER", "USUARIO", "BASEDEDATOS", "CAJA", "VERSION", "FECHA"}) {
        auto* p = new PanelEstado(bar);
        p->setObjectName(QString::fromLatin1(clave));
        bar->addPermanentWidget(p);
    }
    auto* fecha = bar->findChild<QLabel*>(QStringLiteral("FECHA"));
    const QDate hoy = platform::hoy();
    fecha->setText(hoy.toString(platform::Regional::current().shortDateFormat));
    fecha->setToolTip(QLocale(QLocale::Spanish).toString(hoy, QLocale::LongFormat));
}
