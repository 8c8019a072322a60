#include "reportengine/ReportTemplate.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include "platform/ArchivoLegible.h"
#include "platform/Failure.h"

namespace reportengine {

namespace {

// Names end up in statements, so only plain identifiers are accepted.
bool isTableName(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

bool isFieldReference(const QString& s) {
    static const QRegularExpression re(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return re.match(s).hasMatch();
}

class Reader {
  public:
    explicit Reader(const QByteArray& xml) : xml_(xml) {}

    std::optional<ReportTemplate> read(QString* error) {
        if (!xml_.readNextStartElement() || xml_.name() != QLatin1String("report"))
            return fail(error, QStringLiteral("el archivo no empieza con el elemento <report>"));
        const bool read = readReport();
        if (xml_.hasError())
            return fail(error, QStringLiteral("XML mal formado: %1").arg(xml_.errorString()));
        if (!read) return fail(error, problem_);
        if (!check()) return fail(error, problem_);
        return t_;
    }

  private:
    std::optional<ReportTemplate> fail(QString* error, const QString& why) {
        if (error) {
            *error = xml_.lineNumber() > 0 && xml_.hasError()
                         ? QStringLiteral("%1 (línea %2)").arg(why).arg(xml_.lineNumber())
                         : why;
        }
        return std::nullopt;
    }

    bool problem(const QString& why) {
        problem_ = why;
        return false;
    }

    QString attr(const char* name) const {
        return xml_.attributes().value(QLatin1String(name)).toString().trimmed();
    }

    bool readReport() {
        const QString kind = attr("kind");
        if (kind == QLatin1String("grid"))
            t_.kind = ReportTemplate::Kind::Grid;
        else if (kind == QLatin1String("list"))
            t_.kind = ReportTemplate::Kind::List;
        else
            return problem(
                QStringLiteral("kind debe ser \"grid\" o \"list\", no \"%1\"").arg(kind));
        const QString orientation = attr("orientation");
        if (orientation == QLatin1String("landscape"))
            t_.landscape = true;
        else if (orientation.isEmpty() || orientation == QLatin1String("portrait"))
            t_.landscape = false;
        else
            return problem(QStringLiteral("orientation desconocida: \"%1\"").arg(orientation));

        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            bool ok = true;
            if (name == QLatin1String("source")) {
                ok = readSource();
            } else if (name == QLatin1String("filter")) {
                t_.filter = xml_.readElementText().trimmed();
            } else if (name == QLatin1String("title")) {
                if (!attr("field").isEmpty()) t_.titleField = attr("field");
                t_.title = xml_.readElementText().trimmed();
            } else if (name == QLatin1String("company")) {
                if (!attr("field").isEmpty()) t_.companyField = attr("field");
                xml_.skipCurrentElement();
            } else if (name == QLatin1String("parameters")) {
                if (!attr("field").isEmpty()) t_.parametersField = attr("field");
                xml_.skipCurrentElement();
            } else if (name == QLatin1String("grid")) {
                readGrid();
            } else if (name == QLatin1String("columns")) {
                ok = readColumns();
            } else {
                return problem(QStringLiteral("elemento desconocido <%1>").arg(name.toString()));
            }
            if (!ok) return false;
        }
        return !xml_.hasError();
    }

    bool readSource() {
        t_.table = attr("table");
        for (const QString& part : attr("order").split(QLatin1Char(','), Qt::SkipEmptyParts))
            t_.order << part.trimmed();
        while (xml_.readNextStartElement()) {
            if (xml_.name() != QLatin1String("join"))
                return problem(QStringLiteral("<source> solo admite elementos <join>"));
            t_.joins.push_back({attr("table"), attr("field"), attr("to")});
            xml_.skipCurrentElement();
        }
        return true;
    }

    void readGrid() {
        auto& g = t_.grid;
        g.label = attr("label");
        g.from = attr("from");
        g.to = attr("to");
        g.count = attr("count");
        g.daily = attr("daily");
        g.detail = attr("detail");
        g.showDetail = attr("showDetail") == QLatin1String("yes");
        g.labelHeading = xml_.attributes().value(QLatin1String("labelHeading")).toString();
        xml_.skipCurrentElement();
    }

    bool readColumns() {
        while (xml_.readNextStartElement()) {
            if (xml_.name() != QLatin1String("column"))
                return problem(QStringLiteral("<columns> solo admite elementos <column>"));
            ReportTemplate::Column c;
            c.field = attr("field");
            c.heading = xml_.attributes().value(QLatin1String("heading")).toString();
            if (!attr("width").isEmpty()) {
                bool ok = false;
                c.width = attr("width").toDouble(&ok);
                if (!ok || c.width <= 0)
                    return problem(QStringLiteral("ancho no válido en la columna %1").arg(c.field));
            }
            const QString align = attr("align");
            if (align == QLatin1String("left"))
                c.align = ReportTemplate::Align::Left;
            else if (align == QLatin1String("center"))
                c.align = ReportTemplate::Align::Center;
            else if (align == QLatin1String("right"))
                c.align = ReportTemplate::Align::Right;
            else if (!align.isEmpty())
                return problem(QStringLiteral("align desconocido: \"%1\"").arg(align));
            if (!attr("decimals").isEmpty()) c.decimals = attr("decimals").toInt();
            c.dateFormat = attr("format");
            t_.columns.push_back(c);
            xml_.skipCurrentElement();
        }
        return true;
    }

    bool check() {
        if (!isTableName(t_.table))
            return problem(QStringLiteral("falta la tabla de origen o su nombre no es válido"));
        for (const auto& j : t_.joins) {
            if (!isTableName(j.table) || !isFieldReference(j.field) || !isTableName(j.toField))
                return problem(QStringLiteral("unión con la tabla \"%1\" incompleta").arg(j.table));
        }
        for (const QString& o : t_.order) {
            if (!isFieldReference(o))
                return problem(QStringLiteral("campo de orden no válido: \"%1\"").arg(o));
        }
        if (t_.kind == ReportTemplate::Kind::Grid) {
            const auto& g = t_.grid;
            for (const QString* f : {&g.label, &g.from, &g.to, &g.count}) {
                if (!isFieldReference(*f))
                    return problem(
                        QStringLiteral("<grid> necesita los campos label, from, to y count"));
            }
            for (const QString* f : {&g.daily, &g.detail}) {
                if (!f->isEmpty() && !isFieldReference(*f))
                    return problem(QStringLiteral("campo no válido en <grid>: \"%1\"").arg(*f));
            }
        } else {
            if (t_.columns.empty())
                return problem(QStringLiteral("una lista necesita al menos una columna"));
            for (const auto& c : t_.columns) {
                if (!isFieldReference(c.field))
                    return problem(
                        QStringLiteral("campo de columna no válido: \"%1\"").arg(c.field));
            }
        }
        return true;
    }

    QXmlStreamReader xml_;
    ReportTemplate t_;
    QString problem_;
};

}  // namespace

std::optional<ReportTemplate> ReportTemplate::fromXml(const QByteArray& xml, QString* error) {
    return Reader(xml).read(error);
}

std::optional<ReportTemplate> ReportTemplate::load(const QString& path, QString* error) {
    QByteArray xml;
    try {
        xml = platform::archivo::lee(path, platform::limite::kFormatos);
    } catch (const platform::Failure& f) {
        // The reason (missing, a folder, not a regular file, too large) goes to the caller.
        if (error) *error = f.info().description;
        return std::nullopt;
    }
    return fromXml(xml, error);
}

}  // namespace reportengine
