#pragma once
// Localised strings. An istring is a wide string loaded by resource id through the string
// chain of the module that owns the id, then optionally completed by format() with %1, %2...
// text arguments. A string that cannot be found does not throw: it stays empty (and an
// alert is shown when the user switched alerts on).
//
//     throw config::Exception(config::internal::istring(13402).format(fileName));

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

}  // namespace i18n

// One class per module; they differ only in the module chain they load through.
#define PG_DECLARE_MODULE_ISTRING(ns)                      \
  namespace ns::internal {                                 \
  class istring : public ::i18n::istringBase {             \
   public:                                                 \
    explicit istring(int id);                              \
  };                                                       \
  }

PG_DECLARE_MODULE_ISTRING(misc)
PG_DECLARE_MODULE_ISTRING(win32tools)
PG_DECLARE_MODULE_ISTRING(config)
PG_DECLARE_MODULE_ISTRING(net)
PG_DECLARE_MODULE_ISTRING(templateProcessor)
#undef PG_DECLARE_MODULE_ISTRING

namespace tools::internal {
class istring : public ::i18n::istringBase {
 public:
  explicit istring(int id);
  // Loads the indexed (plural-selecting) string `id` for the value `indexVal`.
  istring(int id, int indexVal);
};
}  // namespace tools::internal
