#include "i18n/src/dllResourceBundle.h"

#include <vector>

#include "i18n/src/exception.h"
#include "i18n/src/msgGroups.h"
#include "i18n/src/ownTexts.h"
#include "i18n/src/resourceBundleChain.h"
#include "lib/log/src/log.h"
#include "lib/misc/src/textConversion.h"

namespace i18n {
namespace {
constexpr int kBufferStep = 2048;
}

DllResourceBundle::~DllResourceBundle() = default;

const StringModule* DllResourceBundle::getModule() const {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  return module_.get();
}

void DllResourceBundle::doLoad(const std::wstring& path, std::unique_ptr<StringModule> module) {
  if (!module) {
    std::wstring reason;
    module = StringModule::openLibrary(path, reason);
    if (!module) throw Exception(internal::ownText(internal::kCantLoadResourceDll, {reason}));
  }
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  module_ = std::move(module);
}

void DllResourceBundle::doUnload() {
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  module_.reset();
  controlStrings_.clear();
}

bool DllResourceBundle::doGetStringResource(int id, std::wstring& out) {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  if (!module_) return false;
  std::vector<char> buffer;
  int length = 0;
  do {
    buffer.resize(buffer.size() + kBufferStep);
    length = module_->loadString(id, buffer.data(), static_cast<int>(buffer.size()));
    if (length == 0) return false;
  } while (length >= static_cast<int>(buffer.size()) - 1);
  out = misc::fromUtf8(buffer.data(), length);
  return true;
}

bool DllResourceBundle::controlString(int id, int indexVal, ControlString& out) {
  {
    misc::ScopedReadLock guard(&lock(), PG_HERE);
    const auto cached = controlStrings_.find(id);
    if (cached != controlStrings_.end()) {
      out = cached->second;
      return true;
    }
  }
  msgGroup& group = internal::indexedResourceBundleStringsGroup();
  PG_LOG(group) << L"getIndexedStringResource(): resourceId=" << id << L" ; indexVal=" << indexVal;
  std::wstring text;
  if (!getStringResource(id, text)) return false;
  PG_LOG(group) << L"- Found control string: " << text;
  if (!parseControlString(text, out)) return false;
  PG_LOG(group) << L"- Parsed the control string OK:";
  PG_LOG(group) << L"  - Default resource ID: " << out.defaultId;
  PG_LOG(group) << L"  - Indexed strings:     " << out.describeEntries();
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  controlStrings_.emplace(id, out);
  return true;
}

bool DllResourceBundle::doGetIndexedStringResource(int id, int indexVal, std::wstring& out) {
  ControlString control;
  if (!controlString(id, indexVal, control)) return false;
  const int chosen = control.select(indexVal);
  // Within a chain the chosen string may come from any of its bundles.
  ResourceBundleChain* chain = getOwnerChain();
  return chain ? chain->getStringResource(chosen, out) : getStringResource(chosen, out);
}

}  // namespace i18n
