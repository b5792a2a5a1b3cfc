#include "settingsEditor/src/cPageGleanSettingsDlg.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/messageBox.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/tests/fakeDialogView.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

namespace settingsEditor {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using test::FakeDialogView;
using testSupport::ScratchDir;

const std::wstring kMaxItemsMessage = L"Please enter a valid value for MaxItems.";

std::string expectedFile(const std::string& name, const std::wstring& configFile) {
  std::string text = testSupport::readBytes(std::string(PG_TEST_DATA_DIR) + "/" + name);
  const std::string marker = "@CONFIG_FILE@";
  text.replace(text.find(marker), marker.size(), misc::toUtf8(configFile));
  return text;
}

// A dialog over a fake view, initialised as the window initialises it, with its temporary
// files in a scratch directory of its own.
class DialogTest : public testing::Test {
 protected:
  DialogTest() {
    dialog.emplace(view);
    view.onChange = [this] { dialog->onFieldChanged(); };
    dialog->onInitDialog();
  }

  std::string saveAs(const std::string& name) {
    view.fileAnswers.push_back(dir.wfile(name));
    dialog->onSave();
    return dir.read(name);
  }

  ScratchDir dir{"pgDlg"};
  test::TemporaryDirectory tmp;
  FakeDialogView view;
  std::optional<CPageGleanSettingsDlg> dialog;
};

TEST_F(DialogTest, StartsCleanWithFixedPitchFieldsAndFourTemporaryFiles) {
  EXPECT_FALSE(dialog->dirty());
  EXPECT_EQ(view.texts.at(IDC_MAX_ITEMS), L"15");
  EXPECT_EQ(view.typingLimits.at(IDC_MAX_ITEMS), 3u);
  EXPECT_EQ(view.typingLimits.at(IDC_TITLE), 1024u);
  ASSERT_EQ(view.fonts.size(), 10u);
  for (const auto& [id, font] : view.fonts) {
    EXPECT_EQ(font.face, L"Courier New") << id;
    EXPECT_EQ(font.pointSize, 8) << id;
  }
  EXPECT_EQ(dialog->minTrackSize(), view.size);
  dialog->onSize();
  EXPECT_EQ(view.invalidations, 1);  // laid out once it knows its first size
  EXPECT_EQ(tmp.entries().size(), 4u);
  EXPECT_TRUE(dialog->stdoutFile().fileName().ends_with(L".xml"));

  dialog->onClose();
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(view.ended, true);
  dialog.reset();
  EXPECT_TRUE(tmp.entries().empty());
}

TEST_F(DialogTest, LoadThenSaveWithoutEditsRewritesTheElevenKeys) {
  dir.write("in.ini",
            "[Other]\nKeep=no\n[ChannelParameters]\nURL=  http://example.org/%Y  \n"
            "Title=News\nItemPattern-2=<li>{%title}</li>\nConfigFile=/elsewhere\nExtra=1\n");
  view.fileAnswers.push_back(dir.wfile("in.ini"));
  dialog->onLoad();
  EXPECT_EQ(dialog->settings().m_url, L"http://example.org/%Y");
  EXPECT_EQ(view.texts.at(IDC_ITEM_PATTERN_2), L"<li>{%title}</li>");
  EXPECT_EQ(view.texts.at(IDC_MAX_ITEMS), L"");  // not in the file
  EXPECT_FALSE(dialog->dirty());
  EXPECT_EQ(dialog->lastSettingsPath(), dir.wfile("in.ini"));

  EXPECT_EQ(saveAs("in.ini"), expectedFile("loadThenSave.ini", dialog->configFile().fileName()));
  EXPECT_FALSE(dialog->dirty());
  ASSERT_EQ(view.saveRequests.size(), 1u);
  EXPECT_EQ(view.saveRequests[0].fileName, dir.wfile("in.ini"));
  EXPECT_EQ(view.saveRequests[0].title, L"Save settings");
  EXPECT_EQ(view.openRequests[0].title, L"Load settings");
  EXPECT_EQ(view.openRequests[0].filters.size(), 2u);
  EXPECT_EQ(view.openRequests[0].initialDirectory, appDir);
}

TEST_F(DialogTest, AFileWithoutTheSectionEmptiesEveryField) {
  view.setControlText(IDC_TITLE, L"typed");
  dir.write("empty.ini", "[Elsewhere]\nTitle=x\n");
  dialog->loadSettings(dir.wfile("empty.ini"));
  for (const auto& [id, text] : view.texts) EXPECT_EQ(text, L"") << id;
}

// What is no settings file is refused before a byte of it is read, and changes nothing. A
// reader that opens the pipe is let go by a writer that opens it too, so the test ends.
TEST_F(DialogTest, LoadRefusesPipesDevicesAndHugeFilesUnread) {
  constexpr std::size_t kMost = 16 * 1024 * 1024;
  const std::string settings = "[ChannelParameters]\r\nTitle=Loaded\r\n#";
  dir.write("largest.ini", settings + std::string(kMost - settings.size(), '-'));
  dir.write("tooLarge.ini", settings + std::string(kMost + 1 - settings.size(), '-'));
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.file("folder"));
  const std::pair<std::string, std::wstring> cases[] = {
      {"pipe", L"it is not a regular file."},
      {"/dev/null", L"it is not a regular file."},
      {"folder", L"it is not a regular file."},
      {"tooLarge.ini", L"it is larger than 16 MB, which no settings file is."},
      {"largest.ini", L""},
  };
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    view.boxes.clear();
    view.setControlText(IDC_TITLE, L"Before");
    const std::wstring path = name.starts_with('/') ? misc::fromUtf8(name) : dir.wfile(name);
    view.fileAnswers.push_back(path);
    std::atomic<bool> loaded{false}, pipeOpened{false};
    std::thread writer([&, pipe = dir.file("pipe")] {
      while (!loaded) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
          pipeOpened = true;
          ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
    dialog->onLoad();
    loaded = true;
    writer.join();
    EXPECT_FALSE(pipeOpened);
    if (reason.empty()) {
      EXPECT_TRUE(view.boxes.empty());
      EXPECT_EQ(view.texts.at(IDC_TITLE), L"Loaded");
      EXPECT_EQ(dialog->lastSettingsPath(), path);
    } else {
      ASSERT_EQ(view.boxes.size(), 1u);
      EXPECT_EQ(view.boxes[0].text, L"Can't load " + path + L": " + reason);
      EXPECT_EQ(view.texts.at(IDC_TITLE), L"Before");
      EXPECT_TRUE(dialog->lastSettingsPath().empty());
    }
  }
}

struct MaxItemsCase {
  const wchar_t* text;
  const char* written;  // null: refused
};

class MaxItemsTest : public DialogTest, public testing::WithParamInterface<MaxItemsCase> {};

TEST_P(MaxItemsTest, IsWrittenAsAtolReadsItOrRefused) {
  view.setControlText(IDC_MAX_ITEMS, GetParam().text);
  const std::string saved = saveAs("m.ini");
  if (GetParam().written) {
    EXPECT_NE(saved.find("\nMaxItems=" + std::string(GetParam().written) + "\r\n"),
              std::string::npos)
        << saved;
    EXPECT_FALSE(dialog->dirty());
  } else {
    EXPECT_TRUE(saved.empty());
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, kMaxItemsMessage);
    EXPECT_EQ(view.focus, IDC_MAX_ITEMS);
    EXPECT_TRUE(dialog->dirty());
  }
}

