// The built-in English hints of the option controls, keyed by control identifier: the text the
// status bar shows while the pointer rests on a control. The string table starts with them; a
// language file may replace them. Pure data; safe from any thread.
#pragma once

#include <span>
#include <utility>

namespace orvane {

std::span<const std::pair<int, const char*>> BuiltInHints();

}  // namespace orvane
