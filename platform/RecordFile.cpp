#include "platform/RecordFile.h"

#include "platform/Failure.h"
#include "platform/TextFile.h"

namespace platform {

RecordFile::RecordFile(const QString& path, int recordLength, qint64 limit)
    : path_(nativePath(path)), recordLength_(recordLength), limit_(limit) {}

void RecordFile::open() {
    archivo::abre(file_, path_, archivo::Uso::LeerYEscribir, limit_);
}

void RecordFile::openReadOnly() {
    archivo::abre(file_, path_, archivo::Uso::Leer, limit_);
}

qint64 RecordFile::recordCount() const {
    return file_.size() / recordLength_;
}

QByteArray RecordFile::read(qint64 number) {
    if (number < 1 || number > recordCount()) {
        raise(
            errnum::InputPastEnd,
            QStringLiteral("El registro %1 de %2 falta o está incompleto").arg(number).arg(path_));
    }
    if (!file_.seek((number - 1) * recordLength_))
        raise(errnum::InputPastEnd, QStringLiteral("Se sobrepasó el final del archivo"));
    QByteArray rec = file_.read(recordLength_);
    if (rec.size() != recordLength_)
        raise(errnum::InputPastEnd, QStringLiteral("Se sobrepasó el final del archivo"));
    return rec;
}

void RecordFile::write(qint64 number, const QByteArray& record) {
    if (record.size() > recordLength_)
        raise(errnum::BadRecordLength, QStringLiteral("Longitud de registro errónea"));
    if (number < 1) raise(errnum::InvalidArgument, QStringLiteral("Número de registro no válido"));
    QByteArray rec = record;
    rec.append(QByteArray(recordLength_ - record.size(), ' '));
    // Writing past the end leaves the records in between blank, as random access does.
    const qint64 pos = (number - 1) * recordLength_;
    if (pos > file_.size()) {
        file_.seek(file_.size());
        file_.write(QByteArray(pos - file_.size(), ' '));
    }
    if (!file_.seek(pos) || file_.write(rec) != rec.size())
        raise(errnum::PermissionDenied, QStringLiteral("No se pudo escribir el registro"));
    file_.flush();
}

}  // namespace platform
