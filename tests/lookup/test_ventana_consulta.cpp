#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "ado/sqlite/SqliteEngine.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/ListaConsulta.h"
#include "platform/ArchivoLegible.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

namespace {

const QString kTecnicos =
    QStringLiteral("select idtecnico as Código, Nombre as Técnico from v_ta_tecnicos");

class VentanaConsulta : public ProgramFolder {
  protected:
    void SetUp() override {
        testApp();
        ProgramFolder::SetUp();
        connect();
        serviciosConsulta().reporta = [this](const platform::ErrorInfo& e, const QString&) {
            return prompts->messageBox(e.description, 0, QStringLiteral("reporte"));
        };
    }
    void TearDown() override {
        serviciosConsulta() = {};
        ProgramFolder::TearDown();
    }
    std::unique_ptr<Lib_FrmCons3> abre(const QString& sql, bool casillas = false) {
        auto w = std::make_unique<Lib_FrmCons3>();
        w->SQL = sql;
        w->CampoDevuelto = QStringLiteral("Código");
        w->CheckBoxes = casillas;
        w->OrdenarPorLwv = true;
        w->Carga();
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }
};

TEST_F(VentanaConsulta, TypingInASearchBoxFindsTheRowWithoutRegardToCase) {
    auto w = abre(kTecnicos);
    ASSERT_EQ(w->lista().columnCount(), 2);
    EXPECT_EQ(w->lista().rowCount(),
              scalar(QStringLiteral("SELECT COUNT(*) FROM v_ta_tecnicos")).toInt());
    EXPECT_EQ(w->tabla(), QStringLiteral("v_ta_tecnicos"));
    QComboBox* nombre = w->CmbSearch(1);
    nombre->setFocus();
    QTest::keyClicks(nombre->lineEdit(), QStringLiteral("sO"));
    const int fila = w->ListView1->currentIndex().row();
    ASSERT_GE(fila, 0);
    EXPECT_TRUE(w->lista().celda(fila, 1).startsWith(QStringLiteral("Sofía")));
    // The search box stands over its column, and is cyan while it has the focus.
    const QHeaderView* h = w->ListView1->horizontalHeader();
    EXPECT_NEAR(nombre->mapTo(w.get(), QPoint(0, 0)).x(),
                h->mapTo(w.get(), QPoint(h->sectionViewportPosition(1), 0)).x(), 3);
    QTest::keyClick(nombre->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->ValorDevuelto.toText(), QStringLiteral("2"));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(VentanaConsulta, KeysTypedInTheListGoToTheLastSearchBox) {
    auto w = abre(kTecnicos);
    w->CmbSearch(1)->setFocus();
    w->ListView1->setFocus();
    QTest::keyClicks(w->ListView1, QStringLiteral("va"));
    EXPECT_EQ(w->CmbSearch(1)->currentText(), QStringLiteral("va"));
    const int fila = w->ListView1->currentIndex().row();
    EXPECT_TRUE(w->lista().celda(fila, 1).startsWith(QStringLiteral("Valeria")));
    QTest::keyClick(w->CmbSearch(1)->lineEdit(), Qt::Key_Down);
    EXPECT_TRUE(w->ListView1->hasFocus());
}

TEST_F(VentanaConsulta, AcceptCancelAndTheValuesOfTheCaller) {
    auto w = abre(kTecnicos);
    w->CmpsDevueltos = QStringList{"Técnico", "No hay", "Código"};
    w->ListView1->setCurrentIndex(w->lista().index(w->Busqueda(1, QStringLiteral("jul")) - 1, 0));
    w->Aceptar();
    EXPECT_EQ(w->Valores, (QStringList{"Julián Peña", "Julián Peña", "3"}))
        << "a caption that names no column repeats the value before it";
    EXPECT_EQ(w->ValorDevuelto.toText(), QStringLiteral("3"));

    auto otra = abre(kTecnicos);
    otra->Cancelar();
    EXPECT_EQ(otra->ValorDevuelto.toText(), QString());
    EXPECT_FALSE(otra->Valores.has_value());
    EXPECT_FALSE(otra->CmpsDevueltos.has_value());
}

TEST_F(VentanaConsulta, CheckedRowsQuotesNullsAndTheSortDirection) {
    gDB().gCnn.execute(
        QStringLiteral("INSERT INTO v_ta_tecnicos (idtecnico, nombre) VALUES ('  90', "
                       "'O''Higgins'), ('  91', NULL)"));
    auto w = abre(kTecnicos, true);
    w->ValoresDefault = QStringLiteral("   1,   3");
    w->Carga();
    int marcadas = 0;
    for (int r = 0; r < w->lista().rowCount(); ++r) marcadas += w->lista().marcada(r);
    EXPECT_EQ(marcadas, 2) << "the default values start checked";
    const int sinNombre = w->Busqueda(1, QStringLiteral(""));
    EXPECT_EQ(sinNombre, 1);
    EXPECT_GT(w->Busqueda(1, QStringLiteral("o'h")), 0) << "a quote is just a character";
    w->DesmarcaTodo();
    w->lista().setData(w->lista().index(w->Busqueda(1, QStringLiteral("o'h")) - 1, 0), Qt::Checked,
                       Qt::CheckStateRole);
    w->Aceptar();
    EXPECT_EQ(w->Valores, QStringList{"90"});

    // The first header click sorts descending, whatever the column.
    auto s = abre(kTecnicos);
    s->ListView1->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(s->lista().celda(0, 1), QStringLiteral("Valeria Muñoz"));
    s->ListView1->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(s->lista().celda(0, 1), QString()) << "a null shows as empty text";
}

TEST_F(VentanaConsulta, AStatementTheDatabaseRefusesLeavesAnEmptyList) {
    prompts->answer(platform::mb::Abort);  // the data layer's own prompt
    prompts->answer(platform::mb::Abort);
    auto w = abre(QStringLiteral("select nada from no_existe"));
    EXPECT_EQ(w->lista().rowCount(), 0);
    EXPECT_FALSE(prompts->shown().empty());
    w->Aceptar();
    EXPECT_TRUE(w->ValorDevuelto.isEmpty()) << "no row: nothing stored";
}

TEST_F(VentanaConsulta, ARequestShowsTheWindowAndKeepsTheChoice) {
    Lib_ClsCons3 consulta;
    consulta.CampoDevuelto = QStringLiteral("Código");
    QTimer::singleShot(0, [] {
        auto* w = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
        if (!w) return;
        w->ListView1->setCurrentIndex(
            w->lista().index(w->Busqueda(1, QStringLiteral("roc")) - 1, 0));
        w->Aceptar();
    });
    QString sql = kTecnicos, campo, where;
    std::optional<QStringList> lista = QStringList{"Técnico"};
    consulta.ConsultaSearch(sql, lista, QString(), campo, where, QString(), false, QString());
    EXPECT_EQ(consulta.ValorDevuelto.toText(), QStringLiteral("4"));
    EXPECT_EQ(consulta.Valores, QStringList{"Rocío Benítez"});
    EXPECT_FALSE(lista.has_value()) << "the caller's list is emptied and released";
    EXPECT_TRUE(consulta.CampoDevuelto.isEmpty());
}

}  // namespace

namespace {

// Answers the option window that the next request shows.
void responde(std::function<void(Lib_FrmCons3&)> accion) {
    QTimer::singleShot(0, [accion] {
        if (auto* w = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget())) accion(*w);
    });
}

TEST_F(VentanaConsulta, OptionListsCheckChooseAndReadLines) {
    Lib_ClsCons3 consulta;
    QStringList vistas;
    responde([&](Lib_FrmCons3& w) {
        for (int r = 0; r < w.lista().rowCount(); ++r) vistas << w.lista().celda(r, 0);
        w.lista().setData(w.lista().index(2, 0), Qt::Checked, Qt::CheckStateRole);
        w.Aceptar();
    });
    std::optional<QStringList> nada;
    EXPECT_EQ(consulta.CheckOpciones(QStringLiteral("Rubros"), nada, {"1Uno", "0Dos", "0Tres"}),
              QString());
    EXPECT_EQ(vistas, (QStringList{"Uno", "Dos", "Tres"}));
    EXPECT_EQ(consulta.Valores, (QStringList{"Uno", "Tres"}));

    int filas = -1;
    responde([&](Lib_FrmCons3& w) {
        filas = w.lista().rowCount();
        w.Cancelar();
    });
    consulta.CheckOpciones(QStringLiteral("Uno solo"), nada, {"1Uno"});
    EXPECT_EQ(filas, 0) << "one option shows an empty list";

    responde([](Lib_FrmCons3& w) {
        w.ListView1->setCurrentIndex(w.lista().index(1, 0));
        w.Aceptar();
    });
    EXPECT_EQ(consulta.MenuOpciones(QStringLiteral("Menú"), {"Abrir", "Cerrar"}),
              QStringLiteral("Cerrar"));

    const QString archivo = dir.filePath(QStringLiteral("lineas.txt"));
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("primera\r\nsegunda l\xednea\r\n");
    f.close();
    responde([](Lib_FrmCons3& w) {
        w.ListView1->setCurrentIndex(w.lista().index(1, 0));
        w.Aceptar();
    });
    EXPECT_EQ(consulta.ConsultaDesdeArchivo(QStringLiteral("Líneas"), archivo, QStringLiteral(",")),
              QStringLiteral("segunda línea"));
    EXPECT_EQ(
        consulta.ConsultaDesdeArchivo(QStringLiteral("Líneas"), dir.filePath("no.txt"), QString()),
        QString());
    EXPECT_EQ(prompts->last().text, QStringLiteral("No existe el archivo ") +
                                        dir.filePath("no.txt") +
                                        QStringLiteral(" que desea consultar consulta "));
}

}  // namespace

