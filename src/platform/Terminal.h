#pragma once
// Whether a standard stream of this process is a terminal that a person reads or
// types at (not a file, a pipe or nothing).
#include <cstdio>

namespace terminal {

bool isTerminal(std::FILE* stream);

} // namespace terminal
