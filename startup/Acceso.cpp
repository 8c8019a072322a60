#include "startup/Acceso.h"

#include <QFileInfo>

#include "data/db_dll/Dialects.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "platform/DestinoEscritura.h"
#include "platform/Escritura.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"
#include "startup/Errores.h"
#include "startup/SqlTexto.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

void RegistraAcceso(const QString& programaDado) {
    const auto& t = SuiteLib::tools();
    DB_Dll& db = gDB();
    QString programa, tarea;
    DB_Dll::Recordset rs, acceso;
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            programa = programaDado.isEmpty() ? platform::process::programName() : programaDado;
        })
        .then([&] { gUsuarioLogeado = db.gUsuario; })
        .then([&] {
            QString sql =
                QStringLiteral(
                    "SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre ") +
                QStringLiteral(
                    " FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = "
                    "TA_MENU.Clave ") +
                QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + t.SqlSafeText(gUsuarioLogeado) +
                QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + t.SqlSafeText(programa) +
                QStringLiteral("%')");
            db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true);
        })
        .then([&] {
            if (!rs->bof()) {
                tarea = t.NoNull(rs->field(QStringLiteral("Nombre")).value()).toText();
            } else if (platform::process::programName().compare(QLatin1String("KV300MN"),
                                                                Qt::CaseInsensitive) == 0) {
                tarea = QStringLiteral("Menu Principal");
            } else if (db.gUsuario.compare(db.gDBName, Qt::CaseInsensitive) == 0 ||
                       db.gUsuario.compare(QLatin1String("SUPERVISOR VORLANE MC"),
                                           Qt::CaseInsensitive) == 0) {
                tarea = platform::process::programName();
            }
        })
        .then([&] { db.CierraRecordset(rs); })
        .then([&] {
            QString sql =
                AdaptaSQL(QStringLiteral("Select TOP 1 * from Control_Acceso  with(nolock) "));
            db.AbrirRecordset(sql, acceso, nullptr, 0, 1, -1, true);
        })
        .then([&] {
            gSentencias.clear();
            const QDateTime ahora = QDateTime::currentDateTime();
            // The row is the suite's log, not data read back: a text longer than its column is
            // cut to it, so that the row is written rather than lost with the statement.
            auto cabe = [&](const char* columna, QString valor) {
                valor.remove(QLatin1Char('\''));  // as AgregaCampo stores it
                const QString nombre = QString::fromLatin1(columna);
                return acceso && acceso->hasField(nombre) ? acceso->field(nombre).fitted(valor)
                                                          : valor;
            };
            QString maquina =
                cabe("Maquina", SuiteLib::machineInfo().ComputerName().trimmed().toUpper());
            QString usuario = cabe("Usuario", gUsuarioLogeado.trimmed().toUpper());
            QString formulario = cabe("Formulario", programa.trimmed().toUpper());
            QString tareaMayus = cabe("Tarea", tarea.trimmed().toUpper());
            QString ingreso = Formato(ahora, FormatoFecha()) + QStringLiteral(" ") +
                              Formato(ahora, FormatoHora());
            // The quotes leave gUsuarioLogeado itself too; only the written value is cut.
            gUsuarioLogeado.remove(QLatin1Char('\''));
            QString nombreUsuario = cabe("NombreUsuario", gUsuarioLogeado);
            const QString q = QStringLiteral("'");
            AgregaCampo(QStringLiteral("Maquina"), maquina, q, true);
            AgregaCampo(QStringLiteral("Usuario"), usuario, q, false);
            AgregaCampo(QStringLiteral("Formulario"), formulario, q, false);
            AgregaCampo(QStringLiteral("Tarea"), tareaMayus, q, false);
            AgregaCampo(QStringLiteral("Ingreso"), ingreso, q, false);
            AgregaCampo(QStringLiteral("NombreUsuario"), nombreUsuario, q, false);
        })
        .then([&] {
            QString where;
            ArmaSentencia(gCampos, gSentencias, QStringLiteral("Control_Acceso"), false, where,
                          false);
        })
        .then([&] {
            bool fallo = false;
            qint32 numero = 0;
            QString ejecutado, mensaje;
            GActualizarDatoScript(gSentencias, fallo, numero, false, false, ejecutado, mensaje,
                                  true);
        })
        .cleanup([&] {
            if (acceso) db.CierraRecordset(acceso);
        });
    steps.run();
}

