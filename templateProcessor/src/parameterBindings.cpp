#include "templateProcessor/src/parameterBindings.h"

namespace templateProcessor::internal {

ParameterBindings::~ParameterBindings() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second) {
      parameters_.insert_or_assign(it->first, std::move(*it->second));
    } else {
      parameters_.erase(it->first);
    }
  }
}

void ParameterBindings::bind(const std::wstring& name, tools::TextVal value) {
  const auto found = parameters_.find(name);
  if (found == parameters_.end()) {
    saved_.emplace_back(name, std::nullopt);
  } else {
    saved_.emplace_back(name, found->second);
  }
  parameters_.insert_or_assign(name, std::move(value));
}

}  // namespace templateProcessor::internal
