#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/ArchivoLegible.h"

namespace platform {

// A file of fixed-length records read and written by record number (from 1), as the suite's
// random-access files are. They are lists: a file larger than `limit` is refused.
class RecordFile {
  public:
    RecordFile(const QString& path, int recordLength, qint64 limit = limite::kAjustes);
    ~RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens for reading and writing, creating the file when missing; raises the file errors of
    // platform/ArchivoLegible (what is not a regular file, or is too large, is never opened).
    void open();
    void openReadOnly();
    void close() noexcept { file_.close(); }

    // Whole records in the file; a trailing partial record is not counted.
    qint64 recordCount() const;
    qint64 size() const { return file_.size(); }
    bool hasPartialRecord() const { return file_.size() % recordLength_ != 0; }

    // Raises 62 (input past end of file) for a record that is missing or cut short.
    QByteArray read(qint64 number);
    // Writes exactly one record: shorter data is padded with blanks, longer raises 59.
    void write(qint64 number, const QByteArray& record);

    int recordLength() const { return recordLength_; }

  private:
    QString path_;
    QFile file_;
    int recordLength_ = 0;
    qint64 limit_ = 0;
};

}  // namespace platform
