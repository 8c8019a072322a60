#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "lookup/ConsultasVln.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/Cp1252.h"
#include "tests/support/ImprimeQString.h"

namespace {

QByteArray campo(const char* texto, int largo) {
    QByteArray b = platform::cp1252::encode(QString::fromUtf8(texto));
    b.resize(largo, ' ');
    return b;
}

// A query-definition file as the start-up writes it.
class Mascaras : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ruta = dir.filePath(QStringLiteral("consultas.vln"));
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const struct {
            const char *titulo, *tabla, *columnas, *filtro;
        } registros[] = {
            {"Artículos", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|", ""},
            {"Clientes", "VT_CLIENTES", "|NOMBRE|IDCLIENTE|", ""},
            {"Proveedores", "VT_PROVEEDORES", "|NOMBRE|IDPROVEEDOR|", "Activo = 1"},
            {"Una sola", "V_UNA", "|DESCRIPCION|", ""},
            {"Todas", "V_TODAS", "", ""},
        };
        for (const auto& r : registros)
            f.write(campo(r.titulo, 100) + campo(r.tabla, 100) + campo(r.columnas, 500) +
                    campo(r.filtro, 500) + "\r\n");
    }
    PedidoConsulta pedido(const char* sql, const char* where = "") const {
        PedidoConsulta p;
        p.sql = QString::fromUtf8(sql);
        p.where = QString::fromUtf8(where);
        p.usarMascaras = true;
        p.rutaMascaras = ruta;
        return p;
    }
    QTemporaryDir dir;
    QString ruta;
};

TEST_F(Mascaras, TheDefinitionFileGivesColumnsFiltersAndTheSearchColumn) {
    const struct Caso {
        const char* sql;
        const char* where;
        const char* campo;  // the caller's search column
        const char* esperado;
        const char* campoFinal;
    } casos[] = {
        {"v_ma_articulos", "", "",
         "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
         "SUSPENDIDO = 0 ORDER BY DESCRIPCION",
         "DESCRIPCION"},
        {"VT_CLIENTES", "", "IDCLIENTE",
         "SELECT TOP 1000 NOMBRE,IDCLIENTE FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja = 0 "
         "ORDER BY IDCLIENTE",
         "IDCLIENTE"},
        {"VT_CLIENTES", "Zona = 2", "",
         "SELECT TOP 1000 NOMBRE,IDCLIENTE FROM VT_CLIENTES  with(nolock)  WHERE  (Zona = 2)  "
         "ORDER BY NOMBRE",
         "NOMBRE"},
        {"VT_PROVEEDORES", "", "",
         "SELECT TOP 1000 NOMBRE,IDPROVEEDOR FROM VT_PROVEEDORES  with(nolock)  WHERE Activo = 1 "
         "ORDER BY NOMBRE",
         "NOMBRE"},
        {"V_TODAS", "", "X", "SELECT TOP 1000 * FROM V_TODAS  with(nolock)  ORDER BY X", "X"},
    };
    for (const Caso& c : casos) {
        PedidoConsulta p = pedido(c.sql, c.where);
        p.campoBusqueda = QString::fromUtf8(c.campo);
        const SentenciaConsulta s = armaSentenciaConsulta(p, {});
        EXPECT_TRUE(s.mostrar) << c.sql;
        EXPECT_EQ(s.sql.toStdString(), c.esperado) << c.sql;
        EXPECT_EQ(s.campoBusqueda, QString::fromUtf8(c.campoFinal)) << c.sql;
    }
}

TEST_F(Mascaras, ASingleColumnWithoutSearchColumnAsksForConfiguration) {
    const SentenciaConsulta s = armaSentenciaConsulta(pedido("V_UNA"), {});
    EXPECT_FALSE(s.mostrar);
}

TEST_F(Mascaras, ATableWithoutDefinitionIsBuiltFromItsFields) {
    const CamposDeTabla campos = [](const QString& tabla) {
        if (tabla == QLatin1String("V_TRES")) return QStringList{"A", "DESCRIPCION", "B"};
        if (tabla == QLatin1String("V_FECHAS"))
            return QStringList{"ID", "FECHAHORA_GRABACION", "FECHAHORA_MODIFICACION"};
        if (tabla == QLatin1String("v_mv_mutuales")) return QStringList{"ID", "Cuit"};
        return QStringList{"Codigo", "Importe"};
    };
    const struct Caso {
        const char* sql;
        const char* where;
        const char* esperado;
        const char* campo;
    } casos[] = {
        {"V_TRES", "", "SELECT TOP 1000 B,DESCRIPCION,A FROM V_TRES  ORDER BY DESCRIPCION",
         "DESCRIPCION"},
        {"V_FECHAS", "", "SELECT TOP 1000  *  FROM V_FECHAS  ORDER BY ", ""},
        {"v_mv_mutuales", "", "SELECT TOP 1000 Cuit,ID FROM v_mv_mutuales  ORDER BY ID", "ID"},
        {"V_OTRA", "x", "SELECT TOP 1000 Importe,Codigo FROM V_OTRA WHERE  x ORDER BY Codigo",
         "Codigo"},
        {"V_OTRA", "Importe > 0",
         "SELECT TOP 1000 Importe,Codigo FROM V_OTRA WHERE   (Importe > 0)  ORDER BY Codigo",
         "Codigo"},
        {"v_ta_deposito", "",
         "SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM v_ta_deposito  ORDER BY "
         "IDDEPOSITO",
         "IDDEPOSITO"},
    };
    for (const Caso& c : casos) {
        const SentenciaConsulta s = armaSentenciaConsulta(pedido(c.sql, c.where), campos);
        EXPECT_EQ(s.sql.toStdString(), c.esperado) << c.sql;
        EXPECT_EQ(s.campoBusqueda, QString::fromUtf8(c.campo)) << c.sql;
    }
}

