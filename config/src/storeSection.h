#pragma once
// One node of a Store's tree: string values by key and child sections by name, both in
// case-insensitive order; a name keeps the spelling of its first insertion. A block-data
// section holds one free text instead of values.
//
// Every operation takes its store's lock (read for queries, write for changes); sections
// have none of their own. Changes that take effect mark the store dirty.

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/src/cLocale.h"

namespace config {

class Store;
class StoreSection;

using SectionCallback = bool (*)(StoreSection& section, void* userData);
using KeyCallback = bool (*)(StoreSection& section, const std::wstring& key,
                             const std::wstring& value, void* userData);

// dump flag: keys in {} and values in [], so blanks at their ends show.
inline constexpr std::uint32_t kDumpBrackets = 1;

class StoreSection {
 public:
  using Values = std::map<std::wstring, std::wstring, platform::NoCaseLess>;
  using Children = std::map<std::wstring, std::unique_ptr<StoreSection>, platform::NoCaseLess>;

  StoreSection(const StoreSection&) = delete;
  StoreSection& operator=(const StoreSection&) = delete;

  // Destroys the children with the section.
  virtual ~StoreSection();
  // Erases the keys, the block data and all children.
  virtual void clear();
  // The value of `key`, trimmed when asked; an absent key gives `defaultValue` as it is.
  virtual std::wstring getString(const std::wstring& key, bool trim,
                                 const std::wstring& defaultValue);
  // Marks the store dirty even when the value does not change.
  virtual void setString(const std::wstring& key, const std::wstring& value);
  // Removes the section that `path` names below this one, with its subtree.
  virtual void deleteSection(const std::wstring& path);
  virtual void deleteKey(const std::wstring& key);
  // Moves the value of `oldKey` to `newKey` (overwriting it); nothing happens when the two
  // names differ only in case or `oldKey` is absent.
  virtual void renameKey(const std::wstring& oldKey, const std::wstring& newKey);
  // Calls back for each child in name order, depth-first (parent before its children) when
  // recursive; a false answer ends the walk and is returned.
  virtual bool enumSections(SectionCallback callback, bool recursive, void* userData);
  // Calls back for each key in order, then (when recursive) for the children's keys.
  virtual bool enumKeys(KeyCallback callback, bool recursive, void* userData);
  // A readable listing of the subtree; characters outside printable ASCII as <%04x>.
  virtual void dump(std::wostream& out, std::uint32_t flags, const std::wstring& indent);

  // The section that `path` names below this one, created with its ancestors when asked;
  // null when it does not exist or the path names no section (then nothing is created).
  StoreSection* findSection(const std::wstring& path, bool create);
  bool getValue(const std::wstring& key, std::wstring* value);
  // The value as a signed 32-bit decimal (leading blanks, sign, digits; the rest ignored);
  // `defaultValue` when absent or not a number in range.
  int getInt(const std::wstring& key, int defaultValue);
  void setInt(const std::wstring& key, int value);
  std::wstring getCheckedString(const std::wstring& key, const std::wstring& defaultValue,
                                bool trim);
  void setCheckedString(const std::wstring& key, const std::wstring& value);
  // Appends the children's names in order; when recursive, their full names, each child
  // followed by its own descendants.
  void listChildren(std::vector<std::wstring>& out, bool recursive);
  void listKeys(std::vector<std::wstring>& out);
  // Does not mark the store dirty.
  void setBlockData(const std::wstring& text);
  std::wstring blockData();

  const std::wstring& name() const { return name_; }
  // Names from the top-level ancestor down to this one, joined with "/"; "" for the root.
  const std::wstring& fullName();
  StoreSection* parent() const { return parent_; }
  bool isRoot() const { return parent_ == nullptr; }
  bool isTopLevel() const { return parent_ != nullptr && parent_->isRoot(); }
  bool isBlockSection();
  // A deep copy (keys, block data, descendants) belonging to `store` below `parent`.
  std::unique_ptr<StoreSection> clone(Store& store, StoreSection* parent, const std::wstring& name);

  // Direct access for the store's reader and writer, which hold the store's lock.
  Values& values() { return values_; }
  Children& children() { return children_; }
  std::wstring& blockDataRef() { return blockData_; }
  Store& store() const { return store_; }

 private:
  friend class Store;
  StoreSection(Store& store, StoreSection* parent, std::wstring name);

  // The child of that name, created when asked; null when it does not exist.
  StoreSection* child(std::wstring_view name, bool create);
  void listChildrenLocked(std::vector<std::wstring>& out, bool recursive);
  void dumpValues(std::wostream& out, std::uint32_t flags, const std::wstring& indent);

  Store& store_;
  StoreSection* const parent_;
  const std::wstring name_;
  Values values_;
  Children children_;
  std::wstring blockData_;
  std::wstring fullNameCache_;
};

}  // namespace config
