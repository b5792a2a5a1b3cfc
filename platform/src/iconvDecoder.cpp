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

std::string IconvDecoder::decode(std::string_view bytes) {
  std::string text;
  if (!valid()) return text;
  ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state

  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::vector<wchar_t> block(16 * 1024);
  while (inLeft > 0) {
    char* out = reinterpret_cast<char*>(block.data());
    std::size_t outLeft = block.size() * sizeof(wchar_t);
    const std::size_t rc = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    text += toUtf8(std::wstring_view(block.data(), block.size() - outLeft / sizeof(wchar_t)));
    if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    appendUtf8(0xFFFD, text);
    if (error == EILSEQ) {
      const std::size_t skipped = std::min(unitBytes_, inLeft);
      in += skipped;
      inLeft -= skipped;
      ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    } else {
      break;  // EINVAL: an incomplete sequence at the end
    }
  }
  return text;
}

}  // namespace platform
