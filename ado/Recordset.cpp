#include "ado/Recordset.h"

#include <QRegularExpression>

#include "ado/core/Error.h"

namespace ado {

using platform::Variant;

namespace {
const QString kSource = QStringLiteral("ADODB.Recordset");

[[noreturn]] void raiseItemNotFound() {
    raiseAdo(code::ItemNotFound, QStringLiteral("ADODB.Fields"));
}

QString bracket(const QString& name) {
    QString n = name;
    return QLatin1Char('[') + n.replace(QLatin1Char(']'), QLatin1String("]]")) + QLatin1Char(']');
}
}  // namespace

void Recordset::requireOpen() const {
    if (!open_) {
        raiseAdo(code::ObjectClosed, kSource);
    }
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (editMode_ == adedit::Add) return;
    if (bof_ || eof_) {
        raiseAdo(code::BofOrEof, kSource);
    }
}

void Recordset::open(const QString& source, const Connection& activeConnection, int cursorType,
                     int lockType, int) {
    openWith(source, activeConnection, cursorType, lockType, false);
}

void Recordset::openForReading(const QString& source, const Connection& activeConnection,
                               int cursorType) {
    openWith(source, activeConnection, cursorType, adlock::ReadOnly, true);
}

void Recordset::openWith(const QString& source, const Connection& activeConnection, int cursorType,
                         int lockType, bool reading) {
    if (open_) {
        raiseAdo(code::ObjectOpen, kSource);
    }
    Engine& engine = activeConnection.engine();
    activeConnection.errors().clear();
    QString text = source.trimmed();
    // A bare table name opens the whole table, as a table-type source does.
    static const QRegularExpression bare(QStringLiteral("^[\\w\\.\\[\\]@ ]+$"));
    if (bare.match(text).hasMatch() && !text.contains(QLatin1Char(' '))) {
        text = QStringLiteral("SELECT * FROM ") + text;
    }
    ExecResult r;
    if (reading) {
        r.cursor = activeConnection.guarded([&] { return engine.read(text); });
    } else {
        r = activeConnection.guarded([&] { return engine.execute(text); });
    }
    if (!r.cursor) {
        // A statement without rows leaves the recordset closed, as the platform's does.
        return;
    }
    connection_ = activeConnection;
    source_ = text;
    cursorType_ = cursorType;
    lockType_ = lockType;
    reading_ = reading;
    streaming_ = cursorType == adcursor::ForwardOnly && lockType == adlock::ReadOnly;
    setUp(std::move(r.cursor));
}

void Recordset::openOver(std::unique_ptr<Cursor> cursor, const Connection& connection,
                         const QString& source, int cursorType, int lockType) {
    connection_ = connection;
    source_ = source;
    cursorType_ = cursorType;
    lockType_ = lockType;
    reading_ = false;
    streaming_ = cursorType == adcursor::ForwardOnly;
    setUp(std::move(cursor));
}

void Recordset::setUp(std::unique_ptr<Cursor> cursor) {
    columns_ = cursor->columns();
    fields_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        fields_.push_back(std::make_unique<Field>(this, static_cast<int>(i), columns_[i]));
    rows_.clear();
    row_.clear();
    editMode_ = adedit::None;
    open_ = true;
    try {
        if (streaming_) {
            cursor_ = std::move(cursor);
            const bool any = cursor_->next(row_);
            bof_ = eof_ = !any;
        } else {
            std::vector<Variant> row;
            while (cursor->next(row)) rows_.push_back(row);
            pos_ = 0;
            bof_ = eof_ = rows_.empty();
        }
    } catch (const EngineError& e) {
        open_ = false;
        cursor_.reset();
        connection_.fail(e);
    }
}

void Recordset::close() {
    requireOpen();
    if (editMode_ != adedit::None) {
        raiseAdo(code::OperationNotAllowed, kSource);
    }
    cursor_.reset();
    rows_.clear();
    row_.clear();
    fields_.clear();
    columns_.clear();
    open_ = false;
    bof_ = eof_ = true;
}

bool Recordset::bof() const {
    requireOpen();
    return bof_;
}

bool Recordset::eof() const {
    requireOpen();
    return eof_;
}

void Recordset::finishEditOnMove() {
    // Moving away from an edited row saves it, as the platform does.
    if (editMode_ != adedit::None) update();
}

void Recordset::moveNext() {
    requireOpen();
    if (eof_) {
        raiseAdo(code::BofOrEof, kSource);
    }
    finishEditOnMove();
    bof_ = false;
    if (streaming_) {
        try {
            if (!cursor_ || !cursor_->next(row_)) {
                eof_ = true;
                row_.clear();
                cursor_.reset();
            }
        } catch (const EngineError& e) {
            eof_ = true;
            cursor_.reset();
            connection_.fail(e);
        }
    } else {
        ++pos_;
        eof_ = pos_ >= static_cast<qint64>(rows_.size());
    }
}

void Recordset::moveFirst() {
    requireOpen();
    finishEditOnMove();
    if (streaming_) {
        // A forward-only recordset starts again by running its query again.
        const QString src = source_;
        Connection c = connection_;
        const bool reading = reading_;
        close();
        openWith(src, c, adcursor::ForwardOnly, adlock::ReadOnly, reading);
        return;
    }
    pos_ = 0;
    bof_ = eof_ = rows_.empty();
}

qint64 Recordset::recordCount() const {
    requireOpen();
    return streaming_ ? -1 : static_cast<qint64>(rows_.size());
}

int Recordset::fieldCount() const {
    requireOpen();
    return static_cast<int>(fields_.size());
}

Field& Recordset::field(int index) {
    requireOpen();
    if (index < 0 || index >= static_cast<int>(fields_.size())) raiseItemNotFound();
    return *fields_[static_cast<std::size_t>(index)];
}

Field& Recordset::field(const QString& name) {
    requireOpen();
    const QString n = name.trimmed();
    for (auto& f : fields_)
        if (f->name().compare(n, Qt::CaseInsensitive) == 0) return *f;
    raiseItemNotFound();
}

bool Recordset::hasField(const QString& name) const {
    for (const auto& f : fields_)
        if (f->name().compare(name.trimmed(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

const std::vector<Variant>& Recordset::currentRow() const {
    return streaming_ ? row_ : rows_[static_cast<std::size_t>(pos_)];
}

Variant Recordset::valueAt(int index) const {
    requireCurrent();
    const auto i = static_cast<std::size_t>(index);
    if (editMode_ != adedit::None) return editRow_[i];
    return currentRow()[i];
}

Variant Recordset::originalAt(int index) const {
    requireCurrent();
    if (editMode_ == adedit::Add) return Variant::null();
    return currentRow()[static_cast<std::size_t>(index)];
}

void Recordset::setValueAt(int index, const Variant& v) {
    requireOpen();
    if (lockType_ == adlock::ReadOnly) {
        raiseAdo(code::NotUpdatable, kSource);
    }
    if (editMode_ == adedit::None) {
        requireCurrent();
        editRow_ = currentRow();
        changed_.assign(columns_.size(), false);
        editMode_ = adedit::InProgress;
    }
    editRow_[static_cast<std::size_t>(index)] = v;
    changed_[static_cast<std::size_t>(index)] = true;
}

void Recordset::addNew() {
    requireOpen();
    if (lockType_ == adlock::ReadOnly || streaming_) {
        raiseAdo(code::NotUpdatable, kSource);
    }
    if (editMode_ != adedit::None) update();
    editRow_.assign(columns_.size(), Variant::null());
    changed_.assign(columns_.size(), false);
    editMode_ = adedit::Add;
}

void Recordset::cancelUpdate() {
    requireOpen();
    editMode_ = adedit::None;
    editRow_.clear();
    changed_.clear();
}

QString Recordset::baseTable() const {
    static const QRegularExpression from(
        QStringLiteral(
            "\\bfrom\\s+((?:\\[[^\\]]+\\]|[\\w@#$]+)(?:\\.(?:\\[[^\\]]+\\]|[\\w@#$]+))*)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(source_);
    if (!m.hasMatch()) {
        raiseAdo(code::NotUpdatable, kSource);
    }
    return m.captured(1);
}

void Recordset::update() {
    requireOpen();
    if (editMode_ == adedit::None) return;
    Engine& engine = connection_.engine();
    const QString table = baseTable();
    QStringList names;
    std::vector<Variant> params;
    QString sql;
    if (editMode_ == adedit::Add) {
        QStringList marks;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (!changed_[i]) continue;
            names << bracket(columns_[i].name);
            marks << QStringLiteral("?");
            params.push_back(editRow_[i]);
        }
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        } else {
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
    } else {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (!changed_[i]) continue;
            names << bracket(columns_[i].name) + QStringLiteral("=?");
            params.push_back(editRow_[i]);
        }
        if (names.isEmpty()) {
            cancelUpdate();
            return;
        }
        // The row is found by its key, or by all the values it was read with.
        std::vector<QString> keys;
        try {
            QString bare = table.section(QLatin1Char('.'), -1);
            bare.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            keys = engine.primaryKey(bare);
        } catch (const EngineError&) {
            keys.clear();
        }
        QStringList where;
        const auto& orig = currentRow();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const bool isKey = std::any_of(keys.begin(), keys.end(), [&](const QString& k) {
                return k.compare(columns_[i].name, Qt::CaseInsensitive) == 0;
            });
            if (!keys.empty() && !isKey) continue;
            if (orig[i].isNull()) {
                where << bracket(columns_[i].name) + QStringLiteral(" IS NULL");
            } else {
                where << bracket(columns_[i].name) + QStringLiteral("=?");
                params.push_back(orig[i]);
            }
        }
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(table, names.join(QLatin1Char(',')), where.join(QStringLiteral(" AND ")));
    }
    const qint64 affected = connection_.guarded([&] {
        auto prepared = engine.prepare(sql);
        for (std::size_t i = 0; i < params.size(); ++i)
            prepared->bind(static_cast<int>(i), params[i]);
        return prepared->execute().affected;
    });
    if (editMode_ == adedit::InProgress && affected == 0) {
        raiseAdo(code::RowNotLocated,
                 QStringLiteral("No se encuentra la fila para actualizar. Es posible que algunos "
                                "valores hayan cambiado desde la última lectura."),
                 kSource);
    }
    if (editMode_ == adedit::Add) {
        rows_.push_back(editRow_);
        pos_ = static_cast<qint64>(rows_.size()) - 1;
        bof_ = eof_ = false;
    } else {
        rows_[static_cast<std::size_t>(pos_)] = editRow_;
    }
    editMode_ = adedit::None;
    editRow_.clear();
    changed_.clear();
}

}  // namespace ado
