#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lookup/AnchosConsulta.h"
#include "tests/support/ImprimeQString.h"

namespace {

// Whatever number a damaged or hand-edited file holds, a column gets a width it can have.
TEST(AnchosConsulta, StoredWidthsBecomePixelsAColumnCanHave) {
    const QByteArray file =
        "\"OTRA\",\"9|\"\r\n"
        "\"v_ta_tecnicos\",\"1500|99999999999999999999|-45|abc|20|\"\r\n";
    const auto read = anchosconsulta::lee(file, QStringLiteral("V_TA_TECNICOS"), 10);
    ASSERT_EQ(read.size(), 5u);
    const int expected[] = {100, 10000, 1, 1, 1};
    for (std::size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(anchosconsulta::pixeles(read[i]), expected[i]) << i;
    EXPECT_EQ(anchosconsulta::pixeles(std::numeric_limits<double>::quiet_NaN()), 1);
    EXPECT_EQ(anchosconsulta::pixeles(-std::numeric_limits<double>::infinity()), 1);
}

TEST(AnchosConsulta, TheLastLineOfATableWinsForTheColumnsItHas) {
    const QByteArray file =
        "\"v_ta_tecnicos\",\"150|300|450|\"\r\n"
        "\"V_TA_TECNICOS\",\"600|\"\r\n";
    EXPECT_EQ(anchosconsulta::lee(file, QStringLiteral("v_ta_tecnicos"), 10),
              (std::vector<double>{600, 300, 450}));
    EXPECT_EQ(anchosconsulta::lee(file, QStringLiteral("v_ta_tecnicos"), 2),
              (std::vector<double>{600, 300}));
    EXPECT_TRUE(anchosconsulta::lee(file, QStringLiteral("OTRA"), 10).empty());
}

TEST(AnchosConsulta, ReplacingKeepsOtherTablesAndTheirBytes) {
    // An "é" and a byte Windows-1252 leaves unassigned, in another table's line.
    const QByteArray file =
        "\"Caf\xe9\",\"1|\x81|\"\r\n\r\n\"v_ta_tecnicos\",\"15|\"\r\n\"ZZ\",\"2|\"";
    EXPECT_EQ(
        anchosconsulta::reemplaza(file, QStringLiteral("V_TA_TECNICOS"), {30, 45}),
        QByteArray("\"Caf\xe9\",\"1|\x81|\"\r\n\"ZZ\",\"2|\"\r\n\"V_TA_TECNICOS\",\"30|45|\"\r\n"));
    EXPECT_EQ(anchosconsulta::reemplaza({}, QStringLiteral("T"), {}), QByteArray("\"T\",\"\"\r\n"));
}

}  // namespace
