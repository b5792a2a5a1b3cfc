#include "i18n/src/ownTexts.h"

#include <vector>

#include "i18n/src/stringTable.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/formatMessage.h"

namespace i18n::internal {

std::wstring ownText(int id, std::initializer_list<std::wstring> arguments) {
  const char* text = findBuiltInString(id);
  std::wstring result;
  platform::formatMessage(misc::fromUtf8(text ? text : ""), std::vector<std::wstring>(arguments), 0,
                          result);
  return result;
}

}  // namespace i18n::internal
