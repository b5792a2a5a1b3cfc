// End-to-end: chains that find their bundles in a temporary program tree.
#include "i18n/src/resourceBundleChain.h"

#include <gtest/gtest.h>

#include <thread>
#include <typeinfo>

#include "i18n/src/dllResourceBundle.h"
#include "i18n/src/exception.h"
#include "i18n/src/exeResourceBundle.h"
#include "i18n/src/langFileResourceBundle.h"
#include "i18n/src/langId.h"
#include "i18n/src/msgGroups.h"
#include "i18n/src/stringModule.h"
#include "i18n/tests/testTree.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/tests/thrownMessage.h"

namespace i18n {
namespace {

using misc::test::thrownMessage;
using test::TestTree;

const char* const kGerman = "[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:deu\n";
const char* const kPackInBin = "app/bin/PageGleanSettings.deu.so";
const char* const kLangInBin = "app/bin/PageGleanSettings.deu.lang";

class GroupSwitch {
 public:
  explicit GroupSwitch(msgGroup& group) : group_(group), was_(group.isEnabled()) {
    group_.setEnabled(true);
  }
  ~GroupSwitch() { group_.setEnabled(was_); }

 private:
  msgGroup& group_;
  bool was_;
};

int occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string lookup(ResourceBundleChain& chain, int id, ResourceBundle** answered = nullptr) {
  std::wstring text = L"<none>";
  chain.getStringResource(id, text, answered);
  return misc::toUtf8(text);
}

std::string lookupIndexed(ResourceBundleChain& chain, int id, int index) {
  std::wstring text = L"<none>";
  chain.getIndexedStringResource(id, index, text);
  return misc::toUtf8(text);
}

// The kinds of the chain's bundles in order: L(ANG file), D(LL pack), E(xe).
std::string kinds(const ResourceBundleChain& chain) {
  std::string out;
  for (const ResourceBundle* b : chain.getResourceBundles()) {
    if (dynamic_cast<const LangFileResourceBundle*>(b))
      out += 'L';
    else if (dynamic_cast<const DllResourceBundle*>(b))
      out += 'D';
    else if (dynamic_cast<const ExeResourceBundle*>(b))
      out += 'E';
  }
  return out;
}

}  // namespace

TEST(ResourceBundleChainTest, WithoutLanguageFilesOnlyTheProgramTableAnswersAndWarnsOnce) {
  TestTree tree;
  GroupSwitch on(internal::autoLoadResourceBundlesGroup());
  ResourceBundleChain chain(L"misc");
  testing::internal::CaptureStderr();
  ResourceBundle* answered = nullptr;
  const std::string caption = lookup(chain, 10101, &answered);
  const std::string name = lookup(chain, 10100);
  const std::string log = testing::internal::GetCapturedStderr();

  EXPECT_EQ(getLangId(), L"eng");
  EXPECT_EQ(caption, "PROGRAM ABORT");
  EXPECT_EQ(name, "misc");
  EXPECT_EQ(kinds(chain), "E");
  EXPECT_EQ(answered, chain.getResourceBundles().front());
  EXPECT_EQ(occurrences(log, "Auto-loading resource bundles: langId=eng"), 1);
  EXPECT_EQ(occurrences(log, "WARNING: No resource bundles were found!"), 1);
  const std::string bin = tree.binDir().string();
  EXPECT_EQ(occurrences(log, "- Checking directory: " + bin + "/\n"), 1);
  EXPECT_EQ(occurrences(log, "- Checking directory: " + bin + "/LanguagePacks/eng/\n"), 1);
  EXPECT_EQ(occurrences(log, "- Checking directory: /\n"), 1) << "ancestors up to the root";
}

TEST(ResourceBundleChainTest, LangFileComesBeforeThePackAndTheProgramTableIsLast) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, kPackInBin);
  tree.write(kLangInBin,
             TestTree::langFile({"10101=LANG ABORT", "14027=", "14028=from the LANG file"}));
  GroupSwitch on(internal::autoLoadResourceBundlesGroup());
  ResourceBundleChain chain(L"misc");
  testing::internal::CaptureStderr();
  ResourceBundle* answered = nullptr;
  EXPECT_EQ(lookup(chain, 10101, &answered), "LANG ABORT");
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_EQ(kinds(chain), "LDE");
  const auto bundles = chain.getResourceBundles();
  EXPECT_EQ(answered, bundles[0]);

  EXPECT_EQ(lookup(chain, 14028), "from the LANG file");
  EXPECT_EQ(lookup(chain, 14027, &answered), "from the pack") << "an empty LANG value is absent";
  EXPECT_EQ(answered, bundles[1]);
  EXPECT_EQ(lookup(chain, 14026), "\xC3\x84nderungen speichern?");
  EXPECT_EQ(lookup(chain, 14029, &answered), "Can't show the plugin results.")
      << "an empty pack entry is absent";
  EXPECT_EQ(answered, bundles[2]);
  EXPECT_EQ(lookup(chain, 10100), "misc");
  EXPECT_EQ(lookup(chain, 99999), "<none>") << "a missing string leaves the output alone";

  const std::string bin = tree.binDir().string();
  EXPECT_EQ(occurrences(
                log, "- Loading LANG file resource bundle: " + bin + "/PageGleanSettings.deu.lang"),
            1);
  EXPECT_EQ(occurrences(log, "- Loading DLL resource bundle: " + bin + "/PageGleanSettings.deu.so"),
            1);
  EXPECT_EQ(occurrences(log, "LanguagePacks"), 0) << "the program directory had files";
  EXPECT_EQ(occurrences(log, "WARNING"), 0);
}

