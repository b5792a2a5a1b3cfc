#pragma once

#include <cstdint>
#include <string>

namespace net {

// A byte count for progress messages: "1 byte", "1023 bytes", "1 Kb", "1.50 Kb", "2.25 Mb",
// "1 Gb": below 1024 with the plural byte word, then in Kb up to 1048575, in Mb below 2^30,
// else in Gb; two decimals, rounded, and a trailing ".00" dropped. The digits never depend
// on the user's locale.
std::wstring sizeText(std::uint64_t bytes);

}  // namespace net
