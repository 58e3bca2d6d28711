// The terminal behind standard error, for the batch command's status line.
// Safe from any thread.
#pragma once

#include <cstddef>

namespace orvane {

// Whether standard error is a terminal (a status line can then be rewritten in place).
bool StderrIsTerminal();

// The width of that terminal in columns; 0 when it is not a terminal or does not say.
std::size_t StderrColumns();

}  // namespace orvane
