#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

#include "config/src/checkedString.h"
#include "config/src/exception.h"
#include "config/src/istring.h"
#include "config/src/sectionReadLock.h"
#include "config/src/sectionWriteLock.h"
#include "config/src/store.h"
#include "config/tests/memoryStore.h"
#include "lib/log/src/msgGroup.h"
#include "lib/misc/tests/thrownMessage.h"

namespace config {
namespace {

using misc::test::thrownMessage;
using test::MemoryStore;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::wstring> keysOf(Store& store, const std::wstring& path) {
  std::vector<std::wstring> keys;
  if (StoreSection* s = store.findSection(path, false)) s->listKeys(keys);
  return keys;
}

TEST(StoreNames, CompareWithoutCaseAndKeepTheirFirstSpelling) {
  MemoryStore store;
  store.setString(L"Config", L"Key", L"1");
  EXPECT_EQ(store.getString(L"config", L"KEY", false, L"-"), L"1");
  store.setString(L"CONFIG", L"key", L"2");
  EXPECT_EQ(store.getString(L"Config", L"Key", false, L"-"), L"2");
  EXPECT_THAT(keysOf(store, L"config"), ElementsAre(L"Key"));
  EXPECT_EQ(store.findSection(L"config", false)->name(), L"Config");

  // Folding puts "a" before "B", which byte order would not.
  store.setString(L"s", L"B", L"");
  store.setString(L"s", L"c", L"");
  store.setString(L"s", L"a", L"");
  EXPECT_THAT(keysOf(store, L"s"), ElementsAre(L"a", L"B", L"c"));
  // A proper prefix sorts first; non-ASCII letters are not folded.
  store.setString(L"s", L"ab", L"");
  store.setString(L"s", L"\u00e9", L"1");
  EXPECT_THAT(keysOf(store, L"s"), ElementsAre(L"a", L"ab", L"B", L"c", L"\u00e9"));
  EXPECT_EQ(store.getString(L"s", L"\u00c9", false, L"absent"), L"absent");
}

TEST(StoreSectionPaths, PiecesAreTrimmedAndEmptyOnesSkipped) {
  MemoryStore store;
  StoreSection* b = store.findSection(L" a / b ", true);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->fullName(), L"a/b");
  EXPECT_EQ(store.findSection(L"/a//b", false), b);
  EXPECT_EQ(store.findSection(L"A/B", false), b);
  EXPECT_TRUE(b->parent()->isTopLevel());
  EXPECT_FALSE(b->isTopLevel());
  EXPECT_TRUE(b->parent()->parent()->isRoot());
  EXPECT_EQ(store.root().fullName(), L"");

