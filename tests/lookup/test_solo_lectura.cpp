// A lookup reads: whatever statement it is handed (the caller's, a record of "consultas.vln", a
// table name, the tree's), the database is the same after it as before.
#include <QDialog>
#include <QFile>
#include <QTimer>

#include "lookup/Lib_ClsCons3.h"
#include "platform/Cp1252.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

namespace {

class Consulta : public ProgramFolder {
  protected:
    void SetUp() override {
        testApp();
        ProgramFolder::SetUp();
        connect();
        serviciosConsulta().reporta = [this](const platform::ErrorInfo& e, const QString& rutina) {
            return prompts->messageBox(e.description, 0, rutina);
        };
    }
    void TearDown() override {
        serviciosConsulta() = {};
        ProgramFolder::TearDown();
    }

    // A "consultas.vln" record of the articles whose filter is the given text.
    void registroArticulos(const char* filtro) {
        auto campo = [](const QString& v, int ancho) {
            QByteArray b = platform::cp1252::encode(v).left(ancho);
            return b + QByteArray(ancho - static_cast<int>(b.size()), ' ');
        };
        QFile f(dir.filePath(QStringLiteral("consultas.vln")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(campo(QStringLiteral("ARTICULOS"), 100) +
                campo(QStringLiteral("V_MA_ARTICULOS"), 100) +
                campo(QStringLiteral("|DESCRIPCION|IDARTICULO|"), 500) +
                campo(QString::fromUtf8(filtro), 500) + QByteArray("\r\n"));
    }

    // A request as the suite's programs make it; the window it opens, if any, is cancelled.
    platform::Variant pide(const QString& sql, bool arbol, bool mascaras) {
        Lib_ClsCons3 consulta;
        consulta.gUsarMascarasConsultas = mascaras;
        consulta.gRutaMascaraConsultas = dir.filePath(QStringLiteral("consultas.vln"));
        consulta.CampoDevuelto = QStringLiteral("CODIGO");
        QTimer::singleShot(0, [] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) w->reject();
        });
        QString s = sql, campo, where;
        std::optional<QStringList> lista;
        consulta.ConsultaSearch(s, lista, QString(), campo, where, QString(), arbol, QString());
        QApplication::processEvents();
        return consulta.ValorDevuelto;
    }

    QString estado() {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS")) + QLatin1Char('|') +
               scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                     "'V_MV_FALTANTES'")) +
               QLatin1Char('|') + scalar(QStringLiteral("SELECT COUNT(*) FROM V_MV_FALTANTES"));
    }
};

TEST_F(Consulta, AStatementThatWritesIsRefusedAndTheDatabaseIsUnchanged) {
    gDB().gCnn.execute(QStringLiteral(
        "INSERT INTO V_MV_FALTANTES (FechaHora, IdArticulo, Descripcion, Usuario) VALUES "
        "('2026-01-02', '101', 'Filtro', 'demo')"));
    const QString antes = estado();
    ASSERT_EQ(antes, QStringLiteral("7|1|1"));
    const struct Caso {
        const char* nombre;
        const char* sql;
        bool arbol;
        bool mascaras;
        const char* filtro;    // of the articles' record in "consultas.vln", nullptr for none
        const char* nombrada;  // how the message names the lookup
        const char* rutina;
    } casos[] = {
        {"the caller's DELETE",
         "DELETE FROM MA_CUENTAS WHERE CODIGO IN (SELECT CODIGO FROM MA_CUENTAS)", false, false,
         nullptr, "MA_CUENTAS", "FORM_LOAD"},
        {"a DROP before a SELECT", "DROP TABLE V_MV_FALTANTES; SELECT 1 AS A", false, false,
         nullptr, "DROP TABLE V_MV_FALTANTES; SELECT 1 AS A", "FORM_LOAD"},
        {"a SELECT and then a DELETE", "SELECT CODIGO FROM MA_CUENTAS DELETE FROM MA_CUENTAS",
         false, false, nullptr, "MA_CUENTAS", "FORM_LOAD"},
        {"the filter of a consultas.vln record", "V_MA_ARTICULOS", false, true,
         "1=1; DROP TABLE V_MV_FALTANTES --", "VT_MA_ARTICULOS", "FORM_LOAD"},
        {"a table name carrying a statement", "MA_CUENTAS; DELETE FROM MA_CUENTAS", false, false,
         nullptr, "MA_CUENTAS", "FORM_LOAD"},
        {"the tree's statement", "DELETE FROM MA_CUENTAS", true, false, nullptr, "MA_CUENTAS",
         "ArmarTreeVAutomatico"},
        {"an insert that gives rows",
         "INSERT INTO V_MV_FALTANTES (IdArticulo) VALUES ('1') RETURNING IdArticulo", false, false,
         nullptr, "V_MV_FALTANTES", "FORM_LOAD"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QFile::remove(dir.filePath(QStringLiteral("consultas.vln")));
        if (c.filtro) registroArticulos(c.filtro);
        prompts->reset();
        const platform::Variant valor = pide(QString::fromUtf8(c.sql), c.arbol, c.mascaras);
        EXPECT_EQ(estado(), antes) << "the database is unchanged";
        EXPECT_TRUE(valor.textOr(QString()).isEmpty());
        ASSERT_EQ(prompts->shown().size(), 1u) << "one message, nothing after it";
        const QString texto = prompts->last().text;
        EXPECT_TRUE(texto.contains(QStringLiteral("solo puede leer"))) << texto.toStdString();
        EXPECT_TRUE(texto.contains(QString::fromUtf8(c.nombrada))) << texto.toStdString();
        EXPECT_EQ(prompts->last().title, QString::fromUtf8(c.rutina));
    }
}

}  // namespace
