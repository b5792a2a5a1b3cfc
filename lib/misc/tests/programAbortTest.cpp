#include "lib/misc/src/programAbort.h"

#include <gtest/gtest.h>

#include "platform/src/messageBox.h"

TEST(ProgramAbortTest, ReportHasMessageFileAndLine) {
  EXPECT_EQ(misc::abortReport(L"WaitForSingleObject() failed (rc=258): x.cpp:12", "lock.cpp", 77),
            L"PROGRAM ABORT: WaitForSingleObject() failed (rc=258): x.cpp:12\n"
            L"- FILE:     lock.cpp (line 77)\n");
}

namespace {
std::wstring testCaption() {
  return L"Custom caption";
}
}  // namespace

TEST(ProgramAbortDeathTest, ShowsTheReportOnceExitsWithOneAndSecondAbortReturns) {
  EXPECT_EXIT(
      {
        misc::setAbortCaptionSource(&testCaption);
        int shown = 0;
        platform::setMessageBoxHandler([&](const std::wstring& caption, const std::wstring& text,
                                           platform::MessageButtons, platform::MessageIcon icon) {
          ++shown;
          // A failing lock inside the report must not start a second report.
          misc::programAbort(L"nested", "n.cpp", 1);
          fprintf(stderr, "shown=%d caption=%ls warning=%d text=%ls", shown, caption.c_str(),
                  icon == platform::MessageIcon::Warning, text.c_str());
          return platform::MessageAnswer::Ok;
        });
        misc::programAbort(L"first", "f.cpp", 5);
      },
      testing::ExitedWithCode(1),
      "shown=1 caption=Custom caption warning=1 text=PROGRAM ABORT: first\n- FILE:     f.cpp "
      "\\(line 5\\)");
}