void MenuExes(const QString& programa, QString& parametroAdicional, qint64& tarea) {
    DB_Dll& db = gDB();
    QString parametros, linea;
    auto steps = platform::Steps::trapping(
        [](const platform::ErrorInfo& e) { return reporterGlobal(QStringLiteral("MenuExes"), e); });
    steps
        .then([&] {
            const int blanco = static_cast<int>(parametroAdicional.indexOf(QLatin1Char(' ')));
            if (blanco >= 0) parametroAdicional = parametroAdicional.mid(blanco + 1);
        })
        .then([&] {
            parametros = QStringLiteral(" ; @server=") + db.gServidor +
                         QStringLiteral("; @dbname=") + db.gDBName + QStringLiteral("; @usuario=") +
                         db.gUsuario + QStringLiteral("; @Password=") + db.gUserPassWord +
                         QStringLiteral("; @ParametroAdicional=") + parametroAdicional +
                         QStringLiteral("; brun@ ; @UsuarioLogeado = ") + gUsuarioLogeado +
                         QStringLiteral("; @Caja=") + gCaja + QStringLiteral(";");
        })
        .then([&] {
            if (programa.contains(QLatin1Char('\\'))) {
                linea = programa.mid(6) + parametros;
                return;
            }
            const QString carpeta =
                SuiteLib::tools().FolderPath(platform::process::programFolder());
            if (programa.contains(QLatin1String("SHELL"), Qt::CaseInsensitive)) {
                linea = carpeta + programa.mid(6) + parametros;
            } else {
                linea = carpeta + programa + parametros;
            }
        })
        .then([&] {
            tarea = platform::process::startProgram(linea);
            if (tarea == 0)
                platform::raise(platform::errnum::FileNotFound,
                                QStringLiteral("No se encontró el archivo: ") +
                                    linea.section(QLatin1Char(' '), 0, 0));
        })
        .then([&] {
            if (tarea == 0)
                platform::msgBox(QStringLiteral("Opcion no Implementada!") + QStringLiteral("\r") +
                                     QStringLiteral("Comuniquese con su proveedor de sistemas"),
                                 platform::mb::Critical | platform::mb::OkOnly,
                                 QStringLiteral("Atención"));
        });
    steps.run();
}

namespace {

struct ConsultaRapida {
    const char* tabla;
    const char* titulo;
    const char* columnas;
};

constexpr ConsultaRapida kConsultas[] = {
    {"V_MA_ARTICULOS", "ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
    {"VT_CLIENTES", "CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {"VT_PROVEEDORES", "PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
    {"MA_CONTACTOS", "CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {"V_TA_VENDEDORES", "VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
    {"V_TA_TECNICOS", "TECNICOS", "|NOMBRE|IDTECNICO|"},
    {"V_MA_MANTENIMIENTOS", "MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
    {"MA_CUENTAS", "CUENTAS", "|DESCRIPCION|CODIGO|"},
    {"V_TA_Tareas  ", "TAREAS", "|Descripcion|IdTarea|"},
    {"V_TA_UnidadNegocio", "UnidadNegocio", "|Descripcion|Codigo|"},
    {"V_TA_DEPOSITO", "DEPOSITO", "|Descripcion|IdDeposito|"},
};

QByteArray campo(const QString& valor, int ancho) {
    QByteArray b = platform::cp1252::encode(valor).left(ancho);
    return b + QByteArray(ancho - static_cast<int>(b.size()), ' ');
}

}  // namespace

bool FaltanConsultasRapidas(const QString& ruta) {
    const QString r = platform::nativePath(ruta);
    switch (platform::archivo::clase(r)) {
        case platform::ClaseDeArchivo::Ninguna:
            return true;
        case platform::ClaseDeArchivo::Comun: {
            // Empty or cut (a full disk, a killed run): as good as missing. One beyond any real
            // size is not ours to replace.
            const qint64 largo = QFileInfo(r).size();
            if (largo > platform::limite::kAjustes) return false;
            return largo == 0 || largo % kLargoConsulta != 0;
        }
        default:
            return false;  // not a file of ours: never replaced
    }
}

void CreaConsultasRapidas() {
    const QString ruta = platform::nativePath(gConsulta().gRutaMascaraConsultas);
    if (const auto porque = platform::porQueNoSeEscribe(ruta))
        platform::raise(platform::errnum::PathFileAccess, *porque);
    // After the whole records there; a file cut short is as good as missing.
    QByteArray todo;
    if (platform::archivo::clase(ruta) == platform::ClaseDeArchivo::Comun &&
        !FaltanConsultasRapidas(ruta))
        todo = platform::archivo::lee(ruta, platform::limite::kAjustes);
    for (const auto& c : kConsultas) {
        todo += campo(QString::fromUtf8(c.titulo).trimmed(), 100) +
                campo(QString::fromUtf8(c.tabla), 100) +
                campo(QString::fromUtf8(c.columnas).trimmed(), 500) + campo(QString(), 500) +
                QByteArray("\r\n");
    }
    // Written beside and put in place: the file exists whole or not at all.
    QString porque;
    if (!platform::escritura::reemplazaEntero(ruta, todo, &porque))
        platform::raise(platform::errnum::PermissionDenied, porque);
}
