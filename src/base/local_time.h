// Local time: strftime of a moment in the local zone, and local calendar times back to moments.
// Both use the time zone the C library reads at its first local-time conversion, one zone for
// the whole run: neither asks the system for the zone again (mktime would, with a look-up of
// /etc/localtime for every call when TZ is not set). Safe from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// strftime of a local moment (seconds since 1970); empty when it cannot be converted or does
// not fit 128 characters.
std::string FormatLocal(std::int64_t t, const std::string& pattern);

// The moment (seconds since 1970 UTC) of a local calendar time: year (e.g. 2024), month 1-12,
// day 1-31, hour, minute, second; days, hours, minutes and seconds out of range carry over as
// in mktime. A local time that occurs twice (clocks set back) gives one of its two moments; one
// skipped by clocks set forward is taken with the offset from before the change.
// offsetHint, when given, is the zone's offset (seconds east of UTC) of a moment converted
// before: tried first, it spares most look-ups for times close together, and it receives the
// offset of this moment.
std::int64_t LocalToMoment(int year, int month, int day, int hour, int minute, int second,
                           std::int64_t* offsetHint = nullptr);

}  // namespace orvane
