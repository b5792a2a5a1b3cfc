#include "config/src/iniReader.h"

#include <iterator>

#include "config/src/iniSyntax.h"
#include "config/src/sectionPath.h"
#include "config/src/store.h"
#include "platform/src/utf8.h"

namespace config::internal {

IniReader::IniReader(Store& store, std::uint32_t commentFlags)
    : store_(store), flags_(commentFlags), current_(&store.root()) {}

void IniReader::read(std::istream& in) {
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string_view text = bytes;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  while (auto line = takeLine(text)) readLine(*line);
  finishBlock();
}

void IniReader::readLine(std::string_view line) {
  const std::string_view rest = skipBlanks(line);
  if (rest.starts_with('[')) {
    // Inside a block as outside, a line that is no valid header is dropped.
    if (auto text = headerText(rest)) readHeader(*text);
    return;
  }
  if (block_) {
    blockText_.append(line).append(1, '\n');
    return;
  }
  auto keyLine = parseKeyLine(line, flags_);
  if (keyLine && current_) {
    current_->values()[keyLine->key] = platform::fromUtf8Escaped(percentDecode(keyLine->rawValue));
  }
}

void IniReader::readHeader(std::string_view text) {
  finishBlock();
  const std::wstring path = platform::fromUtf8Escaped(text);
  // A header nested too deep for the writer is skipped with its lines, also one whose
  // trailing '/' names no section, since the lookup would still make the sections before it.
  current_ =
      internal::pieceCount(path) <= kMaxSectionDepth ? store_.findSection(path, true) : nullptr;
  if (current_ && current_->isBlockSection()) {
    block_ = current_;
    blockText_.clear();
  }
}

void IniReader::finishBlock() {
  if (block_) block_->blockDataRef() = platform::fromUtf8Escaped(blockText_);
  block_ = nullptr;
}

}  // namespace config::internal