TEST(ResourceBundleChainTest, SearchStopsAtTheFirstPlaceWithFilesIncludingLanguagePacks) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, "app/bin/LanguagePacks/deu/PageGleanSettings.deu.so");
  tree.write("app/PageGleanSettings.deu.lang", TestTree::langFile({"10101=from the ancestor"}));
  ResourceBundleChain chain(L"misc");
  EXPECT_EQ(lookup(chain, 10101), "PROGRAMMABBRUCH");
  EXPECT_EQ(kinds(chain), "DE") << "the ancestor's LANG file is never reached";
}

TEST(ResourceBundleChainTest, AncestorDirectoriesAreSearched) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.write("app/PageGleanSettings.deu.lang", TestTree::langFile({"10101=from the ancestor"}));
  ResourceBundleChain chain(L"misc");
  EXPECT_EQ(lookup(chain, 10101), "from the ancestor");
  EXPECT_EQ(kinds(chain), "LE");
}

TEST(ResourceBundleChainTest, LangFileTypeLineIsComparedWithoutCase) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.write(kLangInBin, TestTree::langFile({"10101=accepted"}, "tarvo lang FILE"));
  ResourceBundleChain accepted(L"misc");
  EXPECT_EQ(lookup(accepted, 10101), "accepted");

  for (const char* type : {"Tarvo LANG file v2", "", "Tarvo  LANG file"}) {
    tree.write(kLangInBin, TestTree::langFile({"10101=ignored"}, type));
    ResourceBundleChain ignored(L"misc");
    EXPECT_EQ(lookup(ignored, 10101), "PROGRAM ABORT") << "type: " << type;
    EXPECT_EQ(kinds(ignored), "E");
  }
}

TEST(ResourceBundleChainTest, ModuleNamedLangFileServesOnlyItsModule) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.write("app/bin/net.deu.lang", TestTree::langFile({"11508=Abgebrochen.", "10101=net's"}));
  ResourceBundleChain net(L"net");
  ResourceBundleChain misc(L"misc");
  EXPECT_EQ(lookup(net, 11508), "Abgebrochen.");
  EXPECT_EQ(lookup(misc, 10101), "PROGRAM ABORT");
  EXPECT_EQ(kinds(misc), "E");

  tree.write(kLangInBin, TestTree::langFile({"11508=program-wide"}));
  ResourceBundleChain netAgain(L"net");
  EXPECT_EQ(lookup(netAgain, 11508), "program-wide") << "the program's LANG file wins";
}

TEST(ResourceBundleChainTest, LibraryWithoutThePackMarkerIsSkipped) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_UNMARKED_PACK, kPackInBin);
  tree.write(kPackInBin + std::string(".txt"), "not a library");
  ResourceBundleChain chain(L"misc");
  EXPECT_EQ(lookup(chain, 10101), "PROGRAM ABORT");
  EXPECT_EQ(kinds(chain), "E");
  EXPECT_EQ(chain.getAfxExtensionModule(), nullptr);
}

TEST(ResourceBundleChainTest, PackServesLongStringsAndTheUserInterfaceModule) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, kPackInBin);
  ResourceBundleChain chain(L"win32tools");
  EXPECT_EQ(lookup(chain, 11258), std::string(5000, 'L'));
  const StringModule* module = chain.getAfxExtensionModule();
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(module->exports("get_afx_extension_module"));
}

TEST(ResourceBundleChainTest, LangIdRegistryCases) {
  TestTree tree;
  tree.setRegistry("[software\\TARVO\\tarvo\\LANG]\nlangid=sz:fra\n");
  EXPECT_EQ(getLangId(), L"fra") << "key and value names ignore case";

  tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:\n");
  resetLangIdForTesting();
  EXPECT_EQ(getLangId(), L"eng") << "an empty id names no file";

  tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nOther=sz:fra\n");
  resetLangIdForTesting();
  EXPECT_EQ(getLangId(), L"eng");

  tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:" + std::string(600, 'x') + "\n");
  resetLangIdForTesting();
  EXPECT_THROW(getLangId(), Exception) << "longer than the 1024-byte buffer";
  EXPECT_EQ(getLangId(), L"eng") << "after an error the id stays eng";
}

