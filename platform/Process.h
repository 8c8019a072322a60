#pragma once

#include <QString>
#include <functional>

namespace platform {

// The running program and its machine: what the suite's code asks of the process and the
// environment. Tests replace the values and the exit routine.
namespace process {

QString programFolder();  // the executable's folder, ending in "/"
QString programName();    // the executable's name without extension
QString commandLine();    // the arguments as one line (the suite's parameter string)
void setProgramFolder(const QString& folder);
void setProgramName(const QString& name);
void setCommandLine(const QString& line);

QString environment(const QString& name);  // "" when unset
QString computerName();
QString userName();
QString tempFolder();

// Starts another program with a command line; the task identifier, 0 when nothing started.
qint64 startProgram(const QString& commandLine);
// Tests see the command lines instead of starting programs.
using ProgramStarter = std::function<qint64(const QString&)>;
ProgramStarter setProgramStarter(ProgramStarter starter);  // returns the previous one

// Ends the whole program at once. The routine is replaceable so that tests can observe it.
[[noreturn]] void exitProgram(int status = 0);
using ExitRoutine = std::function<void(int)>;
ExitRoutine setExitRoutine(ExitRoutine routine);  // returns the previous one

// What a replaced exit routine throws so that nothing after the end of the program runs.
struct ProgramEnded {
    int status = 0;
};

}  // namespace process
}  // namespace platform
