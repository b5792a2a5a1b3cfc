#include "config/src/storeSection.h"

#include <cstdio>
#include <locale>
#include <sstream>

#include "config/src/checkedString.h"
#include "config/src/sectionPath.h"
#include "config/src/store.h"

namespace config {
namespace {

std::wstring printable(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c >= 0x20 && c <= 0x7E) {
      out += c;
    } else {
      wchar_t code[16];
      std::swprintf(code, 16, L"<%04x>", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

}  // namespace

StoreSection::StoreSection(Store& store, StoreSection* parent, std::wstring name)
    : store_(store), parent_(parent), name_(std::move(name)) {}

StoreSection::~StoreSection() = default;

void StoreSection::clear() {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  values_.clear();
  blockData_.clear();
  children_.clear();
  store_.markDirty();
}

std::wstring StoreSection::getString(const std::wstring& key, bool trim,
                                     const std::wstring& defaultValue) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  const auto it = values_.find(key);
  if (it == values_.end()) return defaultValue;
  return trim ? std::wstring(platform::trimSpaceC(it->second)) : it->second;
}

void StoreSection::setString(const std::wstring& key, const std::wstring& value) {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  values_[key] = value;
  store_.markDirty();
}

void StoreSection::deleteSection(const std::wstring& path) {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  StoreSection* section = findSection(path, false);
  if (!section) return;
  const std::wstring name = section->name_;  // the key must outlive the erased section
  section->parent_->children_.erase(name);
  store_.markDirty();
}

void StoreSection::deleteKey(const std::wstring& key) {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  if (values_.erase(key) != 0) store_.markDirty();
}

void StoreSection::renameKey(const std::wstring& oldKey, const std::wstring& newKey) {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  if (platform::equalsNoCase(oldKey, newKey)) return;
  const auto old = values_.find(oldKey);
  if (old == values_.end()) return;
  values_[newKey] = old->second;
  values_.erase(old);
  store_.markDirty();
}

bool StoreSection::enumSections(SectionCallback callback, bool recursive, void* userData) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  for (auto& [name, child] : children_) {
    if (!callback(*child, userData)) return false;
    if (recursive && !child->enumSections(callback, true, userData)) return false;
  }
  return true;
}

bool StoreSection::enumKeys(KeyCallback callback, bool recursive, void* userData) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  for (const auto& [key, value] : values_) {
    if (!callback(*this, key, value, userData)) return false;
  }
  if (!recursive) return true;
  for (auto& [name, child] : children_) {
    if (!child->enumKeys(callback, true, userData)) return false;
  }
  return true;
}

void StoreSection::dump(std::wostream& out, std::uint32_t flags, const std::wstring& indent) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  if (!isRoot()) out << indent << L'[' << fullName() << L"]\n";
  if (isBlockSection()) {
    out << indent << L"  --- BEGIN BLOCK DATA ---\n";
    std::wistringstream lines(blockData_);
    for (std::wstring line; std::getline(lines, line);) out << indent << L"  " << line << L'\n';
    out << indent << L"  --- END BLOCK DATA ---\n";
  } else {
    dumpValues(out, flags, indent);
  }
  const std::wstring childIndent = isRoot() ? indent : indent + L"  ";
  for (auto& [name, child] : children_) child->dump(out, flags, childIndent);
  if (isTopLevel()) out << L'\n';
}

void StoreSection::dumpValues(std::wostream& out, std::uint32_t flags, const std::wstring& indent) {
  const bool brackets = (flags & kDumpBrackets) != 0;
  for (const auto& [key, value] : values_) {
    out << indent << (isRoot() ? L"" : L"- ");
    out << (brackets ? L"{" : L"") << key << (brackets ? L"}" : L"") << L" = ";
    out << (brackets ? L"[" : L"") << printable(value) << (brackets ? L"]" : L"") << L'\n';
  }
}

StoreSection* StoreSection::findSection(const std::wstring& path, bool create) {
  StoreSection* section = this;
  for (auto piece = internal::firstPathPiece(path); piece;
       piece = internal::firstPathPiece(*piece->rest)) {
    section = section->child(piece->piece, create);
    if (!section || !piece->rest) return section;
  }
  return nullptr;
}

