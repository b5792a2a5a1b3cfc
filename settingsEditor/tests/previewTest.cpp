// Preview and View through the controller, with the real command runner and small stand-in
// plug-ins; the page comes from a scripted downloader, the desktop is recorded.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/localTime.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/cPageGleanSettingsDlg.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/tests/fakeDialogView.h"
#include "testSupport/src/scratchDir.h"

namespace settingsEditor {
namespace {

using test::FakeDialogView;
using testSupport::ScratchDir;
using Texts = std::vector<std::wstring>;
using Commands = std::vector<Texts>;

// With no viewer configured, Preview starts the result viewer beside the program, which the
// build puts beside the tests, or the desktop's opener where there is none.
#ifdef PG_VIEWER_PROGRAM
const std::wstring kDefaultViewer = misc::fromUtf8(PG_VIEWER_PROGRAM);
#else
const std::wstring kDefaultViewer = L"xdg-open";
#endif

class ScriptedDownloader : public PageDownloader {
 public:
  Texts urls;
  std::string page = "<html>page</html>";
  bool fail = false;
  bool trickle = false;  // report progress until cancelled

  void download(const std::wstring& url, std::vector<char>& bytes, std::wstring& contentType,
                const Progress& progress) override {
    urls.push_back(url);
    if (fail) throw misc::wruntime_error(L"Can't connect to example.org: refused");
    for (int i = 0; trickle && i < 500; ++i) {
      if (progress(L"Received " + std::to_wstring(i) + L" Kb...")) {
        throw misc::wruntime_error(L"The download was cancelled.");
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    bytes.assign(page.begin(), page.end());
    contentType = L"text/html";
  }
};

class RecordingLauncher : public DesktopLauncher {
 public:
  Commands started;
  Texts opened;
  int openCode = 42;
  std::chrono::milliseconds openTime{0};

  bool startDetached(const Texts& args) override {
    started.push_back(args);
    return args[0] != L"missing-viewer";
  }
  int openWithShell(const std::wstring& target) override {
    opened.push_back(target);
    std::this_thread::sleep_for(openTime);
    return openCode;
  }
};

class PreviewTest : public testing::Test {
 protected:
  PreviewTest() : previousConfig(appConfig) {
    appConfig = &config;
    dialog.emplace(view, downloader, launcher);
    dialog->onInitDialog();
    view.setControlText(IDC_URL, L"  http://example.org/news  ");
  }
  ~PreviewTest() override { appConfig = previousConfig; }

  // A plug-in that runs `script` with the configuration file's path as $1.
  void usePlugin(const std::string& script, int timeout = 10) {
    dir.write("plugin", "#!/bin/sh\n" + script + "\n");
    ::chmod(dir.file("plugin").c_str(), 0755);
    config.setString(L"Config", L"PluginCommand", dir.wfile("plugin"));
    config.setString(L"Config", L"PluginTimeout", std::to_wstring(timeout));
  }

  Texts boxTexts() const {
    Texts texts;
    for (const auto& box : view.boxes) texts.push_back(box.text);
    return texts;
  }
  static std::string contents(const tools::TempFile& file) {
    return testSupport::readBytes(misc::toUtf8(file.fileName()));
  }

  config::IniFileStore* const previousConfig;
  ScratchDir dir{"pgPreview"};
  test::TemporaryDirectory tmp;
  config::IniFileStore config{nullptr, config::IniFileStore::useDefaultFlags};
  FakeDialogView view;
  ScriptedDownloader downloader;
  RecordingLauncher launcher;
  std::optional<CPageGleanSettingsDlg> dialog;
};

struct OutcomeCase {
  const char* name;
  const char* script;
  int timeout;
  bool inBrowser;
  const char* shownFile;   // "out", "err" or null
  const wchar_t* message;  // null: none
};

class OutcomeTest : public PreviewTest, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeTest, FirstMatchingRuleShowsTheResult) {
  const OutcomeCase& c = GetParam();
  usePlugin(c.script, c.timeout);
  view.checked = c.inBrowser;
  dialog->onPreview();