namespace {

TEST_F(VentanaConsulta, F5NarrowsTheListAndNuevaBusquedaStartsAgain) {
    gDB().gCnn.execute(QStringLiteral(
        "INSERT INTO v_ta_tecnicos (idtecnico, nombre) VALUES ('  90', 'O''Higgins')"));
    auto w = abre(kTecnicos + QStringLiteral(" order by Nombre"));
    const int todas = w->lista().rowCount();
    QComboBox* nombre = w->CmbSearch(1);
    nombre->setFocus();
    nombre->setEditText(QStringLiteral("o'h"));
    QTest::keyClick(nombre->lineEdit(), Qt::Key_F5);
    EXPECT_EQ(w->lista().rowCount(), 1) << w->SQL.toStdString();
    EXPECT_TRUE(w->SQL.contains(QStringLiteral("Técnico like 'o''h%' order by Nombre")))
        << w->SQL.toStdString();
    EXPECT_TRUE(nombre->currentText().isEmpty());
    EXPECT_TRUE(prompts->shown().empty()) << "a quote typed in the box is a value";
    w->CmdNueva->click();
    EXPECT_EQ(w->lista().rowCount(), todas);
}

TEST_F(VentanaConsulta, MarcarFlipsEveryCheck) {
    auto w = abre(kTecnicos, true);
    w->lista().setData(w->lista().index(0, 0), Qt::Checked, Qt::CheckStateRole);
    w->CmdTodos->click();
    int marcadas = 0;
    for (int r = 0; r < w->lista().rowCount(); ++r) marcadas += w->lista().marcada(r);
    EXPECT_EQ(marcadas, w->lista().rowCount() - 1);
}

TEST_F(VentanaConsulta, ColumnWidthsAreReadAndReplacedWithoutLosingOtherTables) {
    const QString vln = dir.filePath(QStringLiteral("CONSULTASLEN.VLN"));
    {
        QFile f(vln);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\"OTRA\",\"100|200|\"\r\n\"v_ta_tecnicos\",\"1500|4500|\"\r\n");
    }
    auto w = abre(kTecnicos);
    EXPECT_EQ(w->ListView1->columnWidth(0), 100);
    EXPECT_EQ(w->ListView1->columnWidth(1), 300);
    w->GrabarCfg = true;
    w->ListView1->setColumnWidth(1, 200);
    w->Cancelar();
    QFile f(vln);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("\"OTRA\",\"100|200|\"\r\n\"v_ta_tecnicos\",\"1500|3000|\"\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("CONSULTASLEN.AUX"))));
}

TEST_F(VentanaConsulta, AWidthFileThatIsADeviceIsNeitherWrittenNorRenamedOver) {
    const QString vln = dir.filePath(QStringLiteral("CONSULTASLEN.VLN"));
    const QByteArray antes("\"v_ta_tecnicos\",\"1500|4500|\"\r\n");
    {
        QFile f(vln);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(antes);
    }
    // A careless administrator's link where the program writes the new widths first.
    const QString aux = dir.filePath(QStringLiteral("CONSULTASLEN.AUX"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), aux));
    auto w = abre(kTecnicos);
    w->GrabarCfg = true;
    w->ListView1->setColumnWidth(1, 200);
    w->Cancelar();
    QFile f(vln);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), antes) << "the widths kept, not replaced by the device";
    EXPECT_TRUE(QFileInfo(aux).isSymLink());
}

