#pragma once

#include <QString>
#include <ostream>

// A failing comparison of texts prints the texts, not their bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
