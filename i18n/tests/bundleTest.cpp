// Bundles used directly, and the chain's list operations.
#include <gtest/gtest.h>

#include "i18n/src/dllResourceBundle.h"
#include "i18n/src/exception.h"
#include "i18n/src/exeResourceBundle.h"
#include "i18n/src/langFileResourceBundle.h"
#include "i18n/src/resourceBundleChain.h"
#include "i18n/tests/testTree.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/tests/thrownMessage.h"

namespace i18n {
namespace {

using misc::test::thrownMessage;
using test::TestTree;

std::wstring text(ResourceBundle& bundle, int id) {
  std::wstring out = L"<none>";
  bundle.getStringResource(id, out);
  return out;
}

}  // namespace

TEST(BundleTest, StringsAreCachedUntilTheBundleIsLoadedAgain) {
  TestTree tree;
  const auto file = tree.root() / "x.lang";
  tree.write("x.lang", TestTree::langFile({"10101=first"}));
  LangFileResourceBundle bundle(L"misc");
  bundle.load(tree.wide(file), nullptr);
  EXPECT_EQ(text(bundle, 10101), L"first");
  EXPECT_EQ(text(bundle, 10102), L"<none>");

  tree.write("x.lang", TestTree::langFile({"10101=second", "10102=added"}));
  EXPECT_EQ(text(bundle, 10101), L"first") << "served from the cache";
  EXPECT_EQ(text(bundle, 10102), L"added") << "failures are not cached";

  bundle.load(tree.wide(file), nullptr);
  EXPECT_EQ(text(bundle, 10101), L"second");
  EXPECT_EQ(bundle.getFileName(), tree.wide(file));
  bundle.unload();
  EXPECT_EQ(bundle.getFileName(), L"");
  EXPECT_EQ(text(bundle, 10101), L"<none>") << "an unloaded bundle has no file";
}

TEST(BundleTest, LoadFailuresThrow) {
  TestTree tree;
  LangFileResourceBundle langFile(L"misc");
  EXPECT_EQ(thrownMessage<Exception>(
                [&] { langFile.load(tree.wide(tree.root() / "missing.lang"), nullptr); }),
            L"No such file.");

  tree.write("broken.so", "not a shared object");
  DllResourceBundle pack(L"misc");
  const std::wstring refused =
      thrownMessage<Exception>([&] { pack.load(tree.wide(tree.root() / "broken.so"), nullptr); });
  EXPECT_TRUE(refused.starts_with(L"Can't load the resource DLL: ")) << misc::toUtf8(refused);
  EXPECT_GT(refused.size(), 30u) << "the reason follows";
}

TEST(BundleTest, PackLoadedByPathNeedsOnlyTheStringEntryPoint) {
  TestTree tree;
  tree.copyPack(PG_UNMARKED_PACK, "unmarked.so");
  DllResourceBundle pack(L"misc");
  pack.load(tree.wide(tree.root() / "unmarked.so"), nullptr);
  EXPECT_EQ(text(pack, 10101), L"PROGRAMMABBRUCH");
  EXPECT_EQ(text(pack, 14029), L"<none>") << "empty entry";
  std::wstring out;
  EXPECT_TRUE(pack.getIndexedStringResource(13093, 7, out)) << "resolved within the bundle";
  EXPECT_EQ(out, L"pack seven");
}

TEST(BundleTest, StringMapIsFoundBesideTheFileThenByModuleThenBesideTheProgram) {
  TestTree tree;
  tree.write("lang/x.deu.lang", TestTree::langFile({"named=by name", "10101=by number"}));
  const std::wstring path = tree.wide(tree.root() / "lang/x.deu.lang");
  auto loaded = [&] {
    auto bundle = std::make_unique<LangFileResourceBundle>(L"misc");
    bundle->load(path, nullptr);
    return bundle;
  };
  EXPECT_EQ(loaded()->getStringMapPath(), L"");
  EXPECT_EQ(text(*loaded(), 10101), L"by number");

  tree.write("app/bin/PageGleanSettings.smap", "[Module: misc]\n10101=named\n");
  EXPECT_EQ(loaded()->getStringMapPath(), tree.wide(tree.binDir() / "PageGleanSettings.smap"));
  EXPECT_EQ(text(*loaded(), 10101), L"by name");

  tree.write("lang/misc.smap", "[Module: misc]\n10101=unknownName\n");
  EXPECT_EQ(loaded()->getStringMapPath(), tree.wide(tree.root() / "lang/misc.smap"));
  EXPECT_EQ(text(*loaded(), 10101), L"by number") << "a name the file lacks falls back";

  tree.write("lang/x.deu.smap", "[module: MISC]\n10101=named\n");
  EXPECT_EQ(loaded()->getStringMapPath(), tree.wide(tree.root() / "lang/x.deu.smap"));
  EXPECT_EQ(text(*loaded(), 10101), L"by name");
}

TEST(BundleTest, IndexedLangFileStringsNeedAName) {
  TestTree tree;
  tree.write("x.lang", TestTree::langFile({"11113/1=one", "word/1=one", "word/2=", "word=many"}));
  tree.write("x.smap", "[Module: tools]\n11113=word\n");
  LangFileResourceBundle bundle(L"tools");
  bundle.load(tree.wide(tree.root() / "x.lang"), nullptr);
  std::wstring out;
  EXPECT_TRUE(bundle.getIndexedStringResource(11113, 1, out));
  EXPECT_EQ(out, L"one");
  EXPECT_TRUE(bundle.getIndexedStringResource(11113, 2, out));
  EXPECT_EQ(out, L"many") << "an empty indexed value falls back to the name";
  out = L"<none>";
  EXPECT_FALSE(bundle.getIndexedStringResource(11137, 1, out)) << "no name for 11137";
  EXPECT_EQ(out, L"<none>");
}

TEST(BundleTest, ChainListOperations) {
  TestTree tree;
  tree.write("a.lang", TestTree::langFile({"10101=from a"}));
  tree.write("b.lang", TestTree::langFile({"10101=from b"}));
  ResourceBundleChain chain(L"misc");
  auto a = std::make_unique<LangFileResourceBundle>(L"misc");
  a->load(tree.wide(tree.root() / "a.lang"), nullptr);
  auto b = std::make_unique<LangFileResourceBundle>(L"misc");
  b->load(tree.wide(tree.root() / "b.lang"), nullptr);
  ResourceBundle* bPointer = b.get();
  chain.addResourceBundle(std::move(a));
  chain.addResourceBundle(std::move(b), true);
  EXPECT_EQ(bPointer->getOwnerChain(), &chain);

  std::wstring out;
  chain.getStringResource(10101, out);
  EXPECT_EQ(out, L"from b") << "added at the front; a filled chain loads nothing more";
  EXPECT_EQ(chain.getResourceBundles().size(), 2u);

  auto removed = chain.removeResourceBundle(bPointer);
  ASSERT_EQ(removed.get(), bPointer);
  EXPECT_EQ(removed->getOwnerChain(), nullptr);
  EXPECT_EQ(chain.removeResourceBundle(bPointer), nullptr);
  chain.getStringResource(10101, out);
  EXPECT_EQ(out, L"from a");

  chain.deleteResourceBundles();
  chain.getStringResource(10101, out);
  EXPECT_EQ(out, L"PROGRAM ABORT") << "an emptied chain loads again";
}

}  // namespace i18n
