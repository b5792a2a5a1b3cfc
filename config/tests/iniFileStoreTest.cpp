#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/src/istring.h"
#include "config/tests/testFiles.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/tests/thrownMessage.h"
#include "platform/src/messageBox.h"

namespace config {
namespace {

using misc::test::thrownMessage;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::wstring> keysOf(Store& store, const std::wstring& path) {
  std::vector<std::wstring> keys;
  StoreSection* s = path.empty() ? &store.root() : store.findSection(path, false);
  if (s) s->listKeys(keys);
  return keys;
}

std::wstring dumpOf(Store& store) {
  std::wostringstream out;
  store.dump(out, kDumpBrackets, L"");
  return out.str();
}

void loadText(IniFileStore& store, const std::string& text) {
  std::istringstream in(text);
  store.loadFrom(in);
}

TEST(IniFileWriting, MatchesTheExpectedFileByteForByte) {
  TempDir dir;
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"Zeta", L"k", L"v");
  store.root().setString(L"zRoot", L"last");
  store.root().setString(L"Alpha", L"first");
  store.findSection(L"Mid", true);
  store.setString(L"alpha/beta", L"Key", L"line1\r\nline2\tTab 50% \u00e9\u4e2d\U0001F600\x7f");
  store.setString(L"alpha/beta", L"eq", L"a=b");
  store.setString(L"alpha/beta", L"another", L"  spaced  ");

  store.saveFile(dir.wfile("out.ini"), true);
  EXPECT_EQ(readBytes(dir.file("out.ini")), readBytes(test::dataFile("written.ini")));
  EXPECT_FALSE(store.isDirty());
  EXPECT_EQ(store.getName(), dir.wfile("out.ini"));

