#pragma once
// Dates of a feed. Items' dates are read from the common ways pages write them and written
// as RFC 822 dates, the form RSS 2.0 asks for:
//
//     Tue, 08 Dec 2026 14:30:00 +0100        RFC 822 (weekday, seconds, zone optional;
//     08 Dec 26 14:30 GMT                     two-digit years are 19xx from 50 on)
//     2026-12-08T14:30:00+01:00  2026-12-08   ISO 8601 (also "Z", fractions of a second)
//     2026-12-08 14:30
//     December 8, 2026   Dec 8, 2026 2:30 PM
//     8 Dec 2026   8 December 2026
//
// A date without a zone is taken as UTC and one without a time as midnight. The weekday is
// always computed, never copied.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plugin {

// The RFC 822 form of `text`, or none when it is in no known form or names no real day.
std::optional<std::wstring> rfc822FromText(std::wstring_view text);

// The RFC 822 form of a moment given in seconds since 1970 UTC, with zone +0000.
std::wstring rfc822FromUnixTime(std::int64_t seconds);

}  // namespace plugin
