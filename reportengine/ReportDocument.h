#pragma once

#include <QDateTime>
#include <QString>

#include "reportengine/ReportTable.h"
#include "reportengine/ReportTemplate.h"
#include "reportengine/ScheduleGrid.h"

namespace reportengine {

// Everything a report shows, before it is cut into pages: the same content feeds the preview,
// the printer, the PDF and the spreadsheet.
struct ReportDocument {
    QString name;  // the template's name; also names the files written
    ReportTemplate::Kind kind = ReportTemplate::Kind::List;
    bool landscape = false;
    QString title;
    QString company;
    QString parameters;
    QDateTime printedAt;
    ScheduleGrid grid;  // kind Grid
    bool showDetails = false;
    QString labelHeading;
    ReportTable table;  // kind List
};

}  // namespace reportengine
