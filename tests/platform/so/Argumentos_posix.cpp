#include "tests/platform/so/Argumentos.h"

std::vector<std::string> argumentos(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
