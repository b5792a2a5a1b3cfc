#include "i18n/src/abortCaption.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "i18n/src/langId.h"
#include "i18n/src/miscStrings.h"
#include "i18n/src/resourceBundleChain.h"
#include "i18n/tests/testTree.h"
#include "lib/misc/src/programAbort.h"
#include "lib/misc/src/textConversion.h"

namespace {

void reportCaptionAndAbort() {
  platform::setMessageBoxHandler([](const std::wstring& caption, const std::wstring& text,
                                    platform::MessageButtons, platform::MessageIcon) {
    std::fprintf(stderr, "caption=[%s] text=[%s]", misc::toUtf8(caption).c_str(),
                 misc::toUtf8(text).c_str());
    return platform::MessageAnswer::Ok;
  });
  misc::programAbort(L"WaitForSingleObject() failed (rc=-1): lock.cpp:9", "lock.cpp", 42);
}

}  // namespace

// Each death test runs in a fresh process: the misc chain there has loaded nothing yet.
TEST(AbortCaptionDeathTest, CaptionIsTheMiscStringOfTheUsersLanguage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        i18n::test::TestTree tree;
        tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:deu\n");
        tree.write("app/bin/misc.deu.lang", i18n::test::TestTree::langFile({"10101=ABBRUCH"}));
        reportCaptionAndAbort();
      },
      testing::ExitedWithCode(1),
      "caption=\\[ABBRUCH\\] text=\\[PROGRAM ABORT: WaitForSingleObject\\(\\) failed "
      "\\(rc=-1\\): lock.cpp:9\n- FILE:     lock.cpp \\(line 42\\)\n\\]");
}

TEST(AbortCaptionDeathTest, InstalledCaptionIsKeptFromStartUp) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        i18n::test::TestTree tree;
        tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:deu\n");
        tree.write("app/bin/misc.deu.lang", i18n::test::TestTree::langFile({"10101=BEIM START"}));
        i18n::installAbortCaption();
        // Whatever becomes of the strings later, the caption was loaded at start-up.
        misc::internal::stringChain().deleteResourceBundles();
        i18n::resetLangIdForTesting();
        tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=expand_sz:deu\n");
        reportCaptionAndAbort();
      },
      testing::ExitedWithCode(1), "caption=\\[BEIM START\\]");
}

TEST(AbortCaptionDeathTest, FailingCaptionLookupFallsBackToTheReportsOwnCaption) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        i18n::test::TestTree tree;
        tree.setRegistry("[Software\\Tarvo\\Tarvo\\lang]\nLangId=expand_sz:deu\n");
        reportCaptionAndAbort();
      },
      testing::ExitedWithCode(1), "caption=\\[PROGRAM ABORT\\]");
}
