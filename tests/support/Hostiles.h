#pragma once

// Hostile files for the readers' tests: a folder, a FIFO, a device, a socket or a file beyond its
// kind's bound where a file of the program should be, made in a test's own folder; and a watch
// that keeps a call blocking in a FIFO from hanging the suite. POSIX only, as the suite's tests.

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/ImprimeQString.h"

namespace hostiles {

// Removes whatever lies at `ruta` (a file, a FIFO, a link, a folder and what it holds).
inline void quita(const QString& ruta) {
    std::error_code ignorado;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(ruta).toStdString()),
                                ignorado);
}

inline bool carpeta(const QString& ruta) {
    quita(ruta);
    return QDir().mkpath(ruta);
}

inline bool tuberia(const QString& ruta) {
    quita(ruta);
    return ::mkfifo(QFile::encodeName(ruta).constData(), 0666) == 0;
}

// A device that never ends: what a file linked to /dev/zero by mistake gives.
inline bool dispositivo(const QString& ruta) {
    quita(ruta);
    return QFile::link(QStringLiteral("/dev/zero"), ruta);
}

// A socket's file, as a program listening on it leaves it.
inline bool socketEn(const QString& ruta) {
    quita(ruta);
    const QByteArray nombre = QFile::encodeName(ruta);
    sockaddr_un direccion{};
    if (static_cast<std::size_t>(nombre.size()) >= sizeof direccion.sun_path) return false;
    direccion.sun_family = AF_UNIX;
    std::memcpy(direccion.sun_path, nombre.constData(), static_cast<std::size_t>(nombre.size()));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (s < 0) return false;
    const bool hecho = ::bind(s, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion) == 0;
    ::close(s);
    return hecho;
}

// A regular file of `bytes` bytes that starts with `inicio` (the rest a hole: no disk used).
inline bool grande(const QString& ruta, qint64 bytes, const QByteArray& inicio = {}) {
    quita(ruta);
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(inicio);
    return f.resize(bytes);
}

// What a path is, as the tests compare it before and after a call.
inline QString claseDe(const QString& ruta) {
    struct stat st {};
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0) return QStringLiteral("nada");
    if (S_ISDIR(st.st_mode)) return QStringLiteral("carpeta");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("tubería");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("dispositivo");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("socket");
    return QStringLiteral("archivo de %1 bytes").arg(static_cast<qint64>(st.st_size));
}

struct Caso {
    const char* nombre;
    std::function<bool(const QString& ruta)> pon;
    QString causa;  // what the refusal says of it
};

// What is not a regular file, each with the words that name it.
inline std::vector<Caso> noComunes() {
    return {
        {"folder", &carpeta, QStringLiteral("es una carpeta")},
        {"FIFO", &tuberia, QStringLiteral("no es un archivo común (es una tubería)")},
        {"device", &dispositivo, QStringLiteral("no es un archivo común (es un dispositivo)")},
        {"socket", &socketEn, QStringLiteral("no es un archivo común (es un socket)")},
    };
}

// The same and a regular file one byte beyond `limite`, which starts with `inicio`.
inline std::vector<Caso> ilegibles(qint64 limite, const QByteArray& inicio = {},
                                   const QString& limiteEscrito = QStringLiteral("1 MB")) {
    std::vector<Caso> casos = noComunes();
    casos.push_back({"file beyond the bound",
                     [limite, inicio](const QString& r) { return grande(r, limite + 1, inicio); },
                     QStringLiteral("es demasiado grande (más de %1)").arg(limiteEscrito)});
    return casos;
}

// Watches a call that must not block. When it has not ended within `plazo`, the watch fires and
// from then on opens and closes every FIFO below `carpeta` again and again: a reader waiting in
// one gets the end of the file, a writer gets its line refused (SIGPIPE is ignored), so that the
// call ends and the test fails instead of hanging the suite.
class Vigia {
  public:
    explicit Vigia(const QString& carpeta, std::chrono::seconds plazo = std::chrono::seconds(30))
        : carpeta_(QFile::encodeName(carpeta).toStdString()) {
        ::signal(SIGPIPE, SIG_IGN);
        hilo_ = std::thread([this, plazo] { vigila(plazo); });
    }
    ~Vigia() { termina(); }
    Vigia(const Vigia&) = delete;
    Vigia& operator=(const Vigia&) = delete;

    // Ends the watch; true when the call it watched took longer than the bound.
    bool termina() {
        {
            std::lock_guard<std::mutex> l(m_);
            fin_ = true;
        }
        cv_.notify_all();
        if (hilo_.joinable()) hilo_.join();
        return disparado_;
    }
    bool disparado() const { return disparado_; }

  private:
    void vigila(std::chrono::seconds plazo) {
        std::unique_lock<std::mutex> l(m_);
        if (cv_.wait_for(l, plazo, [this] { return fin_; })) return;
        disparado_ = true;
        while (!cv_.wait_for(l, std::chrono::milliseconds(20), [this] { return fin_; })) libera();
    }

    void libera() const {
        std::error_code e;
        for (auto it = std::filesystem::recursive_directory_iterator(carpeta_, e);
             !e && it != std::filesystem::recursive_directory_iterator(); it.increment(e)) {
            if (!it->is_fifo(e)) continue;
            const int fd = ::open(it->path().c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }

    std::string carpeta_;
    std::mutex m_;
    std::condition_variable cv_;
    bool fin_ = false;
    std::atomic<bool> disparado_{false};
    std::thread hilo_;
};

}  // namespace hostiles
