#include "platform/src/iconvDecoder.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/src/utf8.h"

namespace platform {

IconvDecoder::IconvDecoder(const std::string& charset, std::size_t unitBytes)
    : handle_(::iconv_open("WCHAR_T", charset.c_str())), unitBytes_(unitBytes) {}

IconvDecoder::~IconvDecoder() {
  if (valid()) ::iconv_close(handle_);
}

template <typename Put>
void IconvDecoder::run(std::string_view bytes, Put put) {
  ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::vector<wchar_t> block(16 * 1024);
  while (inLeft > 0) {
    char* out = reinterpret_cast<char*>(block.data());
    std::size_t outLeft = block.size() * sizeof(wchar_t);
    const std::size_t rc = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    put(std::wstring_view(block.data(), block.size() - outLeft / sizeof(wchar_t)));
    if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    put(std::wstring_view(L"\uFFFD"));
    if (error == EILSEQ) {
      const std::size_t skipped = std::min(unitBytes_, inLeft);
      in += skipped;
      inLeft -= skipped;
      ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    } else {
      break;  // EINVAL: an incomplete sequence at the end
    }
  }
}

std::string IconvDecoder::decode(std::string_view bytes) {
  std::string text;
  if (!valid()) return text;
  // Measured first, so that a text the size of a page never grows by copying itself.
  std::size_t size = 0;
  run(bytes, [&size](std::wstring_view block) { size += toUtf8(block).size(); });
  text.reserve(size);
  run(bytes, [&text](std::wstring_view block) { text += toUtf8(block); });
  return text;
}

}  // namespace platform
