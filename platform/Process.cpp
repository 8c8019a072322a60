#include "platform/Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/so/Entorno.h"
#include "platform/so/Procesos.h"

namespace platform::process {

namespace {
struct State {
    QString folder;
    QString name;
    QString line;
    bool lineSet = false;
    ExitRoutine exit;
    ProgramStarter starter;
};

State& state() {
    static State s;
    return s;
}

// Splits a command line into program and arguments: blanks separate, double quotes group.
QStringList splitCommand(const QString& line) {
    QStringList parts;
    QString cur;
    bool quoted = false, any = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any) parts << cur;
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (any) parts << cur;
    return parts;
}
}  // namespace

QString programFolder() {
    QString f = state().folder;
    if (f.isEmpty()) {
        f = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                         : QDir::currentPath();
    }
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

QString programName() {
    if (!state().name.isEmpty()) return state().name;
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("cronequipo");
}

QString commandLine() {
    if (state().lineSet) return state().line;
    if (!QCoreApplication::instance()) return {};
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) args.removeFirst();
    return args.join(QLatin1Char(' '));
}

void setProgramFolder(const QString& folder) {
    state().folder = folder;
}
void setProgramName(const QString& name) {
    state().name = name;
}
void setCommandLine(const QString& line) {
    state().line = line;
    state().lineSet = true;
}

QString environment(const QString& name) {
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString computerName() {
    // Windows: the short name the suite's other programs know the machine by, not its DNS name.
    QString n = QString::fromStdString(so::nombreEquipo());
    const int dot = static_cast<int>(n.indexOf(QLatin1Char('.')));
    if (dot > 0) n.truncate(dot);
    return n;
}

QString userName() {
    for (const char* var : {"USERNAME", "USER", "LOGNAME"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty()) return v;
    }
    // A session without them (a service, cron) still has its user.
    const QString n = QString::fromStdString(so::nombreUsuario());
    return n.isEmpty() ? QStringLiteral("usuario") : n;
}

QString tempFolder() {
    // Links resolved, and "" for a folder that is not there, as Qt gives its own.
    return QDir(QString::fromStdString(so::carpetaTemporal())).canonicalPath();
}

ProgramStarter setProgramStarter(ProgramStarter starter) {
    ProgramStarter old = std::move(state().starter);
    state().starter = std::move(starter);
    return old;
}

qint64 startProgram(const QString& commandLine) {
    if (state().starter) return state().starter(commandLine);
    QStringList parts = splitCommand(commandLine);
    if (parts.isEmpty()) return 0;
    // The suite writes the program's path unquoted, so a folder with blanks is found by trying
    // the longest leading part that names an existing file.
    QString program = parts.takeFirst();
    for (int n = 1; !QFileInfo(program).isFile() && n <= parts.size(); ++n) {
        const QString candidate =
            program + QLatin1Char(' ') + QStringList(parts.mid(0, n)).join(QLatin1Char(' '));
        if (QFileInfo(candidate).isFile()) {
            program = candidate;
            parts = parts.mid(n);
            break;
        }
    }
    std::vector<std::string> argumentos;
    for (const QString& p : parts) argumentos.push_back(p.toStdString());
    return so::inicia(QDir::toNativeSeparators(program).toStdString(), argumentos).value_or(0);
}

void exitProgram(int status) {
    if (state().exit) {
        state().exit(status);
        throw ProgramEnded{status};
    }
    std::fflush(nullptr);
    std::_Exit(status);
}

ExitRoutine setExitRoutine(ExitRoutine routine) {
    ExitRoutine old = std::move(state().exit);
    state().exit = std::move(routine);
    return old;
}

}  // namespace platform::process
