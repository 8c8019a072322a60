// The selection formula of a report ("{Tabla.Campo} = 'valor' and ...").
#include <QString>
#include <cstdint>

#include "reportengine/SelectionFormula.h"
#include "tests/fuzz/Check.h"

using namespace reportengine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<TableColumns> tables = {
        {QStringLiteral("AUX_ESTADISTICACTA"),
         {"Id", "USUARIO", "Nombre", "Grupo", "FechaD", "FechaH", "ImporteG1", "ImporteG2",
          "Detalle"}},
        {QStringLiteral("VT_CLIENTES"), {"CODIGO", "RAZON_SOCIAL"}},
    };
    const QString formula =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    const auto c = SelectionFormula::translate(formula, tables, &why);
    if (!c) {
        FUZZ_CHECK(!why.isEmpty(), "a refused formula without a reason");
        return 0;
    }
    // Values travel as parameters: nothing of a value reaches the statement's text.
    FUZZ_CHECK(!c->sql.contains(QLatin1Char('\'')), "a quote in the condition");
    FUZZ_CHECK(!c->sql.contains(QLatin1Char(';')), "a ; in the condition");
    FUZZ_CHECK(!c->sql.contains(QLatin1String("--")) && !c->sql.contains(QLatin1String("/*")),
               "a comment in the condition");
    FUZZ_CHECK(c->sql.count(QLatin1Char('?')) == static_cast<qsizetype>(c->parameters.size()),
               "as many ? as values");
    return 0;
}
