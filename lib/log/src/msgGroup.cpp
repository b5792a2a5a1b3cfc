#include "lib/log/src/msgGroup.h"

#include <map>
#include <mutex>
#include <set>

#include "lib/misc/src/textConversion.h"
#include "platform/src/environment.h"

namespace {

std::wstring foldAscii(std::wstring text) {
  for (auto& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

struct Registry {
  std::mutex mutex;
  int nextId = 1;
  std::map<int, msgGroup*> byId;
  std::map<std::wstring, msgGroup*> byName;  // folded names
};

Registry& registry() {
  static Registry* instance = new Registry;  // groups unregister during static destruction
  return *instance;
}

bool switchedOnByEnvironment(const std::wstring& name) {
  static const std::set<std::wstring> names = [] {
    std::set<std::wstring> result;
    const auto value = platform::environmentVariable("PAGEGLEAN_LOG_GROUPS");
    std::wstring list = value ? misc::fromUtf8(*value) : std::wstring();
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t end = list.find(L',', start);
      if (end == std::wstring::npos) end = list.size();
      std::wstring item = list.substr(start, end - start);
      const auto first = item.find_first_not_of(L" \t");
      const auto last = item.find_last_not_of(L" \t");
      if (first != std::wstring::npos)
        result.insert(foldAscii(item.substr(first, last - first + 1)));
      start = end + 1;
    }
    return result;
  }();
  return names.count(L"*") != 0 || names.count(foldAscii(name)) != 0;
}

int registerGroup(msgGroup* group, const std::wstring& name) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const int id = r.nextId++;
  r.byId[id] = group;
  if (!name.empty()) r.byName.emplace(foldAscii(name), group);
  return id;
}

}  // namespace

msgGroup::msgGroup(const std::wstring& name)
    : id_(registerGroup(this, name)), name_(name), enabled_(switchedOnByEnvironment(name)) {}

msgGroup::~msgGroup() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.byId.erase(id_);
  auto named = r.byName.find(foldAscii(name_));
  if (named != r.byName.end() && named->second == this) r.byName.erase(named);
}

msgGroup* msgGroup::findById(int id) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto found = r.byId.find(id);
  return found == r.byId.end() ? nullptr : found->second;
}

msgGroup* msgGroup::findByName(const std::wstring& name) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto found = r.byName.find(foldAscii(name));
  return found == r.byName.end() ? nullptr : found->second;
}