  IniFileStore reread(nullptr, IniFileStore::useDefaultFlags);
  reread.loadFile(misc::fromUtf8(test::dataFile("written.ini")));
  EXPECT_EQ(dumpOf(reread), dumpOf(store));
}

const char kReadingCases[] =
    "\xEF\xBB\xBFrootKey = root value \n"
    "; comment=1\n"
    "# comment=2\n"
    "' comment=3\n"
    "// comment=4\n"
    "   ;indented comment=5\n"
    "\n"
    "   \t\n"
    "[Sec]\n"
    " spaced key  =  kept blanks  \n"
    "pct1=50%\n"
    "pct2=%zz\n"
    "pct3=%4\n"
    "pct4=%41%62%0d%0A%\n"
    "semi=1 ; not a comment\n"
    "noequals line\n"
    "=empty key\n"
    "  = blank key\n"
    "[]\n"
    "after=empty header\n"
    "[broken\n"
    "after2=broken header\n"
    "[Sec] ; comment\n"
    "after3=header with comment\n"
    "\xEF\xBB\xBF"
    "bom=later line\n"
    "[OTHER]\n"
    "k=first\n"
    "[sec]\n"
    "merged=yes\n"
    "[other]\n"
    "K=second\n"
    "[ a / b ]\n"
    "nested=1\n"
    "[x/]\n"  // makes x, but names no section for its keys
    "skipped=1\n"
    "[ / ]\n"
    "skipped2=1\n"
    "[c]\n"
    "c=\xC3\xA9\xFF";

void expectReadingCases(IniFileStore& store) {
  EXPECT_THAT(keysOf(store, L""), ElementsAre(L"rootKey"));
  EXPECT_EQ(store.root().getString(L"rootKey", false, L""), L" root value ");
  EXPECT_THAT(keysOf(store, L"sec"), ElementsAre(L"after", L"after2", L"after3", L"merged", L"pct1",
                                                 L"pct2", L"pct3", L"pct4", L"semi", L"spaced key",
                                                 L"\uFEFF"
                                                 L"bom"));
  EXPECT_EQ(store.getString(L"sec", L"spaced key", false, L""), L"  kept blanks  ");
  EXPECT_EQ(store.getString(L"sec", L"spaced key", true, L""), L"kept blanks");
  EXPECT_EQ(store.getString(L"sec", L"pct1", false, L""), L"50%");
  EXPECT_EQ(store.getString(L"sec", L"pct2", false, L""), L"%zz");
  EXPECT_EQ(store.getString(L"sec", L"pct3", false, L""), L"%4");
  EXPECT_EQ(store.getString(L"sec", L"pct4", false, L""), L"Ab\r\n%");
  EXPECT_EQ(store.getString(L"sec", L"semi", false, L""), L"1 ; not a comment");
  EXPECT_EQ(store.getString(L"sec",
                            L"\uFEFF"
                            L"bom",
                            false, L""),
            L"later line");
  EXPECT_EQ(store.findSection(L"sec", false)->name(), L"Sec");
  EXPECT_THAT(keysOf(store, L"other"), ElementsAre(L"k"));
  EXPECT_EQ(store.getString(L"other", L"k", false, L""), L"second");
  EXPECT_EQ(store.getString(L"a/b", L"nested", false, L""), L"1");
  EXPECT_EQ(store.getString(L"c", L"c", false, L""), L"\u00e9\xDCFF") << "the byte kept";
  std::vector<std::wstring> sections;
  store.root().listChildren(sections, true);
  EXPECT_THAT(sections, ElementsAre(L"a", L"c", L"OTHER", L"Sec", L"x", L"a/b"));
  EXPECT_FALSE(store.isDirty());
}

TEST(IniFileReading, HandlesEveryKindOfLineWithAnyLineEnd) {
  std::string crlf, cr(kReadingCases);
  for (char c : cr) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  const std::pair<const char*, std::string> texts[] = {
      {"LF", kReadingCases}, {"CR LF", crlf + "\r\n"}, {"lone CR", cr}};
  for (const auto& [ends, text] : texts) {
    SCOPED_TRACE(ends);
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    loadText(store, text);
    expectReadingCases(store);
  }
}

TEST(IniFileReading, MixedLineEndsInABlockAsOutside) {
  // CR CR LF is two line ends.
  const wchar_t* blocks[] = {L"blk", nullptr};
  IniFileStore mixed(blocks, IniFileStore::useDefaultFlags);
  loadText(mixed, "[blk]\rx\r\r\ny\n\r[s]\rk=v\n\rj=w\r");
  EXPECT_EQ(mixed.findSection(L"blk", false)->blockData(), L"x\n\ny\n\n");
  TempDir dir;
  mixed.saveFile(dir.wfile("mixed.ini"), true);
  EXPECT_EQ(readBytes(dir.file("mixed.ini")), "[blk]\r\nx\r\n\r\ny\r\n\r\n[s]\r\nj=w\r\nk=v\r\n");
}

TEST(IniFileReading, CommentStylesFollowTheFlags) {
  const std::pair<std::uint32_t, std::vector<std::wstring>> cases[] = {
      {0, {L"#hash", L"'quote", L"//slashes", L"/single", L";semi"}},
      {IniFileStore::commentHash, {L"'quote", L"//slashes", L"/single", L";semi"}},
      {IniFileStore::commentSlashes | IniFileStore::commentQuote,
       {L"#hash", L"/single", L";semi"}}};
  for (const auto& [flags, keys] : cases) {
    IniFileStore store(nullptr, flags);
    loadText(store, "[s]\n#hash=1\n;semi=2\n'quote=3\n//slashes=4\n/single=5\n");
    EXPECT_EQ(keysOf(store, L"s"), keys) << "flags " << flags;
  }
  EXPECT_EQ(IniFileStore(nullptr, IniFileStore::useDefaultFlags).flags(), 0x0Fu);
}

TEST(IniFileBlockData, BlocksKeepTheirLinesVerbatimUpToTheNextHeader) {
  const wchar_t* blocks[] = {L"blk", L"a/blk", nullptr};
  IniFileStore store(blocks, IniFileStore::useDefaultFlags);
  loadText(store,
           "[blk]\n"
           "  indented line\n"
           "; comment kept\n"
           "\n"
           "  [not a header\n"
           "key=value kept\r\n"
           "[plain]\n"
           "k=v\n"
           "[ a/BLK ]\n"
           "x\n"
           "y");
  EXPECT_EQ(store.findSection(L"blk", false)->blockData(),
            L"  indented line\n; comment kept\n\nkey=value kept\n");
  EXPECT_TRUE(keysOf(store, L"blk").empty());
  EXPECT_EQ(store.getString(L"plain", L"k", false, L""), L"v");
  EXPECT_EQ(store.findSection(L"a/blk", false)->blockData(), L"x\ny\n");
  EXPECT_TRUE(store.findSection(L"a", false)->isTopLevel());
  EXPECT_FALSE(store.findSection(L"plain", false)->isBlockSection());

  TempDir dir;
  store.saveFile(dir.wfile("blocks.ini"), true);
  EXPECT_EQ(readBytes(dir.file("blocks.ini")),
            "[a]\r\n[a/BLK]\r\nx\r\ny\r\n"
            "[blk]\r\n  indented line\r\n; comment kept\r\n\r\nkey=value kept\r\n"
            "[plain]\r\nk=v\r\n");
}

TEST(IniFileBlockData, BlockTextThatWouldNotReadBackIsNeverLost) {
  const wchar_t* blocks[] = {L"blk", nullptr};
  TempDir dir;
  IniFileStore store(blocks, IniFileStore::useDefaultFlags);
  store.findSection(L"blk", true)->blockDataRef() = L"no line end";
  store.setString(L"blk/child", L"k", L"v");
  store.saveFile(dir.wfile("b.ini"), true);
  IniFileStore reread(blocks, IniFileStore::useDefaultFlags);
  reread.loadFile(dir.wfile("b.ini"));
  EXPECT_EQ(reread.findSection(L"blk", false)->blockData(), L"no line end\n");
  EXPECT_EQ(reread.getString(L"blk/child", L"k", false, L""), L"v") << "the next header survives";

  const std::string before = readBytes(dir.file("b.ini"));
  for (const wchar_t* text : {L"ok\n  [looks like a header]\nmore\n", L"carriage\r\n"}) {
    store.findSection(L"blk", false)->blockDataRef() = text;
    store.setString(L"blk/child", L"k", L"changed");
    EXPECT_THROW(store.saveFile(dir.wfile("b.ini"), true), Exception);
    EXPECT_EQ(readBytes(dir.file("b.ini")), before);
    EXPECT_TRUE(store.isDirty());
  }
}

TEST(IniFileStoreFiles, MissingFilesAndEmptyNames) {
  TempDir dir;
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"s", L"k", L"v");
  store.loadFile(dir.wfile("absent.ini"));
  EXPECT_TRUE(store.root().children().empty());
  EXPECT_FALSE(store.isDirty());
  EXPECT_EQ(store.getName(), dir.wfile("absent.ini"));

