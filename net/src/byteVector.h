#pragma once

#include <vector>

namespace net {

// A body as it travels between transfers and callers: bytes, moved by exchange, never copied.
using ByteVector = std::vector<char>;

}  // namespace net
