#pragma once
// Temporary parameter values for the length of a block: each bind() remembers what the
// name held before, and the destructor restores those values in reverse order (removing
// names that had none). Changes the block made to other names stay.
//
//     ParameterBindings bindings(parameters);
//     bindings.bind(L"REPEAT-NUMBER", tools::TextVal(L"1"));
//     ...  // expand the block
//     // REPEAT-NUMBER is back to its earlier value, or gone

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "templateProcessor/src/parameterMap.h"

namespace templateProcessor::internal {

class ParameterBindings {
 public:
  explicit ParameterBindings(ParameterMap& parameters) : parameters_(parameters) {}
  ~ParameterBindings();
  ParameterBindings(const ParameterBindings&) = delete;
  ParameterBindings& operator=(const ParameterBindings&) = delete;

  void bind(const std::wstring& name, tools::TextVal value);

 private:
  ParameterMap& parameters_;
  std::vector<std::pair<std::wstring, std::optional<tools::TextVal>>> saved_;
};

}  // namespace templateProcessor::internal