// The widths file as what is not a regular file or too large: the window opens at once with its
// own widths, says nothing, and the file is not replaced (the other tables' widths in a file
// that could not be read would be lost). The same for its ".AUX" as a FIFO.
TEST_F(VentanaConsulta, AWidthFileThatCannotBeReadIsLeftAsItIsAndTheWindowOpens) {
    const QString vln = dir.filePath(QStringLiteral("CONSULTASLEN.VLN"));
    const QString aux = dir.filePath(QStringLiteral("CONSULTASLEN.AUX"));
    const int propio = abre(kTecnicos)->ListView1->columnWidth(0);
    ASSERT_NE(propio, 100);
    auto ventana = [&](const char* que) {
        hostiles::Vigia vigia(dir.path());
        auto w = abre(kTecnicos);
        EXPECT_GT(w->lista().rowCount(), 0) << que;
        EXPECT_EQ(w->ListView1->columnWidth(0), propio) << que;
        w->GrabarCfg = true;
        w->ListView1->setColumnWidth(1, 200);
        w->Cancelar();
        EXPECT_FALSE(vigia.termina()) << que;
        EXPECT_TRUE(prompts->shown().empty()) << que << ": " << prompts->last().text.toStdString();
    };
    for (const auto& caso :
         hostiles::ilegibles(platform::limite::kAjustes, "\"v_ta_tecnicos\",\"1500|4500|\"\r\n")) {
        ASSERT_TRUE(caso.pon(vln)) << caso.nombre;
        const QString antes = hostiles::claseDe(vln);
        ventana(caso.nombre);
        EXPECT_EQ(hostiles::claseDe(vln), antes) << caso.nombre;
        EXPECT_FALSE(QFile::exists(aux)) << caso.nombre;
    }
    hostiles::quita(vln);
    ASSERT_TRUE(hostiles::tuberia(aux));
    ventana("a FIFO as CONSULTASLEN.AUX");
    EXPECT_FALSE(QFile::exists(vln));
    EXPECT_EQ(hostiles::claseDe(aux), QStringLiteral("tubería"));
}

