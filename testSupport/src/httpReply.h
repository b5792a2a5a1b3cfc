#pragma once
// What the loopback HTTP server does for one request: a script of steps, run in order,
// after which the connection is closed. Linked by test programs only.
//
//     HttpReply::status(200, "OK", {"Content-Type: text/plain"}, "hello")
//     HttpReply().send("HTTP/1.0 200 OK\r\n\r\n").send("part").pause(200).reset()

#include <cstddef>
#include <string>
#include <vector>

namespace testSupport {

class HttpReply {
 public:
  struct Step {
    enum class Kind { Send, Repeat, Pause, Reset, Stall, EndlessHeaders };
    Kind kind;
    std::string bytes;
    std::size_t times = 0;  // Repeat
    int ms = 0;             // Pause
  };

  HttpReply& send(std::string bytes);
  // Sends `bytes` `times` times, so that a long body needs no memory of its own.
  HttpReply& repeat(std::string bytes, std::size_t times);
  HttpReply& pause(int ms);
  // Ends the connection abortively (the client sees a reset).
  HttpReply& reset();
  // Sends nothing more until the client goes away (at most 30 s).
  HttpReply& stall();
  // Sends header lines without end (until the client goes away, at most 64 MB).
  HttpReply& endlessHeaders();

  // "HTTP/1.0 <code> <reason>", the headers, Content-Length, the blank line and the body.
  static HttpReply status(int code, const std::string& reason,
                          const std::vector<std::string>& headers, const std::string& body);
  // A status line and headers; the body follows in chunks of the given sizes.
  static HttpReply chunked(const std::vector<std::string>& headers, const std::string& body,
                           std::size_t chunkSize);
  // A 3xx answer that points to `location`.
  static HttpReply redirect(int code, const std::string& location);

  const std::vector<Step>& steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

}  // namespace testSupport
