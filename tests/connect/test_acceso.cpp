#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "connect/BasesRegistradas.h"
#include "connect/frmAcceso.h"
#include "platform/ArchivoLegible.h"
#include "platform/Escritura.h"
#include "platform/Process.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ImprimeQString.h"
#include "widgets/GuardedApplication.h"

namespace {

TEST(BasesTxt, ValuesFollowTheDelimitedTextRules) {
    const struct {
        const char* linea;
        QStringList valores;
    } casos[] = {
        {"GESTION / SRV1,Gestion,Gestion,x,srv1:1444",
         {"GESTION / SRV1", "Gestion", "Gestion", "x", "srv1:1444"}},
        {"  A / B ,  b , c,\"d, con coma\" ,e", {"A / B", "b", "c", "d, con coma", "e"}},
        {"\" con blancos \",x", {" con blancos ", "x"}},
        {"", {""}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(valoresDeLinea(QString::fromUtf8(c.linea)), c.valores) << c.linea;
}

class Acceso : public testing::Test {
  protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        platform::process::setProgramFolder(dir.path());
    }
    void TearDown() override { platform::process::setProgramFolder({}); }
    void bases(const QByteArray& contenido) {
        QFile f(dir.filePath(QStringLiteral("BASES.TXT")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QTemporaryDir dir;
};

TEST_F(Acceso, ChoosingAnEntryFillsTheFields) {
    bases(
        "GESTION / SRV1,Gestion,Gestion,x,srv1:1444\r\n"
        "VENTAS / SRV2,Ventas,Ventas,x,srv2\r\n"
        "corto,sin,valores\r\n"
        "minus / srv3,Minus,Minus,x,srv3\r\n"
        " ,Oculta,Oculta,x,srv4\r\n");
    frmAcceso w;
    w.Carga();
    ASSERT_EQ(w.lstBases->count(), 3) << "a short entry and a blank key are not listed";
    // The first entry is selected at once.
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("SRV1"));
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("Gestion"));
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1444"));
    EXPECT_EQ(w.TxtUserId->text(), QString());
    EXPECT_EQ(w.TxtUserId->placeholderText(), QStringLiteral("Ingrese el usuario"))
        << "the prompt of an empty box";
    EXPECT_EQ(w.TxtUserPassword->echoMode(), QLineEdit::Password);
    // An entry without a port keeps the port the last one gave.
    w.lstBases->setCurrentRow(1);
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("srv2"));
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1444"));
    // A lower-case key is found through the list text.
    w.lstBases->setCurrentRow(2);
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("Minus"));
    EXPECT_FALSE(buscaBase(w.archivoBases(), QStringLiteral("MINUS / SRV3")).has_value())
        << "keys are compared with their case";
}

TEST_F(Acceso, WithoutTheFileTheBoxesShowTheirPromptsAndHoldNothing) {
    frmAcceso w;
    w.Carga();
    EXPECT_EQ(w.lstBases->count(), 0);
    const struct {
        QLineEdit* caja;
        const char* prompt;
    } casos[] = {{w.TxtDbName, "ingrese el nombre de la base de datos"},
                 {w.TxtServidor, "ingrese el nombre del servidor e instancia"},
                 {w.TxtUserId, "Ingrese el usuario"}};
    for (const auto& c : casos) {
        EXPECT_EQ(c.caja->placeholderText(), QString::fromUtf8(c.prompt));
        EXPECT_EQ(c.caja->text(), QString()) << c.prompt;
    }
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1433"));
    // A box set to its own prompt shows the prompt and holds nothing.
    w.TxtDbName->setText(QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(w.TxtDbName->text(), QString());
    w.bcAceptar->click();
    EXPECT_TRUE(w.Aceptar);
    frmAcceso c;
    c.Carga();
    c.bcCancelar->click();
    EXPECT_FALSE(c.Aceptar);
}

TEST_F(Acceso, AClickIntoAPromptSelectsItSoTypingReplacesIt) {
    frmAcceso w;
    w.Carga();
    w.show();
    QApplication::setActiveWindow(&w);
    const struct {
        QLineEdit* caja;
        const char* prompt;
    } casos[] = {{w.TxtUserId, "Ingrese el usuario"},
                 {w.TxtDbName, "ingrese el nombre de la base de datos"},
                 {w.TxtServidor, "ingrese el nombre del servidor e instancia"}};
    for (const auto& c : casos) {
        // A click in the middle of the prompt, as a user puts the mouse on the box.
        QTest::mouseClick(c.caja, Qt::LeftButton, Qt::NoModifier,
                          QPoint(c.caja->width() / 3, c.caja->height() / 2));
        QTest::keyClicks(c.caja, QStringLiteral("ana"));
        EXPECT_EQ(c.caja->text(), QStringLiteral("ana")) << c.prompt;
    }
}

// The room a line edit gives its text (its contents less the line's own margins).
int anchoUtil(QLineEdit* e) {
    QStyleOptionFrame op;
    op.initFrom(e);
    op.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &op, e) : 0;
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &op, e);
    const QMargins m = e->textMargins();
    return r.width() - m.left() - m.right() - 2 * 2;
}