StoreSection* StoreSection::child(std::wstring_view name, bool create) {
  // A file lists sections in name order, so a header nearly always names the last child or
  // one after it: that one is tried before the tree is searched.
  auto at = children_.end();
  if (!children_.empty()) {
    const int order = platform::compareNoCase(std::prev(at)->first, name);
    if (order == 0) return std::prev(at)->second.get();
    if (order > 0) at = children_.lower_bound(name);
  }
  if (at != children_.end() && platform::equalsNoCase(at->first, name)) return at->second.get();
  if (!create) return nullptr;
  std::wstring key(name);
  auto made = std::unique_ptr<StoreSection>(new StoreSection(store_, this, key));
  return children_.emplace_hint(at, std::move(key), std::move(made))->second.get();
}

bool StoreSection::getValue(const std::wstring& key, std::wstring* value) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  const auto it = values_.find(key);
  if (it == values_.end()) return false;
  if (value) *value = it->second;
  return true;
}

int StoreSection::getInt(const std::wstring& key, int defaultValue) {
  std::wistringstream in(getString(key, false, L""));
  in.imbue(std::locale::classic());
  int value = 0;
  return (in >> value) ? value : defaultValue;
}

void StoreSection::setInt(const std::wstring& key, int value) {
  std::wostringstream out;
  out.imbue(std::locale::classic());
  out << value;
  setString(key, out.str());
}

std::wstring StoreSection::getCheckedString(const std::wstring& key,
                                            const std::wstring& defaultValue, bool trim) {
  return internal::checkedString(getString(key, trim, defaultValue), true);
}

void StoreSection::setCheckedString(const std::wstring& key, const std::wstring& value) {
  setString(key, internal::checkedString(value, false));
}

void StoreSection::listChildren(std::vector<std::wstring>& out, bool recursive) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  listChildrenLocked(out, recursive);
}

void StoreSection::listChildrenLocked(std::vector<std::wstring>& out, bool recursive) {
  for (auto& [name, child] : children_) out.push_back(recursive ? child->fullName() : name);
  if (!recursive) return;
  for (auto& [name, child] : children_) child->listChildrenLocked(out, true);
}

void StoreSection::listKeys(std::vector<std::wstring>& out) {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  for (const auto& [key, value] : values_) out.push_back(key);
}

void StoreSection::setBlockData(const std::wstring& text) {
  misc::ScopedWriteLock lock(&store_.lock(), PG_HERE);
  blockData_ = text;
}

std::wstring StoreSection::blockData() {
  misc::ScopedReadLock lock(&store_.lock(), PG_HERE);
  return blockData_;
}

const std::wstring& StoreSection::fullName() {
  if (fullNameCache_.empty() && !isRoot()) {
    // Built once at its final size, from the end: joining from the bottom up would copy it
    // once per level.
    std::size_t size = 0;
    for (const StoreSection* s = this; !s->isRoot(); s = s->parent_) size += s->name_.size() + 1;
    fullNameCache_.assign(size - 1, L'/');
    std::size_t end = size - 1;
    for (const StoreSection* s = this; !s->isRoot(); s = s->parent_) {
      end -= s->name_.size();
      s->name_.copy(fullNameCache_.data() + end, s->name_.size());
      if (end > 0) --end;  // past the '/' before the name
    }
  }
  return fullNameCache_;
}

bool StoreSection::isBlockSection() {
  return store_.hasBlockSections() && store_.isBlockSection(fullName());
}

std::unique_ptr<StoreSection> StoreSection::clone(Store& store, StoreSection* parent,
                                                  const std::wstring& name) {
  auto copy = std::unique_ptr<StoreSection>(new StoreSection(store, parent, name));
  copy->values_ = values_;
  copy->blockData_ = blockData_;
  for (auto& [childName, child] : children_) {
    copy->children_.emplace(childName, child->clone(store, copy.get(), childName));
  }
  return copy;
}

}  // namespace config
