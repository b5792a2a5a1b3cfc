// Preview's downloads through the network library against a loopback server.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/localTime.h"
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

std::vector<std::string> sortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 2;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The plug-in's settings also say where the page came from, while it is the cached one too;
// beside that they are what Save writes, but for URL, which names the page file.
TEST_F(PreviewNetworkTest, ThePluginLearnsWhereThePageCameFrom) {
  server.route("/news", HttpReply::status(200, "OK", {"Content-Type: text/html; charset=koi8-r"},
                                          "<p>remote</p>"));
  dir.write("page.html", "<p>local</p>");
  const std::string year = std::to_string(1900 + platform::localTime(time(nullptr)).tm_year);
  const std::string pageFile = misc::toUtf8(dialog->pageFile().fileName());
  struct Case {
    std::string typed, pageUrl, contentType, body;
  };
  const Case cases[] = {
      {server.url("/news?y={%Y%}"), server.url("/news?y=" + year), "text/html; charset=koi8-r",
       "<p>remote</p>"},
      {dir.file("page.html"), dir.file("page.html"), "", "<p>local</p>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    view.setControlText(IDC_URL, misc::fromUtf8(c.typed));
    dialog->onPreview();
    dialog->onPreview();
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(page(), c.body);
    const std::string handed =
        testSupport::readBytes(misc::toUtf8(dialog->configFile().fileName()));
    view.fileAnswers.push_back(dir.wfile("saved.ini"));
    dialog->onSave();
    std::string expected = dir.read("saved.ini");
    const std::size_t url = expected.find("\r\nURL=") + 6;
    expected.replace(url, expected.find("\r\n", url) - url, pageFile);
    expected += "PageUrl=" + c.pageUrl + "\r\nPageContentType=" + c.contentType + "\r\n";
    EXPECT_EQ(sortedLines(handed), sortedLines(expected)) << handed;
  }
  EXPECT_EQ(server.requests().size(), 1u);
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
