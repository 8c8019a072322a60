#pragma once

#include <string>
#include <vector>

// The helper's arguments as UTF-8 text, as the system handed them over (Windows: its wide
// command line, split as every program's C run-time splits it).
std::vector<std::string> argumentos(int argc, char** argv);