TEST_F(Acceso, WithoutTheFileThePromptsShowWhole) {
    frmAcceso w;
    w.Carga();
    w.show();
    for (QLineEdit* e : {w.TxtServidor, w.TxtDbName, w.TxtUserId}) {
        const int texto = e->fontMetrics().horizontalAdvance(e->placeholderText());
        EXPECT_GE(anchoUtil(e), texto) << e->objectName().toStdString();
    }
}

TEST_F(Acceso, TheListIsAsWideAsItsLongestEntry) {
    bases(
        "GESTION / SQLITE,GESTION,GESTION,x,sqlite\r\n"
        "VL_ESTADISTICAS / SQLITE,VL_ESTADISTICAS,VL_ESTADISTICAS,x,sqlite\r\n");
    frmAcceso w;
    w.Carga();
    w.show();
    ASSERT_EQ(w.lstBases->count(), 2);
    EXPECT_GE(w.lstBases->viewport()->width(), w.lstBases->sizeHintForColumn(0));
    EXPECT_FALSE(w.lstBases->horizontalScrollBar()->isVisible());
}

}  // namespace

#include "ado/sqlite/SqliteEngine.h"
#include "data/db_dll/DB_Dll.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/ScriptedPrompter.h"

namespace {

TEST_F(Acceso, AnEntryIsWrittenWholeOrNotAtAll) {
    const QString archivo = dir.filePath(QStringLiteral("BASES.TXT"));
    QString error;
    ASSERT_TRUE(GrabaBaseRegistrada(archivo, QStringLiteral(" GESTION / SQLITE "),
                                    QStringLiteral("Gestion"), QStringLiteral("Gestion"),
                                    QStringLiteral("Gestion"), QStringLiteral("sqlite "), &error));
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("GESTION / SQLITE,Gestion,Gestion,") +
                  SuiteLib::tools().EncodeStored(QStringLiteral("Gestion")).toLatin1() +
                  QByteArray(",sqlite\r\n"));
    f.close();
    for (const char* malo : {"Con, coma", "Con \"comillas\""}) {
        EXPECT_FALSE(GrabaBaseRegistrada(archivo, QStringLiteral("X / Y"), QString::fromUtf8(malo),
                                         QStringLiteral("x"), QStringLiteral("x"),
                                         QStringLiteral("y"), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(leeBases(archivo).size(), 1u) << "a refused entry writes nothing";

    // A file whose last line has no line break (edited by hand) keeps that line, and the new
    // entry is a line of its own.
    const QString editado = dir.filePath(QStringLiteral("EDITADO.TXT"));
    {
        QFile e(editado);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
        e.write("A / S,A,,,S\r\nB / T,B,,,T");
    }
    ASSERT_TRUE(GrabaBaseRegistrada(editado, QStringLiteral("C / U"), QStringLiteral("C"),
                                    QString(), QString(), QStringLiteral("U"), &error));
    const auto entradas = leeBases(editado);
    ASSERT_EQ(entradas.size(), 3u);
    EXPECT_EQ(entradas[1].clave, QStringLiteral("B / T"));
    EXPECT_EQ(entradas[1].servidor, QStringLiteral("T"));
    EXPECT_EQ(entradas[2].clave, QStringLiteral("C / U"));
    EXPECT_EQ(entradas[2].servidor, QStringLiteral("U"));
    EXPECT_EQ(claveDeRegistro(QStringLiteral(" gestion "), QStringLiteral("srv1:1444")),
              QStringLiteral("GESTION / SRV1"));
}

TEST(BasesTxt, CrLfAndCrAloneEachEndALine) {
    const struct {
        const char* nombre;
        QByteArray bytes;
    } casos[] = {
        {"CR", "A / S1,a,a,x,s1\rB / S2,b,b,x,s2\rC / S3,c,c,x,s3\r"},
        {"LF", "A / S1,a,a,x,s1\nB / S2,b,b,x,s2\nC / S3,c,c,x,s3"},
        {"mixed", "A / S1,a,a,x,s1\r\nB / S2,b,b,x,s2\r\r\nC / S3,c,c,x,s3\n"},
    };
    for (const auto& c : casos) {
        QStringList claves;
        const QStringList lineas = lineasDe(c.bytes);
        for (const QString& l : lineas)
            if (!l.trimmed().isEmpty()) claves << valoresDeLinea(l).value(0);
        EXPECT_EQ(claves, (QStringList{"A / S1", "B / S2", "C / S3"})) << c.nombre;
        for (const QString& l : lineas) EXPECT_FALSE(l.contains(QLatin1Char('\r'))) << c.nombre;
    }
}

TEST_F(Acceso, AnEntryThatCannotBeReadIsToldOnceInTheLog) {
    QTemporaryDir temp;
    const QByteArray antes = qgetenv("TEMP");
    qputenv("TEMP", temp.path().toUtf8());
    bases(
        "GESTION / SRV1,Gestion,Gestion,x,srv1\r\n"
        "ROTA / SRV2,\"Rota,Rota,x,srv2\r\n"
        "CORTA / SRV3,Corta\r\n"
        "VENTAS / SRV4,Ventas,Ventas,x,srv4\r\n");
    const QString archivo = dir.filePath(QStringLiteral("BASES.TXT"));
    for (int vez = 0; vez < 3; ++vez) {
        const auto entradas = leeBases(archivo);
        ASSERT_EQ(entradas.size(), 2u);
        EXPECT_EQ(entradas[1].clave, QStringLiteral("VENTAS / SRV4"));
    }
    QFile log(temp.filePath(QStringLiteral("VLERR.LOG")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lineas =
        QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    antes.isEmpty() ? qunsetenv("TEMP") : qputenv("TEMP", antes);
    ASSERT_EQ(lineas.size(), 2) << lineas.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lineas[0].contains(QStringLiteral("línea 2")) &&
                lineas[0].contains(QStringLiteral("comillas sin cerrar")))
        << lineas[0].toStdString();
    EXPECT_TRUE(lineas[1].contains(QStringLiteral("línea 3")) &&
                lineas[1].contains(QStringLiteral("tiene 2 valores de 5")))
        << lineas[1].toStdString();
}

TEST_F(Acceso, RegistrationsAtOnceWriteEachConnectionOnce) {
    const QString archivo = dir.filePath(QStringLiteral("BASES.TXT"));
    // Eight windows register at once: four the same connection, four others of their own.
    constexpr int kVentanas = 8;
    std::vector<std::thread> ventanas;
    std::atomic<int> listas{0};
    std::vector<int> grabadas(kVentanas, 0), repetidas(kVentanas, 0);
    for (int i = 0; i < kVentanas; ++i) {
        ventanas.emplace_back([&, i] {
            const QString clave =
                i < 4 ? QStringLiteral("GESTION / SRV1") : QStringLiteral("OTRA%1 / SRV").arg(i);
            ++listas;
            while (listas < kVentanas) std::this_thread::yield();
            QString error;
            bool yaExiste = false;
            grabadas[i] = GrabaBaseRegistrada(archivo, clave, QStringLiteral("Gestion"),
                                              QStringLiteral("Gestion"), QStringLiteral("Gestion"),
                                              QStringLiteral("srv1"), &error, &yaExiste);
            repetidas[i] = yaExiste;
        });
    }
    for (auto& v : ventanas) v.join();
    const auto entradas = leeBases(archivo);
    int gestion = 0;
    for (const auto& e : entradas) gestion += e.clave == QStringLiteral("GESTION / SRV1");
    EXPECT_EQ(gestion, 1) << "one entry for the connection registered four times at once";
    EXPECT_EQ(entradas.size(), 5u);
    EXPECT_EQ(std::count(grabadas.begin(), grabadas.begin() + 4, 1), 1);
    EXPECT_EQ(std::count(repetidas.begin(), repetidas.begin() + 4, 1), 3) << "the others told";
    EXPECT_EQ(std::count(grabadas.begin() + 4, grabadas.end(), 1), 4);
}

TEST_F(Acceso, APipeInPlaceOfBasesTxtIsRefusedWithoutWaiting) {
    const QString archivo = dir.filePath(QStringLiteral("BASES.TXT"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(archivo).constData(), 0600), 0);
    // On a pipe the old append waited for a reader for ever: the watch frees a call that blocks,
    // so that the test fails instead of hanging the suite, and no thread is left behind.
    QString error;
    bool ok = true;
    {
        hostiles::Vigia vigia(dir.path());
        ok = GrabaBaseRegistrada(archivo, QStringLiteral("A / B"), QStringLiteral("A"),
                                 QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("B"),
                                 &error);
        EXPECT_FALSE(vigia.termina()) << "the registration blocked on the pipe";
    }
    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.contains(QStringLiteral("no es un archivo común"))) << error.toStdString();
    const QFileInfo sigue(archivo);
    EXPECT_TRUE(sigue.exists() && !sigue.isFile()) << "still a pipe";
}

TEST_F(Acceso, ARegistrationOnAFullDiskLeavesNoPartOfItsEntryAndSaysSo) {
    const QString archivo = dir.filePath(QStringLiteral("BASES.TXT"));
    bases("GESTION / SRV1,Gestion,Gestion,x,srv1\r\n");
    const QByteArray antes = QByteArray("GESTION / SRV1,Gestion,Gestion,x,srv1\r\n");
    // Room for none, some, or all but the last bytes of the new line.
    for (const qint64 cabe : {qint64(0), qint64(20), qint64(40)}) {
        SCOPED_TRACE(cabe);
        QString error;
        platform::escritura::fallaTras(cabe);
        const bool ok = GrabaBaseRegistrada(
            archivo, QStringLiteral("VENTAS / SQLITE"), QStringLiteral("Ventas"),
            QStringLiteral("Ventas"), QStringLiteral("Ventas"), QStringLiteral("sqlite"), &error);
        platform::escritura::fallaTras(-1);
        EXPECT_FALSE(ok) << "a failure is never a success";
        EXPECT_TRUE(error.contains(QStringLiteral("No se pudo escribir"))) << error.toStdString();
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), antes);
    }
    // With room again, the same connection registers: no fragment answers "ya existe".
    QString error;
    EXPECT_TRUE(GrabaBaseRegistrada(archivo, QStringLiteral("VENTAS / SQLITE"),
                                    QStringLiteral("Ventas"), QStringLiteral("Ventas"),
                                    QStringLiteral("Ventas"), QStringLiteral("sqlite"), &error))
        << error.toStdString();
    EXPECT_EQ(leeBases(archivo).size(), 2u);
}

TEST_F(Acceso, RegistrarAddsANewConnectionThatTheServerTakes) {
    auto prompts = std::make_shared<platform::ScriptedPrompter>();
    auto previo = platform::setPrompter(prompts);
    ado::SqliteEngine::create(dir.filePath(QStringLiteral("GESTION.db")));
    frmAcceso w;
    w.Carga();
    w.TxtServidor->setText(QStringLiteral(" sqlite "));
    w.TxtDbName->setText(QStringLiteral("GESTION"));
    w.TxtUserId->setText(QStringLiteral("demo"));
    // The suite's set-up tool, when present, is started with the server and the database.
    const QString salida = dir.filePath(QStringLiteral("odbc.txt"));
    {
        QFile odbc(dir.filePath(QStringLiteral("ODBC.exe")));
        ASSERT_TRUE(odbc.open(QIODevice::WriteOnly));
        // The line goes beside and is renamed into place, so that its file appears whole.
        odbc.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                       .arg(salida)
                       .toUtf8());
        odbc.close();
        odbc.setPermissions(odbc.permissions() | QFileDevice::ExeUser);
    }
    w.CmdRegistrar_Click();
    EXPECT_TRUE(prompts->shown().empty());
    // The tool runs apart from the program: its file is waited for, with room for a loaded
    // machine.
    for (int i = 0; i < 3000 && !QFile::exists(salida); ++i) QThread::msleep(20);
    QFile visto(salida);
    ASSERT_TRUE(visto.open(QIODevice::ReadOnly));
    EXPECT_EQ(visto.readAll().trimmed(), QByteArray("Server=sqlite;DB=GESTION;"));
    ASSERT_EQ(w.lstBases->count(), 1);
    EXPECT_EQ(w.lstBases->item(0)->text(), QStringLiteral("GESTION / SQLITE"));
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("sqlite")) << "the list reloaded and chosen";
    const QLabel* estado = w.findChild<QLabel*>(QStringLiteral("lblEstado"));
    ASSERT_NE(estado, nullptr) << "a line that says what was done";
    EXPECT_EQ(estado->text(), QStringLiteral("Conexión registrada: GESTION / SQLITE"));

    // The same key again: said, nothing written.
    w.TxtDbName->setText(QStringLiteral("gestion"));
    w.CmdRegistrar_Click();
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().text, QStringLiteral("La conexion que intenta registrar ya existe "));
    EXPECT_EQ(leeBases(w.archivoBases()).size(), 1u);
    EXPECT_EQ(estado->text(), QString()) << "no success said for a refusal";

    // A database no test can open: the data layer asks, then the dialog says so.
    prompts->reset();
    prompts->answer(platform::mb::No);
    w.TxtServidor->setText(QStringLiteral("sqlite"));
    w.TxtDbName->setText(QStringLiteral("NOEXISTE"));
    w.CmdRegistrar_Click();
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR sqlite VERIFIQUE EL NOMBRE DE "
                             "USUARIO Y PASSWORD INGRESADO"));
    EXPECT_EQ(leeBases(w.archivoBases()).size(), 1u);
    platform::setPrompter(previo);
}

}  // namespace

