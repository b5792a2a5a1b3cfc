#pragma once
// A store that saves into memory, for tests of the save policy: it counts its saves, keeps
// the last content ("section|key=value" lines) and can be told to fail.

#include <atomic>
#include <sstream>
#include <string>

#include "config/src/exception.h"
#include "config/src/store.h"
#include "lib/misc/src/textConversion.h"

namespace config::test {

class MemoryStore : public Store {
 public:
  explicit MemoryStore(std::wstring name = L"memory", const wchar_t* const* blockSections = nullptr)
      : Store(blockSections), name_(std::move(name)) {}
  ~MemoryStore() override { endDelayedSaves(); }

  std::wstring getName() override { return name_; }
  void setPolicy(bool autoSave, int delayedSaveSecs) { setSavePolicy(autoSave, delayedSaveSecs); }
  void failSaves(bool fail) { fail_ = fail; }
  int saves() const { return saves_.load(); }
  std::string saved() {
    misc::ScopedReadLock lock(&this->lock(), PG_HERE);
    return saved_;
  }

 protected:
  void readFrom(std::istream&) override {}
  void writeTo(std::ostream& out) override {
    root().enumKeys(
        [](StoreSection& s, const std::wstring& k, const std::wstring& v, void* o) {
          *static_cast<std::ostream*>(o)
              << misc::toUtf8(s.fullName() + L"|" + k + L"=" + v) << '\n';
          return true;
        },
        true, &out);
  }
  void onReset() override {}
  std::unique_ptr<std::ostream> openSaveStream() override {
    return std::make_unique<std::ostringstream>();
  }
  void closeSaveStream(std::unique_ptr<std::ostream> stream) override {
    if (fail_) throw Exception(L"save refused");
    saved_ = static_cast<std::ostringstream&>(*stream).str();
    ++saves_;
  }

 private:
  std::wstring name_;
  std::atomic<bool> fail_{false};
  std::atomic<int> saves_{0};
  std::string saved_;
};

}  // namespace config::test
