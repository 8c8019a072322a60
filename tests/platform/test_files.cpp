#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/Cp1252.h"
#include "platform/Failure.h"
#include "platform/IniReader.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"

using namespace platform;

namespace {
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
}  // namespace

TEST(Cp1252, AccentsAndSpecialCharactersAreSingleBytes) {
    struct Case {
        const char* utf8;
        QByteArray bytes;
    } cases[] = {
        {"Respondió", QByteArray("Respondi\xF3", 9)},
        {"ÑANDÚ", QByteArray("\xD1"
                             "AND\xDA",
                             5)},
        {"€ – “x”", QByteArray("\x80 \x96 \x93x\x94", 7)},
        {"Ω", QByteArray("?", 1)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252::encode(QString::fromUtf8(c.utf8)), c.bytes) << c.utf8;
        if (c.bytes != "?") {
            EXPECT_EQ(cp1252::decode(c.bytes), QString::fromUtf8(c.utf8));
        }
    }
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all) << "every byte survives a round trip";
}

TEST(TextFile, WritesCrLfAndReadsAnyLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VLERR.LOG"));
    textfile::appendLine(path, QStringLiteral("línea uno"));
    textfile::appendLine(path, QStringLiteral("Respondió : Sí"));
    EXPECT_EQ(bytesOf(path), QByteArray("l\xEDnea uno\r\nRespondi\xF3 : S\xED\r\n"));

    QFile f(dir.filePath(QStringLiteral("mixed.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a\r\nb\nc\r");
    f.close();
    EXPECT_EQ(textfile::readLines(f.fileName()), (QStringList{"a", "b", "c"}));
}

TEST(TextFile, MissingFileAndFolderRaiseFileErrors) {
    QTemporaryDir dir;
    try {
        textfile::readLines(dir.filePath(QStringLiteral("nada.txt")));
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.info().number, errnum::FileNotFound);
    }
    try {
        textfile::appendLine(dir.filePath(QStringLiteral("no/existe/x.log")), QStringLiteral("x"));
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.info().number, errnum::PathNotFound);
    }
}

TEST(RecordFile, RecordsAreReadAndWrittenByNumber) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vln"));
    {
        RecordFile f(path, 1202);
        f.open();
        EXPECT_EQ(f.recordCount(), 0);
        f.write(1, "ARTICULOS");
        f.write(3, cp1252::encode(QStringLiteral("DEPÓSITO")));
        EXPECT_EQ(f.recordCount(), 3);
        EXPECT_EQ(f.read(2), QByteArray(1202, ' ')) << "a skipped record is blank";
        EXPECT_TRUE(f.read(1).startsWith("ARTICULOS   "));
        EXPECT_THROW(f.write(4, QByteArray(1203, 'x')), Failure);
    }
    EXPECT_EQ(QFile(path).size(), 3 * 1202);
}

TEST(RecordFile, ATruncatedFileEndsInAnErrorNotACrash) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("corto.vln"));
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(QByteArray(1202 + 500, 'x'));
    raw.close();
    RecordFile f(path, 1202);
    f.openReadOnly();
    EXPECT_EQ(f.recordCount(), 1);
    EXPECT_TRUE(f.hasPartialRecord());
    EXPECT_EQ(f.read(1).size(), 1202);
    for (qint64 n : {0LL, 2LL, 99LL}) {
        try {
            f.read(n);
            FAIL() << n;
        } catch (const Failure& e) {
            EXPECT_EQ(e.info().number, errnum::InputPastEnd);
        }
    }
    RecordFile missing(dir.filePath(QStringLiteral("no.vln")), 1202);
    EXPECT_THROW(missing.openReadOnly(), Failure);
}

TEST(IniReader, SectionsAndKeysIgnoreCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KV300mn.INI"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[PC01|JUANBaseDeDatos]\r\nServidor = SRV1 \r\n; comentario=no\r\n[Otra]\r\nServidor=X\r\n"
        "[Estilo]\r\nNombre=Cami\xF3n\xED\r\n");
    f.close();
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {{"pc01|juanbasededatos", "SERVIDOR", "SRV1"},
                 {"Otra", "servidor", "X"},
                 {"Otra", "DbName", "def"},
                 {"Nada", "Servidor", "def"},
                 {"Estilo", "nombre", "Camióní"},
                 {"PC01|JUANBaseDeDatos", "; comentario", "def"}};
    for (const auto& c : cases)
        EXPECT_EQ(readIniKey(path, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                             QStringLiteral("def")),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    EXPECT_EQ(readIniKey(dir.filePath(QStringLiteral("no.ini")), "a", "b", "def"),
              QStringLiteral("def"));
}

TEST(IniReader, AMalformedFileGivesTheFallback) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("roto.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x00\xff[sin cerrar\r\nServidor\r\n=solo valor\r\n[\r\n]\r\n", 44));
    f.close();
    EXPECT_EQ(readIniKey(path, QStringLiteral("sin cerrar"), QStringLiteral("Servidor"),
                         QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(readIniKey(path, QString(), QString(), QStringLiteral("def")), QStringLiteral("def"));
}

TEST(IniReader, WritingReplacesOrAddsKeysAndSections) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    writeIniKey(path, QStringLiteral("ODBC"), QStringLiteral("DriverSQLServer"),
                QStringLiteral("FreeTDS"));
    writeIniKey(path, QStringLiteral("Otra"), QStringLiteral("K"), QStringLiteral("1"));
    writeIniKey(path, QStringLiteral("odbc"), QStringLiteral("driversqlserver"),
                QStringLiteral("Otro"));
    writeIniKey(path, QStringLiteral("ODBC"), QStringLiteral("DriverOracle"),
                QStringLiteral("Ora"));
    EXPECT_EQ(readIniKey(path, "ODBC", "DriverSQLServer", ""), QStringLiteral("Otro"));
    EXPECT_EQ(readIniKey(path, "ODBC", "DriverOracle", ""), QStringLiteral("Ora"));
    EXPECT_EQ(readIniKey(path, "Otra", "K", ""), QStringLiteral("1"));
    EXPECT_EQ(bytesOf(path).count("\r\n"), 5);
}
