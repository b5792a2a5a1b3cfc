#pragma once
// How transfers report progress and may be cancelled. A callback gets a CSimpleProgress
// with a message ("Connecting to h...", "Received 2 Kb...") or a CRangeProgress with the
// bytes moved so far out of the expected total, the transfer's request, the caller's
// context value and a cancel flag, false on entry: setting it ends the transfer with "The
// download was cancelled." (HTTP) or "The FTP upload was cancelled." and the like (FTP).
// The result is ignored; a null callback means no reports and no cancellation.
//
// An HTTP callback runs on the thread that drives the transfer (the caller's in a
// synchronous session, a thread of the Internet layer in an asynchronous one) while the
// transfer's AsyncHttp is locked: it must not wait for another thread that uses it.
// While an HTTP transfer waits for the server (connecting, in the TLS handshake, for the
// headers, for the next body bytes) the callback is also asked every 250 ms or so, with
// the last report's text again, from the thread that drives the transfer and with the
// Internet layer locked: it must not call the network module then.

#include <cstdint>

#include "lib/misc/src/progress.h"

namespace net {

class HttpRequest;
class FtpRequest;

using ProgressCallback = int (*)(const misc::CProgress& progress, const HttpRequest& request,
                                 std::uintptr_t context, bool* cancel);
using FtpProgressCallback = int (*)(const misc::CProgress& progress, const FtpRequest& request,
                                    std::uintptr_t context, bool* cancel);

}  // namespace net