const MaxItemsCase kMaxItems[] = {{L"", "15"},      {L" 7 ", "7"},   {L"7x", "7"},
                                  {L"+42", "42"},   {L"0", nullptr}, {L"-1", nullptr},
                                  {L"abc", nullptr}};
INSTANTIATE_TEST_SUITE_P(Texts, MaxItemsTest, testing::ValuesIn(kMaxItems),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DialogTest, ALoadedTextOverTheLimitIsShownWholeAndRefusedOnSave) {
  const std::string title(2000, 'T');
  dir.write("long.ini", "[ChannelParameters]\nTitle=" + title + "\n");
  view.fileAnswers.push_back(dir.wfile("long.ini"));
  dialog->onLoad();
  EXPECT_EQ(view.texts.at(IDC_TITLE).size(), 2000u);

  EXPECT_TRUE(saveAs("out.ini").empty());
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, L"Please enter no more than 1024 characters.");
  EXPECT_EQ(view.focus, IDC_TITLE);
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.ini")));
}

TEST_F(DialogTest, AStoreFailureIsShownAndChangesNothing) {
  std::filesystem::create_directory(dir.file("aDirectory"));
  dir.write("aDirectory/inside", "kept");
  for (const char* target : {"aDirectory", "missing/x.ini"}) {
    view.boxes.clear();
    view.setControlText(IDC_URL, L"http://example.org/");
    view.fileAnswers.push_back(dir.wfile(target));
    dialog->onSave();
    ASSERT_EQ(view.boxes.size(), 1u) << target;
    EXPECT_TRUE(view.boxes[0].text.starts_with(L"Can't open INI file: ")) << target;
    EXPECT_TRUE(dialog->dirty());
    EXPECT_TRUE(dialog->lastSettingsPath().empty());
    EXPECT_EQ(view.texts.at(IDC_URL), L"http://example.org/");
  }
  EXPECT_EQ(dir.read("aDirectory/inside"), "kept");
}

TEST_F(DialogTest, PreviewSettingsPointThePluginAtThePageFile) {
  view.setControlText(IDC_URL, L"http://example.org/");
  ASSERT_TRUE(dialog->saveSettings(dialog->configFile().fileName(), true));
  const std::string saved = testSupport::readBytes(misc::toUtf8(dialog->configFile().fileName()));
  EXPECT_NE(saved.find("\nURL=" + misc::toUtf8(dialog->pageFile().fileName()) + "\r\n"),
            std::string::npos)
      << saved;
}

