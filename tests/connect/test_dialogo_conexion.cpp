#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "connect/DialogoConexion.h"
#include "connect/frmAcceso.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/IniReader.h"
#include "platform/Process.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ScriptedPrompter.h"

namespace {

// A user at the connection dialog: each time the dialog is shown, the next of their actions
// (which ends with Aceptar or Cancelar); once they run out, Cancelar.
class UsuarioDelDialogo : public QObject {
  public:
    using Accion = std::function<void(frmAcceso&)>;
    explicit UsuarioDelDialogo(std::vector<Accion> acciones) : acciones_(std::move(acciones)) {
        qApp->installEventFilter(this);
    }
    ~UsuarioDelDialogo() override { qApp->removeEventFilter(this); }
    std::size_t vistas() const { return vistas_; }

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = qobject_cast<frmAcceso*>(o);
        if (!w || e->type() != QEvent::Show || pendiente_) return false;
        // Acts once the dialog's own loop runs.
        pendiente_ = true;
        QTimer::singleShot(0, w, [this, w] {
            pendiente_ = false;
            if (vistas_ < acciones_.size()) {
                acciones_[vistas_++](*w);
            } else {
                ++vistas_;
                w->bcCancelar->click();
            }
        });
        return false;
    }

  private:
    std::vector<Accion> acciones_;
    std::size_t vistas_ = 0;
    bool pendiente_ = false;
};

