#include "startup/SqlTexto.h"

#include "data/db_dll/Dialects.h"
#include "platform/ArchivoLegible.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "platform/TextFile.h"
#include "startup/Errores.h"

QString FormatoFechaHora() {
    return QStringLiteral("dd/mm/yy hh:mm");
}
QString FormatoFecha() {
    return QStringLiteral("dd/mm/yy");
}
QString FormatoHora() {
    return QStringLiteral("hh:mm");
}

QString Formato(const QDateTime& when, const QString& pattern) {
    const auto& r = platform::Regional::current();
    QString out;
    bool afterHours = false;
    for (int i = 0; i < pattern.size();) {
        auto at = [&](const char* token) {
            return pattern.mid(i, static_cast<int>(qstrlen(token)))
                       .compare(QLatin1String(token), Qt::CaseInsensitive) == 0;
        };
        if (at("yyyy")) {
            out += when.toString(QStringLiteral("yyyy"));
            i += 4;
        } else if (at("yy")) {
            out += when.toString(QStringLiteral("yy"));
            i += 2;
        } else if (at("dd")) {
            out += when.toString(QStringLiteral("dd"));
            i += 2;
        } else if (at("hh")) {
            out += when.toString(QStringLiteral("HH"));
            afterHours = true;
            i += 2;
        } else if (at("nn") || (at("mm") && afterHours)) {
            out += when.toString(QStringLiteral("mm"));
            i += 2;
        } else if (at("mm")) {
            out += when.toString(QStringLiteral("MM"));
            i += 2;
        } else if (at("ss")) {
            out += when.toString(QStringLiteral("ss"));
            i += 2;
        } else if (pattern[i] == QLatin1Char('/')) {
            out += r.dateSeparator;
            ++i;
        } else if (pattern[i] == QLatin1Char(':')) {
            out += r.timeSeparator;
            ++i;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

void AgregaCampo(const QString& campo, QString& valor, const QString& tipo, bool nuevo) {
    if (nuevo) {
        gCampos.assign(1, CampoValor{});
    } else {
        gCampos.push_back(CampoValor{});
    }
    valor.remove(QLatin1Char('\''));
    CampoValor& c = gCampos.back();
    c.campo = campo;
    if (valor.toUpper() == QLatin1String("NULL")) {
        c.valor = QStringLiteral("Null");
    } else {
        c.valor = gDB().SQLValue(platform::Variant(valor), tipo).toText();
    }
}

void ArmaSentencia(std::vector<CampoValor>& campos, QStringList& sentencias, const QString& tabla,
                   bool actualiza, QString& where, bool conserva) {
    QString sentencia;
    if (actualiza) {
        QStringList asignaciones;
        for (const auto& c : campos) asignaciones << c.campo + QStringLiteral(" = ") + c.valor;
        if (!where.contains(QLatin1String("WHERE"), Qt::CaseInsensitive))
            where = QStringLiteral(" WHERE ") + where;
        sentencia = QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") +
                    asignaciones.join(QLatin1Char(',')) + QStringLiteral(" ") + where;
    } else {
        QStringList columnas, valores;
        for (const auto& c : campos) {
            columnas << c.campo;
            valores << c.valor;
        }
        sentencia = QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" ") +
                    QStringLiteral("(") + columnas.join(QLatin1Char(',')) + QStringLiteral(")") +
                    QStringLiteral(" VALUES (") + valores.join(QLatin1Char(',')) +
                    QStringLiteral(")");
    }
    sentencias << sentencia << QString();
    if (!conserva) campos.assign(1, CampoValor{});
}

void GActualizarDatoScript(const QStringList& sentencias, bool& fallo, qint32& numero,
                           bool ignoraDuplicado, bool ignoraForanea, QString& ejecutado,
                           QString& mensaje, bool muestra) {
    const QString CR = QStringLiteral("\r");
    QString script, texto;
    qint32 nativo = 0;
    bool hayErrores = false;
    DB_Dll& db = gDB();
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return reporterGlobal(QStringLiteral("GActualizarDatoScript"), e);
    });
    steps.then([&] { fallo = false; })
        .then([&] {
            for (const QString& s : sentencias)
                if (!s.trimmed().isEmpty()) script += CR + s;
            if (script.isEmpty()) platform::Steps::leave();
        })
        .then([&] { script = QStringLiteral("BEGIN TRANSACTION ") + CR + CR + script + CR; })
        .then([&] {
            ejecutado = script;
            QString corrida = script;
            qint32 n = 0;
            try {
                db.EjecutaConsultaSQL(corrida, n, nullptr);
            } catch (const platform::process::ProgramEnded&) {
                throw;
            } catch (...) {
                // Judged by the errors collection below.
            }
        })
        .then([&] { hayErrores = db.gCnn.errors().count() >= 1; })
        .then([&] {
            if (!hayErrores) return;
            const ado::Errors& errores = db.gCnn.errors();
            nativo = errores.item(0).nativeError;
            fallo = true;
            texto.clear();
            const int total = errores.count();
            const int informadas = total == 1 ? 1 : total - 1;
            for (int i = 0; i < informadas; ++i) {
                texto += QString::number(errores.item(i).nativeError) + QStringLiteral(" : ") +
                         errores.item(i).description + QStringLiteral("\r\n");
            }
            mensaje = texto;
            if ((ignoraDuplicado && nativo == ado::native::DuplicateKey) ||
                (ignoraForanea && nativo == ado::native::ForeignKeyOrCheck)) {
                mensaje = errores.item(0).description;
                texto.clear();
            }
        })
        .then([&] {
            if (hayErrores) db.gCnn.errors().clear();
        })
        .then([&] {
            QString fin = hayErrores ? QStringLiteral("ROLLBACK TRANSACTION")
                                     : QStringLiteral("COMMIT TRANSACTION");
            qint32 n = 0;
            try {
                db.EjecutaConsultaSQL(fin, n, nullptr);
            } catch (const platform::process::ProgramEnded&) {
                throw;
            } catch (...) {
                // A failed end of transaction changes nothing of the outcome reported.
            }
        })
        .then([&] {
            // A commit the database refuses leaves nothing written: that is a failure too.
            if (hayErrores || db.gCnn.errors().count() == 0) return;
            const ado::Error e = db.gCnn.errors().item(0);
            hayErrores = fallo = true;
            nativo = e.nativeError;
            texto = QString::number(e.nativeError) + QStringLiteral(" : ") + e.description +
                    QStringLiteral("\r\n");
            mensaje = texto;
            db.gCnn.errors().clear();
            QString fin = QStringLiteral("ROLLBACK TRANSACTION");
            qint32 n = 0;
            db.EjecutaConsultaSQL(fin, n, nullptr);
            db.gCnn.errors().clear();
        })
        .then([&] {
            if (!hayErrores) return;
            QString proceso = platform::process::programName();
            RegistraErrorSQL(ejecutado, proceso, nativo, texto);
        })
        .then([&] {
            if (hayErrores && !texto.trimmed().isEmpty() && muestra)
                platform::msgBox(texto, platform::mb::Critical | platform::mb::OkOnly,
                                 QStringLiteral("Aviso al Operador!"));
        })
        .then([&] { numero = hayErrores ? nativo : 0; });
    steps.run();
}

QString AdaptaSQL(const QString& sentencia) {
    return dbdll::adaptaSql(sentencia, gDB().gConnString);
}

bool ExisteArchivo(const QString& ruta) {
    QString r = ruta;
    r.remove(QLatin1Char('"'));
    // Only a regular file can be opened for reading: a FIFO is never opened, so never waited on.
    return platform::archivo::legible(platform::nativePath(r));
}