  store.setString(L"s", L"k", L"v");
  const std::wstring expected = internal::istring(13401);
  EXPECT_EQ(expected, L"No INI file was configured.");
  for (auto attempt : {+[](IniFileStore& s) { s.setFileName(L""); },
                       +[](IniFileStore& s) { s.saveFile(L"", true); },
                       +[](IniFileStore& s) { s.loadFile(L""); }}) {
    EXPECT_EQ(thrownMessage<Exception>([&] { attempt(store); }), expected);
    EXPECT_EQ(store.getName(), dir.wfile("absent.ini"));
    EXPECT_EQ(store.getString(L"s", L"k", false, L""), L"v");
  }
  // Setting the name marks the store dirty, so a save that is not forced writes too.
  store.save(true);
  store.saveFile(dir.wfile("second.ini"), false);
  EXPECT_EQ(readBytes(dir.file("second.ini")), "[s]\r\nk=v\r\n");
}

TEST(IniFileStoreFiles, BytesThatAreNotUtf8AreKeptExactly) {
  // Already in the writer's order, so saving must give the same bytes back.
  const std::string file =
      "k=\xFF\xFE value \xC3\r\n"
      "\x80=one\r\n"
      "\x81=two\r\n"
      "\xC3(=lone lead\r\n"
      "\xED\xB2\x80=the UTF-8 form of a surrogate\r\n"
      "[blk]\r\n\xF5 text \xF4\x90\x80\x80\r\n"
      "[\xE9t\xE9]\r\nx=\xC0\xAF\r\n";
  TempDir dir;
  writeBytes(dir.file("bytes.ini"), file);
  const wchar_t* blocks[] = {L"blk", nullptr};
  IniFileStore store(blocks, IniFileStore::useDefaultFlags);
  store.loadFile(dir.wfile("bytes.ini"));
  EXPECT_EQ(keysOf(store, L"").size(), 5u) << "distinct keys never merge";
  store.saveFile(dir.wfile("again.ini"), true);
  EXPECT_EQ(readBytes(dir.file("again.ini")), file);
}

// A path of `depth` nested sections named "a".
std::wstring nestedPath(int depth) {
  std::wstring path = L"a";
  for (int i = 1; i < depth; ++i) path += L"/a";
  return path;
}

