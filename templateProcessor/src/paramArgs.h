#pragma once
// ParamArgs: the arguments of one directive, as written after the '%' that ends its name
// and up to the first '}' outside quotes:
//
//     {%NAME% default=none encode=percent chars="/ ?" extra}
//
// gives the names default, encode, chars and extra in order; extra is positional, the
// others are named (looked up ignoring case). A token in double quotes keeps blanks, '='
// and '}'; '\' takes the next character literally, quoted or not.

#include <istream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/src/cLocale.h"

namespace templateProcessor {

class ParamArgs {
 public:
  ParamArgs() = default;

  // Reads arguments from `input` up to and including the closing '}', or to the end.
  static ParamArgs parse(std::wistream& input);

  void addPositional(std::wstring token);
  // A repeated name overwrites the earlier value.
  void setNamed(std::wstring name, std::wstring value);

  // Every argument name, positional or named, in order of appearance.
  const std::vector<std::wstring>& names() const { return names_; }
  const std::vector<std::wstring>& positional() const { return positional_; }
  const std::map<std::wstring, std::wstring, platform::NoCaseLess>& named() const { return named_; }

  // The first positional argument, or "".
  std::wstring firstPositional() const;
  // Null when `name` was not given.
  const std::wstring* findNamed(std::wstring_view name) const;
  std::wstring namedOr(std::wstring_view name, std::wstring_view fallback) const;
  // True when `token` is among the positional arguments, compared ignoring case.
  bool hasPositional(std::wstring_view token) const;

 private:
  std::vector<std::wstring> names_;
  std::vector<std::wstring> positional_;
  std::map<std::wstring, std::wstring, platform::NoCaseLess> named_;
};

}  // namespace templateProcessor
