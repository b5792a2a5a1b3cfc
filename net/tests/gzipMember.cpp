#include "net/tests/gzipMember.h"

#include <zlib.h>

#include <stdexcept>

namespace net::test {
namespace {

void appendLittleEndian(std::string& out, unsigned long value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string rawDeflate(std::string_view plain) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&stream, plain.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

std::string gzipMember(std::string_view plain, const GzipFields& fields) {
  std::string out = {'\x1f', '\x8b', 8, static_cast<char>(fields.flags), 1, 2, 3, 4, 0, 3};
  if (fields.flags & 4) {
    appendLittleEndian(out, fields.extra.size(), 2);
    out += fields.extra;
  }
  if (fields.flags & 8) out += fields.name + '\0';
  if (fields.flags & 16) out += fields.comment + '\0';
  if (fields.flags & 2) out += "\xAB\xCD";  // never checked
  out += rawDeflate(plain);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(plain.data()), plain.size());
  appendLittleEndian(out, crc, 4);
  appendLittleEndian(out, plain.size(), 4);
  return out;
}

std::string sampleText(std::size_t size) {
  std::string text;
  text.reserve(size);
  unsigned state = 12345;
  while (text.size() < size) {
    state = state * 1103515245 + 12345;
    text += "<li>item " + std::to_string(state >> 20) + "</li>\n";
  }
  text.resize(size);
  return text;
}

}  // namespace net::test