TEST_F(VentanaConsulta, AFileOfOptionsThatCannotBeOpenedIsNotThere) {
    Lib_ClsCons3 consulta;
    const QString ruta = dir.filePath(QStringLiteral("lineas.txt"));
    for (const auto& caso : hostiles::noComunes()) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        prompts->reset();
        hostiles::Vigia vigia(dir.path());
        // Were a window shown after all, it is cancelled: the test must not wait for a user.
        QTimer cancela;
        cancela.setSingleShot(true);
        QObject::connect(&cancela, &QTimer::timeout, [] {
            if (auto* w = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget()))
                w->Cancelar();
        });
        cancela.start(0);
        EXPECT_EQ(consulta.ConsultaDesdeArchivo(QStringLiteral("Líneas"), ruta, QString()),
                  QString());
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
        ASSERT_EQ(prompts->shown().size(), 1u) << caso.nombre;
        EXPECT_EQ(prompts->last().text, QStringLiteral("No existe el archivo ") + ruta +
                                            QStringLiteral(" que desea consultar consulta "));
    }
}

}  // namespace

namespace {

TEST_F(VentanaConsulta, ArticleRowsTheirColoursPriceCaptionsAndTheShortageReport) {
    serviciosConsulta().cfg = [](const QString& clave) {
        return clave == QLatin1String("NOM_PCLASE1") ? QStringLiteral("Lista A") : QString();
    };
    gDB().gCnn.execute(QStringLiteral(
        "INSERT INTO V_MA_ARTICULOS (IDARTICULO, DESCRIPCION, PUNTOPEDIDO, Stock) VALUES "
        "(printf('%25d', 999), 'Llave d''Arco', 0, 1)"));
    auto w = std::make_unique<Lib_FrmCons3>();
    w->SQL = QStringLiteral(
        "SELECT IDARTICULO, DESCRIPCION, PRECIO1, PRECIO2, PUNTOPEDIDO, Stock "
        "FROM V_MA_ARTICULOS ORDER BY IDARTICULO");
    w->MuestraStock = QStringLiteral("si");
    w->StkNivel1 = platform::Variant(255);
    w->StkNivel2 = platform::Variant(65280);
    w->StkNivel3 = platform::Variant(16711680);
    w->StkNivel4 = platform::Variant(0);
    w->Carga();
    w->show();
    QApplication::setActiveWindow(w.get());
    EXPECT_EQ(w->lista().columnas().value(2), QStringLiteral("Lista A"));
    EXPECT_EQ(w->lista().columnas().value(3), QString()) << "an empty setting, an empty caption";
    const struct {
        const char* codigo;
        QColor color;
    } casos[] = {{"101", QColor(255, 0, 0)},
                 {"102", QColor(0, 255, 0)},
                 {"103", QColor(0, 0, 255)},
                 {"104", QColor(0, 0, 0)}};
    for (const auto& c : casos) {
        const int r = w->Busqueda(0, QString::fromUtf8(c.codigo)) - 1;
        ASSERT_GE(r, 0) << c.codigo;
        ASSERT_TRUE(w->lista().color(r).has_value()) << c.codigo;
        EXPECT_EQ(*w->lista().color(r), c.color) << c.codigo;
    }
    // F12 reports the chosen article; its quote is a value.
    w->ListView1->setFocus();
    w->ListView1->setCurrentIndex(QModelIndex());
    QTest::keyClick(w->ListView1, Qt::Key_F12);
    EXPECT_TRUE(prompts->shown().empty()) << "no row chosen: nothing to report";
    w->ListView1->setCurrentIndex(w->lista().index(w->Busqueda(0, QStringLiteral("999")) - 1, 0));
    prompts->answer(platform::mb::Yes);
    QTest::keyClick(w->ListView1, Qt::Key_F12);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("Atención!"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion || '|' || trim(IdArticulo) FROM "
                                    "V_MV_FALTANTES")),
              QStringLiteral("Llave d'Arco|999"));
}

