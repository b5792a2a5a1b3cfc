#include "testSupport/src/scopedVariable.h"

#include <stdlib.h>

namespace testSupport {

namespace {

void put(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value)
    : name_(name) {
  if (const char* old = ::getenv(name)) old_ = old;
  put(name, value);
}

ScopedVariable::~ScopedVariable() {
  put(name_, old_);
}

}  // namespace testSupport
