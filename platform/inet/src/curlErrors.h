#pragma once
// The one table from libcurl's result codes to the layer's error codes. Internal.

#include <curl/curl.h>

#include <cstdint>

namespace platform::inet::internal {

// What else decides the code besides the result.
struct CurlFailure {
  CURLcode result = CURLE_OK;
  long osErrno = 0;          // CURLINFO_OS_ERRNO
  long sslVerifyResult = 0;  // CURLINFO_SSL_VERIFYRESULT (an X509_V_ERR_* value)
  long redirects = 0;        // CURLINFO_REDIRECT_COUNT
  bool connected = false;    // a server was reached (CURLINFO_PRIMARY_PORT is set)
};

// ERROR_SUCCESS for CURLE_OK. Refusals by an FTP server come back as
// ERROR_INTERNET_EXTENDED_ERROR: the caller adds the server's reply.
std::uint32_t internetErrorOf(const CurlFailure& failure);

}  // namespace platform::inet::internal