TEST_F(VentanaConsulta, QuantityKeysFillTheQuantityColumn) {
    auto w = std::make_unique<Lib_FrmCons3>();
    w->SQL = QStringLiteral("select IDARTICULO, '0' as [**Cantidad**] from V_MA_ARTICULOS");
    w->CheckBoxes = true;
    w->UsaCantidades = true;
    w->Carga();
    w->show();
    w->ListView1->setFocus();
    w->ListView1->setCurrentIndex(w->lista().index(0, 0));
    auto celda = [&] { return w->lista().celda(0, 1); };
    QTest::keyClick(w->ListView1, Qt::Key_Insert);
    EXPECT_EQ(celda(), QStringLiteral("1.0"));
    EXPECT_TRUE(w->lista().marcada(0));
    QTest::keyClick(w->ListView1, Qt::Key_Delete);
    EXPECT_EQ(celda(), QStringLiteral("0.00"));
    EXPECT_FALSE(w->lista().marcada(0));
    prompts->type(QStringLiteral("3"));
    QTest::keyClick(w->ListView1, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(celda(), QStringLiteral("3.00"));
    EXPECT_EQ(prompts->last().title, QStringLiteral("Carga de Datos"));
}

TEST_F(VentanaConsulta, NuevoStartsTheMaintenanceProgramOfTheTable) {
    QStringList lanzados;
    serviciosConsulta().lanza = [&](const QString& programa, const QString& parametro) {
        lanzados << programa + QLatin1Char('|') + parametro;
    };
    for (const char* sql : {"select * from vt_clientes", "select * from V_TA_Tecnicos",
                            "select * from V_TA_RUBROS", "select * from v_ma_articulos"}) {
        prompts->answer(platform::mb::Abort);
        auto w = abre(QString::fromUtf8(sql));
        w->CmdNuevo->click();
    }
    EXPECT_EQ(lanzados,
              (QStringList{"SHELL:ClientesProveedores.exe|1", "SHELL:Tecnicos.exe|",
                           "SHELL:TablasGenerales.exe|V_TA_RUBROS", "SHELL:Articulos.exe|"}));
}

}  // namespace

