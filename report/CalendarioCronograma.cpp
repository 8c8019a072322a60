#include "report/CalendarioCronograma.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <memory>

#include "calendario/EscritorIcs.h"
#include "calendario/LectorIcs.h"
#include "calendario/OrdenCalendario.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/Failure.h"
#include "platform/Prompt.h"
#include "report/OrdenesCronograma.h"
#include "reportengine/OutputFile.h"

namespace {

const QString kNombreCalendario = QStringLiteral("Cronograma de Mantenimientos");

// The database the visits come from: its server and name, so that two databases never share a
// visit's identity.
QString baseDatos() {
    const DB_Dll& db = gDB();
    return db.gServidor.trimmed() + QLatin1Char('/') + db.gDBName.trimmed();
}

OrdenCalendario ordenDe(const OrdenCronograma& o) {
    OrdenCalendario c;
    c.clave =
        textoDe(o.idComprobante).trimmed() + QLatin1Char('-') + textoDe(o.codigoMant).trimmed();
    c.numero = textoDe(o.numero).trimmed();
    c.resumen = (textoDe(o.codigo).trimmed() + QLatin1Char(' ') + textoDe(o.descripcion).trimmed())
                    .trimmed();
    QStringList lugar;
    for (const auto* v : {&o.ubicacion, &o.nombre})
        if (!textoDe(*v).trimmed().isEmpty()) lugar << textoDe(*v).trimmed();
    c.lugar = lugar.join(QStringLiteral(", "));
    c.descripcion = textoDe(o.comentarios).trimmed();
    c.tecnico = textoDe(o.tecnico).trimmed();
    return c;
}

// One calendar file: written beside its target, put in its place once closed.
struct Destino {
    Destino(const QString& archivo, const QString& nombre, const QDate& desde, const QDate& hasta,
            const QDateTime& sello)
        : salida(archivo), escritor(baseDatos(), nombre, desde, hasta, sello) {}
    reportengine::OutputFile salida;
    EscritorIcs escritor;
};

}  // namespace

// One export: the orders read once, their visits handed to the calendar each belongs to.
class CalendarioCronograma::Corrida {
  public:
    explicit Corrida(CalendarioCronograma& c) : c_(c) {}

    // False with the reason when the dates, the orders or a plan cannot be read.
    bool lee(QString* error);
    // The calendar a technician's visits go to (empty name: one calendar for all).
    Destino* destino(const QString& archivo, const QString& nombre, QString* error);
    void escribe(const std::function<Destino*(const OrdenCronograma&)>& para);
    bool tiene(const QString& archivo) const {
        return destinos_.count(QFileInfo(archivo).absoluteFilePath().toCaseFolded()) > 0;
    }
    bool cierra(QString* error);

  private:
    CalendarioCronograma& c_;
    QDate desde_, hasta_;
    QDateTime sello_ = QDateTime::currentDateTimeUtc();
    std::vector<OrdenCronograma> ordenes_;
    std::map<QString, std::unique_ptr<Destino>> destinos_;  // by file, folded
};

bool CalendarioCronograma::Corrida::lee(QString* error) {
    if (c_.p_.tipo != 0 && c_.p_.tipo != 1) {
        if (error) *error = QStringLiteral("Solo un cronograma tiene visitas para el calendario.");
        return false;
    }
    try {
        desde_ = leeFechaCronograma(c_.p_.fechaD, "Fecha Desde");
        hasta_ = leeFechaCronograma(c_.p_.fechaH, "Fecha Hasta");
        ordenes_ = leeOrdenesCronograma(gDB(), c_.p_, desde_, hasta_, true);
        // Every plan is read before a file is touched: one that cannot be read leaves every
        // calendar as it was. The repetitions are made again as each order is written, so that
        // memory does not grow with the visits.
        for (const OrdenCronograma& o : ordenes_) repeticionesDe(o, desde_, hasta_);
    } catch (const std::exception&) {
        if (error) *error = platform::errorOf(std::current_exception()).description;
        return false;
    }
    return true;
}

Destino* CalendarioCronograma::Corrida::destino(const QString& archivo, const QString& nombre,
                                                QString* error) {
    const QString clave = QFileInfo(archivo).absoluteFilePath().toCaseFolded();
    auto& d = destinos_[clave];
    if (d) return d.get();
    auto nuevo = std::make_unique<Destino>(archivo, nombre, desde_, hasta_, sello_);
    if (!nuevo->salida.open(error) || !nuevo->escritor.abre(nuevo->salida.path(), error)) {
        destinos_.erase(clave);
        return nullptr;
    }
    // A visit that comes back after a cancellation must outrank it in the calendar.
    nuevo->escritor.retoma(nuevo->salida.target());
    d = std::move(nuevo);
    return d.get();
}

