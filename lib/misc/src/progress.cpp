#include "lib/misc/src/progress.h"

namespace misc {

std::wstring CRangeProgress::getText() const {
  if (positionOnly_ != 0) return std::to_wstring(position_);
  return std::to_wstring(position_) + L"/" + std::to_wstring(total_);
}

}  // namespace misc
