#pragma once
// A flag that is true for the life of a scope and false after it, also when the scope is
// left by an exception: work that must not be entered again while it runs checks it first.
// Not thread-safe: the flag belongs to the thread that sets it.

namespace misc {

class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace misc