struct CloseCase {
  const char* name;
  bool edited;
  std::vector<MessageAnswer> answers;
  std::vector<std::optional<std::string>> files;  // the save dialog's answers
  const wchar_t* maxItems;
  bool ends;
  std::size_t boxes;
  bool saved;
};

class CloseTest : public DialogTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, AsksOnlyWithUnsavedChanges) {
  const CloseCase& c = GetParam();
  if (c.edited) view.setControlText(IDC_MAX_ITEMS, c.maxItems);
  view.boxAnswers.assign(c.answers.begin(), c.answers.end());
  for (const auto& file : c.files) {
    view.fileAnswers.push_back(file ? std::optional(dir.wfile(*file)) : std::nullopt);
  }
  dialog->onClose();
  EXPECT_EQ(view.ended.has_value(), c.ends);
  ASSERT_EQ(view.boxes.size(), c.boxes);
  if (c.boxes > 0) {
    EXPECT_EQ(view.boxes[0].text, L"Save your changes?");
    EXPECT_EQ(view.boxes[0].buttons, MessageButtons::YesNoCancel);
  }
  if (c.boxes > 1) {
    EXPECT_EQ(view.boxes[1].text, kMaxItemsMessage);
  }
  EXPECT_EQ(std::filesystem::exists(dir.file("s.ini")), c.saved);
}

using A = MessageAnswer;
// clang-format off
const CloseCase kCloses[] = {
    {"Clean", false, {}, {}, L"", true, 0, false},
    {"Cancel", true, {A::Cancel}, {}, L"9", false, 1, false},
    {"No", true, {A::No}, {}, L"9", true, 1, false},
    {"YesSaves", true, {A::Yes}, {"s.ini"}, L"9", true, 1, true},
    {"YesThenCancelledFileDialog", true, {A::Yes}, {std::nullopt}, L"9", false, 1, false},
    {"YesWithInvalidMaxItems", true, {A::Yes}, {"s.ini"}, L"0", false, 2, false},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Answers, CloseTest, testing::ValuesIn(kCloses),
                         [](const auto& info) { return std::string(info.param.name); });

// Start-up reads the configuration beside the executable, then the system's and the user's
// files over it key by key, runs the dialog once and turns an escaping exception into a
// message box and exit code 1.
TEST(CPageGleanSettingsApp, ReadsItsLayeredConfigurationAndReportsWhatEscapes) {
  const std::wstring exe = tools::getModulePath();
  const std::string ini = misc::toUtf8(tools::changeExtension(exe, L".ini"));
  testSupport::writeBytes(ini,
                          "[Config]\nPluginTimeout=5\nPluginCommand=exe\n"
                          "ShowTextCommandTemplate=exe\n");
  auto dirs = std::make_unique<testSupport::ScratchDir>("appConfig");
  const std::string below = "/pagegleansettings/settingsEditor_tests.ini";
  dirs->write("low" + below, "[Config]\nPluginCommand=low\nShowTextCommandTemplate=low\n");
  dirs->write("high" + below, "[config]\npluginCommand=high\n");
  dirs->write("home" + below, "[Config]\nShowTextCommandTemplate=home\n");
  auto systemDirs = std::make_unique<testSupport::ScopedVariable>(
      "XDG_CONFIG_DIRS", dirs->file("high") + ":" + dirs->file("low"));
  auto userDir =
      std::make_unique<testSupport::ScopedVariable>("XDG_CONFIG_HOME", dirs->file("home"));
  std::vector<std::wstring> shown;
  const auto previous =
      platform::setMessageBoxHandler([&](const std::wstring& caption, const std::wstring& text,
                                         platform::MessageButtons, platform::MessageIcon) {
        shown.push_back(caption + L": " + text);
        return platform::MessageAnswer::Ok;
      });

  int runs = 0;
  const int ok = CPageGleanSettingsApp().run([&] {
    ++runs;
    EXPECT_EQ(appDir, tools::getDirectory(exe));
    EXPECT_EQ(appConfig->getString(L"Config", L"PluginTimeout", true, L""), L"5");
    EXPECT_EQ(appConfig->getString(L"Config", L"PluginCommand", true, L""), L"high");
    EXPECT_EQ(appConfig->getString(L"Config", L"ShowTextCommandTemplate", true, L""), L"home");
  });
  std::filesystem::remove(ini);
  // The second start reads nothing, so no later test sees these values.
  userDir.reset();
  systemDirs.reset();
  dirs.reset();
  const int failed = CPageGleanSettingsApp().run(
      [] { throw misc::wruntime_error(L"Can't create temporary file."); });
  platform::setMessageBoxHandler(previous);

  EXPECT_EQ(ok, 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(shown, std::vector<std::wstring>{programName() + L": Can't create temporary file."});
  EXPECT_EQ(programName(), L"settingsEditor_tests");
}

}  // namespace
}  // namespace settingsEditor