TEST(IniFileStoreFiles, SectionsNestAtMostAHundredDeep) {
  TempDir dir;
  // 5,000 levels in 10 KB: each header would repeat the path above it, so the format itself
  // would grow to 25 MB. The header is skipped with its lines, like one that names no section.
  // A trailing '/' names no section but still makes the ones before it: skipped as well.
  writeBytes(dir.file("deep.ini"), "[" + misc::toUtf8(nestedPath(5000)) + "]\r\nlost=1\r\n[" +
                                       misc::toUtf8(nestedPath(101)) + "/]\r\n[b]\r\nk=v\r\n");
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.loadFile(dir.wfile("deep.ini"));
  ASSERT_EQ(store.findSection(L"a", false), nullptr);
  EXPECT_EQ(store.getString(L"b", L"k", false, L""), L"v");
  store.saveFile(dir.wfile("deep.ini"), true);
  EXPECT_EQ(readBytes(dir.file("deep.ini")), "[b]\r\nk=v\r\n");

  // The deepest a file holds reads back; one more level is refused with the reason.
  const std::wstring longName(200, L'n');
  std::wstring path = longName;
  for (int i = 1; i < 100; ++i) path += L"/" + longName;
  store.setString(path, L"k", L"deepest");
  store.saveFile(dir.wfile("deep.ini"), true);
  IniFileStore reread(nullptr, IniFileStore::useDefaultFlags);
  reread.loadFile(dir.wfile("deep.ini"));
  EXPECT_EQ(reread.getString(path, L"k", false, L""), L"deepest");
  const std::string before = readBytes(dir.file("deep.ini"));
  store.setString(L"x/" + nestedPath(100), L"k", L"too deep");
  const std::wstring refused =
      thrownMessage<Exception>([&] { store.saveFile(dir.wfile("deep.ini"), true); });
  EXPECT_EQ(refused, internal::istring(13423).format(dir.wfile("deep.ini"), L"x/" + nestedPath(100),
                                                     L"100"));
  EXPECT_THAT(refused, HasSubstr(L"nested deeper than 100 levels"));
  EXPECT_EQ(readBytes(dir.file("deep.ini")), before);
}

class AutoSavingIniStore : public IniFileStore {
 public:
  AutoSavingIniStore() : IniFileStore(nullptr, useDefaultFlags) { setSavePolicy(true, 0); }
};

TEST(IniFileStoreFiles, AutoSaveWritesChangesButNeverOverwritesAFileBeingLoaded) {
  TempDir dir;
  writeBytes(dir.file("mine.ini"), "[s]\r\nk=on disk\r\n");
  AutoSavingIniStore store;
  store.loadFile(dir.wfile("other.ini"));  // absent: nothing written
  store.setString(L"s", L"k", L"in memory");
  EXPECT_EQ(readBytes(dir.file("other.ini")), "[s]\r\nk=in memory\r\n");
  store.loadFile(dir.wfile("mine.ini"));
  EXPECT_EQ(store.getString(L"s", L"k", false, L""), L"on disk");
  EXPECT_EQ(readBytes(dir.file("mine.ini")), "[s]\r\nk=on disk\r\n");
  EXPECT_FALSE(store.isDirty());
}

TEST(IniFileStoreFiles, NamesThatWouldNotReadBackAreRefused) {
  TempDir dir;
  const std::string path = dir.file("names.ini");
  const std::pair<const wchar_t*, const wchar_t*> bad[] = {
      {L"s", L"a=b"},      {L"s", L"a\nb"},  {L"s", L" lead"},  {L"s", L"trail\t"},
      {L"s", L"#hash"},    {L"s", L";semi"}, {L"s", L"'quote"}, {L"s", L"//slashes"},
      {L"s", L"[bracket"}, {L"s", L""},      {L"a\nb", L"k"},   {L"s", L"a\rb"},
      {L"a\rb", L"k"}};
  for (const auto& [section, key] : bad) {
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    store.setString(L"s", L"good", L"1");
    store.saveFile(misc::fromUtf8(path), true);
    const std::string before = readBytes(path);
    StoreSection* target = *section ? store.findSection(section, true) : &store.root();
    ASSERT_NE(target, nullptr);
    target->setString(key, L"value");
    SCOPED_TRACE(misc::toUtf8(std::wstring(section) + L"|" + key));
    const std::wstring refused =
        thrownMessage<Exception>([&] { store.saveFile(misc::fromUtf8(path), true); });
    EXPECT_THAT(refused, HasSubstr(*section && !*key ? L"" : key));
    EXPECT_THAT(refused, HasSubstr(misc::fromUtf8(path)));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_TRUE(store.isDirty());
  }

  // What the flags do not treat as comments, and names with brackets, '%' or '/' inside,
  // are fine; so is a mark, also where it opens the file.
  IniFileStore plain(nullptr, 0);
  plain.root().setString(L"\uFEFFroot", L"first line");
  for (const wchar_t* key : {L"#hash", L";semi", L"a[b", L"x]", L"100%", L"a/b", L"\uFEFFbom"}) {
    plain.setString(L"s", key, key);
  }
  plain.setString(L"sec]tion", L"k", L"v");
  plain.saveFile(misc::fromUtf8(path), true);
  IniFileStore reread(nullptr, 0);
  reread.loadFile(misc::fromUtf8(path));
  EXPECT_EQ(dumpOf(reread), dumpOf(plain));
}