TEST_F(Mascaras, CallersStatementsLimitsAndAMissingFile) {
    PedidoConsulta p = pedido("select idtecnico as Código, Nombre as Técnico from v_ta_tecnicos");
    EXPECT_EQ(armaSentenciaConsulta(p, {}).sql, p.sql) << "no limit, no order added";
    p = pedido("SELECT * FROM v_ma_articulos a", "a.Stock > 0");
    EXPECT_EQ(armaSentenciaConsulta(p, {}).sql,
              QStringLiteral("SELECT * FROM VT_MA_ARTICULOS a WHERE  (a.Stock > 0) "));
    p = pedido("SELECT * FROM T", "(a = 1)");
    EXPECT_EQ(armaSentenciaConsulta(p, {}).sql, QStringLiteral("SELECT * FROM T WHERE (a = 1)"));

    for (const auto& [top, n] :
         {std::pair{"", "1000"}, {"0", "1000"}, {"abc", "1000"}, {"50", "50"}}) {
        PedidoConsulta q = pedido("VT_CLIENTES");
        q.topConsArt = QString::fromUtf8(top);
        EXPECT_TRUE(armaSentenciaConsulta(q, {}).sql.startsWith(
            QStringLiteral("SELECT TOP %1 ").arg(QString::fromUtf8(n))))
            << top;
    }
    PedidoConsulta sinArchivo = pedido("VT_CLIENTES");
    sinArchivo.rutaMascaras = dir.filePath(QStringLiteral("no_existe.vln"));
    EXPECT_EQ(armaSentenciaConsulta(sinArchivo, {}).sql, QStringLiteral("VT_CLIENTES"));
    PedidoConsulta opcional = pedido("V_SIN");
    opcional.usarMascaras = false;
    opcional.sentenciaOpcional = QStringLiteral("SELECT 1");
    EXPECT_EQ(armaSentenciaConsulta(opcional, {}).sql, QStringLiteral("SELECT 1"));
}

TEST_F(Mascaras, ADamagedFileEndsTheSearchWithoutFailing) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(campo("Corto", 100) + campo("V_CORTO", 50));  // a record cut short
    f.close();
    EXPECT_FALSE(buscaConsulta(ruta, QStringLiteral("V_CORTO")).has_value());
    EXPECT_TRUE(buscaConsulta(ruta, QStringLiteral("vt_clientes")).has_value());
    EXPECT_FALSE(buscaConsulta(dir.path(), QStringLiteral("VT_CLIENTES")).has_value())
        << "a folder is no file";
}

}  // namespace

namespace {

TEST(NuevaBusqueda, NarrowsTheStatementKeepingItsTail) {
    const struct Caso {
        const char* sql;
        const char* campo;
        const char* texto;
        bool like;
        const char* esperado;
        const char* caja;
    } casos[] = {
        {"select a, b from t order by a ", "b", "dos palabras", true,
         "select a, b from t  where b like '%dos%palabras%' order by a ", "dos palabras"},
        {"select a, b from t where a > 1 ", "b", "x*y", false,
         "select a, b from t where a > 1  and b like 'x%y%' ", "x%y"},
        {"select idarticulo from v_ma_articulos where v_ma_articulos.activo = 1 ", "Descripcion",
         "tor", false,
         "select idarticulo from v_ma_articulos where v_ma_articulos.activo = 1  and "
         "v_ma_articulos.Descripcion like 'tor%' ",
         "tor"},
        {"select c, count(*) from t group by c ", "c", "O'Higgins", false,
         "select c, count(*) from t  where c like 'O''Higgins%' group by c ", "O'Higgins"},
    };
    for (const Caso& c : casos) {
        const NuevaBusqueda n =
            nuevaBusqueda(QString::fromUtf8(c.sql), QString::fromUtf8(c.sql),
                          QString::fromUtf8(c.campo), QString::fromUtf8(c.texto), c.like);
        EXPECT_EQ(n.sql.toStdString(), c.esperado) << c.sql;
        EXPECT_EQ(n.texto, QString::fromUtf8(c.caja)) << c.sql;
    }
    // A second F5 adds its condition after " and ".
    const QString sql = QStringLiteral("select a, b from t ");
    const NuevaBusqueda primera =
        nuevaBusqueda(sql, sql, QStringLiteral("a"), QStringLiteral("1"), false);
    const NuevaBusqueda segunda =
        nuevaBusqueda(primera.sql, primera.sql, QStringLiteral("b"), QStringLiteral("2"), false);
    EXPECT_EQ(segunda.sql,
              QStringLiteral("select a, b from t  where a like '1%'  and b like '2%' "));
}

}  // namespace
