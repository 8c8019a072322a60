#include "ado/core/Error.h"

namespace ado {

Error notReadOnly(const QString& source) {
    return Error{code::NotReadOnly,
                 QStringLiteral("Solo se permite una sentencia que lea datos; esta los "
                                "modificaría o no es una sola consulta, y no se ejecutó."),
                 source, QStringLiteral("25006"), 0};
}

Error lostConnection(const QString& source) {
    return Error{code::EFail,
                 QStringLiteral("Se perdió la conexión con el servidor de la base de datos; "
                                "lo que no se había confirmado no se guardó."),
                 source, QStringLiteral("08S01"), 0};
}

void raiseAdo(qint32 number, const QString& description, const QString& source) {
    platform::raise(number, description, source);
}

void raiseAdo(qint32 number, const QString& source) {
    QString text;
    switch (number) {
        case code::BofOrEof:
            text = QStringLiteral(
                "BOF o EOF es True, o el registro actual se eliminó. La operación "
                "solicitada requiere un registro actual.");
            break;
        case code::OperationNotAllowed:
            text = QStringLiteral("No se permite la operación en este contexto.");
            break;
        case code::NotUpdatable:
            text = QStringLiteral(
                "El conjunto de registros actual no admite actualizaciones. Puede "
                "deberse a una limitación del proveedor o del tipo de bloqueo.");
            break;
        case code::ItemNotFound:
            text = QStringLiteral(
                "No se encontró el elemento en la colección que corresponde con el "
                "nombre o el ordinal solicitado.");
            break;
        case code::ObjectClosed:
            text = QStringLiteral("No se permite la operación cuando el objeto está cerrado.");
            break;
        case code::ObjectOpen:
            text = QStringLiteral("No se permite la operación cuando el objeto está abierto.");
            break;
        case code::ConnectionUnusable:
            text = QStringLiteral(
                "No se puede usar la conexión para realizar esta operación. Está "
                "cerrada o no es válida en este contexto.");
            break;
        default:
            text = QStringLiteral("Error %1 del acceso a datos.").arg(number);
    }
    platform::raise(number, text, source);
}

}  // namespace ado
