#pragma once
// The numbers through which callers speak to the Internet layer: error codes, handle flags,
// query codes, options, schemes and status notifications. They keep the values of the
// Windows Internet API whose calls this layer stands in for, so the error texts of
// win32tools and code written against those values keep working unchanged.

#include <cstddef>
#include <cstdint>

#include "platform/src/errorSpace.h"

namespace platform::inet {

// Error codes, set as the thread's last error (platform::setLastError) by every failing call.
// The Windows codes below 12000 carry the mark of platform::ownCode, which keeps them from
// being read as errno values.
inline constexpr std::uint32_t ERROR_SUCCESS = 0;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = ownCode(6);  // the handle's session is gone
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = ownCode(8);
inline constexpr std::uint32_t ERROR_NO_MORE_FILES = ownCode(18);  // an FTP look-up found nothing
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = ownCode(87);
inline constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER = ownCode(122);  // a value too long
inline constexpr std::uint32_t ERROR_IO_PENDING = ownCode(997);  // asynchronous: completes later
inline constexpr std::uint32_t ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr std::uint32_t ERROR_INTERNET_EXTENDED_ERROR = 12003;  // see lastResponseInfo
inline constexpr std::uint32_t ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr std::uint32_t ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr std::uint32_t ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr std::uint32_t ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr std::uint32_t ERROR_INTERNET_INVALID_OPTION = 12009;
inline constexpr std::uint32_t ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
inline constexpr std::uint32_t ERROR_INTERNET_INCORRECT_PASSWORD = 12014;
inline constexpr std::uint32_t ERROR_INTERNET_LOGIN_FAILURE = 12015;
inline constexpr std::uint32_t ERROR_INTERNET_INVALID_OPERATION = 12016;
inline constexpr std::uint32_t ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr std::uint32_t ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr std::uint32_t ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
inline constexpr std::uint32_t ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr std::uint32_t ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr std::uint32_t ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr std::uint32_t ERROR_INTERNET_SEC_CERT_DATE_INVALID = 12037;
inline constexpr std::uint32_t ERROR_INTERNET_SEC_CERT_CN_INVALID = 12038;
inline constexpr std::uint32_t ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED = 12044;
inline constexpr std::uint32_t ERROR_INTERNET_INVALID_CA = 12045;
inline constexpr std::uint32_t ERROR_INTERNET_SEC_CERT_REV_FAILED = 12057;
inline constexpr std::uint32_t ERROR_FTP_NO_PASSIVE_MODE = 12112;
inline constexpr std::uint32_t ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr std::uint32_t ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr std::uint32_t ERROR_HTTP_INVALID_HEADER = 12153;
inline constexpr std::uint32_t ERROR_HTTP_INVALID_QUERY_REQUEST = 12154;
inline constexpr std::uint32_t ERROR_HTTP_HEADER_ALREADY_EXISTS = 12155;
inline constexpr std::uint32_t ERROR_HTTP_REDIRECT_FAILED = 12156;
inline constexpr std::uint32_t ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;
inline constexpr std::uint32_t ERROR_INTERNET_PROXY_SERVER_UNREACHABLE = 12165;
// The layer's own codes, for failures that no Windows code names.
inline constexpr std::uint32_t ERROR_HTTP_TOO_MANY_REDIRECTS = ownCode(0x10001);
inline constexpr std::uint32_t ERROR_HTTP_REPLY_NOT_HTTP = ownCode(0x10002);

// Session flags.
inline constexpr std::uint32_t INTERNET_FLAG_ASYNC = 0x10000000;

// Services of a connection.
inline constexpr std::uint32_t INTERNET_SERVICE_FTP = 1;
inline constexpr std::uint32_t INTERNET_SERVICE_HTTP = 3;

// Connection and request flags. The cache flags are accepted and mean nothing: this layer
// keeps no cache, so every request goes to the server.
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr std::uint32_t INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr std::uint32_t INTERNET_FLAG_PASSIVE = 0x08000000;  // FTP connections
inline constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x00800000;   // HTTPS
inline constexpr std::uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr std::uint32_t INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;  // "Pragma: no-cache"
inline constexpr std::uint32_t FTP_TRANSFER_TYPE_ASCII = 0x00000001;
inline constexpr std::uint32_t FTP_TRANSFER_TYPE_BINARY = 0x00000002;

// FTP file access.
inline constexpr std::uint32_t GENERIC_READ = 0x80000000;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000;

// Port 0: the service's default port (80, 443 with INTERNET_FLAG_SECURE, 21 for FTP).
inline constexpr std::uint16_t INTERNET_INVALID_PORT_NUMBER = 0;

// Modifiers of Request::addRequestHeaders.
inline constexpr std::uint32_t HTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;
inline constexpr std::uint32_t HTTP_ADDREQ_FLAG_ADD = 0x20000000;
inline constexpr std::uint32_t HTTP_ADDREQ_FLAG_REPLACE = 0x80000000;

// Query codes of Request::queryInfo: a header code, optionally with HTTP_QUERY_FLAG_NUMBER.
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_TYPE = 1;
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr std::uint32_t HTTP_QUERY_DATE = 9;
inline constexpr std::uint32_t HTTP_QUERY_EXPIRES = 10;
inline constexpr std::uint32_t HTTP_QUERY_LAST_MODIFIED = 11;
inline constexpr std::uint32_t HTTP_QUERY_PRAGMA = 17;
inline constexpr std::uint32_t HTTP_QUERY_VERSION = 18;           // "HTTP/1.0" of the status line
inline constexpr std::uint32_t HTTP_QUERY_STATUS_CODE = 19;       // "404"
inline constexpr std::uint32_t HTTP_QUERY_STATUS_TEXT = 20;       // the reason phrase
inline constexpr std::uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;  // every line, CR LF after each
inline constexpr std::uint32_t HTTP_QUERY_CONNECTION = 23;
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_ENCODING = 29;
inline constexpr std::uint32_t HTTP_QUERY_LOCATION = 33;
inline constexpr std::uint32_t HTTP_QUERY_SERVER = 37;
inline constexpr std::uint32_t HTTP_QUERY_WWW_AUTHENTICATE = 40;
inline constexpr std::uint32_t HTTP_QUERY_SET_COOKIE = 43;
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_DISPOSITION = 47;
inline constexpr std::uint32_t HTTP_QUERY_CACHE_CONTROL = 49;
inline constexpr std::uint32_t HTTP_QUERY_ETAG = 54;
inline constexpr std::uint32_t HTTP_QUERY_TRANSFER_ENCODING = 63;
inline constexpr std::uint32_t HTTP_QUERY_FLAG_NUMBER = 0x20000000;
// Every other header code of the Windows list (0 to 70) is understood too; see
// ResponseHeaders::headerName.

// The buffer of a header query, in characters with the terminator: values of 4096 or more
// characters do not fit (ERROR_INSUFFICIENT_BUFFER).
inline constexpr std::size_t kQueryBufferChars = 4096;

// Options of Handle::setOption/queryOption. Times are in milliseconds.
inline constexpr std::uint32_t INTERNET_OPTION_CONNECT_TIMEOUT = 2;  // default 60000
inline constexpr std::uint32_t INTERNET_OPTION_CONNECT_RETRIES = 3;  // kept, not used
inline constexpr std::uint32_t INTERNET_OPTION_SEND_TIMEOUT = 5;     // default 60000
inline constexpr std::uint32_t INTERNET_OPTION_RECEIVE_TIMEOUT = 6;  // default 60000
inline constexpr std::uint32_t INTERNET_OPTION_READ_BUFFER_SIZE = 12;
inline constexpr std::uint32_t INTERNET_OPTION_WRITE_BUFFER_SIZE = 13;
inline constexpr std::uint32_t INTERNET_OPTION_PROXY_USERNAME = 43;
inline constexpr std::uint32_t INTERNET_OPTION_PROXY_PASSWORD = 44;
inline constexpr std::uint32_t INTERNET_OPTION_FROM_CACHE_TIMEOUT = 63;  // kept, not used

// Schemes of UrlComponents.
inline constexpr int INTERNET_SCHEME_UNKNOWN = -1;
inline constexpr int INTERNET_SCHEME_DEFAULT = 0;
inline constexpr int INTERNET_SCHEME_FTP = 1;
inline constexpr int INTERNET_SCHEME_GOPHER = 2;
inline constexpr int INTERNET_SCHEME_HTTP = 3;
inline constexpr int INTERNET_SCHEME_HTTPS = 4;
inline constexpr int INTERNET_SCHEME_FILE = 5;
inline constexpr int INTERNET_SCHEME_NEWS = 6;
inline constexpr int INTERNET_SCHEME_MAILTO = 7;
inline constexpr int INTERNET_SCHEME_SOCKS = 8;
inline constexpr int INTERNET_SCHEME_JAVASCRIPT = 9;
inline constexpr int INTERNET_SCHEME_VBSCRIPT = 10;
inline constexpr int INTERNET_SCHEME_RES = 11;

// Status notifications of the session's callback (see StatusInfo).
inline constexpr std::uint32_t INTERNET_STATUS_CONNECTION_CLOSED = 51;
inline constexpr std::uint32_t INTERNET_STATUS_HANDLE_CLOSING = 70;
inline constexpr std::uint32_t INTERNET_STATUS_REQUEST_COMPLETE = 100;

}  // namespace platform::inet
