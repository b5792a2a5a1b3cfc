#include "config/src/iniReader.h"

#include <cstring>
#include <utility>

#include "config/src/iniSyntax.h"
#include "config/src/sectionPath.h"
#include "config/src/store.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/utf8.h"

namespace config::internal {
namespace {

constexpr std::size_t kReadBytes = 64 * 1024;

// A repeated key keeps the spelling of its first line and the value of its last. Files this
// store wrote list keys in order, so a new key nearly always goes after the last one: the
// map is asked once, and a key it holds already (the node made for it is gone then, with
// the decoded value) has its value decoded again.
void setValue(StoreSection::Values& values, std::wstring&& key, std::string_view rawValue) {
  const std::size_t before = values.size();
  const auto at = values.emplace_hint(values.end(), std::move(key), decodeValue(rawValue));
  if (values.size() == before) at->second = decodeValue(rawValue);
}

}  // namespace

IniReader::IniReader(Store& store, std::uint32_t commentFlags)
    : store_(store), flags_(commentFlags), current_(&store.root()) {}

void IniReader::read(std::istream& in) {
  // Read a block at a time, so that the file's bytes are never all held beside the tree.
  // The buffer keeps its size, so a block is read into it without clearing it first; the
  // unfinished line of a block moves to its front. It holds a block beside such a line from
  // the start, so that it grows only for a line longer than a block.
  std::string buffer(2 * kReadBytes, '\0');
  std::size_t kept = 0;
  // How many bytes at the front of the buffer hold no line end, but for a last CR that may
  // be the first half of a CR LF: a line of many blocks is searched once, not at each one.
  std::size_t searched = 0;
  bool atStart = true;
  for (bool final = false; !final;) {
    if (buffer.size() < kept + kReadBytes) buffer.resize(kept + kReadBytes);
    in.read(buffer.data() + kept, static_cast<std::streamsize>(kReadBytes));
    const auto got = static_cast<std::size_t>(in.gcount());
    final = got == 0;
    const std::string_view all(buffer.data(), kept + got);
    std::string_view text = all;
    if (atStart) {
      kept = text.size();
      if (text.size() < kByteOrderMark.size() && !final) continue;
      if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
      atStart = false;
    }
    // (A byte-order mark just dropped goes with the first line moved to the front.)
    std::string_view unsearched = all.substr(searched > 0 ? searched - 1 : 0);
    if (!final && text.data() == all.data() && !takeCompleteLine(unsearched, false)) {
      kept = searched = all.size();
      continue;
    }
    while (auto line = takeCompleteLine(text, final)) readLine(*line);
    if (!text.empty()) std::memmove(buffer.data(), text.data(), text.size());
    kept = searched = text.size();
  }
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
    setValue(current_->values(), std::move(keyLine->key), keyLine->rawValue);
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