namespace {

TEST_F(Acceso, TheDesktopLauncherIsWrittenExecutableAndReplaced) {
    QTemporaryDir casa;
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", casa.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", casa.filePath(QStringLiteral("cfg")).toUtf8());
    auto prompts = std::make_shared<platform::ScriptedPrompter>();
    auto previo = platform::setPrompter(prompts);
    // Started with a parameter string, as the menu starts it: its password stays off the desktop.
    const QString linea = platform::process::commandLine();
    platform::process::setCommandLine(
        QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=ana;@Password=secreta;"));
    frmAcceso w;
    // No desktop folder yet: a clear message.
    EXPECT_FALSE(w.CmdLineaComando_Click());
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_TRUE(
        prompts->last().text.startsWith(QStringLiteral("No se pudo crear el acceso directo")));
    // The folder the user's directories name.
    QDir().mkpath(casa.filePath(QStringLiteral("cfg")));
    QDir().mkpath(casa.filePath(QStringLiteral("Escritorio")));
    QFile dirs(casa.filePath(QStringLiteral("cfg/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("# comentario\nXDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n");
    dirs.close();
    EXPECT_EQ(frmAcceso::carpetaEscritorio(), casa.filePath(QStringLiteral("Escritorio")));
    EXPECT_TRUE(w.CmdLineaComando_Click());
    EXPECT_TRUE(w.CmdLineaComando_Click()) << "a second click replaces it";
    EXPECT_EQ(prompts->shown().size(), 1u) << "success is said without a box";
    const QLabel* estado = w.findChild<QLabel*>(QStringLiteral("lblEstado"));
    ASSERT_NE(estado, nullptr);
    EXPECT_EQ(estado->text(), QStringLiteral("Acceso directo creado en ") +
                                  casa.filePath(QStringLiteral("Escritorio/Belmo Tareas.desktop")));
    QFile lanzador(casa.filePath(QStringLiteral("Escritorio/Belmo Tareas.desktop")));
    ASSERT_TRUE(lanzador.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(lanzador.readAll());
    EXPECT_TRUE(texto.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() +
                               QLatin1Char('"')));
    EXPECT_FALSE(texto.contains(QStringLiteral("secreta"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("\nExec=\"") +
                               QCoreApplication::applicationFilePath() + QStringLiteral("\"\n")))
        << "the program alone: " << texto.toStdString();
    EXPECT_TRUE(lanzador.permissions() & QFileDevice::ExeUser);
    EXPECT_EQ(QDir(casa.filePath(QStringLiteral("Escritorio"))).entryList(QDir::Files).size(), 1);
    // A pipe where the launcher or its temporary goes is neither written nor replaced.
    for (const char* nombre : {"Belmo Tareas.desktop", "Belmo Tareas.desktop.tmp"}) {
        const QString ruta =
            casa.filePath(QStringLiteral("Escritorio/") + QString::fromUtf8(nombre));
        QFile::remove(ruta);
        ASSERT_EQ(::mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
        EXPECT_FALSE(w.CmdLineaComando_Click()) << nombre;
        EXPECT_TRUE(prompts->last().text.contains(QStringLiteral("no es un archivo común")))
            << prompts->last().text.toStdString();
        const QFileInfo sigue(ruta);
        EXPECT_TRUE(sigue.exists() && !sigue.isFile()) << nombre << " is still a pipe";
        QFile::remove(ruta);
    }
    platform::setPrompter(previo);
    platform::process::setCommandLine(linea);
    qputenv("HOME", home);
    config.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
}

// BASES.TXT as what cannot be opened for reading (no entry, as without the file) or too large to
// read (a failure while filling the list, reported under FormLoad): the dialog opens at once.
TEST_F(Acceso, ABasesFileThatCannotBeReadLeavesTheListEmptyAndTheDialogOpens) {
    const QString ruta = dir.filePath(QStringLiteral("BASES.TXT"));
    QStringList reportados;
    const auto previo = platform::GuardedApplication::setLastResort(
        [&](const platform::ErrorInfo& e, const QString& donde) {
            reportados << QStringLiteral("%1 (%2) %3").arg(donde).arg(e.number).arg(e.description);
        });
    for (const auto& caso : hostiles::ilegibles(platform::limite::kAjustes,
                                                "GESTION / SRV1,Gestion,Gestion,x,srv1\r\n")) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        reportados.clear();
        hostiles::Vigia vigia(dir.path());
        frmAcceso w;
        w.Carga();
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
        EXPECT_EQ(w.lstBases->count(), 0) << caso.nombre;
        EXPECT_EQ(w.TxtServidor->text(), QString()) << caso.nombre;
        if (caso.causa.contains(QStringLiteral("demasiado grande"))) {
            EXPECT_EQ(reportados,
                      QStringList{QStringLiteral("FormLoad (75) «%1» %2").arg(ruta, caso.causa)});
        } else {
            EXPECT_TRUE(reportados.isEmpty())
                << caso.nombre << ": " << reportados.join(u'\n').toStdString();
        }
    }
    platform::GuardedApplication::setLastResort(previo);
}

TEST_F(Acceso, AUserDirsFileThatCannotBeReadGivesTheUsualDesktop) {
    QTemporaryDir config;
    const QByteArray antes = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString ruta = config.filePath(QStringLiteral("user-dirs.dirs"));
    for (const auto& caso : hostiles::ilegibles(platform::limite::kAjustes,
                                                "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n")) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        hostiles::Vigia vigia(config.path());
        EXPECT_EQ(frmAcceso::carpetaEscritorio(), QDir::homePath() + QStringLiteral("/Desktop"))
            << caso.nombre;
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
    }
    antes.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", antes);
}

// The command is held on a pipe until the test has seen that the call is still waiting, and its
// last act is done when the call returns.
TEST(EjecutarCmdRegDB, WaitsForTheCommandOrSaysItCouldNotStart) {
    testApp();
    QTemporaryDir dir;
    const QString paso = dir.filePath(QStringLiteral("paso"));
    const QString hecho = dir.filePath(QStringLiteral("hecho"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(paso).constData(), 0600), 0);
    std::atomic<bool> volvio{false};
    bool volvioMientras = true;
    std::thread suelta([&] {
        // The open ends when the command opens the pipe to read it: while the command runs.
        const int fd = ::open(QFile::encodeName(paso).constData(), O_WRONLY);
        volvioMientras = volvio.load();
        if (fd >= 0) {
            EXPECT_EQ(::write(fd, "x\n", 2), 2);
            ::close(fd);
        }
    });
    QString error;
    const bool ok = frmAcceso::EjecutarCmdRegDB(
        QStringLiteral("sh -c \"cat '%1' > /dev/null; echo fin > '%2'\"").arg(paso, hecho), error);
    volvio = true;
    // Had the command never read the pipe, the other side would wait for a reader for ever.
    const int lector = ::open(QFile::encodeName(paso).constData(), O_RDONLY | O_NONBLOCK);
    suelta.join();
    if (lector >= 0) ::close(lector);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(volvioMientras) << "the call returned while the command still ran";
    EXPECT_TRUE(QFile::exists(hecho)) << "the call returned before the command ended";
    EXPECT_FALSE(frmAcceso::EjecutarCmdRegDB(QStringLiteral("/no/existe/programa"), error));
    EXPECT_EQ(error, QStringLiteral("Error al ejecutar el comando"));
}

}  // namespace
