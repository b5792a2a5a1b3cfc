// Preview's downloads through the network library against a loopback server.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/cPageGleanSettingsDlg.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/tests/fakeDialogView.h"
#include "testSupport/src/httpTestServer.h"

namespace settingsEditor {
namespace {

using testSupport::HttpReply;

class RecordingDesktop : public DesktopLauncher {
 public:
  std::vector<std::vector<std::wstring>> started;
  bool startDetached(const std::vector<std::wstring>& args) override {
    started.push_back(args);
    return true;
  }
  int openWithShell(const std::wstring&) override { return 33; }
};

class PreviewNetworkTest : public testing::Test {
 protected:
  PreviewNetworkTest() : previousConfig(appConfig) {
    appConfig = &config;
    dir.write("plugin", "#!/bin/sh\ncat \"$(grep '^URL=' \"$1\" | cut -d= -f2 | tr -d '\\r')\"\n");
    ::chmod(dir.file("plugin").c_str(), 0755);
    config.setString(L"Config", L"PluginCommand", dir.wfile("plugin"));
    dialog.emplace(view, defaultPageDownloader(), desktop);
    dialog->onInitDialog();
  }
  ~PreviewNetworkTest() override { appConfig = previousConfig; }

  void preview(const std::string& path) {
    view.setControlText(IDC_URL, misc::fromUtf8(server.url(path)));
    dialog->onPreview();
  }
  std::string page() const {
    return testSupport::readBytes(misc::toUtf8(dialog->pageFile().fileName()));
  }

  config::IniFileStore* const previousConfig;
  config::IniFileStore config{nullptr, config::IniFileStore::useDefaultFlags};
  testSupport::ScratchDir dir{"pgPreviewNet"};
  test::TemporaryDirectory tmp;
  testSupport::HttpTestServer server;
  test::FakeDialogView view;
  RecordingDesktop desktop;
  std::optional<CPageGleanSettingsDlg> dialog;
};

TEST_F(PreviewNetworkTest, DownloadsOnceAndShowsWhatTheServerRefuses) {
  server.route("/news", HttpReply::status(200, "OK", {}, "<ul><li>one</li></ul>"));
  preview("/news");
  preview("/news");
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(page(), "<ul><li>one</li></ul>");
  ASSERT_EQ(desktop.started.size(), 2u);
  EXPECT_EQ(desktop.started[0].back(), dialog->stdoutFile().fileName());

  preview("/gone");
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, L"Download failed: 404 Not Found");
  EXPECT_EQ(page(), "<ul><li>one</li></ul>");
}

TEST_F(PreviewNetworkTest, CancelEndsATricklingDownload) {
  HttpReply reply;
  reply.send("HTTP/1.0 200 OK\r\nContent-Length: 400000\r\n\r\n");
  for (int i = 0; i < 400; ++i) reply.send(std::string(1000, 'x')).pause(25);
  server.route("/slow", reply);
  view.cancelProgress = true;
  preview("/slow");
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, L"The download was cancelled.");
  EXPECT_FALSE(view.progressTexts.empty());
  EXPECT_EQ(page(), "");
  EXPECT_TRUE(desktop.started.empty());
}

}  // namespace
}  // namespace settingsEditor
