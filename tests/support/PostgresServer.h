#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the tests' own: a temporary data folder, reached through a socket in that
// folder and, for what takes only a host name (the suite's parameter string), on a free port of
// 127.0.0.1; started on first use and stopped when the test program ends. As root it runs as the
// system's "postgres" user, as the server requires.
class PostgresServer {
  public:
    static PostgresServer& instance() {
        static PostgresServer server;
        return server;
    }

    // Empty when the server runs; otherwise why it does not.
    const QString& failure() const { return failure_; }

    // The ODBC connection string of the test database, through the server's own ODBC driver.
    QString connectionString() const {
        return QStringLiteral(
                   "Driver=%1;Servername=%2;Port=%3;Database=cronequipo;UID=postgres;"
                   "PWD=;")
            .arg(driver(), dir_.path())
            .arg(port_);
    }

    // The folder of the server's socket, which the driver takes as its host, and its port.
    QString socketFolder() const { return dir_.path(); }
    int port() const { return port_; }

    static QString driver() {
        return QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so");
    }

    // Stops the server as a failing machine or an administrator would: "immediate" drops every
    // connection at once and leaves the data folder to be recovered on the next start, "fast"
    // rolls back what is open and shuts down cleanly. True once it no longer runs.
    bool stop(const QString& mode = QStringLiteral("immediate")) {
        if (!started_) return true;
        if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data(), QStringLiteral("-m"),
                                            mode, QStringLiteral("-w"), QStringLiteral("stop")}))
            return false;
        started_ = false;
        return true;
    }

    // Starts it again on the same data folder and port; false (with failure() saying why) when
    // it does not.
    bool start() {
        if (started_) return true;
        QString out;
        if (!run(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-l"),
                  dir_.filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("-o"),
                  QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1")
                      .arg(port_)
                      .arg(dir_.path()),
                  QStringLiteral("start")},
                 &out)) {
            failure_ = QStringLiteral("the server did not start: ") + out;
            return false;
        }
        started_ = true;
        failure_.clear();
        return true;
    }

    ~PostgresServer() { stop(); }

  private:
    // A port nothing listens on now; each test program's server has its own.
    static int freePort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        int port = 5433;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        if (fd >= 0) ::close(fd);
        return port;
    }

    PostgresServer() {
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (versions.isEmpty()) {
            failure_ = QStringLiteral("PostgreSQL is not installed (scripts/deps installs it)");
            return;
        }
        bin_ = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(versions.last());
        if (!QFile::exists(driver())) {
            failure_ =
                QStringLiteral("the PostgreSQL ODBC driver is not installed (odbc-postgresql)");
            return;
        }
        if (!dir_.isValid()) {
            failure_ = QStringLiteral("no temporary folder");
            return;
        }
        if (getuid() == 0) {
            QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ReadGroup |
                                                   QFile::ExeGroup | QFile::ReadOther |
                                                   QFile::ExeOther);
            QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres"), dir_.path()});
        }
        QString out;
        if (!run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-A"), QStringLiteral("trust"),
                  QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                  QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")},
                 &out)) {
            failure_ = QStringLiteral("the server did not start: ") + out;
            return;
        }
        if (!start()) return;
        if (!run(QStringLiteral("createdb"),
                 {QStringLiteral("-h"), dir_.path(), QStringLiteral("-p"), QString::number(port_),
                  QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("cronequipo")},
                 &out))
            failure_ = QStringLiteral("the test database could not be created: ") + out;
    }

    QString data() const { return dir_.filePath(QStringLiteral("data")); }

    int port_ = freePort();

    // Runs one of the server's programs, as "postgres" when we are root.
    bool run(const QString& program, const QStringList& arguments,
             QString* output = nullptr) const {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString exe = bin_ + QLatin1Char('/') + program;
        if (getuid() == 0) {
            QStringList quoted{exe};
            for (const QString& a : arguments)
                quoted << QLatin1Char('\'') +
                              QString(a).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
                              QLatin1Char('\'');
            p.start(QStringLiteral("su"),
                    {QStringLiteral("postgres"), QStringLiteral("-s"), QStringLiteral("/bin/sh"),
                     QStringLiteral("-c"), quoted.join(QLatin1Char(' '))});
        } else {
            p.start(exe, arguments);
        }
        const bool finished = p.waitForFinished(120000);
        if (output) *output = QString::fromLocal8Bit(p.readAll());
        return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/cronequipo-pg-XXXXXX")};
    QString bin_;
    QString failure_;
    bool started_ = false;
};
