#include "lookup/ListaConsulta.h"

#include <QFont>
#include <algorithm>

namespace {

constexpr std::size_t kPlegadas = 1;

// Room for `n` elements, growing as push_back would.
template <typename T>
void hazSitio(std::vector<T>& v, std::size_t n) {
    if (n > v.capacity()) v.reserve(std::max(n, 2 * v.capacity()));
}

}  // namespace

void ListaConsulta::setColumnas(const QStringList& titulos) {
    beginResetModel();
    titulos_ = titulos;
    vaciaFilas();
    textos_.clear();
    textos_.resize(static_cast<std::size_t>(titulos_.size()));
    endResetModel();
}

void ListaConsulta::vacia() {
    beginResetModel();
    vaciaFilas();
    endResetModel();
}

void ListaConsulta::vaciaFilas() {
    for (TextosColumna& t : textos_) t.vacia();
    marcas_.clear();
    colores_.clear();
    cambiadas_.clear();
    marcasIniciales_ = true;
    orden_.clear();
    lugar_.clear();
    guardadas_ = 0;
    columnaOrden_.reset();
    permutada_ = false;
    plegadas_.clear();
    mezcla_.clear();
}

void ListaConsulta::agrega(const Fila& fila) {
    acumula(fila);
    incorpora();
}

void ListaConsulta::acumula(const Fila& fila) {
    std::size_t c = 0;
    try {
        hazSitio(marcas_, guardadas_ + 1);
        if (fila.color || !colores_.empty()) hazSitio(colores_, guardadas_ + 1);
        for (; c < textos_.size(); ++c) {
            const auto i = static_cast<qsizetype>(c);
            textos_[c].agrega(i < fila.celdas.size() ? QStringView(fila.celdas[i]) : QStringView());
        }
    } catch (...) {
        // A row is kept whole or not at all: the columns keep one text per row. The failure
        // goes on to whoever reads the rows.
        while (c > 0) textos_[--c].quitaUltimo();
        throw;
    }
    // With the room reserved, nothing below fails.
    marcas_.push_back(marcasIniciales_ && fila.marcada);
    if (fila.color) {
        if (colores_.empty()) colores_.resize(guardadas_, 0);
        // Opaque, so that no colour is ever 0.
        colores_.push_back(fila.color->rgb() | 0xFF000000u);
    } else if (!colores_.empty()) {
        colores_.push_back(0);
    }
    ++guardadas_;
}

void ListaConsulta::incorpora() {
    const std::size_t antes = orden_.size();
    if (guardadas_ == antes) return;
    // The rows join at the end for the views, then go to their places when the list is sorted.
    beginInsertRows({}, static_cast<int>(antes), static_cast<int>(guardadas_) - 1);
    for (std::size_t s = antes; s < guardadas_; ++s) {
        orden_.push_back(static_cast<int>(s));
        lugar_.push_back(static_cast<int>(s));
    }
    endInsertRows();
    if (columnaOrden_) mezclaNuevas(antes);
}

QStringView ListaConsulta::texto(std::size_t guardada, int columna) const {
    if (!cambiadas_.isEmpty()) {
        const auto i = cambiadas_.constFind(static_cast<quint64>(guardada) * textos_.size() +
                                            static_cast<quint64>(columna));
        if (i != cambiadas_.constEnd()) return *i;
    }
    return textos_[static_cast<std::size_t>(columna)].texto(guardada);
}

QString ListaConsulta::celda(int fila, int columna) const {
    if (fila < 0 || fila >= rowCount() || columna < 0 || columna >= columnCount()) return {};
    return texto(static_cast<std::size_t>(orden_[static_cast<std::size_t>(fila)]), columna)
        .toString();
}

bool ListaConsulta::marcada(int fila) const {
    return marcas_[static_cast<std::size_t>(orden_[static_cast<std::size_t>(fila)])] != 0;
}

std::optional<QColor> ListaConsulta::color(int fila) const {
    if (colores_.empty()) return std::nullopt;
    const QRgb c = colores_[static_cast<std::size_t>(orden_[static_cast<std::size_t>(fila)])];
    return c ? std::optional<QColor>(QColor::fromRgb(c)) : std::nullopt;
}

