#include "net/src/httpRequest.h"

#include <sstream>

#include "net/src/istring.h"

namespace net {

std::wostream& HttpRequest::print(std::wostream& out) const {
  return out << getVerb() << L' ' << url_;
}

std::wstring HttpRequest::printed() const {
  std::wostringstream line;
  print(line);
  return line.str();
}

void HttpRequest::dump(std::wostream& out, const std::wstring& prefix) const {
  out << prefix << printed() << L'\n';
  if (saveStream_ != nullptr) out << prefix << internal::istring(11504) << L'\n';
  for (const auto& [name, value] : extraHeaders) {
    out << prefix << name << L": " << value << L'\n';
  }
}

}  // namespace net
