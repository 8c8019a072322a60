#pragma once

#include <QString>
#include <functional>

namespace reportengine {

// How far an output has gone: pages or rows done of the total. False stops it.
using Progress = std::function<bool(int done, int total)>;

enum class Outcome { Written, Failed, Cancelled };

// A report file written beside its target under a temporary name and put in the target's place
// only once complete, so that a run stopped half-way leaves the previous file as it was. The
// temporary file goes away with this object unless it was put in place.
class OutputFile {
  public:
    explicit OutputFile(const QString& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Refuses a folder, and a file the program has open (its database, among others); then
    // creates the temporary file. False with the reason.
    bool open(QString* error);
    const QString& path() const { return temp_; }
    const QString& target() const { return target_; }
    // Puts the written file in the target's place. False with the reason.
    bool commit(QString* error);

    // Whether the program has the file open, its database among others.
    static bool openByProgram(const QString& path);

    // Removes what runs killed while writing `target` left beside it: files of our own name for
    // its temporaries, not written for `kStaleSeconds` (a run writes its file without pauses).
    static void removeStaleTemporaries(const QString& target);
    static constexpr qint64 kStaleSeconds = 10 * 60;

  private:
    QString target_;
    QString temp_;
    bool committed_ = false;
};

}  // namespace reportengine
