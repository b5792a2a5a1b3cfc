#pragma once
// The thread's last error holds errno values and Windows codes alike, and the small ones
// share numbers (6 is both ENXIO and ERROR_INVALID_HANDLE). A stand-in that sets a Windows
// code, or a code of its own, marks it with Windows' bit for application codes, so that
// it is never read as an errno value. Codes of a stand-in's own have numbers above
// 0xFFFF, where no Windows code lies.

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t kOwnCodeBit = 0x20000000;

constexpr std::uint32_t ownCode(std::uint32_t number) {
  return number | kOwnCodeBit;
}
constexpr bool isOwnCode(std::uint32_t code) {
  return (code & kOwnCodeBit) != 0;
}
// The Windows code (or the stand-in's own number) without the mark.
constexpr std::uint32_t codeNumber(std::uint32_t code) {
  return code & ~kOwnCodeBit;
}

}  // namespace platform
