// The reading of a lookup's rows between events, over a source that fails where it is told to.
#include <gtest/gtest.h>

#include <QTest>

#include "lookup/LecturaConsulta.h"
#include "platform/Prompt.h"
#include "tests/support/Aplicacion.h"

namespace {

// Rows "0", "1", ... up to `filas`; the row `falla` fails once, as a lost connection would.
class FuenteDePrueba : public FuenteFilas {
  public:
    FuenteDePrueba(int filas, int falla, int& sueltas)
        : filas_(filas), falla_(falla), sueltas_(sueltas) {}
    bool siguiente(ListaConsulta::Fila& fila) override {
        if (cerrada_ || siguiente_ >= filas_) return false;
        if (siguiente_ == falla_) {
            falla_ = -1;
            platform::raise(3146, QStringLiteral("Error de la conexión"));
        }
        fila.celdas = {QString::number(siguiente_++)};
        return true;
    }
    void suelta() override {
        cerrada_ = true;
        ++sueltas_;
    }

  private:
    int filas_;
    int falla_;
    int& sueltas_;
    int siguiente_ = 0;
    bool cerrada_ = false;
};

TEST(LecturaConsulta, TheFirstRowsAtOnceTheRestBetweenEventsOrAtOnceWhenEveryRowIsNeeded) {
    testApp();
    for (const bool todas : {false, true}) {
        ListaConsulta lista;
        lista.setColumnas({QStringLiteral("N")});
        LecturaConsulta lectura(lista, [](const platform::ErrorInfo&) { return 0; });
        int sueltas = 0;
        lectura.empieza(std::make_unique<FuenteDePrueba>(50000, -1, sueltas), 100);
        EXPECT_EQ(lista.rowCount(), 100);
        if (todas)
            lectura.leeTodo();
        else
            ASSERT_TRUE(QTest::qWaitFor([&] { return lectura.completa(); }, 60000));
        EXPECT_EQ(lista.rowCount(), 50000) << (todas ? "read at once" : "between events");
        EXPECT_EQ(lista.celda(49999, 0), QStringLiteral("49999"));
    }
}

TEST(LecturaConsulta, AFailingRowIsReadAgainOnRetryAndOtherwiseEndsTheReadingLettingGo) {
    testApp();
    const struct {
        int respuesta;
        int filas;    // rows in the list once the reading ends
        int sueltas;  // times the source was told to let go
    } casos[] = {{platform::mb::Retry, 300, 0},
                 {platform::mb::Ignore, 150, 1},
                 {platform::mb::Abort, 150, 1}};
    for (const auto& c : casos) {
        ListaConsulta lista;
        lista.setColumnas({QStringLiteral("N")});
        std::vector<QString> reportados;
        LecturaConsulta lectura(lista, [&](const platform::ErrorInfo& e) {
            reportados.push_back(e.description);
            return c.respuesta;
        });
        int sueltas = 0;
        // The failure comes after the first rows, while the window is shown.
        lectura.empieza(std::make_unique<FuenteDePrueba>(300, 150, sueltas), 100);
        ASSERT_TRUE(QTest::qWaitFor([&] { return lectura.completa(); }, 60000)) << c.respuesta;
        EXPECT_EQ(lista.rowCount(), c.filas) << c.respuesta;
        EXPECT_EQ(sueltas, c.sueltas) << c.respuesta;
        EXPECT_EQ(reportados, std::vector<QString>{QStringLiteral("Error de la conexión")})
            << c.respuesta;
    }
}

TEST(LecturaConsulta, LettingGoEndsTheReadingWhereItIs) {
    testApp();
    ListaConsulta lista;
    lista.setColumnas({QStringLiteral("N")});
    LecturaConsulta lectura(lista, [](const platform::ErrorInfo&) { return 0; });
    int sueltas = 0;
    lectura.empieza(std::make_unique<FuenteDePrueba>(5000, -1, sueltas), 10);
    lectura.suelta();
    EXPECT_EQ(sueltas, 1);
    EXPECT_TRUE(lectura.completa());
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(lista.rowCount(), 10);
    lectura.leeTodo();
    EXPECT_EQ(lista.rowCount(), 10) << "nothing is left to read";
}

}  // namespace
