#pragma once
// Text in a named character set, decoded by the C library's iconv into UTF-8. Once the set is
// known, decoding never fails: a code unit (a byte, or two of UTF-16) that does not belong to a
// valid sequence becomes U+FFFD and decoding goes on after it, and a sequence cut off by the
// end of the input becomes one U+FFFD.
//
//     IconvDecoder latin1("ISO-8859-1");
//     if (latin1.valid()) text = latin1.decode(bytes);

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class IconvDecoder {
 public:
  // `charset` as iconv names it ("ISO-8859-1", "CP1252", "SHIFT_JIS"), any letter case;
  // `unitBytes`: the size of its code unit, 2 for "UTF-16LE" and "UTF-16BE".
  explicit IconvDecoder(const std::string& charset, std::size_t unitBytes = 1);
  ~IconvDecoder();
  IconvDecoder(const IconvDecoder&) = delete;
  IconvDecoder& operator=(const IconvDecoder&) = delete;

  // False when the C library knows no such character set; decode() then returns "".
  bool valid() const { return handle_ != invalid(); }
  // Always valid UTF-8. The bytes are read twice, to size the text and to fill it, through
  // wide blocks of a fixed size: a page never has a wide copy, nor a text with room to spare.
  std::string decode(std::string_view bytes);

 private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
  // Decodes `bytes` from the start, handing `put` each run of characters.
  template <typename Put>
  void run(std::string_view bytes, Put put);

  iconv_t handle_;
  std::size_t unitBytes_;
};

}  // namespace platform
