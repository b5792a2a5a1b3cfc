#pragma once
// One environment variable set (or unset) for a scope; the old state comes back at its end.
// Tests only, on a thread while no other thread reads the environment.

#include <optional>
#include <string>

namespace testSupport {

class ScopedVariable {
 public:
  // Unsets `name` when `value` is none.
  ScopedVariable(const char* name, const std::optional<std::string>& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace testSupport
