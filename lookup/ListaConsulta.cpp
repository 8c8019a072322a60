#include "lookup/ListaConsulta.h"

#include <QFont>
#include <algorithm>
#include <numeric>

void ListaConsulta::setColumnas(const QStringList& titulos) {
    beginResetModel();
    titulos_ = titulos;
    filas_.clear();
    endResetModel();
}

void ListaConsulta::vacia() {
    beginResetModel();
    filas_.clear();
    endResetModel();
}

void ListaConsulta::agrega(Fila fila) {
    const int r = static_cast<int>(filas_.size());
    beginInsertRows({}, r, r);
    filas_.push_back(std::move(fila));
    endInsertRows();
}

void ListaConsulta::ponCelda(int fila, int columna, const QString& texto) {
    QStringList& c = filas_[static_cast<std::size_t>(fila)].celdas;
    while (c.size() <= columna) c << QString();
    c[columna] = texto;
    emit dataChanged(index(fila, columna), index(fila, columna));
}

int ListaConsulta::busca(int columna, const QString& texto) const {
    const QString buscado = texto.trimmed();
    for (std::size_t r = 0; r < filas_.size(); ++r) {
        const QStringList& c = filas_[r].celdas;
        const QString valor = columna < c.size() ? c[columna].trimmed() : QString();
        if (valor.left(buscado.size()).compare(buscado, Qt::CaseInsensitive) == 0)
            return static_cast<int>(r);
    }
    return -1;
}

void ListaConsulta::ordena(int columna, Qt::SortOrder orden) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> viejas(filas_.size());
    std::iota(viejas.begin(), viejas.end(), 0);
    std::stable_sort(viejas.begin(), viejas.end(), [&](int ra, int rb) {
        const QStringList& a = filas_[static_cast<std::size_t>(ra)].celdas;
        const QStringList& b = filas_[static_cast<std::size_t>(rb)].celdas;
        const QString x = columna < a.size() ? a[columna] : QString();
        const QString y = columna < b.size() ? b[columna] : QString();
        const int c = x.compare(y, Qt::CaseInsensitive);
        return orden == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<Fila> ordenadas;
    ordenadas.reserve(filas_.size());
    std::vector<int> nuevaDe(filas_.size());
    for (std::size_t i = 0; i < viejas.size(); ++i) {
        nuevaDe[static_cast<std::size_t>(viejas[i])] = static_cast<int>(i);
        ordenadas.push_back(std::move(filas_[static_cast<std::size_t>(viejas[i])]));
    }
    filas_ = std::move(ordenadas);
    // The views' current and selected rows move with their rows.
    const QModelIndexList antes = persistentIndexList();
    QModelIndexList despues;
    despues.reserve(antes.size());
    for (const QModelIndex& i : antes)
        despues << index(nuevaDe[static_cast<std::size_t>(i.row())], i.column());
    changePersistentIndexList(antes, despues);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListaConsulta::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(filas_.size());
}

int ListaConsulta::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titulos_.size());
}

QVariant ListaConsulta::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Fila& f = filas_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return index.column() < f.celdas.size() ? f.celdas[index.column()] : QString();
        case Qt::CheckStateRole:
            if (casillas_ && index.column() == 0) return f.marcada ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::ForegroundRole:
            return f.color ? QVariant(*f.color) : QVariant();
        case Qt::FontRole:
            if (f.color) {
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
    filas_[static_cast<std::size_t>(index.row())].marcada = value.toInt() == Qt::Checked;
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
