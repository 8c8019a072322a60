#pragma once

#include <QString>

namespace reportengine {

// The printer and orientation a user prints reports with.
struct PrintSetting {
    enum class Orientation { Template, Portrait, Landscape };
    QString printer;  // empty: the system's default printer
    Orientation orientation = Orientation::Template;
};

// Print settings kept in the user's settings file (section "impresion", or "impresion<n>"), so
// that a printed report goes where the user last chose without asking. The print setting handle
// the report runner carries is the slot: 0 is the user's own setting, other values name further
// settings the suite may keep.
class PrintSettingStore {
  public:
    static PrintSetting read(qint32 handle);
    static void write(qint32 handle, const PrintSetting& setting);

    // The folder a report was last saved in (section "guardar"); empty before the first save.
    static QString saveFolder();
    static void setSaveFolder(const QString& folder);
};

}  // namespace reportengine