namespace {

TEST_F(VentanaConsulta, TheControlsTakeTheirPlacesForEverySize) {
    auto w = abre(kTecnicos);
    for (const QSize tam : {QSize(700, 400), QSize(1000, 600), QSize(w->minimumWidth(), 300)}) {
        w->resize(tam);
        const int bw = w->CmdAceptar->width();
        EXPECT_EQ(w->Frame1->geometry().bottom(), tam.height() - 1) << "the strip at the bottom";
        EXPECT_EQ(w->Frame1->width(), tam.width());
        EXPECT_EQ(w->picFields->width(), tam.width());
        EXPECT_EQ(w->picFields->geometry().bottom() + 1, w->Frame1->y())
            << "the panel down to the strip";
        EXPECT_EQ(w->ListView1->width(), w->picFields->width() - 1);
        EXPECT_EQ(w->CmdAceptar->x(), 7);
        EXPECT_EQ(w->CmdCancelar->x(), (tam.width() - bw) / 2) << "in the middle";
        EXPECT_EQ(w->CmdNueva->x(), tam.width() - w->CmdCancelar->width() - 10);
    }
    // An option list: no new statement; Cancelar takes the place of Nueva Busqueda.
    auto o = std::make_unique<Lib_FrmCons3>();
    o->Carga();
    o->MuestraOpciones(QStringLiteral("Opciones"), {"a", "b"}, {});
    o->show();
    for (const int ancho : {o->minimumWidth(), 600}) {
        o->resize(ancho, 200);
        EXPECT_TRUE(o->CmdNueva->isHidden());
        EXPECT_EQ(o->CmdCancelar->x(), o->CmdNueva->x());
        EXPECT_EQ(o->CmdCancelar->x(), ancho - o->CmdCancelar->width() - 10);
    }
}

}  // namespace

namespace {

TEST_F(VentanaConsulta, AfterF5AndNuevaBusquedaTheFirstRowIsSelectedSoEnterTakesIt) {
    auto w = abre(kTecnicos + QStringLiteral(" order by Nombre"));
    ASSERT_EQ(w->ListView1->currentIndex().row(), 0) << "as the window opens";
    QComboBox* nombre = w->CmbSearch(1);
    nombre->setFocus();
    nombre->setEditText(QStringLiteral("sof"));
    QTest::keyClick(nombre->lineEdit(), Qt::Key_F5);
    ASSERT_EQ(w->lista().rowCount(), 1) << w->SQL.toStdString();
    EXPECT_EQ(w->ListView1->currentIndex().row(), 0);
    EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(0, {}));
    w->CmdNueva->click();
    EXPECT_GT(w->lista().rowCount(), 1);
    EXPECT_EQ(w->ListView1->currentIndex().row(), 0);
    EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(0, {}));
    // Narrowed to one row, Enter in the search box returns it.
    nombre->setFocus();
    nombre->setEditText(QStringLiteral("sof"));
    QTest::keyClick(nombre->lineEdit(), Qt::Key_F5);
    QTest::keyClick(nombre->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->ValorDevuelto.toText(), QStringLiteral("2"));
}

