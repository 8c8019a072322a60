#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace ado {

using KeyValues = QList<QPair<QString, QString>>;

// "key=value;..." with keys trimmed and compared without regard to case; values may be
// {braced} or "quoted". A part without "=" makes the text unreadable: no value then.
bool parseConnectionString(const QString& text, KeyValues* out);
QString valueOf(const KeyValues& kv, std::initializer_list<const char*> keys);

// Which engine serves a connection string, and how.
struct EngineChoice {
    enum class Kind { Sqlite, Odbc } kind = Kind::Sqlite;
    QString sqlitePath;      // absolute path of the database file
    bool localFile = false;  // opened as a local desktop database (its own error states)
    QString odbcText;        // the connection string handed to the ODBC driver manager
    QString provider;
    QString database;  // the name the connection reports as its database
};

// Resolves a connection string (plus the user and password given to the open) into an engine
// choice. Raises -2147467259 or 3706 with a Spanish description when it cannot be used.
EngineChoice chooseEngine(const QString& connectionString, const QString& user,
                          const QString& password);

// The embedded database file for a database name: absolute, or relative to the program folder;
// ".db" added when the name has no extension.
QString sqliteFileFor(const QString& databaseName);

}  // namespace ado
