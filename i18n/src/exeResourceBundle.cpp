#include "i18n/src/exeResourceBundle.h"

namespace i18n {

ExeResourceBundle::~ExeResourceBundle() = default;

void ExeResourceBundle::doLoad(const std::wstring& path, std::unique_ptr<StringModule>) {
  auto inner = std::make_unique<DllResourceBundle>(getModuleName());
  inner->load(path, StringModule::programTable());
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  inner_ = std::move(inner);
}

void ExeResourceBundle::doUnload() {
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  inner_.reset();
}

bool ExeResourceBundle::doGetStringResource(int id, std::wstring& out) {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  return inner_ && inner_->getStringResource(id, out);
}

bool ExeResourceBundle::doGetIndexedStringResource(int id, int indexVal, std::wstring& out) {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  return inner_ && inner_->getIndexedStringResource(id, indexVal, out);
}

}  // namespace i18n
