#include "ado/ConnectionString.h"

#include <QDir>
#include <QFileInfo>

#include "ado/core/Error.h"
#include "platform/IniReader.h"
#include "platform/Process.h"

namespace ado {

namespace {
const QString kSource = QStringLiteral("ADODB.Connection");

QString settingsFile() {
    return platform::process::programFolder() + QStringLiteral("KV300mn.INI");
}

bool isOneOf(const QString& v, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (v.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString odbcValue(const QString& v) {
    if (v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) ||
        v.contains(QLatin1Char('}')) || v != v.trimmed()) {
        QString e = v;
        return QLatin1Char('{') + e.replace(QLatin1Char('}'), QLatin1String("}}")) +
               QLatin1Char('}');
    }
    return v;
}
}  // namespace

bool parseConnectionString(const QString& text, KeyValues* out) {
    out->clear();
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(';'))) ++i;
        if (i >= n) break;
        const int eq = static_cast<int>(text.indexOf(QLatin1Char('='), i));
        if (eq < 0) return false;
        const QString key = text.mid(i, eq - i).trimmed();
        if (key.isEmpty() || key.contains(QLatin1Char(';'))) return false;
        i = eq + 1;
        while (i < n && text[i] == QLatin1Char(' ')) ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('{') || text[i] == QLatin1Char('"') ||
                      text[i] == QLatin1Char('\''))) {
            const QChar close = text[i] == QLatin1Char('{') ? QLatin1Char('}') : text[i];
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) {  // doubled closer stands for itself
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed) return false;
            while (i < n && text[i] != QLatin1Char(';')) {
                if (!text[i].isSpace()) return false;
                ++i;
            }
        } else {
            const int semi = static_cast<int>(text.indexOf(QLatin1Char(';'), i));
            const int end = semi < 0 ? n : semi;
            value = text.mid(i, end - i).trimmed();
            i = end;
        }
        out->append({key, value});
    }
    return true;
}

QString valueOf(const KeyValues& kv, std::initializer_list<const char*> keys) {
    for (const auto& [k, v] : kv)
        if (isOneOf(k, keys)) return v;
    return {};
}

QString sqliteFileFor(const QString& databaseName) {
    QString name = databaseName.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".db");
    if (QDir::isRelativePath(name)) name = platform::process::programFolder() + name;
    name = QDir::cleanPath(name);
    // A server finds a database whatever the case of its name: so does the embedded engine.
    const QFileInfo exact(name);
    if (!exact.exists()) {
        const QDir folder = exact.absoluteDir();
        for (const QString& entry : folder.entryList(QDir::Files)) {
            if (entry.compare(exact.fileName(), Qt::CaseInsensitive) == 0)
                return folder.filePath(entry);
        }
    }
    return name;
}

EngineChoice chooseEngine(const QString& connectionString, const QString& user,
                          const QString& password) {
    KeyValues kv;
    if (connectionString.trimmed().isEmpty() || !parseConnectionString(connectionString, &kv)) {
        raiseAdo(
            code::EFail,
            QStringLiteral("No se puede leer la cadena de conexión \"%1\".").arg(connectionString),
            kSource);
    }
    EngineChoice c;
    const QString uid = user.isEmpty() ? valueOf(kv, {"UID", "User Id", "User"}) : user;
    const QString pwd = password.isEmpty() ? valueOf(kv, {"PWD", "Password"}) : password;

    if (!valueOf(kv, {"Driver"}).isEmpty() || !valueOf(kv, {"DSN"}).isEmpty()) {
        c.kind = EngineChoice::Kind::Odbc;
        c.odbcText = connectionString;
        if (!user.isEmpty()) c.odbcText += QStringLiteral(";UID=") + odbcValue(user);
        if (!password.isEmpty()) c.odbcText += QStringLiteral(";PWD=") + odbcValue(password);
        c.database = valueOf(kv, {"Database", "Initial Catalog"});
        c.provider = QStringLiteral("MSDASQL");
        return c;
    }

    c.provider = valueOf(kv, {"Provider"});
    if (c.provider.isEmpty()) c.provider = QStringLiteral("SQLOLEDB");

    if (c.provider.startsWith(QLatin1String("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive)) {
        const QString file = valueOf(kv, {"Data Source"});
        c.kind = EngineChoice::Kind::Sqlite;
        c.localFile = true;
        c.sqlitePath = sqliteFileFor(file);
        c.database = file;
        return c;
    }

    if (isOneOf(c.provider,
                {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI", "SQLNCLI10", "SQLNCLI11", "MSOLEDBSQL"})) {
        const QString server = valueOf(kv, {"Server", "Data Source", "Address", "Addr"});
        c.database = valueOf(kv, {"Database", "Initial Catalog"});
        if (server.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0) {
            if (c.database.trimmed().isEmpty()) {
                raiseAdo(code::EFail, QStringLiteral("No se indicó la base de datos a abrir."),
                         kSource);
            }
            c.kind = EngineChoice::Kind::Sqlite;
            c.sqlitePath = sqliteFileFor(c.database);
            return c;
        }
        c.kind = EngineChoice::Kind::Odbc;
        const QString driver =
            platform::readIniKey(settingsFile(), QStringLiteral("ODBC"),
                                 QStringLiteral("DriverSQLServer"), QStringLiteral("FreeTDS"));
        QString host = server.trimmed(), port;
        const int comma = static_cast<int>(host.indexOf(QLatin1Char(',')));
        if (comma >= 0) {
            port = host.mid(comma + 1).trimmed();
            host = host.left(comma).trimmed();
        }
        QString text = QStringLiteral("Driver={%1};Server=%2;").arg(driver, odbcValue(host));
        if (driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive) ||
            driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive)) {
            if (port.isEmpty() && !host.contains(QLatin1Char('\\'))) port = QStringLiteral("1433");
            if (!port.isEmpty()) text += QStringLiteral("Port=%1;").arg(port);
            text += QStringLiteral("TDS_Version=auto;ClientCharset=UTF-8;");
        } else if (driver.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) ||
                   driver.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive)) {
            // This driver takes the port on its own; "host,port" would be read as a host name.
            if (!port.isEmpty()) text += QStringLiteral("Port=%1;").arg(odbcValue(port));
        } else if (!port.isEmpty()) {
            text = QStringLiteral("Driver={%1};Server=%2,%3;").arg(driver, odbcValue(host), port);
        }
        if (!c.database.isEmpty())
            text += QStringLiteral("Database=%1;").arg(odbcValue(c.database));
        text += QStringLiteral("UID=%1;PWD=%2;").arg(odbcValue(uid), odbcValue(pwd));
        c.odbcText = text;
        return c;
    }

    if (c.provider.contains(QLatin1String("Oracle"), Qt::CaseInsensitive) ||
        isOneOf(c.provider, {"MSDAORA", "MSDAORA.1"})) {
        c.kind = EngineChoice::Kind::Odbc;
        const QString driver =
            platform::readIniKey(settingsFile(), QStringLiteral("ODBC"),
                                 QStringLiteral("DriverOracle"), QStringLiteral("Oracle"));
        c.database = valueOf(kv, {"Data Source"});
        c.odbcText = QStringLiteral("Driver={%1};DBQ=%2;UID=%3;PWD=%4;")
                         .arg(driver, odbcValue(c.database), odbcValue(uid), odbcValue(pwd));
        return c;
    }

    raiseAdo(
        3706,
        QStringLiteral("No se encuentra el proveedor \"%1\". Es posible que no esté instalado.")
            .arg(c.provider),
        kSource);
}

}  // namespace ado
