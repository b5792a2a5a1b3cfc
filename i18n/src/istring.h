#pragma once
// Localised strings. An istring is a wide string loaded by resource id through the string
// chain of the module that owns the id, then optionally completed by format() with %1, %2...
// text arguments. A string that cannot be found does not throw: it stays empty (and an
// alert is shown when the user switched alerts on).
//
//     throw misc::wruntime_error(misc::internal::istring(10101));

#include <span>
#include <string>

namespace i18n {

class ResourceBundleChain;

class istringBase : public std::wstring {
 public:
  virtual ~istringBase() = default;

  int getId() const { return id_; }
  int isIndexed() const { return indexed_; }

  // Replaces the text by the formatted result; the result must be shorter than 2048
  // characters, else (or on bad syntax) the text becomes empty.
  std::wstring& format(std::span<const wchar_t* const> arguments);
  std::wstring& format(const std::wstring& a1);
  std::wstring& format(const std::wstring& a1, const std::wstring& a2);
  std::wstring& format(const std::wstring& a1, const std::wstring& a2, const std::wstring& a3);

 protected:
  istringBase(ResourceBundleChain& chain, int id);
  istringBase(ResourceBundleChain& chain, int id, int indexVal);

 private:
  int id_;
  int indexed_;
};

// A chain for the module `moduleName` that lives until the process ends.
ResourceBundleChain& newModuleChain(const wchar_t* moduleName);

}  // namespace i18n

// Each module owns its istring class and its string chain: the module's header declares
// the class with PG_MODULE_ISTRING(ns), and one source of the module creates the chain
// with PG_MODULE_STRING_CHAIN(ns), named after the module:
//
//     // config/src/istring.h                  // config/src/istring.cpp
//     PG_MODULE_ISTRING(config)                PG_MODULE_STRING_CHAIN(config)
//
// The chain exists from static initialisation on and is never freed, since strings may be
// loaded during static destruction.
#define PG_MODULE_ISTRING(ns)                                                        \
  namespace ns::internal {                                                           \
  ::i18n::ResourceBundleChain& stringChain();                                        \
  class istring : public ::i18n::istringBase {                                       \
   public:                                                                           \
    explicit istring(int id) : istringBase(stringChain(), id) {}                     \
    /* Loads the indexed (plural-selecting) string `id` for the value `indexVal`. */ \
    istring(int id, int indexVal) : istringBase(stringChain(), id, indexVal) {}      \
  };                                                                                 \
  }

#define PG_MODULE_STRING_CHAIN(ns)                                               \
  namespace ns::internal {                                                       \
  ::i18n::ResourceBundleChain& stringChain() {                                   \
    static ::i18n::ResourceBundleChain& chain = ::i18n::newModuleChain(L## #ns); \
    return chain;                                                                \
  }                                                                              \
  namespace {                                                                    \
  [[maybe_unused]] const bool stringChainCreated = (stringChain(), true);        \
  }                                                                              \
  }
