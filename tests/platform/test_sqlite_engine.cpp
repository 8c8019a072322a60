// What only the embedded engine does: several users of one file, opening files that are not
// what they should be, names without regard to case.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <thread>

#include "platform/Failure.h"
#include "platform/Process.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqliteEngine.h"

using namespace ado;
using platform::Variant;

namespace {

QString textoDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Failure& e) {
        return e.info().description;
    }
    return {};
}

class Embebido : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("GESTION.db"));
        SqliteEngine::create(path);
        auto e = SqliteEngine::open(path);
        e->executeRaw(QStringLiteral("CREATE TABLE T (N INTEGER, Texto VARCHAR(10))"));
        for (int i = 0; i < 50; ++i)
            e->executeRaw(QStringLiteral("INSERT INTO T VALUES (%1, 'x')").arg(i));
    }
    QString cadena(const QString& base) const {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=x;Pwd=;").arg(base);
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(Embebido, AWriteWithAReadStillOpenWaitsForTheOtherUser) {
    Connection a, b;
    a.open(cadena(path));
    b.open(cadena(path));
    a.setCommandTimeout(30);
    // A reads, and keeps its recordset open on the first row.
    Recordset rs;
    rs.open(QStringLiteral("SELECT N FROM T ORDER BY N"), a, adcursor::ForwardOnly,
            adlock::ReadOnly);
    ASSERT_FALSE(rs.eof());
    // B writes and holds its transaction for a second.
    b.beginTrans();
    b.execute(QStringLiteral("INSERT INTO T VALUES (100, 'b')"));
    std::thread suelta([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        b.commitTrans();
    });
    const QString error =
        textoDe([&] { a.execute(QStringLiteral("INSERT INTO T VALUES (200, 'a')")); });
    suelta.join();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    // The open read still hands out every row it had.
    int filas = 0;
    for (; !rs.eof(); rs.moveNext()) ++filas;
    EXPECT_EQ(filas, 50);
    auto cuenta = a.execute(QStringLiteral("SELECT COUNT(*) FROM T"));
    EXPECT_EQ(cuenta->field(0).value().toNumber(), 52);
}

TEST_F(Embebido, DatabaseNamesAreFoundWithoutRegardToCase) {
    platform::process::setProgramFolder(dir.path());
    for (const char* nombre : {"GESTION", "gestion", "Gestion.DB"}) {
        Connection c;
        const QString error = textoDe([&] { c.open(cadena(QString::fromUtf8(nombre))); });
        EXPECT_TRUE(error.isEmpty()) << nombre << ": " << error.toStdString();
    }
    platform::process::setProgramFolder({});
}

TEST_F(Embebido, AFileThatCannotBeOpenedIsNamedForWhatItIs) {
    const QString vacio = dir.filePath(QStringLiteral("VACIO.db"));
    QFile(vacio).open(QIODevice::WriteOnly);
    const QString texto = dir.filePath(QStringLiteral("TEXTO.db"));
    {
        QFile f(texto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    Connection c;
    EXPECT_TRUE(
        textoDe([&] { c.open(cadena(vacio)); }).contains(QStringLiteral("el archivo no existe")))
        << "an empty file is refused like a missing one";
    EXPECT_EQ(QFileInfo(vacio).size(), 0) << "and stays as it was";
    EXPECT_TRUE(textoDe([&] {
                    c.open(cadena(texto));
                }).contains(QStringLiteral("no es una base de datos válida")));
}

// A read-only folder: a read-only bind mount of a folder of the test's own (needs the right to
// mount; skipped elsewhere).
TEST_F(Embebido, AReadOnlyFolderIsNamedAsSuch) {
    const QString ro = dir.filePath(QStringLiteral("ro"));
    QDir().mkpath(ro);
    ASSERT_TRUE(QFile::copy(path, ro + QStringLiteral("/GESTION.db")));
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), ro, ro}) != 0)
        GTEST_SKIP() << "no right to mount here";
    struct Desmonta {
        QString carpeta;
        ~Desmonta() { QProcess::execute(QStringLiteral("umount"), {carpeta}); }
    } desmonta{ro};
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), ro}),
              0);
    Connection c;
    const QString error = textoDe([&] { c.open(cadena(ro + QStringLiteral("/GESTION.db"))); });
    EXPECT_TRUE(error.contains(QStringLiteral("solo lectura"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("no es una base de datos"))) << error.toStdString();
}

}  // namespace