  EXPECT_EQ(boxTexts(), c.message ? Texts{c.message} : Texts{});
  const std::wstring out = dialog->stdoutFile().fileName();
  const std::wstring err = dialog->stderrFile().fileName();
  const std::wstring shown = !c.shownFile ? L"" : std::string(c.shownFile) == "out" ? out : err;
  if (shown.empty()) {
    EXPECT_TRUE(launcher.started.empty() && launcher.opened.empty());
  } else if (c.inBrowser && shown == out) {
    EXPECT_EQ(launcher.opened, Texts{shown});
  } else {
    EXPECT_EQ(launcher.started, (Commands{{kDefaultViewer, shown}}));
  }
  EXPECT_EQ(view.waitDepth, 0);
  EXPECT_FALSE(dialog->dirty());
}

// clang-format off
const OutcomeCase kOutcomes[] = {
    {"Result", "echo '<rss/>'", 10, false, "out", nullptr},
    {"ResultInBrowser", "echo '<rss/>'", 10, true, "out", nullptr},
    {"Errors", "echo 'no match' >&2", 10, false, "err", nullptr},
    {"BothShowsErrorsOnly", "echo '<rss/>'; echo oops >&2", 10, true, "err", nullptr},
    {"Nothing", "true", 10, false, nullptr, L"The plugin didn't return any results."},
    {"NonZeroExitWithResult", "echo '<rss/>'; exit 3", 10, false, "out", nullptr},
    {"PastTheLimit", "sleep 20", 1, false, nullptr, L"The plugin timed out."},
    {"ZeroLimit", "sleep 20", 0, false, nullptr, L"The plugin timed out."},
    {"NoLimit", "sleep 1; echo '<rss/>'", -1, false, "out", nullptr},
    // Sizes past 32 bits, in sparse files.
    {"ResultOf4GiB", "echo '<rss/>'; truncate -s 4G /dev/stdout", 10, false, "out", nullptr},
    {"ErrorsOf5GiB", "echo '<rss/>'; echo oops >&2; truncate -s 5G /dev/stderr", 10, false, "err",
     nullptr},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Plugins, OutcomeTest, testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreviewTest, HandsThePluginItsConfigurationNamingThePage) {
  usePlugin(
      "cp \"$1\" \"$(dirname \"$0\")/seen.ini\"; cat \"$(grep '^URL=' \"$1\" | "
      "cut -d= -f2 | tr -d '\\r')\"");
  dialog->onPreview();
  const std::string seen = dir.read("seen.ini");
  EXPECT_EQ(seen, contents(dialog->configFile()));
  EXPECT_NE(seen.find("\r\nConfigFile=" + misc::toUtf8(dialog->configFile().fileName()) + "\r\n"),
            std::string::npos);
  EXPECT_NE(seen.find("\r\nURL=" + misc::toUtf8(dialog->pageFile().fileName()) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(contents(dialog->stdoutFile()), downloader.page);
}

#ifdef PG_PLUGIN_PROGRAM
// The real plug-in on the page the dialog downloaded: the settings file the dialog writes
// (patterns with their '%' escaped) is the one PageGlean reads.
TEST_F(PreviewTest, ShowsTheFeedThePluginMakesOfThePage) {
  config.setString(L"Config", L"PluginCommand", misc::fromUtf8(PG_PLUGIN_PROGRAM));
  downloader.page =
      "<ul><li><a href=\"/n/1\">Snow &amp; ice</a></li><li><a href=\"/n/2\">Rain</a></li></ul>";
  view.setControlText(IDC_BASE_URL, L"http://example.org/");
  view.setControlText(IDC_ITEM_PATTERN_1, L"<li><a href=\"{%link}\">{%title}</a></li>");
  dialog->onPreview();

  EXPECT_EQ(boxTexts(), Texts{});
  EXPECT_EQ(launcher.started, (Commands{{kDefaultViewer, dialog->stdoutFile().fileName()}}));
  const std::string feed = contents(dialog->stdoutFile());
  EXPECT_NE(feed.find("<title>Snow &amp; ice</title>\n      <link>http://example.org/n/1</link>"),
            std::string::npos)
      << feed;
  EXPECT_NE(feed.find("<link>http://example.org/n/2</link>"), std::string::npos) << feed;
}
#endif

TEST_F(PreviewTest, LeavesNothingInTheTemporaryFolderButWhatWasSwappedIn) {
  usePlugin("echo '<rss/>'; echo oops >&2");
  dialog->onPreview();
  ASSERT_EQ(boxTexts(), Texts{});
  EXPECT_EQ(tmp.entries().size(), 4u);
  dialog.reset();
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{});

  // A settings file swapped in for a link is neither written through nor removed.
  dialog.emplace(view, downloader, launcher);
  dialog->onInitDialog();
  view.setControlText(IDC_URL, L"http://example.org/news");
  const std::string config = misc::toUtf8(dialog->configFile().fileName());
  const std::string name = config.substr(config.rfind('/') + 1);
  std::filesystem::remove(config);
  std::filesystem::create_symlink(dir.file("other.ini"), config);
  dir.write("other.ini", "keep");
  launcher.started.clear();
  dialog->onPreview();
  ASSERT_EQ(boxTexts().size(), 1u);
  EXPECT_NE(boxTexts()[0].find(dialog->configFile().fileName()), std::wstring::npos)
      << misc::toUtf8(boxTexts()[0]);
  EXPECT_TRUE(launcher.started.empty());
  dialog.reset();
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{name});
  EXPECT_EQ(dir.read("other.ini"), "keep");
}

TEST_F(PreviewTest, DownloadsOnlyWhenTheUrlTextChanges) {
  usePlugin("echo '<rss/>'");
  view.setControlText(IDC_URL, L"http://example.org/{%Y%}");
  dialog->onPreview();
  dialog->onPreview();  // same text: the cached page
  view.setControlText(IDC_URL, L"HTTP://example.org/{%Y%}");
  downloader.fail = true;
  dialog->onPreview();  // fails: the cache stays as it was
  dialog->onPreview();  // and is tried again
  downloader.fail = false;
  downloader.page = "second";
  dialog->onPreview();

  const std::wstring year = std::to_wstring(1900 + platform::localTime(time(nullptr)).tm_year);
  const std::wstring lower = L"http://example.org/" + year, upper = L"HTTP://example.org/" + year;
  EXPECT_EQ(downloader.urls, (Texts{lower, upper, upper, upper}));
  EXPECT_EQ(boxTexts(), Texts(2, L"Can't connect to example.org: refused"));
  EXPECT_EQ(contents(dialog->pageFile()), "second");
}

TEST_F(PreviewTest, RefusesWhatCannotWork) {
  view.setControlText(IDC_URL, L"   ");
  dialog->onPreview();
  view.setControlText(IDC_URL, L"http://example.org/");
  view.setControlText(IDC_MAX_ITEMS, L"x");
  dialog->onPreview();
  EXPECT_EQ(boxTexts(),
            (Texts{L"Please enter a URL to scrape.", L"Please enter a valid value for MaxItems."}));
  EXPECT_EQ(downloader.urls.size(), 1u);  // the page was fetched before Max items was checked
}

TEST_F(PreviewTest, CancelStopsATricklingDownloadAndKeepsTheCache) {
  usePlugin("echo '<rss/>'");
  downloader.trickle = true;
  view.cancelProgress = true;
  dialog->onPreview();
  EXPECT_EQ(boxTexts(), Texts{L"The download was cancelled."});
  ASSERT_FALSE(view.progressTexts.empty());
  EXPECT_TRUE(view.progressTexts.back().starts_with(L"Received "));
  EXPECT_GT(view.keepAlives, 0);
  EXPECT_GT(view.progressHides, 0);
  EXPECT_EQ(contents(dialog->pageFile()), "");
  EXPECT_TRUE(launcher.started.empty());
}

struct ViewerCase {
  const wchar_t* format;
  Texts args;  // empty: not started
};

TEST_F(PreviewTest, TheViewerTemplateInsertsThePathOnly) {
  const std::wstring path = L"/tmp/a b.xml";
  const ViewerCase cases[] = {
      {L"viewer \"%1\"", {L"viewer", path}},
      {L"viewer --plain", {L"viewer", L"--plain"}},
      {L"viewer '%1' 100%%", {L"viewer", path, L"100%"}},
      {L"viewer %1 %2", {}},
      {L"viewer \"%1", {}},
      {L"missing-viewer %1", {L"missing-viewer", L"/tmp/a", L"b.xml"}},
  };
  for (const ViewerCase& c : cases) {
    launcher.started.clear();
    view.boxes.clear();
    config.setString(L"Config", L"ShowTextCommandTemplate", c.format);
    dialog->showTextFile(path);
    const bool fails = c.args.empty() || c.args[0] == L"missing-viewer";
    EXPECT_EQ(launcher.started, c.args.empty() ? Commands{} : Commands{c.args}) << c.format;
    EXPECT_EQ(boxTexts(), fails ? Texts{L"Can't show the plugin results."} : Texts{}) << c.format;
  }
}

TEST_F(PreviewTest, ViewOpensTheTypedTextUnexpanded) {
  view.setControlText(IDC_URL, L"  http://example.org/{%Y%}  ");
  dialog->onView();
  view.setControlText(IDC_URL, L" ");
  dialog->onView();
  view.setControlText(IDC_URL, L"nowhere");
  launcher.openCode = 2;
  launcher.openTime = std::chrono::milliseconds(100);  // an opener slow to fail
  dialog->onView();
  EXPECT_GT(view.keepAlives, 0);  // the window repainted while it waited
  EXPECT_EQ(launcher.opened, (Texts{L"http://example.org/{%Y%}", L"nowhere"}));
  EXPECT_EQ(boxTexts(), (Texts{L"Please enter a URL.", L"Can't show the XML file: rc=2"}));
  EXPECT_TRUE(downloader.urls.empty());
  EXPECT_EQ(view.maxWaitDepth, 1);
}

// The desktop's opener as a program: its exit codes become the codes below 32.
TEST(SystemDesktopLauncher, MapsTheOpenersEndings) {
  ScratchDir dir("pgOpener");
  dir.write("opener",
            "#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\nexit $(cat "
            "\"$(dirname \"$0\")/code\")\n");
  ::chmod(dir.file("opener").c_str(), 0755);
  SystemDesktopLauncher launcher(dir.wfile("opener"));
  const std::pair<const char*, int> cases[] = {{"0", 33}, {"1", 2}, {"2", 2}, {"3", 31}, {"4", 31}};
  for (const auto& [exitCode, expected] : cases) {
    dir.write("code", exitCode);
    EXPECT_EQ(launcher.openWithShell(L"-x.xml"), expected) << exitCode;
  }
  EXPECT_EQ(dir.read("opened"), "./-x.xml\n./-x.xml\n./-x.xml\n./-x.xml\n./-x.xml\n");
  EXPECT_EQ(SystemDesktopLauncher(dir.wfile("none")).openWithShell(L"x"), 3);
}

}  // namespace
}  // namespace settingsEditor
