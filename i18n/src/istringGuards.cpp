#include "i18n/src/istringGuards.h"

#include <mutex>
#include <utility>
#include <vector>

#include "i18n/src/istring.h"
#include "i18n/src/msgGroups.h"
#include "i18n/src/resourceBundleChain.h"
#include "lib/log/src/log.h"

namespace i18n {
namespace {

struct GuardRegistry {
  std::mutex mutex;
  std::vector<std::pair<ResourceBundleChain*, int>> guards;
};

GuardRegistry& registry() {
  static GuardRegistry* instance = new GuardRegistry;
  return *instance;
}

// A plain string of any chain; its text is discarded, only the load matters.
class GuardString : public istringBase {
 public:
  GuardString(ResourceBundleChain& chain, int id) : istringBase(chain, id) {}
};

}  // namespace

void registerIstringGuard(ResourceBundleChain& chain, int id) {
  GuardRegistry& r = registry();
  std::lock_guard lock(r.mutex);
  for (auto& guard : r.guards) {
    if (guard.first == &chain) {
      guard.second = id;
      return;
    }
  }
  r.guards.emplace_back(&chain, id);
}

void checkIstringGuards() {
  std::vector<std::pair<ResourceBundleChain*, int>> guards;
  {
    GuardRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    guards = r.guards;
  }
  for (const auto& [chain, id] : guards) {
    PG_LOG(internal::istringGuardsGroup())
        << L"Checking istring guard: moduleId=" << chain->getModuleName() << L"...";
    GuardString guard(*chain, id);
  }
}

}  // namespace i18n