TEST(ResourceBundleChainTest, LangIdOfAnotherTypeThrowsFromTheFirstLookup) {
  TestTree tree;
  tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=expand_sz:deu\n");
  ResourceBundleChain chain(L"misc");
  std::wstring text;
  EXPECT_EQ(thrownMessage<Exception>([&] { chain.getStringResource(10101, text); }),
            L"Unexpected lang_id value type: 2");
  EXPECT_TRUE(chain.getResourceBundles().empty());
  EXPECT_EQ(lookup(chain, 10101), "PROGRAM ABORT") << "the next lookup goes on in English";

  tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=dword:7\n");
  resetLangIdForTesting();
  EXPECT_EQ(thrownMessage<Exception>(getLangId), L"Unexpected lang_id value type: 4");
}

TEST(ResourceBundleChainTest, UnreadableRegistryThrowsTheSystemText) {
  TestTree tree;
  std::filesystem::create_directories(tree.root() / "config/tarvo/registry.ini");
  EXPECT_EQ(thrownMessage<Exception>(getLangId), L"Is a directory");
}

TEST(ResourceBundleChainTest, IndexedStringsResolveThroughTheWholeChain) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, kPackInBin);
  tree.write(kLangInBin, TestTree::langFile({"sizeWord/1=ein Byte", "sizeWord=%1 Bytes (LANG)",
                                             "abortCaption=ABBRUCH"}));
  tree.write("app/bin/PageGleanSettings.deu.smap",
             "[Module: tools]\n11113=sizeWord\n[Module: misc]\n10101=abortCaption\n");
  ResourceBundleChain tools(L"tools");
  EXPECT_EQ(lookupIndexed(tools, 11113, 1), "ein Byte");
  EXPECT_EQ(lookupIndexed(tools, 11113, 5), "%1 Bytes (LANG)") << "the name alone";
  EXPECT_EQ(lookupIndexed(tools, 13090, 1), "%1 Byte (pack)") << "pack control, pack target";
  EXPECT_EQ(lookupIndexed(tools, 13090, 2), "%1 bytes") << "pack control, built-in target";
  EXPECT_EQ(lookupIndexed(tools, 11137, 1), "second") << "neither LANG nor pack has it";
  EXPECT_EQ(lookup(tools, 10101), "PROGRAMMABBRUCH") << "the map's misc section is not tools'";

  ResourceBundleChain misc(L"misc");
  EXPECT_EQ(lookup(misc, 10101), "ABBRUCH") << "a mapped name";
}

TEST(ResourceBundleChainTest, ProgramTableResolvesItsOwnIndexedTargets) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, kPackInBin);
  ResourceBundleChain tools(L"tools");
  // The pack translates 11160 but has no control string 11113.
  EXPECT_EQ(lookup(tools, 11160), "%1 Byte (pack)");
  EXPECT_EQ(lookupIndexed(tools, 11113, 1), "%1 byte");
}

TEST(ResourceBundleChainTest, ParsedControlStringsAreLoggedOnceAndCached) {
  TestTree tree;
  tree.setRegistry(kGerman);
  tree.copyPack(PG_SAMPLE_PACK, kPackInBin);
  GroupSwitch on(internal::indexedResourceBundleStringsGroup());
  ResourceBundleChain chain(L"tools");
  testing::internal::CaptureStderr();
  const std::string seven = lookupIndexed(chain, 13093, 7);
  const std::string other = lookupIndexed(chain, 13093, 8);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(seven, "pack seven");
  EXPECT_EQ(other, "pack default");
  EXPECT_EQ(log,
            "getIndexedStringResource(): resourceId=13093 ; indexVal=7\n"
            "- Found control string: [*:13094:7>13095:*]\n"
            "- Parsed the control string OK:\n"
            "  - Default resource ID: 13094\n"
            "  - Indexed strings:     7=>13095\n");
}

TEST(ResourceBundleChainTest, ConcurrentFirstLookupsLoadOnce) {
  TestTree tree;
  GroupSwitch on(internal::autoLoadResourceBundlesGroup());
  ResourceBundleChain chain(L"misc");
  testing::internal::CaptureStderr();
  std::vector<std::thread> threads;
  std::vector<std::string> results(8);
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] { results[i] = lookup(chain, 10101); });
  }
  for (auto& t : threads) t.join();
  const std::string log = testing::internal::GetCapturedStderr();
  for (const auto& r : results) EXPECT_EQ(r, "PROGRAM ABORT");
  EXPECT_EQ(kinds(chain), "E");
  EXPECT_EQ(occurrences(log, "WARNING: No resource bundles were found!"), 1);
}

}  // namespace i18n
