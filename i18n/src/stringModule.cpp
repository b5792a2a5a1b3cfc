#include "i18n/src/stringModule.h"

#include <algorithm>

#include "i18n/src/languagePack.h"
#include "i18n/src/ownTexts.h"
#include "i18n/src/stringTable.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/sharedLibrary.h"

namespace i18n {

StringModule::StringModule(std::unique_ptr<platform::SharedLibrary> library, LoadString load)
    : library_(std::move(library)), load_(load) {}

StringModule::~StringModule() = default;

std::unique_ptr<StringModule> StringModule::openLibrary(const std::wstring& path,
                                                        std::wstring& error) {
  std::string reason;
  auto library = platform::SharedLibrary::open(misc::toAnsi(path), reason);
  if (!library) {
    error = misc::fromAnsi(reason);
    return nullptr;
  }
  auto load = reinterpret_cast<LoadString>(library->symbol(PG_LANG_PACK_STRING_ENTRY));
  if (load == nullptr) {
    error = internal::ownText(internal::kMissingEntryPoint,
                              {misc::fromAnsi(PG_LANG_PACK_STRING_ENTRY)});
    return nullptr;
  }
  error.clear();
  return std::unique_ptr<StringModule>(new StringModule(std::move(library), load));
}

std::unique_ptr<StringModule> StringModule::programTable() {
  return std::unique_ptr<StringModule>(new StringModule(nullptr, &internal::loadBuiltInString));
}

bool StringModule::exports(const char* name) const {
  return library_ && library_->symbol(name) != nullptr;
}

int StringModule::loadString(int id, char* buffer, int bufferSize) const {
  if (bufferSize <= 0) return 0;
  const int copied = std::clamp(load_(id, buffer, bufferSize), 0, bufferSize - 1);
  buffer[copied] = '\0';
  return copied;
}

}  // namespace i18n
