#include "lookup/FuenteRecordset.h"

#include "suitelib/SuiteLib.h"

namespace {

int indiceDe(ado::Recordset& rs, const char* nombre) {
    const QString n = QString::fromLatin1(nombre);
    for (int i = 0; i < rs.fieldCount(); ++i)
        if (rs.field(i).name().compare(n, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

}  // namespace

FuenteRecordset::FuenteRecordset(DB_Dll& db, DB_Dll::Recordset rs, Forma forma)
    : db_(db), rs_(std::move(rs)), forma_(std::move(forma)) {
    if (!rs_ || rs_->state() != ado::adstate::Open) return;
    if (forma_.niveles) {
        puntoPedido_ = indiceDe(*rs_, "PUNTOPEDIDO");
        stock_ = indiceDe(*rs_, "Stock");
    }
}

FuenteRecordset::~FuenteRecordset() {
    try {
        suelta();
    } catch (...) {
        // Closing reports its own failures; a destructor must not throw, and the recordset goes
        // with its object anyway.
    }
}

bool FuenteRecordset::siguiente(ListaConsulta::Fila& fila) {
    if (!rs_ || rs_->state() != ado::adstate::Open) return false;
    if (tomada_) {
        tomada_ = false;
        rs_->moveNext();
    }
    if (rs_->eof()) {
        suelta();
        return false;
    }
    llena(fila);
    tomada_ = true;
    return true;
}

void FuenteRecordset::llena(ListaConsulta::Fila& fila) {
    const int n = rs_->fieldCount();
    fila.celdas.resize(n);
    for (int i = 0; i < n; ++i) {
        const platform::Variant v = rs_->field(i).value();
        // A null cell shows as empty text.
        fila.celdas[i] = v.isNull() ? QString() : v.toText().trimmed();
    }
    fila.marcada = false;
    if (forma_.casillas && forma_.devuelta >= 0 && forma_.devuelta < n) {
        const QString& clave = fila.celdas[forma_.devuelta];
        fila.marcada =
            !clave.isEmpty() && forma_.valoresDefault.contains(clave, Qt::CaseInsensitive);
    }
    fila.color = colorDeFila();
}

std::optional<QColor> FuenteRecordset::colorDeFila() {
    if (!forma_.niveles || puntoPedido_ < 0 || stock_ < 0) return std::nullopt;
    const auto& t = SuiteLib::tools();
    const double pp = t.NoNull(rs_->field(puntoPedido_).value()).toNumber();
    const double st = t.NoNull(rs_->field(stock_).value()).toNumber();
    const auto& n = *forma_.niveles;
    return pp == 0 && st > 0 ? n[0] : pp > 0 && st > pp ? n[1] : pp > 0 && st < pp ? n[2] : n[3];
}

void FuenteRecordset::suelta() {
    DB_Dll::Recordset rs = std::move(rs_);
    rs_.reset();
    if (rs && rs->state() == ado::adstate::Open) db_.CierraRecordset(rs);
}