TEST(IniFileStoreFiles, SavingReplacesTheFileAndKeepsItsLinkAndMode) {
  TempDir dir;
  const std::string real = dir.file("real.ini");
  writeBytes(real, std::string(5000, 'x'));
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real.ini", dir.file("link.ini").c_str()), 0);

  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"s", L"k", L"short");
  store.saveFile(dir.wfile("link.ini"), true);
  EXPECT_EQ(readBytes(real), "[s]\r\nk=short\r\n");
  struct stat st;
  ASSERT_EQ(::lstat(dir.file("link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_THAT(dir.entries(), ElementsAre("link.ini", "real.ini"));

  // A new file gets the mode a plain create would give it.
  const mode_t mask = ::umask(022);
  store.saveFile(dir.wfile("new.ini"), true);
  ::umask(mask);
  ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(IniFileStoreFiles, SpecialFilesAreWrittenInPlaceNeverReplaced) {
  TempDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = readBytes(fifo); });
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"s", L"k", L"v");
  store.saveFile(misc::fromUtf8(fifo), true);
  reader.join();
  EXPECT_EQ(received, "[s]\r\nk=v\r\n");
  struct stat st;
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_THAT(dir.entries(), ElementsAre("pipe"));
}

class AutoVerify : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ =
        platform::setMessageBoxHandler([this](const std::wstring& caption, const std::wstring& text,
                                              platform::MessageButtons, platform::MessageIcon) {
          boxes_.push_back(caption + L"|" + text);
          return platform::MessageAnswer::Ok;
        });
  }
  void TearDown() override {
    IniFileStore::setAutoVerifyEnabled(false);
    platform::setMessageBoxHandler(previous_);
  }

  platform::MessageBoxHandler previous_;
  std::vector<std::wstring> boxes_;
  TempDir dir_;
};

TEST_F(AutoVerify, StaysQuietWhenOffOrWhenTheFileMatches) {
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.root().setString(L"rootOnly", L"invisible to a plain reader");
  store.setString(L"s", L"k", L" \"quoted\" 50% ");
  store.setString(L"s/t", L"k", L"v");
  store.findSection(L"empty", true);
  store.saveFile(dir_.wfile("a.ini"), true);
  IniFileStore::setAutoVerifyEnabled(true);
  store.saveFile(dir_.wfile("a.ini"), true);
  store.loadFile(dir_.wfile("a.ini"));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AutoVerify, ReportsWhatAPlainReaderSeesDifferently) {
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"s", L"k", L"v");
  store.setString(L"s", L"gone", L"1");
  store.setString(L"t", L"k", L"v");
  store.saveFile(dir_.wfile("b.ini"), true);
  writeBytes(dir_.file("b.ini"), "[s]\r\nk=changed\r\nK=second\r\nnew=1\r\n[u]\r\n[U]\r\n");

  std::wstring report;
  store.verifySections(report);
  EXPECT_EQ(report, internal::istring(13416).format(L"gone") + L"\n" +
                        internal::istring(13417).format(L"k", L"changed", L"v") + L"\n" +
                        internal::istring(13420).format(L"new") + L"\n" +
                        internal::istring(13415).format(L"t") + L"\n" +
                        internal::istring(13421).format(L"u"));
  EXPECT_THAT(report, HasSubstr(L"Found extra key in INI file: new"));
  EXPECT_THAT(report, HasSubstr(L"Found extra section in INI file: [u]"));
  EXPECT_THAT(report, HasSubstr(L"Key value mismatch: k (got \"changed\", expected \"v\")"));
  EXPECT_TRUE(boxes_.empty());

  // A name a plain reader cuts short shows up as soon as the diagnostic is on.
  IniFileStore::setAutoVerifyEnabled(true);
  IniFileStore odd(nullptr, IniFileStore::useDefaultFlags);
  odd.setString(L"a]b", L"k", L"v");
  ::testing::internal::CaptureStderr();
  odd.saveFile(dir_.wfile("c.ini"), true);
  const std::string log = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], internal::istring(13411) + L"|" + dir_.wfile("c.ini") + L"\n\n" +
                           internal::istring(13415).format(L"a]b") + L"\n" +
                           internal::istring(13421).format(L"a"));
  EXPECT_THAT(log, HasSubstr("IniFileStore auto-verify error: " + dir_.file("c.ini")));
  EXPECT_THAT(log, HasSubstr("[a]b]"));

  IniFileStore unnamed(nullptr, IniFileStore::useDefaultFlags);
  EXPECT_THROW(unnamed.verifySections(report), Exception);
}

}  // namespace
}  // namespace config
