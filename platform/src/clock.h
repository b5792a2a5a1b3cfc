#pragma once
// The monotonic high-resolution counter behind stopwatches and lock time-outs.

#include <cstdint>

namespace platform {

// Ticks of a monotonic clock; only differences mean anything. Never 0.
std::int64_t counter();

// Ticks per second of `counter`.
std::int64_t counterFrequency();

// Milliseconds of the same clock, wrapping like a 32-bit tick count.
std::uint32_t tickCount();

}  // namespace platform
