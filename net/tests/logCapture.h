#pragma once
// Captures the global message log for one test with the named groups switched on; both are
// restored when it ends.

#include <sstream>
#include <string>
#include <vector>

#include "lib/log/src/log.h"

namespace net::test {

class LogCapture {
 public:
  explicit LogCapture(std::vector<msgGroup*> groups) : groups_(std::move(groups)) {
    for (msgGroup* group : groups_) group->setEnabled(true);
    previous_ = getMessageLog().getTarget();
    getMessageLog().setTarget(&captured_, 0);
  }
  ~LogCapture() {
    getMessageLog().setTarget(previous_, 0);
    for (msgGroup* group : groups_) group->setEnabled(false);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::wstring text() const { return captured_.str(); }
  bool contains(const std::wstring& part) const { return text().find(part) != std::wstring::npos; }

 private:
  std::vector<msgGroup*> groups_;
  std::wstreambuf* previous_ = nullptr;
  std::wstringbuf captured_;
};

}  // namespace net::test
