#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "platform/Failure.h"
#include "platform/IniReader.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ImprimeQString.h"

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

namespace {

// What a failing call raised: number and description (number 0 when it raised nothing).
ErrorInfo failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Failure& f) {
        return f.info();
    }
    return {};
}

}  // namespace

// Every reader and writer of the platform's files, on what is not a regular file or is too large
// to read: refused at once, with the file's name and what it is, and the thing left as it was.
TEST(HostileFiles, LineAndRecordFilesRefuseWhatIsNotARegularFileNamingIt) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("KV300mn.INI"));
    const struct Acceso {
        const char* nombre;
        std::function<void()> llamada;
        bool lee;  // reads the file, so that its size is bounded
    } accesos[] = {
        {"readLines", [&] { textfile::readLines(ruta); }, true},
        {"writeLines", [&] { textfile::writeLines(ruta, {QStringLiteral("x")}); }, false},
        {"appendLine", [&] { textfile::appendLine(ruta, QStringLiteral("x")); }, false},
        {"writeIniKey",
         [&] { writeIniKey(ruta, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")); },
         true},
        {"RecordFile::open",
         [&] {
             RecordFile f(ruta, 1202);
             f.open();
         },
         true},
        {"RecordFile::openReadOnly",
         [&] {
             RecordFile f(ruta, 1202);
             f.openReadOnly();
         },
         true},
    };
    for (const auto& caso : hostiles::ilegibles(limite::kAjustes)) {
        for (const Acceso& a : accesos) {
            // Only what is read has a bound: a log is appended to whatever its size.
            if (!a.lee && caso.causa.contains(QStringLiteral("demasiado grande"))) continue;
            ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
            const QString antes = hostiles::claseDe(ruta);
            hostiles::Vigia vigia(dir.path());
            const ErrorInfo e = failureOf(a.llamada);
            EXPECT_FALSE(vigia.termina()) << a.nombre << " blocked on a " << caso.nombre;
            EXPECT_EQ(hostiles::claseDe(ruta), antes) << a.nombre << " on a " << caso.nombre;
            EXPECT_EQ(e.number, errnum::PathFileAccess) << a.nombre << " on a " << caso.nombre;
            EXPECT_EQ(e.description, QStringLiteral("«%1» %2").arg(ruta, caso.causa))
                << a.nombre << " on a " << caso.nombre << ": " << e.description.toStdString();
        }
    }
}

TEST(HostileFiles, AFileUpToItsBoundIsReadWhole) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("BASES.TXT"));
    ASSERT_TRUE(hostiles::grande(ruta, limite::kAjustes, "A / B,a,a,x,b\r\n"));
    const QStringList lineas = textfile::readLines(ruta);
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_EQ(lineas[0], QStringLiteral("A / B,a,a,x,b"));
    EXPECT_EQ(lineas[1].size(), limite::kAjustes - 15);
    EXPECT_TRUE(archivo::legible(ruta));
    EXPECT_EQ(archivo::lee(ruta, limite::kAjustes).size(), limite::kAjustes);
}

TEST(HostileFiles, MissingFilesAndFoldersAreNamed) {
    QTemporaryDir dir;
    const struct {
        QString ruta;
        qint32 numero;
        const char* texto;
    } casos[] = {
        {dir.filePath(QStringLiteral("nada.txt")), errnum::FileNotFound,
         "No se encontró el archivo «%1»"},
        {dir.filePath(QStringLiteral("no/existe/x.log")), errnum::PathNotFound,
         "No se encontró la ruta de acceso «%1»"},
    };
    for (const auto& c : casos) {
        const ErrorInfo e = failureOf([&] { textfile::readLines(c.ruta); });
        EXPECT_EQ(e.number, c.numero) << c.ruta.toStdString();
        EXPECT_EQ(e.description, QString::fromUtf8(c.texto).arg(c.ruta));
        EXPECT_FALSE(archivo::legible(c.ruta));
    }
}

TEST(IniReader, ASettingsFileThatCannotBeReadGivesTheFallbackAtOnce) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("KV300mn.INI"));
    for (const auto& caso : hostiles::ilegibles(limite::kAjustes, "[S]\r\nK=valor\r\n")) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        hostiles::Vigia vigia(dir.path());
        EXPECT_EQ(readIniKey(ruta, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("def")),
                  QStringLiteral("def"))
            << caso.nombre;
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
    }
}