  // A path ending in a separator names nothing: its pieces are made, nothing below them.
  EXPECT_EQ(store.findSection(L"x/", true), nullptr);
  ASSERT_NE(store.findSection(L"x", false), nullptr);
  EXPECT_TRUE(store.findSection(L"x", false)->children().empty());
  EXPECT_EQ(store.findSection(L"a/", true), nullptr);
  std::vector<std::wstring> below;
  store.findSection(L"a", false)->listChildren(below, false);
  EXPECT_THAT(below, ElementsAre(L"b"));
  EXPECT_EQ(store.findSection(L" / ", true), nullptr);
  EXPECT_EQ(store.getString(L"/", L"k", false, L"d"), L"d");
}

TEST(StoreSectionPaths, WritesToAPathWithoutSectionAreRefused) {
  MemoryStore store;
  for (const wchar_t* path : {L"", L"  ", L"//", L"a/"}) {
    SCOPED_TRACE(misc::toUtf8(path));
    const std::wstring refused =
        thrownMessage<Exception>([&] { store.setString(path, L"k", L"v"); });
    EXPECT_EQ(refused, internal::istring(13414).format(path));
    EXPECT_FALSE(refused.empty());
    EXPECT_THROW(SectionWriteLock(store, path), Exception);
  }
  EXPECT_TRUE(store.root().children().empty());
  EXPECT_TRUE(store.root().values().empty());
  EXPECT_EQ(store.deferSaveCount(), 0u);
}

TEST(StoreValues, TrimDefaultsAndIntegers) {
  MemoryStore store;
  store.setString(L"s", L"padded", L"  x y \t");
  EXPECT_EQ(store.getString(L"s", L"padded", true, L""), L"x y");
  EXPECT_EQ(store.getString(L"s", L"padded", false, L""), L"  x y \t");
  EXPECT_EQ(store.getString(L"s", L"absent", true, L"  d  "), L"  d  ");
  EXPECT_EQ(store.getString(L"nowhere", L"absent", true, L" d"), L" d");

  StoreSection& s = *store.findSection(L"s", false);
  const std::pair<const wchar_t*, int> texts[] = {{L"42", 42},        {L"  42", 42},
                                                  {L"42abc", 42},     {L"-17", -17},
                                                  {L"+8", 8},         {L"2147483647", 2147483647},
                                                  {L"", 7},           {L"abc", 7},
                                                  {L"2147483648", 7}, {L"-2147483649", 7},
                                                  {L"-", 7}};
  for (const auto& [text, expected] : texts) {
    s.setString(L"n", text);
    EXPECT_EQ(s.getInt(L"n", 7), expected) << misc::toUtf8(text);
  }
  EXPECT_EQ(store.getInt(L"s", L"absent", -3), -3);
  EXPECT_EQ(store.getInt(L"nowhere", L"n", -3), -3);
  s.setInt(L"n", -2147483647 - 1);
  EXPECT_EQ(s.getString(L"n", false, L""), L"-2147483648");
  s.setInt(L"n", 1234567);
  EXPECT_EQ(s.getString(L"n", false, L""), L"1234567");  // never grouped
  std::wstring value;
  EXPECT_TRUE(s.getValue(L"N", &value));
  EXPECT_EQ(value, L"1234567");
  EXPECT_FALSE(s.getValue(L"absent", &value));
}

TEST(StoreDirty, OnlyChangesThatTakeEffectMarkTheStore) {
  MemoryStore store;
  EXPECT_FALSE(store.isDirty());
  store.setString(L"s", L"Name", L"v");
  store.setString(L"s/t", L"k", L"v");
  EXPECT_TRUE(store.isDirty());
  store.save(true);
  EXPECT_FALSE(store.isDirty());

  StoreSection& s = *store.findSection(L"s", false);
  s.deleteKey(L"absent");
  s.deleteSection(L"absent");
  store.deleteKey(L"nowhere", L"k");
  s.renameKey(L"Name", L"NAME");
  s.renameKey(L"absent", L"other");
  s.setBlockData(L"text");
  EXPECT_FALSE(store.isDirty());
  EXPECT_THAT(keysOf(store, L"s"), ElementsAre(L"Name"));

  s.setString(L"Name", L"v");  // the same value still counts
  EXPECT_TRUE(store.isDirty());
  store.save(true);
  store.deleteSection(L"S/T");
  EXPECT_TRUE(store.isDirty());
  EXPECT_EQ(store.findSection(L"s/t", false), nullptr);
  store.save(true);
  store.reset();
  EXPECT_TRUE(store.isDirty());
  EXPECT_EQ(store.findSection(L"s", false), nullptr);
  std::istringstream empty;
  store.loadFrom(empty);
  EXPECT_FALSE(store.isDirty());
}

TEST(StoreRenameKey, MovesTheValueAndOverwritesTheTarget) {
  MemoryStore store;
  store.setString(L"s", L"a", L"from a");
  store.setString(L"s", L"b", L"from b");
  store.save(true);
  store.findSection(L"s", false)->renameKey(L"A", L"B");
  EXPECT_TRUE(store.isDirty());
  EXPECT_THAT(keysOf(store, L"s"), ElementsAre(L"b"));
  EXPECT_EQ(store.getString(L"s", L"b", false, L""), L"from a");
  store.findSection(L"s", false)->renameKey(L"b", L"New");
  EXPECT_THAT(keysOf(store, L"s"), ElementsAre(L"New"));
}

struct Walk {
  std::vector<std::wstring> seen;
  std::size_t stopAfter = 1000;
};

bool recordSection(StoreSection& section, void* data) {
  auto* walk = static_cast<Walk*>(data);
  walk->seen.push_back(section.isRoot() ? L"<root>" : section.fullName());
  return walk->seen.size() < walk->stopAfter;
}

bool recordKey(StoreSection& section, const std::wstring& key, const std::wstring& value,
               void* data) {
  auto* walk = static_cast<Walk*>(data);
  walk->seen.push_back(section.fullName() + L":" + key + L"=" + value);
  return walk->seen.size() < walk->stopAfter;
}

TEST(StoreWalks, DepthFirstInNameOrderAndStopOnFalse) {
  MemoryStore store;
  store.setString(L"b", L"k", L"1");
  store.setString(L"A/y", L"k", L"2");
  store.setString(L"A/x", L"k", L"3");
  store.setString(L"A", L"z", L"4");
  store.setString(L"A", L"k", L"5");

  Walk sections;
  EXPECT_TRUE(store.enumSections(recordSection, &sections));
  EXPECT_THAT(sections.seen, ElementsAre(L"<root>", L"A", L"A/x", L"A/y", L"b"));
  Walk keys;
  EXPECT_TRUE(store.enumKeys(recordKey, &keys));
  EXPECT_THAT(keys.seen, ElementsAre(L"A:k=5", L"A:z=4", L"A/x:k=3", L"A/y:k=2", L"b:k=1"));

  for (std::size_t stopAfter : {1, 3}) {
    Walk stopped{{}, stopAfter}, stoppedKeys{{}, stopAfter};
    EXPECT_FALSE(store.enumSections(recordSection, &stopped));
    EXPECT_EQ(stopped.seen.size(), stopAfter);
    EXPECT_FALSE(store.enumKeys(recordKey, &stoppedKeys));
    EXPECT_EQ(stoppedKeys.seen.size(), stopAfter);
  }
  Walk flat;
  EXPECT_TRUE(store.findSection(L"a", false)->enumSections(recordSection, false, &flat));
  EXPECT_THAT(flat.seen, ElementsAre(L"A/x", L"A/y"));

  std::vector<std::wstring> names;
  store.root().listChildren(names, true);
  EXPECT_THAT(names, ElementsAre(L"A", L"b", L"A/x", L"A/y"));
}

TEST(StoreCopySection, ReplacesTheTargetByADeepCopy) {
  MemoryStore source;
  source.setString(L"src", L"k", L"v");
  source.setString(L"src/child", L"ck", L"cv");
  source.findSection(L"src", false)->setBlockData(L"block");
  MemoryStore target;
  target.setString(L"dst", L"old", L"gone");
  target.setString(L"dst/oldChild", L"k", L"gone");
  target.save(true);

  target.copySection(source, L"src", L"dst");
  EXPECT_TRUE(target.isDirty());
  EXPECT_THAT(keysOf(target, L"dst"), ElementsAre(L"k"));
  EXPECT_EQ(target.getString(L"dst/child", L"ck", false, L""), L"cv");
  EXPECT_EQ(target.findSection(L"dst/oldChild", false), nullptr);
  EXPECT_EQ(target.findSection(L"dst", false)->blockData(), L"block");
  EXPECT_EQ(target.findSection(L"dst/child", false)->fullName(), L"dst/child");
  EXPECT_EQ(&target.findSection(L"dst/child", false)->store(), &target);

  // The copy is independent of its source.
  source.setString(L"src/child", L"ck", L"changed");
  EXPECT_EQ(target.getString(L"dst/child", L"ck", false, L""), L"cv");

  // An empty target path means the source path; a missing source leaves the target empty.
  target.copySection(source, L"src", L"");
  EXPECT_EQ(target.getString(L"src", L"k", false, L""), L"v");
  target.copySection(source, L"absent", L"dst");
  ASSERT_NE(target.findSection(L"dst", false), nullptr);
  EXPECT_TRUE(keysOf(target, L"dst").empty());
  EXPECT_THROW(target.copySection(source, L"src", L"x/"), Exception);
}

TEST(StoreCopySection, WithinOneStoreCopiesTheSourceAsItWasBefore) {
  MemoryStore store;
  store.setString(L"a", L"k", L"a");
  store.setString(L"a/b", L"k", L"b");
  store.setString(L"a/b/c", L"k", L"c");

  // Onto its own ancestor: the source lives inside the section being replaced.
  store.copySection(store, L"a/b", L"a");
  EXPECT_EQ(store.getString(L"a", L"k", false, L""), L"b");
  EXPECT_EQ(store.getString(L"a/c", L"k", false, L""), L"c");
  EXPECT_EQ(store.findSection(L"a/b", false), nullptr);

  // Into its own descendant.
  store.copySection(store, L"a", L"a/c");
  EXPECT_EQ(store.getString(L"a/c", L"k", false, L""), L"b");
  EXPECT_EQ(store.getString(L"a/c/c", L"k", false, L""), L"c");
}

TEST(StoreDump, ListsTheTreeReadably) {
  const wchar_t* blocks[] = {L"blk", nullptr};
  MemoryStore store(L"memory", blocks);
  store.root().setString(L"r", L"x\ty");
  store.setString(L"a", L"k", L"v");
  store.setString(L"a/b", L"k2", L"\u00e9");
  store.findSection(L"blk", true)->setBlockData(L"l1\nl2\n");

  std::wostringstream plain;
  store.dump(plain, 0, L"");
  EXPECT_EQ(plain.str(),
            L"r = x<0009>y\n"
            L"[a]\n"
            L"- k = v\n"
            L"  [a/b]\n"
            L"  - k2 = <00e9>\n"
            L"\n"
            L"[blk]\n"
            L"  --- BEGIN BLOCK DATA ---\n"
            L"  l1\n"
            L"  l2\n"
            L"  --- END BLOCK DATA ---\n"
            L"\n");
  std::wostringstream bracketed;
  store.findSection(L"a", false)->dump(bracketed, kDumpBrackets, L">");
  EXPECT_EQ(bracketed.str(), L">[a]\n>- {k} = [v]\n>  [a/b]\n>  - {k2} = [<00e9>]\n\n");
}

TEST(StoreSavePolicy, AutoSaveWaitsForTheLastDeferSave) {
  MemoryStore store;
  store.setPolicy(true, 0);
  store.setString(L"s", L"a", L"1");
  EXPECT_EQ(store.saves(), 1);
  EXPECT_FALSE(store.isDirty());
  {
    SectionWriteLock outer(store, L"s");
    outer->setString(L"b", L"2");
    {
      SectionWriteLock inner(store, L"s/t");
      inner->setString(L"c", L"3");
      EXPECT_EQ(store.deferSaveCount(), 2u);
    }
    outer->setInt(L"d", 4);
    EXPECT_EQ(store.saves(), 1);
    EXPECT_TRUE(store.isDirty());
  }
  EXPECT_EQ(store.saves(), 2);
  EXPECT_EQ(store.saved(), "s|a=1\ns|b=2\ns|d=4\ns/t|c=3\n");
  EXPECT_FALSE(store.isDirty());

  // A forced save ignores the tokens; a clean store is not written again.
  auto token = store.allocDeferSave();
  store.save(false);
  store.save(true);
  EXPECT_EQ(store.saves(), 3);
  store.releaseDeferSave(token.get());
  EXPECT_EQ(store.saves(), 3);
  // An unknown token changes nothing.
  DeferSave stranger{&store};
  store.releaseDeferSave(&stranger);
  EXPECT_EQ(store.deferSaveCount(), 0u);
}

TEST(StoreSavePolicy, WithoutAutoSaveOnlyRequestedSavesWriteAndDestructionWritesNothing) {
  int saves = 0;
  {
    MemoryStore store;
    store.setString(L"s", L"a", L"1");
    { SectionWriteLock lock(store, L"s"); }
    EXPECT_EQ(store.saves(), 0);
    store.save(false);
    EXPECT_EQ(store.saves(), 1);
    store.setString(L"s", L"a", L"2");
    saves = store.saves();
  }
  EXPECT_EQ(saves, 1);
}

TEST(StoreSavePolicy, AFailedSaveKeepsTheStoreDirty) {
  MemoryStore store;
  store.setString(L"s", L"a", L"1");
  store.failSaves(true);
  EXPECT_THROW(store.save(true), Exception);
  EXPECT_TRUE(store.isDirty());
  store.setPolicy(true, 0);
  EXPECT_NO_THROW({ SectionWriteLock lock(store, L"s"); });  // logged, not thrown
  EXPECT_TRUE(store.isDirty());
  store.failSaves(false);
  store.save(false);
  EXPECT_FALSE(store.isDirty());
}

TEST(StoreSavePolicy, DeferSaveLogLinesWhenTheirGroupIsOn) {
  msgGroup* group = msgGroup::findByName(L"ConfigDeferSave");
  ASSERT_NE(group, nullptr);
  MemoryStore store(L"my store");
  ::testing::internal::CaptureStderr();
  group->setEnabled(true);
  { SectionWriteLock lock(store, L"s"); }
  group->setEnabled(false);
  { SectionWriteLock quiet(store, L"s"); }
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(log, HasSubstr("Allocated a DeferSave for Store: "));
  EXPECT_THAT(log, HasSubstr(" my store"));
  EXPECT_THAT(log, ::testing::ContainsRegex("Releasing DeferSave for Store: [0-9a-fx]+ "
                                            "\\(#left=0\\) my store"));
  EXPECT_EQ(log.find("Allocated"), log.rfind("Allocated"));  // the quiet one wrote nothing
}

TEST(StoreCheckedStrings, PassThroughUnlessTheDiagnosticIsOn) {
  MemoryStore store;
  StoreSection& s = *store.findSection(L"s", true);
  const wchar_t* paths[] = {L"C:\\dir", L"  c:/dir", L"//server/share", L"\\\\server"};
  for (const wchar_t* text : paths) {
    s.setCheckedString(L"k", text);
    EXPECT_EQ(s.getCheckedString(L"k", L"", false), text);
  }
  internal::setCheckPathsEnabled(true);
  for (const wchar_t* text : paths) {
    s.setString(L"k", text);
    EXPECT_EQ(s.getCheckedString(L"k", L"", false), std::wstring(L"Unexpected file path: ") + text);
  }
  s.setCheckedString(L"k", L"D:\\x");
  EXPECT_EQ(s.getString(L"k", false, L""), L"Unexpected file path: D:\\x");
  s.setString(L"k", L" {:template}");
  EXPECT_THAT(s.getCheckedString(L"k", L"", false), HasSubstr(L"Unexpected file path:"));
  s.setCheckedString(L"k", L"{:template}");  // only reading checks for templates
  EXPECT_EQ(s.getString(L"k", false, L""), L"{:template}");
  for (const wchar_t* fine : {L"relative/dir", L"C:", L"1:/x", L"/single", L""}) {
    s.setCheckedString(L"k", fine);
    EXPECT_EQ(s.getCheckedString(L"k", L"", false), fine);
  }
  EXPECT_EQ(store.getCheckedString(L"s", L"absent", L"C:\\default", false),
            L"Unexpected file path: C:\\default");
  internal::setCheckPathsEnabled(false);
}

TEST(StoreLocks, SectionWriteLocksMakeReadModifyWriteAtomic) {
  MemoryStore store;
  store.setPolicy(true, 0);
  constexpr int kThreads = 4, kRounds = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        SectionWriteLock lock(store, L"counter");
        lock->setInt(L"n", lock->getInt(L"n", 0) + 1);
      }
    });
  }
  std::thread reader([&] {
    for (int i = 0; i < kRounds; ++i) {
      SectionReadLock lock(store, L"counter");
      if (lock.valid()) {
        EXPECT_GE(lock->getInt(L"n", -1), 0);
      }
    }
  });
  for (auto& t : threads) t.join();
  reader.join();
  EXPECT_EQ(store.getInt(L"counter", L"n", 0), kThreads * kRounds);
  // Overlapping series share saves, and the last one to finish writes the final state.
  EXPECT_LE(store.saves(), kThreads * kRounds);
  EXPECT_FALSE(store.isDirty());
  EXPECT_EQ(store.saved(), "counter|n=" + std::to_string(kThreads * kRounds) + "\n");
  EXPECT_FALSE(SectionReadLock(store, L"absent").valid());
}

}  // namespace
}  // namespace config