void CalendarioCronograma::Corrida::escribe(
    const std::function<Destino*(const OrdenCronograma&)>& para) {
    for (std::size_t i = 0; i < ordenes_.size(); ++i) {
        Destino* d = para(ordenes_[i]);
        if (!d) continue;
        d->escritor.orden(ordenDe(ordenes_[i]));
        repeticionesDe(ordenes_[i], desde_, hasta_)
            .paraCadaDia([&](const QDate& dia, qint64 veces) {
                d->escritor.visita(dia, veces);
                c_.visitas_ += veces;
            });
    }
}

bool CalendarioCronograma::Corrida::cierra(QString* error) {
    bool todos = true;
    for (auto& [clave, d] : destinos_) {
        QString motivo;
        const bool escrito =
            d->escritor.cierra(d->salida.target(), &motivo) && d->salida.commit(&motivo);
        c_.canceladas_ += d->escritor.canceladas();
        if (!escrito && todos && error) *error = motivo;
        todos = todos && escrito;
    }
    return todos;
}

bool CalendarioCronograma::escribe(const QString& archivo, QString* error) {
    visitas_ = canceladas_ = 0;
    Corrida c(*this);
    if (!c.lee(error)) return false;
    Destino* d = c.destino(archivo, kNombreCalendario, error);
    if (!d) return false;
    c.escribe([d](const OrdenCronograma&) { return d; });
    return c.cierra(error);
}

bool CalendarioCronograma::escribePorTecnico(const QString& carpeta, QString* error) {
    visitas_ = canceladas_ = 0;
    Corrida c(*this);
    if (!c.lee(error)) return false;
    if (!QDir().mkpath(carpeta)) {
        if (error) *error = QStringLiteral("No se puede crear la carpeta «%1».").arg(carpeta);
        return false;
    }
    bool abiertos = true;
    c.escribe([&](const OrdenCronograma& o) -> Destino* {
        const QString tecnico = textoDe(o.tecnico).trimmed();
        const QString nombre = tecnico.isEmpty()
                                   ? kNombreCalendario
                                   : kNombreCalendario + QStringLiteral(" — ") + tecnico;
        Destino* d = c.destino(QDir(carpeta).filePath(archivoDeTecnico(tecnico)), nombre,
                               abiertos ? error : nullptr);
        abiertos = abiertos && d;
        return d;
    });
    // A technician without visits now still has the calendar of an earlier export: written
    // again without them, so that the visits it held are sent as cancelled.
    for (const QFileInfo& f : QDir(carpeta).entryInfoList({QStringLiteral("*.ics")}, QDir::Files)) {
        CabeceraIcs cabecera;
        if (c.tiene(f.filePath()) || !leeCabeceraIcs(f.filePath(), &cabecera, nullptr) ||
            !cabecera.nombre.startsWith(kNombreCalendario))
            continue;
        abiertos = c.destino(f.filePath(), cabecera.nombre, abiertos ? error : nullptr) && abiertos;
    }
    const bool cerrados = c.cierra(abiertos ? error : nullptr);
    return abiertos && cerrados;
}

bool CalendarioCronograma::guarda(const QString& destino, bool porTecnico) {
    QString error;
    if (porTecnico ? escribePorTecnico(destino, &error) : escribe(destino, &error)) return true;
    platform::msgBox(QStringLiteral("No se pudo escribir el calendario %1: %2")
                         .arg(QDir::toNativeSeparators(destino), error),
                     platform::mb::Critical, QStringLiteral("Aviso al operador"));
    return false;
}

QString CalendarioCronograma::archivoDeTecnico(const QString& nombre) {
    QString n;
    for (const QChar ch : nombre.simplified()) {
        const bool prohibido = ch.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(ch);
        n += prohibido ? QChar(u'_') : ch;
    }
    while (n.endsWith(QLatin1Char('.')) || n.endsWith(QLatin1Char(' '))) n.chop(1);
    // Names the system keeps for devices cannot be files there.
    static const QRegularExpression reservado(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
        QRegularExpression::CaseInsensitiveOption);
    if (reservado.match(n).hasMatch()) n += QLatin1Char('_');
    if (n.isEmpty()) n = QStringLiteral("Sin técnico");
    return n + QStringLiteral(".ics");
}
