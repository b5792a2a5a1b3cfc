// Property tests: random trees survive a save and a load unchanged, and a tree with a name
// the format cannot carry is refused whole, never written as something else.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/tests/testFiles.h"
#include "lib/misc/src/textConversion.h"

namespace config {
namespace {

using test::readBytes;
using test::TempDir;

// Every section, key, value and block text with its exact spelling.
std::wstring canonical(IniFileStore& store) {
  std::wostringstream out;
  store.enumKeys(
      [](StoreSection& s, const std::wstring& k, const std::wstring& v, void* o) {
        *static_cast<std::wostringstream*>(o)
            << L'[' << s.fullName() << L"]{" << k << L"}=" << v << L'\n';
        return true;
      },
      &out);
  std::vector<std::wstring> sections;
  store.root().listChildren(sections, true);
  for (const auto& name : sections) {
    out << L"section " << name << L'\n';
    if (store.isBlockSection(name))
      out << L"{" << store.findSection(name, false)->blockData() << L"}";
  }
  return out.str();
}

class RandomText {
 public:
  explicit RandomText(unsigned seed) : random_(seed) {}

  // Letters of both cases, blanks inside, '/', '%', ']' and non-ASCII: names the format
  // carries wherever they stand.
  std::wstring safeName() {
    static const std::wstring inner = L"aBcDxYz09 %/]\u00e9\u00c9\u00df\u4e2d\U0001F600.-_";
    static const std::wstring ends = L"aBcDxYz09%]\u00e9\u00c9\u00df\u4e2d\U0001F600";
    const int length = uniform(1, 8);
    std::wstring name;
    for (int i = 0; i < length; ++i) {
      const std::wstring& pool = (i == 0 || i == length - 1) ? ends : inner;
      name += pool[static_cast<std::size_t>(uniform(0, static_cast<int>(pool.size()) - 1))];
    }
    return name;
  }

  // Anything at all: '=', control characters, blanks at the ends, comment and header marks.
  std::wstring anyName() {
    static const std::wstring pool = L"aBz %/=[];#'\t\r\n\x01\x1f\x7f\u00e9\u4e2d\U0001F600\uFEFF";
    std::wstring name;
    for (int i = uniform(0, 6); i > 0; --i) name += pick(pool);
    return name;
  }

  std::wstring value() {
    static const std::wstring pool =
        L"aZ09 =%/;#'[]\t\r\n\x01\x1b\x1f\x7f\u00a0\u00e9\u4e2d\U0001F600\uFEFF";
    std::wstring text;
    for (int i = uniform(0, 12); i > 0; --i) text += pick(pool);
    return text;
  }

  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  wchar_t pick(const std::wstring& pool) {
    return pool[static_cast<std::size_t>(uniform(0, static_cast<int>(pool.size()) - 1))];
  }

  std::mt19937 random_;
};

// Fills `store` with up to a dozen sections (nested by the '/' in their paths) and the root.
template <typename MakeName>
void fillRandomTree(IniFileStore& store, RandomText& text, MakeName makeName) {
  for (int s = text.uniform(0, 12); s > 0; --s) {
    StoreSection* section =
        text.uniform(0, 5) == 0 ? &store.root() : store.findSection(makeName(), true);
    if (!section) continue;  // a path without a piece
    for (int k = text.uniform(0, 6); k > 0; --k) section->setString(makeName(), text.value());
  }
}

TEST(IniRoundTrip, WhateverLoadsIsSavedAndReadsBackTheSame) {
  const wchar_t* blocks[] = {L"block", nullptr};
  const char* const files[] = {
      "[block]\nx\r\r\n",  // a block line with a stray CR
      "\xEF\xBB\xBF\xEF\xBB\xBF"
      "bom=first\r\n[s]\r\n",  // a root key that starts with a mark
      "\xEF\xBB\xBF"
      "key=1\r\n\xEF\xBB\xBF[s]\r\n",  // a mark on a later line
  };
  TempDir dir;
  for (const char* file : files) {
    test::writeBytes(dir.file("in.ini"), file);
    IniFileStore loaded(blocks, IniFileStore::useDefaultFlags);
    loaded.loadFile(dir.wfile("in.ini"));
    ASSERT_NO_THROW(loaded.saveFile(dir.wfile("out.ini"), true)) << file;
    IniFileStore reread(blocks, IniFileStore::useDefaultFlags);
    reread.loadFile(dir.wfile("out.ini"));
    EXPECT_EQ(canonical(reread), canonical(loaded)) << file;
  }
}

TEST(IniRoundTrip, RandomTreesWithCarriableNamesComeBackUnchanged) {
  TempDir dir;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    RandomText text(seed);
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    fillRandomTree(store, text, [&] { return text.safeName(); });
    ASSERT_NO_THROW(store.saveFile(dir.wfile("tree.ini"), true)) << "seed " << seed;
    IniFileStore reread(nullptr, IniFileStore::useDefaultFlags);
    reread.loadFile(dir.wfile("tree.ini"));
    ASSERT_EQ(canonical(reread), canonical(store)) << "seed " << seed;
    // A second save of what was read writes the same bytes.
    const std::string first = readBytes(dir.file("tree.ini"));
    reread.saveFile(dir.wfile("again.ini"), true);
    ASSERT_EQ(readBytes(dir.file("again.ini")), first) << "seed " << seed;
  }
}

TEST(IniRoundTrip, AnyTreeEitherComesBackUnchangedOrIsRefusedWhole) {
  TempDir dir;
  const std::string path = dir.file("tree.ini");
  int refused = 0, written = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    RandomText text(seed);
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    fillRandomTree(store, text, [&] { return text.anyName(); });
    test::writeBytes(path, "previous content\r\n");
    try {
      store.saveFile(misc::fromUtf8(path), true);
    } catch (const Exception&) {
      ++refused;
      ASSERT_EQ(readBytes(path), "previous content\r\n") << "seed " << seed;
      ASSERT_TRUE(store.isDirty());
      continue;
    }
    ++written;
    IniFileStore reread(nullptr, IniFileStore::useDefaultFlags);
    reread.loadFile(misc::fromUtf8(path));
    ASSERT_EQ(canonical(reread), canonical(store)) << "seed " << seed;
  }
  // Both branches must have been taken for the property to say anything.
  EXPECT_GT(refused, 20);
  EXPECT_GT(written, 20);
}

}  // namespace
}  // namespace config
