#include "templateProcessor/src/globalParameters.h"

#include "lib/misc/src/readWriteLock.h"

namespace templateProcessor {
namespace {

struct GlobalState {
  misc::ReadWriteLock lock;
  ParameterMap userDefined;
  ParameterMap global;
};

GlobalState& state() {
  static GlobalState instance;
  return instance;
}

void set(ParameterMap GlobalState::*map, const std::wstring& name, const tools::TextVal& value) {
  GlobalState& s = state();
  misc::ScopedWriteLock guard(&s.lock, PG_HERE);
  (s.*map).insert_or_assign(name, value);
}

void remove(ParameterMap GlobalState::*map, const std::wstring& name) {
  GlobalState& s = state();
  misc::ScopedWriteLock guard(&s.lock, PG_HERE);
  (s.*map).erase(name);
}

ParameterMap copy(ParameterMap GlobalState::*map) {
  GlobalState& s = state();
  misc::ScopedReadLock guard(&s.lock, PG_HERE);
  return s.*map;
}

}  // namespace

void setUserDefinedGlobalParameter(const std::wstring& name, const tools::TextVal& value) {
  set(&GlobalState::userDefined, name, value);
}

void removeUserDefinedGlobalParameter(const std::wstring& name) {
  remove(&GlobalState::userDefined, name);
}

void setGlobalParameter(const std::wstring& name, const tools::TextVal& value) {
  set(&GlobalState::global, name, value);
}

void removeGlobalParameter(const std::wstring& name) {
  remove(&GlobalState::global, name);
}

namespace internal {

bool findGlobalParameter(const std::wstring& name, tools::TextVal& out) {
  GlobalState& s = state();
  misc::ScopedReadLock guard(&s.lock, PG_HERE);
  for (const ParameterMap* map : {&s.userDefined, &s.global}) {
    const auto found = map->find(name);
    if (found != map->end()) {
      out = found->second;
      return true;
    }
  }
  return false;
}

ParameterMap userDefinedGlobalParameters() {
  return copy(&GlobalState::userDefined);
}

ParameterMap globalParameters() {
  return copy(&GlobalState::global);
}

}  // namespace internal
}  // namespace templateProcessor
