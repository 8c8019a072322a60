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
#include "platform/Process.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ImprimeQString.h"
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

}  // namespace
