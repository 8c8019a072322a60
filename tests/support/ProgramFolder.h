#pragma once

// A program folder of its own for a test: the embedded demo databases, a scripted prompter and
// an exit routine that records instead of ending the test run.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ado/sqlite/SqliteEngine.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/Process.h"
#include "tests/support/ScriptedPrompter.h"

class ProgramFolder : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        platform::process::setProgramFolder(dir.path());
        platform::process::setProgramName(QStringLiteral("Cronequipo"));
        previousPrompter = platform::setPrompter(prompts);
        platform::process::setExitRoutine([this](int status) { exits.push_back(status); });
        makeDatabase(QStringLiteral("GESTION.db"), {"schema.sql", "demo.sql"});
        makeDatabase(QStringLiteral("VL_ESTADISTICAS.db"), {"estadisticas.sql"});
        resetSharedDB();
        gSSConfidencialidad = false;
    }

    void TearDown() override {
        resetSharedDB();
        platform::setPrompter(previousPrompter);
        platform::process::setExitRoutine({});
        platform::process::setProgramStarter({});
        platform::process::setProgramFolder({});
        platform::process::setProgramName({});
    }

    void makeDatabase(const QString& name, std::initializer_list<const char*> scripts) {
        const QString path = dir.filePath(name);
        ado::SqliteEngine::create(path);
        auto engine = ado::SqliteEngine::open(path);
        for (const char* s : scripts) {
            QFile f(QStringLiteral(TEST_DB_DIR "/") + QString::fromUtf8(s));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << s;
            engine->execute(QString::fromUtf8(f.readAll()));
        }
    }

    // The year the demo database was made in (its setting PERIODO). Its work orders and warranties
    // are dated from the day it was made: the clock read again may already be in the next year.
    int demoYear() {
        auto engine = ado::SqliteEngine::open(dir.filePath(QStringLiteral("GESTION.db")));
        const auto cursor = engine->read(
            QStringLiteral("SELECT VALOR FROM ta_configuracion WHERE CLAVE = 'PERIODO'"));
        std::vector<platform::Variant> row;
        if (!cursor || !cursor->next(row) || row.empty()) {
            ADD_FAILURE() << "the demo database has no PERIODO";
            return 0;
        }
        return row[0].toText().trimmed().toInt();
    }

    // Opens the shared connection on the demo database as the start-up does.
    void connect(const QString& user = QStringLiteral("demo")) {
        DB_Dll& db = gDB();
        db.gServidor = QStringLiteral("sqlite");
        db.gDBName = QStringLiteral("GESTION");
        db.gUsuario = user;
        db.OpenServerADODB(false, 3, QString(), true, true);
        ASSERT_TRUE(db.gOpenFlag);
    }

    // The first value of a query on the shared connection, as text ("" for null).
    QString scalar(const QString& sql) {
        auto rs = gDB().gCnn.execute(sql);
        if (rs->state() == ado::adstate::Closed || rs->eof()) return QStringLiteral("<sin filas>");
        return rs->field(0).value().textOr(QString());
    }

    // Copies every file below `from` to the same place below `to`.
    static void copyTree(const QString& from, const QString& to) {
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = to + file.mid(from.size());
            QDir().mkpath(QFileInfo(target).path());
            ASSERT_TRUE(QFile::copy(file, target)) << target.toStdString();
        }
    }

    QByteArray fileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    std::shared_ptr<platform::ScriptedPrompter> prompts =
        std::make_shared<platform::ScriptedPrompter>();
    std::shared_ptr<platform::Prompter> previousPrompter;
    std::vector<int> exits;
};
