// The libcurl functions this layer calls, under libcurl's own names and signatures, each
// forwarding to libcurl loaded the first time one of them is called. A program that links
// this layer so starts without libcurl: its thirty-odd dependencies (TLS, Kerberos, LDAP,
// SSH, IDN) would otherwise be loaded at start-up and lengthen every symbol lookup of the
// dynamic linker, some 20 million instructions before main() of a program that may never
// download anything.
//
// - The library is loaded privately and never unloaded: a transfer may run until exit.
// - Loading is thread-safe; it happens once, whatever thread calls first.
// - Without the library (or a function of it) each function gives the failure its callers
//   already handle: no handle, CURLE_FAILED_INIT, CURLM_INTERNAL_ERROR, CURLUE_OUT_OF_MEMORY.
// - A call of a function that is not here fails to link: add it here.

#include <curl/curl.h>

#include <cstdarg>
#include <string>

#include "platform/src/sharedLibrary.h"

namespace {

// libcurl's ABI has had this name since 2006.
constexpr char kLibraryName[] = "libcurl.so.4";

const platform::SharedLibrary* library() {
  static const platform::SharedLibrary* const loaded = [] {
    std::string error;
    return platform::SharedLibrary::openInstalled(kLibraryName, error).release();
  }();
  return loaded;
}

// The library's function `name`, or null.
template <typename Function>
Function* resolve(const char* name) {
  const platform::SharedLibrary* curl = library();
  return curl != nullptr ? reinterpret_cast<Function*>(curl->symbol(name)) : nullptr;
}

}  // namespace

// `real`: the library's `name`, or null.
#define PG_CURL_REAL(name) static decltype(&::name) const real = resolve<decltype(::name)>(#name)
// Returns what the library's `name` returns for the arguments, or `failure` without it.
#define PG_CURL_FORWARD(name, failure, ...) \
  PG_CURL_REAL(name);                       \
  return real != nullptr ? real(__VA_ARGS__) : failure

extern "C" {

CURLcode curl_global_init(long flags) {
  PG_CURL_FORWARD(curl_global_init, CURLE_FAILED_INIT, flags);
}

void curl_free(void* p) {
  PG_CURL_FORWARD(curl_free, void(), p);
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
  PG_CURL_FORWARD(curl_slist_append, nullptr, list, text);
}

void curl_slist_free_all(curl_slist* list) {
  PG_CURL_FORWARD(curl_slist_free_all, void(), list);
}

CURL* curl_easy_init() {
  PG_CURL_FORWARD(curl_easy_init, nullptr);
}

void curl_easy_cleanup(CURL* easy) {
  PG_CURL_FORWARD(curl_easy_cleanup, void(), easy);
}

CURLcode curl_easy_pause(CURL* easy, int bitmask) {
  PG_CURL_FORWARD(curl_easy_pause, CURLE_FAILED_INIT, easy, bitmask);
}

// An option's number tells the type of its one argument.
CURLcode curl_easy_setopt(CURL* easy, CURLoption option, ...) {
  PG_CURL_REAL(curl_easy_setopt);
  if (real == nullptr) return CURLE_FAILED_INIT;
  va_list arguments;
  va_start(arguments, option);
  CURLcode result;
  if (option < CURLOPTTYPE_OBJECTPOINT) {
    result = real(easy, option, va_arg(arguments, long));
  } else if (option < CURLOPTTYPE_FUNCTIONPOINT || option >= CURLOPTTYPE_BLOB) {
    result = real(easy, option, va_arg(arguments, void*));
  } else if (option < CURLOPTTYPE_OFF_T) {
    result = real(easy, option, va_arg(arguments, void (*)()));
  } else {
    result = real(easy, option, va_arg(arguments, curl_off_t));
  }
  va_end(arguments);
  return result;
}

// Every kind of information is written through a pointer.
CURLcode curl_easy_getinfo(CURL* easy, CURLINFO info, ...) {
  va_list arguments;
  va_start(arguments, info);
  void* const out = va_arg(arguments, void*);
  va_end(arguments);
  PG_CURL_FORWARD(curl_easy_getinfo, CURLE_FAILED_INIT, easy, info, out);
}

CURLM* curl_multi_init() {
  PG_CURL_FORWARD(curl_multi_init, nullptr);
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
  PG_CURL_FORWARD(curl_multi_cleanup, CURLM_INTERNAL_ERROR, multi);
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) {
  PG_CURL_FORWARD(curl_multi_add_handle, CURLM_INTERNAL_ERROR, multi, easy);
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
  PG_CURL_FORWARD(curl_multi_remove_handle, CURLM_INTERNAL_ERROR, multi, easy);
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
  PG_CURL_FORWARD(curl_multi_perform, CURLM_INTERNAL_ERROR, multi, running);
}

CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd extra[], unsigned int extraCount, int timeoutMs,
                          int* ready) {
  PG_CURL_FORWARD(curl_multi_poll, CURLM_INTERNAL_ERROR, multi, extra, extraCount, timeoutMs,
                  ready);
}

CURLMcode curl_multi_wakeup(CURLM* multi) {
  PG_CURL_FORWARD(curl_multi_wakeup, CURLM_INTERNAL_ERROR, multi);
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
  PG_CURL_FORWARD(curl_multi_info_read, nullptr, multi, left);
}

CURLU* curl_url() {
  PG_CURL_FORWARD(curl_url, nullptr);
}

CURLU* curl_url_dup(CURLU* url) {
  PG_CURL_FORWARD(curl_url_dup, nullptr, url);
}

void curl_url_cleanup(CURLU* url) {
  PG_CURL_FORWARD(curl_url_cleanup, void(), url);
}

CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
  PG_CURL_FORWARD(curl_url_set, CURLUE_OUT_OF_MEMORY, url, part, text, flags);
}

CURLUcode curl_url_get(CURLU* url, CURLUPart part, char** text, unsigned int flags) {
  PG_CURL_FORWARD(curl_url_get, CURLUE_OUT_OF_MEMORY, url, part, text, flags);
}

}  // extern "C"