class DialogoConexion : public testing::Test {
  protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        platform::process::setProgramFolder(dir.path());
        previo = platform::setPrompter(prompts);
        resetSharedDB();
        InstalaDialogoConexion(true);
    }
    void TearDown() override {
        DB_Dll::setDialogoConexion({});
        resetSharedDB();
        platform::setPrompter(previo);
        platform::process::setProgramFolder({});
    }
    void bases(const QByteArray& contenido) {
        QFile f(dir.filePath(QStringLiteral("BASES.TXT")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QTemporaryDir dir;
    std::shared_ptr<platform::ScriptedPrompter> prompts =
        std::make_shared<platform::ScriptedPrompter>();
    std::shared_ptr<platform::Prompter> previo;
};

TEST_F(DialogoConexion, ABoxLeftShowingItsPromptReachesTheCallerEmpty) {
    UsuarioDelDialogo usuario({[](frmAcceso& w) {
        w.TxtServidor->setFocus();
        QTest::keyClicks(w.TxtServidor, QStringLiteral("sqlite"));
        w.bcAceptar->click();
    }});
    DB_Dll& db = gDB();
    db.PideDatosConexion();
    ASSERT_EQ(usuario.vistas(), 1u);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, QStringLiteral("sqlite"));
    EXPECT_EQ(db.gDBName, QString()) << "not the prompt of the database box";
    EXPECT_EQ(db.gUsuario, QString()) << "not the prompt of the user box";
    EXPECT_EQ(db.gUserPassWord, QString());
}

TEST_F(DialogoConexion, ARetryComesBackWithTheChosenEntryAndTheTypedFields) {
    bases(
        "VL_ESTADISTICAS / SQLITE,VL_ESTADISTICAS,VL_ESTADISTICAS,x,sqlite\r\n"
        "NOEXISTE / SQLITE,NOEXISTE,NOEXISTE,x,sqlite:1444\r\n");
    struct Visto {
        QString entrada, servidor, base, usuario, clave, puerto;
    } visto;
    UsuarioDelDialogo usuario({[](frmAcceso& w) {
                                   w.lstBases->setCurrentRow(1);
                                   w.TxtDbName->setText(QStringLiteral("NOEXISTE2"));
                                   w.TxtUserId->setText(QStringLiteral("ana"));
                                   w.TxtUserPassword->setText(QStringLiteral("clave"));
                                   w.bcAceptar->click();
                               },
                               [&](frmAcceso& w) {
                                   const QListWidgetItem* i = w.lstBases->currentItem();
                                   visto = {i ? i->text() : QString(), w.TxtServidor->text(),
                                            w.TxtDbName->text(),       w.TxtUserId->text(),
                                            w.TxtUserPassword->text(), w.TxtPuerto->text()};
                                   w.bcCancelar->click();
                               }});
    prompts->answer(platform::mb::Yes);  // the connection failed: try again
    DB_Dll& db = gDB();
    db.OpenServerADODB(true, 3, QString(), true, true);
    ASSERT_EQ(usuario.vistas(), 2u);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(visto.entrada, QStringLiteral("NOEXISTE / SQLITE"));
    EXPECT_EQ(visto.servidor, QStringLiteral("SQLITE"));
    EXPECT_EQ(visto.base, QStringLiteral("NOEXISTE2")) << "as typed, not as registered";
    EXPECT_EQ(visto.usuario, QStringLiteral("ana"));
    EXPECT_EQ(visto.clave, QStringLiteral("clave"));
    EXPECT_EQ(visto.puerto, QStringLiteral("1444"));
    EXPECT_FALSE(db.gOpenFlag) << "cancelled the second time";
}

TEST_F(DialogoConexion, ThePortOfItsBoxReachesTheServerWhenTheEntryGaveItOrTheUserTypedIt) {
    const struct {
        int entrada;  // of the list below; -1: no BASES.TXT
        const char* servidor;
        const char* puerto;  // typed over the box's text; nullptr: left as it is
        const char* esperado;
    } casos[] = {
        {0, nullptr, nullptr, "SRV1,1444"},
        {0, "db.local", nullptr, "db.local,1444"},
        {0, nullptr, "1500", "SRV1,1500"},
        {1, nullptr, nullptr, "srv9"},  // the box still shows the first entry's port
        {1, nullptr, "5499", "srv9,5499"},
        {-1, "srv2", nullptr, "srv2"},  // the window's first 1433, untouched
        {-1, "srv2", "5499", "srv2,5499"},
        {-1, "srv3,1500", "5499", "srv3,1500"},
        {-1, "sqlite", "5499", "sqlite"},
        {-1, "srv2", "puerto", "srv2"},
        {-1, "srv2", "70000", "srv2"},
        {-1, nullptr, "5499", ""},  // no server: nothing to add a port to
    };
    for (const auto& c : casos) {
        QFile::remove(dir.filePath(QStringLiteral("BASES.TXT")));
        if (c.entrada >= 0)
            bases("GESTION / SRV1,Gestion,Gestion,x,srv1:1444\r\nOTRA / SRV9,Otra,Otra,x,srv9\r\n");
        frmAcceso w;
        w.Carga();
        if (c.entrada >= 0) w.lstBases->setCurrentRow(c.entrada);
        if (c.servidor) w.TxtServidor->setText(QString::fromUtf8(c.servidor));
        if (c.puerto) {
            w.TxtPuerto->selectAll();
            QTest::keyClicks(w.TxtPuerto, QString::fromUtf8(c.puerto));
        }
        EXPECT_EQ(w.servidorConPuerto(), QString::fromUtf8(c.esperado))
            << c.entrada << " " << (c.servidor ? c.servidor : "-") << " "
            << (c.puerto ? c.puerto : "-");
    }
}

// The entry of a server whose port is not the usual one: the connection reaches that port.
TEST_F(DialogoConexion, AConnectionThroughTheDialogGoesToThePortOfTheEntry) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                          QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    bases(QStringLiteral("CRONEQUIPO / 127.0.0.1,cronequipo,cronequipo,x,127.0.0.1:%1\r\n")
              .arg(server.port())
              .toLatin1());
    UsuarioDelDialogo usuario({[](frmAcceso& w) {
        w.lstBases->setCurrentRow(0);
        w.TxtUserId->setText(QStringLiteral("postgres"));
        w.bcAceptar->click();
    }});
    DB_Dll& db = gDB();
    db.OpenServerADODB(true, 3, QString(), false, true);
    EXPECT_EQ(usuario.vistas(), 1u);
    EXPECT_EQ(db.gServidor, QStringLiteral("127.0.0.1,%1").arg(server.port()));
    EXPECT_TRUE(db.gOpenFlag) << "the server listens on that port only";
    EXPECT_TRUE(prompts->shown().empty());
}

}  // namespace