TEST_F(VentanaConsulta, AHeaderClickShowsTheSortArrowAndKeepsTheSelectedRow) {
    auto w = abre(kTecnicos);
    QHeaderView* h = w->ListView1->horizontalHeader();
    w->ListView1->setCurrentIndex(w->lista().index(w->Busqueda(1, QStringLiteral("jul")) - 1, 0));
    for (const Qt::SortOrder orden : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(h->sectionViewportPosition(1) + 5, h->height() / 2));
        EXPECT_TRUE(h->isSortIndicatorShown());
        EXPECT_EQ(h->sortIndicatorSection(), 1);
        EXPECT_EQ(h->sortIndicatorOrder(), orden);
        const QModelIndex actual = w->ListView1->currentIndex();
        ASSERT_TRUE(actual.isValid());
        EXPECT_EQ(w->lista().celda(actual.row(), 1), QStringLiteral("Julián Peña"));
        EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(actual.row(), {}));
    }
    EXPECT_EQ(w->lista().celda(0, 1), QStringLiteral("Agustina Ledesma")) << "ascending";
}

// The visible buttons of the strip: each whole (as wide as its text asks) inside the strip, and
// no two overlapping.
void botonesEnterosYSeparados(const Lib_FrmCons3& w, const char* caso) {
    std::vector<const QPushButton*> visibles;
    for (const QPushButton* b : {w.CmdAceptar, w.CmdCancelar, w.CmdNueva, w.CmdNuevo, w.CmdTodos})
        if (!b->isHidden()) visibles.push_back(b);
    for (const QPushButton* b : visibles) {
        const std::string quien = std::string(caso) + ": " + b->text().toStdString();
        EXPECT_TRUE(w.Frame1->rect().contains(b->geometry())) << quien;
        EXPECT_TRUE(w.rect().contains(QRect(b->mapTo(&w, QPoint(0, 0)), b->size()))) << quien;
        EXPECT_GE(b->width(), b->sizeHint().width()) << quien;
        for (const QPushButton* otro : visibles) {
            if (otro != b) {
                EXPECT_FALSE(b->geometry().intersects(otro->geometry()))
                    << quien << " / " << otro->text().toStdString();
            }
        }
    }
}

TEST_F(VentanaConsulta, AtItsMinimumWidthEveryButtonOfTheStripIsWholeAndApart) {
    auto w = abre(kTecnicos);
    botonesEnterosYSeparados(*w, "as opened");
    w->resize(200, w->height());
    EXPECT_GT(w->width(), 200) << "the window has a minimum width";
    botonesEnterosYSeparados(*w, "at the minimum width");
    auto o = std::make_unique<Lib_FrmCons3>();
    o->Carga();
    o->MuestraOpciones(QStringLiteral("Opciones"), {"a", "b"}, {});
    o->show();
    botonesEnterosYSeparados(*o, "option list as opened");
    o->resize(100, 200);
    botonesEnterosYSeparados(*o, "option list at the minimum width");
}

}  // namespace

namespace {

// A list longer than what the window reads before it shows: articles whose codes come in from
// the highest down, so that the rows read later sort before the first ones.
class VentanaLarga : public VentanaConsulta {
  protected:
    void SetUp() override {
        VentanaConsulta::SetUp();
        ado::SqliteEngine::open(dir.filePath(QStringLiteral("GESTION.db")))
            ->executeRaw(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
                "INSERT INTO V_MA_ARTICULOS (IDARTICULO, DESCRIPCION) "
                "SELECT printf('X%05d', 6001 - i), 'Pieza ' || i FROM n;"));
        total = scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")).toInt();
    }
    std::unique_ptr<Lib_FrmCons3> articulos(bool casillas = false, const QString& marcadas = {}) {
        auto w = std::make_unique<Lib_FrmCons3>();
        w->SQL = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS");
        w->CampoDevuelto = QStringLiteral("IDARTICULO");
        w->CheckBoxes = casillas;
        w->ValoresDefault = marcadas;
        w->OrdenarPorLwv = true;
        w->Carga();
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }
    bool todas(const Lib_FrmCons3& w) const { return w.lista().rowCount() == total; }
    int marcadas(const Lib_FrmCons3& w) const {
        int n = 0;
        for (int r = 0; r < w.lista().rowCount(); ++r) n += w.lista().marcada(r);
        return n;
    }
    int total = 0;
};

