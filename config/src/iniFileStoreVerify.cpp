// The auto-verify diagnostic of IniFileStore: the saved or loaded file is read back with the
// system's plain INI reader and compared with the tree.

#include <sstream>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/src/istring.h"
#include "lib/log/src/log.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/iniReader.h"
#include "platform/src/messageBox.h"
#include "platform/src/utf8.h"

namespace config {
namespace {

void addLine(std::wstring& report, const std::wstring& line) {
  if (!report.empty()) report += L'\n';
  report += line;
}

// What the plain reader returns for a value this store wrote: asking it about a one-line
// file keeps its trimming and unquoting rules in one place.
std::string plainReaderView(const std::wstring& value) {
  platform::IniFile probe;
  probe.parse("[s]\nk=" + misc::urlEncode(platform::toUtf8Escaped(value)) + "\n");
  return probe.value("s", "k").value_or("");
}

// Strikes `name` off `names`; what stays was never matched.
void strikeOff(std::vector<std::string>& names, const std::string& name) {
  std::erase_if(names,
                [&](const std::string& n) { return platform::equalsIgnoringAsciiCase(n, name); });
}

}  // namespace

void IniFileStore::verifySections(std::wstring& report) {
  misc::ScopedReadLock lock(&this->lock(), PG_HERE);
  if (fileName_.empty()) throw Exception(internal::istring(13401));
  platform::IniFile file;
  file.read(misc::toAnsi(fileName_));
  std::vector<std::string> remaining = file.sectionNames();
  for (auto& [name, child] : root().children()) verifySection(*child, file, remaining, report);
  for (const std::string& extra : remaining) {
    addLine(report, internal::istring(13421).format(misc::fromUtf8(extra)));
  }
}

void IniFileStore::verifySection(StoreSection& section, const platform::IniFile& file,
                                 std::vector<std::string>& remaining, std::wstring& report) {
  const std::string name = platform::toUtf8Escaped(section.fullName());
  strikeOff(remaining, name);
  if (!file.hasSection(name)) {
    addLine(report, internal::istring(13415).format(section.fullName()));
  } else if (!section.isBlockSection()) {
    std::vector<std::string> extraKeys = file.keyNames(name);
    for (const auto& [key, value] : section.values()) {
      strikeOff(extraKeys, platform::toUtf8Escaped(key));
      const auto got = file.value(name, platform::toUtf8Escaped(key));
      const std::string expected = plainReaderView(value);
      if (!got) {
        addLine(report, internal::istring(13416).format(key));
      } else if (*got != expected) {
        addLine(report, internal::istring(13417).format(key, misc::fromUtf8(*got),
                                                        misc::fromUtf8(expected)));
      }
    }
    for (const std::string& extra : extraKeys) {
      addLine(report, internal::istring(13420).format(misc::fromUtf8(extra)));
    }
  }
  for (auto& [childName, child] : section.children()) {
    verifySection(*child, file, remaining, report);
  }
}

void IniFileStore::autoVerify() {
  if (!autoVerifyEnabled()) return;
  misc::ScopedReadLock lock(&this->lock(), PG_HERE);
  std::wstring report;
  verifySections(report);
  if (report.empty()) return;
  PG_LOG_ALWAYS() << L"IniFileStore auto-verify error: " << fileName_ << L'\n' << report;
  std::wostringstream tree;
  dump(tree, kDumpBrackets, L"");
  PG_LOG_ALWAYS() << tree.str();
  platform::messageBox(internal::istring(13411), fileName_ + L"\n\n" + report,
                       platform::MessageButtons::Ok, platform::MessageIcon::Error);
}

}  // namespace config
