#pragma once

#include "net/src/byteVector.h"

namespace net {

// Replaces the one gzip member in `data` by its inflated bytes, all at once and without a
// size limit: GzipStream (gzipStream.h) decodes it, with its rules and its messages. The
// size that the body's last four bytes state, when deflate could have reached it, only
// sizes the output's allocation. A failure leaves `data` as it was.
void gunzipResponseData(ByteVector& data);

}  // namespace net