TEST_F(VentanaLarga, TheFirstRowsShowAtOnceAndTheRestComeInToTheirSortedPlaces) {
    auto w = articulos();
    EXPECT_GT(w->lista().rowCount(), 0);
    EXPECT_LT(w->lista().rowCount(), total) << "the window shows before every row is read";
    ASSERT_TRUE(QTest::qWaitFor([&] { return todas(*w); }));
    for (int r = 1; r < total; ++r) {
        ASSERT_LE(w->lista().celda(r - 1, 0).compare(w->lista().celda(r, 0), Qt::CaseInsensitive),
                  0)
            << "row " << r;
    }
    EXPECT_EQ(w->ListView1->currentIndex().row(), 0)
        << "the first row stays the chosen one as rows come in before it";
    EXPECT_EQ(w->lista().celda(w->Busqueda(0, QStringLiteral("X00001")) - 1, 1),
              QStringLiteral("Pieza 6000"));

    // A row the user chose stays chosen; so does the first row a search found, as rows that
    // sort before it and match come in.
    auto u = articulos();
    u->ListView1->setCurrentIndex(u->lista().index(3, 0));
    const QString elegido = u->lista().celda(3, 0);
    auto b = articulos();
    b->CmbSearch(0)->setEditText(QStringLiteral("X0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return todas(*u) && todas(*b); }));
    EXPECT_EQ(u->lista().celda(u->ListView1->currentIndex().row(), 0), elegido);
    EXPECT_EQ(b->lista().celda(b->ListView1->currentIndex().row(), 0), QStringLiteral("X00001"));
}

TEST_F(VentanaLarga, WhatNeedsEveryRowReadsTheRestFirst) {
    gDB().gCnn.execute(QStringLiteral("DELETE FROM V_MV_FALTANTES"));
    const struct Caso {
        const char* nombre;
        bool casillas;
        std::function<void(Lib_FrmCons3&)> haz;
    } casos[] = {
        {"a header click", false,
         [](Lib_FrmCons3& w) {
             w.ListView1->horizontalHeader()->sectionClicked(0);
             EXPECT_EQ(w.lista().celda(0, 0), QStringLiteral("X06000")) << "descending";
         }},
        {"a search for a row not read yet", false,
         [](Lib_FrmCons3& w) {
             w.CmbSearch(1)->setEditText(QStringLiteral("pieza 5999"));
             EXPECT_EQ(w.lista().celda(w.ListView1->currentIndex().row(), 0),
                       QStringLiteral("X00002"));
         }},
        {"Marcar", true,
         [this](Lib_FrmCons3& w) {
             w.CmdTodos->click();
             EXPECT_EQ(marcadas(w), total - 1) << "the row checked by default, read last, too";
         }},
        {"accepting checked rows", true,
         [](Lib_FrmCons3& w) {
             w.Aceptar();
             EXPECT_EQ(w.Valores, QStringList{"X00001"}) << "the row read last, checked by default";
         }},
        {"F12", false,
         [this](Lib_FrmCons3& w) {
             prompts->answer(platform::mb::Yes);
             w.ListView1->setFocus();
             QTest::keyClick(w.ListView1, Qt::Key_F12);
             EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_MV_FALTANTES")),
                       QStringLiteral("1"));
         }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        auto w = articulos(c.casillas, QStringLiteral("X00001"));
        ASSERT_LT(w->lista().rowCount(), total);
        c.haz(*w);
        EXPECT_TRUE(todas(*w)) << w->lista().rowCount();
    }
}

TEST_F(VentanaLarga, ClosingStopsTheReadingAndUncheckingAllHoldsForTheRowsToCome) {
    auto w = articulos();
    w->Cancelar();
    const int leidas = w->lista().rowCount();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(w->lista().rowCount(), leidas) << "a closed window reads no more";

    for (const bool desmarca : {false, true}) {
        auto m = articulos(true, QStringLiteral("X00001,X06000"));
        if (desmarca) m->DesmarcaTodo();
        ASSERT_TRUE(QTest::qWaitFor([&] { return todas(*m); }));
        EXPECT_EQ(marcadas(*m), desmarca ? 0 : 2) << (desmarca ? "unchecked" : "as loaded");
    }
}

}  // namespace