void ListaConsulta::ponCelda(int fila, int columna, const QString& texto) {
    if (fila < 0 || fila >= rowCount() || columna < 0 || columna >= columnCount()) return;
    const auto s = static_cast<quint64>(orden_[static_cast<std::size_t>(fila)]);
    cambiadas_.insert(s * textos_.size() + static_cast<quint64>(columna), texto);
    // The folded copy no longer says what the cell holds: it is made again when needed.
    std::erase_if(plegadas_, [&](const Plegada& p) { return p.columna == columna; });
    emit dataChanged(index(fila, columna), index(fila, columna));
}

void ListaConsulta::invierteMarcas() {
    for (std::size_t s = 0; s < orden_.size(); ++s) marcas_[s] = marcas_[s] ? 0 : 1;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void ListaConsulta::desmarcaTodas() {
    std::fill(marcas_.begin(), marcas_.end(), 0);
    marcasIniciales_ = false;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

const TextosColumna& ListaConsulta::plegada(int columna) const {
    auto p = std::find_if(plegadas_.begin(), plegadas_.end(),
                          [&](const Plegada& x) { return x.columna == columna; });
    if (p == plegadas_.end()) {
        // The sort's copy is kept: the rows still to come are merged through it.
        if (plegadas_.size() >= kPlegadas) {
            const auto otra = std::find_if(
                plegadas_.begin(), plegadas_.end(),
                [&](const Plegada& x) { return !columnaOrden_ || x.columna != *columnaOrden_; });
            plegadas_.erase(otra);
        }
        plegadas_.push_back({columna, {}});
        p = plegadas_.end() - 1;
    }
    pliegaHasta(*p);
    return p->textos;
}

void ListaConsulta::pliegaHasta(Plegada& p) const {
    QString plegado;
    for (std::size_t s = p.textos.size(); s < guardadas_; ++s) {
        pliegaEn(texto(s, p.columna), plegado);
        p.textos.agrega(plegado);
    }
}

bool ListaConsulta::menor(const TextosColumna& claves, int a, int b) const {
    // Folded texts compare as the texts do without regard to case, at the cost of a plain
    // comparison.
    const int c = claves.texto(static_cast<std::size_t>(a))
                      .compare(claves.texto(static_cast<std::size_t>(b)), Qt::CaseSensitive);
    return sentido_ == Qt::AscendingOrder ? c < 0 : c > 0;
}

namespace {

// Whether the text, its leading blanks aside, starts with `buscado` (folded); the text is folded
// as it is compared when `plegada` says it is not folded yet.
bool empiezaCon(QStringView v, QStringView buscado, bool plegada) {
    qsizetype i = 0;
    while (i < v.size() && v[i].isSpace()) ++i;
    const qsizetype n = buscado.size();
    if (v.size() - i < n) return false;
    const char16_t* c = v.utf16() + i;
    const char16_t* b = buscado.utf16();
    const char16_t antes = i > 0 ? c[-1] : 0;
    // Texts of a list often share their beginning: the last character searched tells most of
    // them apart at once.
    const char16_t ultimo = plegada ? c[n - 1] : pliegaCaracter(c[n - 1], n > 1 ? c[n - 2] : antes);
    if (ultimo != b[n - 1]) return false;
    if (plegada) return std::equal(c, c + n - 1, b);
    char16_t anterior = antes;
    for (qsizetype k = 0; k + 1 < n; ++k) {
        if (pliegaCaracter(c[k], anterior) != b[k]) return false;
        anterior = c[k];
    }
    return true;
}

}  // namespace

int ListaConsulta::busca(int columna, const QString& texto) const {
    if (rowCount() == 0) return -1;
    const QString buscado = pliega(QStringView(texto).trimmed());
    if (buscado.isEmpty()) return 0;
    if (columna < 0 || columna >= columnCount()) return -1;
    // A column the list is sorted by has its folded copy; another is folded as it is compared,
    // which costs a search less than making the copy would.
    const auto p = std::find_if(plegadas_.begin(), plegadas_.end(),
                                [&](const Plegada& x) { return x.columna == columna; });
    const TextosColumna* claves = p == plegadas_.end() ? nullptr : &plegada(columna);
    // The rows are walked in the order they were read, which keeps to the memory; the list's
    // order decides among those that match.
    int primera = -1;
    for (std::size_t s = 0; s < orden_.size(); ++s) {
        const QStringView v = claves ? claves->texto(s) : this->texto(s, columna);
        if (!empiezaCon(v, buscado, claves != nullptr)) continue;
        const int r = lugar_[s];
        if (!permutada_) return r;
        if (primera < 0 || r < primera) primera = r;
    }
    return primera;
}

void ListaConsulta::ordena(int columna, Qt::SortOrder orden) {
    if (columna < 0 || columna >= columnCount()) return;
    columnaOrden_ = columna;
    sentido_ = orden;
    const TextosColumna& claves = plegada(columna);
    std::vector<int> nuevas = orden_;
    std::stable_sort(nuevas.begin(), nuevas.end(),
                     [&](int a, int b) { return menor(claves, a, b); });
    reordena(nuevas);
}

void ListaConsulta::mezclaNuevas(std::size_t desde) {
    const TextosColumna& claves = plegada(*columnaOrden_);
    auto antes = [&](int a, int b) { return menor(claves, a, b); };
    std::vector<int> nuevas(orden_.begin() + static_cast<std::ptrdiff_t>(desde), orden_.end());
    std::stable_sort(nuevas.begin(), nuevas.end(), antes);
    std::vector<int> todas = std::move(mezcla_);
    todas.clear();
    todas.reserve(orden_.size());
    auto viejas = orden_.cbegin();
    const auto finViejas = orden_.cbegin() + static_cast<std::ptrdiff_t>(desde);
    // Each new row after the rows already there that sort alike: as if every row had been read
    // before the sort.
    for (const int n : nuevas) {
        const auto hasta = std::upper_bound(viejas, finViejas, n, antes);
        todas.insert(todas.end(), viejas, hasta);
        todas.push_back(n);
        viejas = hasta;
    }
    todas.insert(todas.end(), viejas, finViejas);
    reordena(todas);
    // The old order's room serves the next merge: a list of a million rows is merged often.
    mezcla_ = std::move(todas);
}

void ListaConsulta::reordena(std::vector<int>& nuevas) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The views' current and selected rows move with their rows.
    const QModelIndexList antes = persistentIndexList();
    std::vector<int> leidas;
    leidas.reserve(static_cast<std::size_t>(antes.size()));
    for (const QModelIndex& i : antes) leidas.push_back(orden_[static_cast<std::size_t>(i.row())]);
    orden_.swap(nuevas);
    for (std::size_t r = 0; r < orden_.size(); ++r)
        lugar_[static_cast<std::size_t>(orden_[r])] = static_cast<int>(r);
    permutada_ = true;
    QModelIndexList despues;
    despues.reserve(antes.size());
    for (qsizetype k = 0; k < antes.size(); ++k)
        despues << index(lugar_[static_cast<std::size_t>(leidas[static_cast<std::size_t>(k)])],
                         antes[k].column());
    changePersistentIndexList(antes, despues);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListaConsulta::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(orden_.size());
}

int ListaConsulta::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titulos_.size());
}

QVariant ListaConsulta::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return celda(index.row(), index.column());
        case Qt::CheckStateRole:
            if (casillas_ && index.column() == 0)
                return marcada(index.row()) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::ForegroundRole: {
            const auto c = color(index.row());
            return c ? QVariant(*c) : QVariant();
        }
        case Qt::FontRole:
            if (color(index.row())) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

bool ListaConsulta::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || !casillas_) return false;
    marcas_[static_cast<std::size_t>(orden_[static_cast<std::size_t>(index.row())])] =
        value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ListaConsulta::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ListaConsulta::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section < titulos_.size())
        return titulos_[section];
    return {};
}
