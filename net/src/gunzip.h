#pragma once

#include "net/src/byteVector.h"

namespace net {

// Replaces the one gzip member in `data` by its inflated bytes. The header is parsed here
// (optional extra field, file name, comment and header CRC are skipped, the CRC unchecked);
// zlib inflates the raw deflate stream after it. The trailer is neither required nor
// checked and whatever follows the deflate stream is ignored; the size that the body's last
// four bytes state, when deflate could have reached it, only sizes the output's allocation.
//
// Throws misc::wruntime_error, leaving `data` as it was:
// - "Invalid compressed HTTP response header." when fewer than 10 bytes are given or the
//   optional fields leave nothing (also when one of them runs past the end);
// - "Missing magic ID in the compressed HTTP response header." unless it starts 1F 8B;
// - "Invalid CM in the compressed HTTP response header." unless the method is 8;
// - "Can't initialize gzip decompression: rc=<zlib code>";
// - "Gzip decompression failure: rc=<zlib code>" for corrupt data (-3) or a deflate stream
//   that is cut short (-5).
void gunzipResponseData(ByteVector& data);

}  // namespace net
