#pragma once

#include <QString>
#include <vector>

// Where each code of a lookup hangs in the tree built from the codes themselves: under the
// longest code read before it that starts it, letter case aside (an earlier code that differs
// from it only in case counts too), the root when none. Among codes of that length the first in
// the plain order of their text wins. A code read before, and the empty one (the root's key),
// are repeated and hang nowhere.
namespace arbol {

constexpr int kRaiz = -1;
constexpr int kRepetido = -2;

// The parent of each code by its position in `codigos`, kRaiz or kRepetido; in time linear in
// the characters read.
std::vector<int> padresPorPrefijo(const std::vector<QString>& codigos);

}  // namespace arbol
