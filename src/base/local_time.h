// Local time as text: strftime of a moment in the local zone (the C library reads the zone
// once). Safe from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// strftime of a local moment (seconds since 1970); empty when it cannot be converted or does
// not fit 128 characters.
std::string FormatLocal(std::int64_t t, const std::string& pattern);

}  // namespace orvane
