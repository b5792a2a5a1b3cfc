#include "i18n/src/istring.h"

#include <gtest/gtest.h>

#include "i18n/src/miscStrings.h"

#include "i18n/src/istringGuards.h"
#include "i18n/src/msgGroups.h"
#include "i18n/src/resourceBundleChain.h"
#include "i18n/tests/testTree.h"

// A module the string machinery does not know declares its strings like every module.
PG_MODULE_ISTRING(sample)
PG_MODULE_STRING_CHAIN(sample)

namespace i18n {
namespace {

using test::MessageBoxRecorder;
using test::TestTree;

// An istring of any chain, as the per-module classes are of theirs.
class ChainString : public istringBase {
 public:
  ChainString(ResourceBundleChain& chain, int id) : istringBase(chain, id) {}
  ChainString(ResourceBundleChain& chain, int id, int indexVal)
      : istringBase(chain, id, indexVal) {}
};

const char* const kAlertsOn = "[Software\\Tarvo\\Tarvo\\lang]\nShowIstringAlerts=dword:1\n";

std::wstring plural(int id, int count) {
  const std::wstring n = std::to_wstring(count);
  return sample::internal::istring(id, count).format(n);
}

}  // namespace

TEST(IstringTest, PluralFormsOfSizesAndTimeUnits) {
  EXPECT_EQ(plural(11113, 1), L"1 byte");
  EXPECT_EQ(plural(11113, 0), L"0 bytes");
  EXPECT_EQ(plural(11113, 2), L"2 bytes");
  EXPECT_EQ(plural(11113, 1000), L"1000 bytes");
  // Unit words: the plural is the singular with an s; count phrases: "1 unit", "N units".
  for (int id : {11137, 11138, 11139, 11140, 11141, 11142, 11147}) {
    EXPECT_EQ(plural(id, 1) + L"s", plural(id, 2)) << id;
  }
  for (int id : {11148, 11149, 11150, 11151, 11152, 11153, 11154}) {
    EXPECT_EQ(plural(id, 1).substr(0, 2), L"1 ") << id;
    EXPECT_EQ(plural(id, 7), L"7" + plural(id, 1).substr(1) + L"s") << id;
  }
  EXPECT_EQ(plural(11137, 1), L"second");
  EXPECT_EQ(plural(11154, 5), L"5 years");
}

TEST(IstringTest, FormattingFollowsTheMessageFormatter) {
  sample::internal::istring text(11160);
  EXPECT_TRUE(text.isIndexed() == 0 && text.getId() == 11160);
  text.assign(L"%1%%");
  EXPECT_EQ(text.format(L"50"), L"50%");
  text.assign(L"(%1)");
  EXPECT_EQ(text.format(L"%2"), L"(%2)") << "an argument is not read again";
  text.assign(L"%1, %2 and %3");
  EXPECT_EQ(text.format(L"a", L"b", L"c"), L"a, b and c");
  sample::internal::istring cantConnect(11522);
  EXPECT_EQ(cantConnect.format(L"example.org", L"The request timed out."),
            L"Can't connect to example.org: The request timed out.");
}

TEST(IstringTest, ResultsOf2048CharactersOrMoreLeaveTheTextEmpty) {
  sample::internal::istring text(13402);  // "Can't open INI file: %1"
  const std::size_t prefix = text.size() - 2;
  const std::wstring fits(2047 - prefix, L'x');
  EXPECT_EQ(sample::internal::istring(13402).format(fits).size(), 2047u);
  const std::wstring tooLong(2048 - prefix, L'x');
  EXPECT_EQ(text.format(tooLong), L"");
  const wchar_t* none[] = {nullptr};
  misc::internal::istring caption(10101);
  EXPECT_EQ(caption.format(none), L"PROGRAM ABORT") << "a null argument is empty text";
}

TEST(IstringTest, MissingStringIsEmptyAndAlertsOnlyWhenSwitchedOn) {
  struct Case {
    const char* registry;
    bool alert;
  };
  const Case cases[] = {
      {"", false},
      {kAlertsOn, true},
      {"[Software\\Tarvo\\Tarvo\\lang]\nShowIstringAlerts=dword:0\n", false},
      {"[Software\\Tarvo\\Tarvo\\lang]\nShowIstringAlerts=sz:1\n", false},
      {"[Software\\Tarvo\\Tarvo\\lang]\nShowIstringAlerts=dword:0x10\n", true},
      {"[Software\\Tarvo\\Tarvo]\nShowIstringAlerts=dword:1\n", false},
  };
  for (const Case& c : cases) {
    TestTree tree;
    tree.setRegistry(c.registry);
    MessageBoxRecorder boxes;
    misc::internal::istring missing(10199);
    EXPECT_EQ(missing, L"");
    ASSERT_EQ(boxes.boxes().size(), c.alert ? 1u : 0u) << c.registry;
    if (c.alert) {
      EXPECT_EQ(boxes.boxes()[0].caption, L"Tarvo istring error");
      EXPECT_EQ(boxes.boxes()[0].text, L"Can't load string resource: id=10199");
      EXPECT_EQ(boxes.boxes()[0].buttons, platform::MessageButtons::Ok);
    }
  }
}

TEST(IstringTest, AlertDecisionHoldsForTheProcess) {
  TestTree tree;
  MessageBoxRecorder boxes;
  misc::internal::istring first(10199);
  tree.setRegistry(kAlertsOn);
  misc::internal::istring second(10198);
  EXPECT_TRUE(boxes.boxes().empty()) << "the registry is read on the first failure only";
}

TEST(IstringTest, RejectedControlStringsFailTheIndexedLoad) {
  TestTree tree;
  tree.setRegistry(std::string(kAlertsOn) + "LangId=sz:deu\n");
  tree.copyPack(PG_SAMPLE_PACK, "app/bin/PageGleanSettings.deu.so");
  ResourceBundleChain chain(L"tools");
  MessageBoxRecorder boxes;
  for (int id : {13089, 13096, 13097, 13098, 13099}) {
    ChainString text(chain, id, 3);
    EXPECT_EQ(text, L"") << id;
    EXPECT_EQ(text.isIndexed(), 1);
  }
  ASSERT_EQ(boxes.boxes().size(), 5u);
  EXPECT_EQ(boxes.boxes()[0].text, L"Can't load indexed string resource: id=13089 ; indexVal=3");
  EXPECT_EQ(boxes.boxes()[4].text, L"Can't load indexed string resource: id=13099 ; indexVal=3");
  EXPECT_EQ(ChainString(chain, 13093, 7), L"pack seven") << "a sound one in the same pack";
}

TEST(IstringTest, GuardsLoadTheirStringAtTheCheck) {
  TestTree tree;
  tree.setRegistry(kAlertsOn);
  // Guards are process-wide, so their chains must live as long.
  static auto* guarded = new ResourceBundleChain(L"guarded");
  registerIstringGuard(*guarded, 10197);
  msgGroup& group = internal::istringGuardsGroup();
  group.setEnabled(true);
  MessageBoxRecorder boxes;
  testing::internal::CaptureStderr();
  checkIstringGuards();
  const std::string log = testing::internal::GetCapturedStderr();
  group.setEnabled(false);
  EXPECT_NE(log.find("Checking istring guard: moduleId=guarded...\n"), std::string::npos) << log;
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, L"Can't load string resource: id=10197");

  registerIstringGuard(*guarded, 10101);  // replaces the guard of that chain
  checkIstringGuards();
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

}  // namespace i18n
