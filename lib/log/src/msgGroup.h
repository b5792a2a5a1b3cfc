#pragma once
// Named switches of diagnostic output, all off unless switched on. Groups are process-wide
// statics of the modules that log in them; each registers itself by id and by name.
//
// PAGEGLEAN_LOG_GROUPS switches groups on at start: a comma-separated list of group names
// (compared without regard to ASCII case), or "*" for all.

#include <atomic>
#include <string>

class msgGroup {
 public:
  explicit msgGroup(const std::wstring& name);
  ~msgGroup();
  msgGroup(const msgGroup&) = delete;
  msgGroup& operator=(const msgGroup&) = delete;

  // One flag test; read without a lock, a change takes effect at the next message.
  bool isEnabled() const { return enabled_.load(std::memory_order_relaxed); }
  void setEnabled(bool enabled) { enabled_.store(enabled, std::memory_order_relaxed); }
  int getId() const { return id_; }
  const std::wstring& getName() const { return name_; }

  // Registry lookups; null when no live group matches. Names compare without ASCII case.
  static msgGroup* findById(int id);
  static msgGroup* findByName(const std::wstring& name);

 private:
  const int id_;
  const std::wstring name_;
  std::atomic<bool> enabled_;
};
