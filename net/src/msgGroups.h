#pragma once
// The message groups of the network module, all off unless switched on.

#include "lib/log/src/msgGroup.h"

namespace net::internal {

msgGroup& httpActivityGroup();        // "HttpActivity": what a transfer does, step by step
msgGroup& httpHeadersGroup();         // "HttpHeaders": every header sent and looked up
msgGroup& ftpActivityGroup();         // "FtpActivity"
msgGroup& isConnectedGroup();         // "IsConnected"
msgGroup& asyncHttpGroup();           // "AsyncHttp": the state machine, per object
msgGroup& asyncHttpAutoRetryGroup();  // "AsyncHttpAutoRetry": repetitions by the pool
msgGroup& wininetCallbacksGroup();    // "WininetCallbacks": every status notification

}  // namespace net::internal
