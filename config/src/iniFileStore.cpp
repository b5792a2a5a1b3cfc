#include "config/src/iniFileStore.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <utility>

#include "config/src/exception.h"
#include "config/src/iniReader.h"
#include "config/src/iniSyntax.h"
#include "config/src/istring.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/replaceFile.h"
#include "platform/src/systemError.h"
#include "platform/src/utf8.h"

namespace config {
namespace {

constexpr std::uint32_t kDefaultFlags = IniFileStore::commentSlashes | IniFileStore::commentHash |
                                        IniFileStore::commentQuote | IniFileStore::commentSemicolon;
constexpr std::string_view kLineEnd = "\r\n";

std::atomic<bool> autoVerifySwitch{false};

// Line breaks of block text are written as the file's line ends.
std::string withFileLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += kLineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

std::size_t depthOf(const StoreSection& section) {
  std::size_t depth = 0;
  for (const StoreSection* s = &section; !s->isRoot(); s = s->parent()) ++depth;
  return depth;
}

}  // namespace

IniFileStore::IniFileStore(const wchar_t* const* blockSectionNames, std::uint32_t flags)
    : Store(blockSectionNames), flags_((flags & useDefaultFlags) ? kDefaultFlags : flags) {}

IniFileStore::~IniFileStore() {
  endDelayedSaves();
}

void IniFileStore::setFileName(const std::wstring& path) {
  misc::ScopedWriteLock lock(&this->lock(), PG_HERE);
  if (path.empty()) throw Exception(internal::istring(13401));
  fileName_ = path;
  // Only marked: with autoSave on, a save here would overwrite the file loadFile is about to
  // read with the tree it is about to replace.
  setDirty();
}

void IniFileStore::loadFile(const std::wstring& path) {
  misc::ScopedWriteLock lock(&this->lock(), PG_HERE);
  setFileName(path);
  reset();
  std::ifstream in(misc::toAnsi(fileName_), std::ios::binary);
  loadFrom(in);  // a file that cannot be opened reads as an empty one
  autoVerify();
}

void IniFileStore::saveFile(const std::wstring& path, bool force) {
  misc::ScopedWriteLock lock(&this->lock(), PG_HERE);
  setFileName(path);
  save(force);
}

std::wstring IniFileStore::getName() {
  misc::ScopedReadLock lock(&this->lock(), PG_HERE);
  return fileName_;
}

void IniFileStore::readFrom(std::istream& in) {
  internal::IniReader(*this, flags_).read(in);
}

void IniFileStore::writeTo(std::ostream& out) {
  writeSection(root(), out);
}

void IniFileStore::onReset() {}

void IniFileStore::writeSection(StoreSection& section, std::ostream& out) {
  if (!section.isRoot()) {
    if (!internal::sectionNameReadsBack(section.name())) {
      throw Exception(internal::istring(13413).format(fileName_, section.name()));
    }
    if (depthOf(section) > internal::kMaxSectionDepth) {
      throw Exception(internal::istring(13423).format(fileName_, section.fullName(),
                                                      std::to_wstring(internal::kMaxSectionDepth)));
    }
    out << '[' << platform::toUtf8Escaped(section.fullName()) << ']' << kLineEnd;
  }
  if (section.isBlockSection()) {
    writeBlock(section, out);
  } else {
    writeValues(section, out);
  }
  for (auto& [name, child] : section.children()) writeSection(*child, out);
}

void IniFileStore::writeBlock(StoreSection& section, std::ostream& out) {
  std::string text = platform::toUtf8Escaped(section.blockDataRef());
  // The reader ends every block line with a line end; text without one at its end would
  // swallow the next header and with it the next section.
  if (!text.empty() && text.back() != '\n') text += '\n';
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::string_view line(text.data() + start, end - start);
    if (!internal::blockLineReadsBack(line)) {
      throw Exception(internal::istring(13422).format(fileName_, misc::fromUtf8(line)));
    }
    start = end + 1;
  }
  out << withFileLineEnds(text);
}

void IniFileStore::writeValues(StoreSection& section, std::ostream& out) {
  bool firstLine = section.isRoot();  // the root's keys open the file
  // The section's lines go out in one write; what precedes a refused key is written still.
  std::string lines;
  for (const auto& [key, value] : section.values()) {
    const std::string keyBytes = platform::toUtf8Escaped(key);
    if (!internal::keyBytesReadBack(key, keyBytes, flags_)) {
      out << lines;
      throw Exception(internal::istring(13413).format(fileName_, key));
    }
    if (std::exchange(firstLine, false) && internal::writesMarkFirst(key)) {
      lines += internal::kByteOrderMark;
    }
    lines += keyBytes;
    lines += '=';
    misc::appendUrlEncoded(platform::toUtf8Escaped(value), {}, lines);
    lines += kLineEnd;
  }
  out << lines;
}

std::unique_ptr<std::ostream> IniFileStore::openSaveStream() {
  if (fileName_.empty()) return nullptr;
  return std::make_unique<std::ostringstream>();
}

void IniFileStore::closeSaveStream(std::unique_ptr<std::ostream> stream) {
  const std::string bytes = static_cast<std::ostringstream&>(*stream).str();
  stream.reset();
  const auto result = platform::replaceFile(misc::toAnsi(fileName_), bytes);
  if (!result.ok()) {
    const bool opening = result.stage == platform::ReplaceFileResult::Stage::Create;
    const std::wstring reason = platform::systemErrorText(result.error);
    if (reason.empty())
      throw Exception(internal::istring(opening ? 13402 : 13412).format(fileName_));
    throw Exception(internal::istring(opening ? 13424 : 13419).format(fileName_, reason));
  }
  autoVerify();
}

bool IniFileStore::autoVerifyEnabled() {
  return autoVerifySwitch.load();
}

void IniFileStore::setAutoVerifyEnabled(bool enabled) {
  autoVerifySwitch.store(enabled);
}

}  // namespace config
