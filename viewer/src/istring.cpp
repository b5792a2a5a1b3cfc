#include "viewer/src/istring.h"

#include <vector>

#include "i18n/src/resourceBundleChain.h"

PG_MODULE_STRING_CHAIN(viewer)

namespace viewer::internal {

QString message(int id, std::initializer_list<QString> arguments) {
  istring text(id);
  if (arguments.size() == 0) return QString::fromStdWString(text);
  std::vector<std::wstring> wide;
  for (const QString& argument : arguments) wide.push_back(argument.toStdWString());
  std::vector<const wchar_t*> pointers;
  for (const std::wstring& argument : wide) pointers.push_back(argument.c_str());
  return QString::fromStdWString(text.format(pointers));
}

}  // namespace viewer::internal
