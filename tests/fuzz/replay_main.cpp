// Without the fuzzing engine (the normal build), a target runs once over every file of the
// folders or files it is given: its committed corpus, replayed by ctest.
//
// With "--grandes <megabytes>" first it runs instead over inputs of hostile size made from them:
// the first corpus files repeated to that size, and floods of the bytes parsers treat specially.
// Each shape runs at a quarter of the size and at the whole, and the times are printed: about 4
// times as long when the work grows with the size, far more when it does not. A target that
// cannot handle such an input at all fails the test or outlasts its time-out.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void runOnce(const QByteArray& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()));
}

QByteArray repeated(const QByteArray& piece, qsizetype size) {
    QByteArray out;
    out.reserve(size);
    while (out.size() < size) out += piece;
    out.truncate(size);
    return out;
}

int hostileSizes(double megabytes, const QStringList& corpusFiles) {
    const auto size = static_cast<qsizetype>(megabytes * 1024 * 1024);
    struct Shape {
        QString name;
        QByteArray piece;
    };
    std::vector<Shape> shapes;
    QStringList files = corpusFiles;
    files.sort();
    for (const QString& f : files.mid(0, 4)) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly) && file.size() > 0)
            shapes.push_back({QFileInfo(f).fileName().left(12), file.readAll()});
    }
    for (const char* flood : {"(", "\"", "'", ";", "{", "[", "|", ",", "=", "\r\n", " ", "9", "a"})
        shapes.push_back({QString::fromLatin1(flood).toHtmlEscaped().replace("\r\n", "CRLF"),
                          QByteArray(flood)});
    shapes.push_back({QStringLiteral("NUL"), QByteArray(1, '\0')});
    shapes.push_back({QStringLiteral("0xFF"), QByteArray(1, '\xff')});
    std::printf("%-14s %12s %12s %7s\n", "shape", "1/4 size (s)", "size (s)", "ratio");
    double worst = 0;
    for (const Shape& s : shapes) {
        double seconds[2] = {0, 0};
        for (int i = 0; i < 2; ++i) {
            const QByteArray input = repeated(s.piece, i == 0 ? size / 4 : size);
            QElapsedTimer t;
            t.start();
            runOnce(input);
            seconds[i] = t.nsecsElapsed() / 1e9;
        }
        const double ratio = seconds[1] / std::max(seconds[0], 1e-6);
        worst = std::max(worst, seconds[1]);
        std::printf("%-14s %12.3f %12.3f %7.1f\n", qPrintable(s.name), seconds[0], seconds[1],
                    ratio);
    }
    std::printf("%zu shapes of %.1f MB, slowest %.2f s\n", shapes.size(), megabytes, worst);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    double megabytes = 0;
    if (argc > 2 && std::strcmp(argv[1], "--grandes") == 0) {
        megabytes = std::atof(argv[2]);
        first = 3;
    }
    QStringList files;
    for (int i = first; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            for (QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
                files << it.next();
        } else {
            files << path;
        }
    }
    if (megabytes > 0) return hostileSizes(megabytes, files);
    int inputs = 0;
    for (const QString& f : files) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(f));
            return 1;
        }
        runOnce(file.readAll());
        ++inputs;
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
