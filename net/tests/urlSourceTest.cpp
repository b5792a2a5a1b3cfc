// The table of URL sources, the file: URL parser and the reading of local pages: which
// source a text names and the path it leads to, the refusals, and the limits of a read.
#include "net/src/urlSource.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <stdexcept>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/bodyLimit.h"
#include "net/src/fileUrl.h"
#include "net/src/internetConn.h"
#include "net/src/localPage.h"
#include "platform/src/utf8.h"
#include "testSupport/src/scratchDir.h"

namespace net {
namespace {

using Stage = platform::RegularFileResult::Stage;

std::wstring refusal(const std::wstring& url) {
  try {
    fileUrlPath(url);
  } catch (const misc::wruntime_error& e) {
    return e.wideMessage();
  }
  return L"(none)";
}

}  // namespace

// Every text gets one source; a file: URL the path it names (as bytes, so that escapes of
// bytes that are no UTF-8 are seen to survive), any other text stays as it is.
TEST(UrlSourceTest, SourcesAndThePathsTheyName) {
  const struct {
    std::wstring text;
    UrlSource source;
    std::string path;
  } cases[] = {
      {L"/srv/page.html", UrlSource::kLocalPath, "/srv/page.html"},
      {L"page.html", UrlSource::kLocalPath, "page.html"},
      {L"C:/pages/a.html", UrlSource::kLocalPath, "C:/pages/a.html"},  // a drive
      {L"1a:/x", UrlSource::kLocalPath, "1a:/x"},                      // no scheme name
      {L"dir/file:x", UrlSource::kLocalPath, "dir/file:x"},
      {L"file:/srv/a.html", UrlSource::kFile, "/srv/a.html"},
      {L"file:///srv/a%20b%C3%A9.html?q=1#f", UrlSource::kFile, "/srv/a b\xC3\xA9.html"},
      {L"file:///srv/%FF%zz%4", UrlSource::kFile, "/srv/\xFF%zz%4"},
      {L"FILE://LocalHost/srv/a.html", UrlSource::kFile, "/srv/a.html"},
      {L"file://localhost", UrlSource::kFile, "/"},
      {L"file:localhost/srv/a.html", UrlSource::kFile, "/srv/a.html"},
      {L"file:///C:/pages/a.html", UrlSource::kFile, "C:/pages/a.html"},
      {L"http://h/a%20b", UrlSource::kHttp, "http://h/a%20b"},
      {L"http:x", UrlSource::kHttp, "http:x"},  // malformed, but http: its reader says so
      {L"HTTPS://h/", UrlSource::kHttps, "HTTPS://h/"},
      {L"Ftp://h/f", UrlSource::kFtp, "Ftp://h/f"},
      {L"mailto:a@b", UrlSource::kOther, "mailto:a@b"},
      {L"files://h/", UrlSource::kOther, "files://h/"},
      {L"xyz+1.a-b:rest", UrlSource::kOther, "xyz+1.a-b:rest"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(urlSourceOf(c.text), c.source) << c.text;
    EXPECT_EQ(platform::toUtf8Escaped(fileUrlPath(c.text)), c.path) << c.text;
    const std::wstring_view scheme = schemeName(c.source);
    if (!scheme.empty()) {
      EXPECT_EQ(urlSourceOf(std::wstring(scheme) + L":x"), c.source) << std::wstring(scheme);
    }
  }
}

// Another computer's file is refused by name, never read from this one's disk.
TEST(UrlSourceTest, AFileUrlOfAnotherHostIsRefused) {
  for (const std::wstring host : {L"elsewhere", L"localhost.example", L"127.0.0.1"}) {
    const std::wstring url = L"file://" + host + L"/etc/hostname";
    EXPECT_EQ(refusal(url), L"The file: URL " + url + L" names the host " + host +
                                L"; only files of this computer can be read.");
  }
}

// What each reader of local pages refuses, and the words it gives.
TEST(LocalPageTest, OnlyRegularFilesWithinTheCapAreRead) {
  testSupport::ScratchDir dir;
  dir.write("page.html", std::string("<p>\0page", 8));
  dir.write("huge.html", "");
  std::filesystem::resize_file(dir.file("huge.html"), BodyLimit().most() + 1);  // sparse
  const struct {
    std::wstring path;
    Stage stage;
    std::wstring text;
  } cases[] = {
      {dir.wfile("page.html"), Stage::Done, L""},
      {dir.wfile("none.html"), Stage::Open, L"No such file or directory"},
      {dir.wfile("page.html/x"), Stage::Open, L"Not a directory"},
      {dir.wfile(""), Stage::NotRegular, L"Is a directory"},
      {L"/dev/null", Stage::NotRegular, L"Not a regular file (a pipe, a device or a socket)"},
      {L"/dev/zero", Stage::NotRegular, L"Not a regular file (a pipe, a device or a socket)"},
      {dir.wfile("huge.html"), Stage::TooLarge, L"The page is larger than 256 Mb."},
  };
  for (const auto& c : cases) {
    std::string bytes;
    const auto result = readLocalPage(c.path, [&bytes](std::string_view b) {
      bytes += b;
      // What is refused must be refused before it is read.
      if (bytes.size() > 8) throw std::length_error("read on past the page");
    });
    EXPECT_EQ(result.stage, c.stage) << c.path;
    EXPECT_EQ(localPageErrorText(result), c.text) << c.path;
    EXPECT_EQ(bytes, c.stage == Stage::Done ? std::string("<p>\0page", 8) : "") << c.path;
  }
}

// A pipe named as the page is refused at once, by the reader and by a download, where an
// open() without O_NONBLOCK would wait for a writer for ever. A reader that does wait is
// released by a writer after the bound, so that the test fails instead of hanging.
TEST(LocalPageTest, APipeIsRefusedWithoutWaitingForAWriter) {
  testSupport::ScratchDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto bounded = [&fifo](auto read) {
    std::future<std::wstring> outcome = std::async(std::launch::async, read);
    const bool inTime = outcome.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    if (!inTime) {
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
    }
    const std::wstring message = outcome.get();
    return inTime ? message : L"(waited) " + message;
  };
  const std::wstring path = platform::fromUtf8(fifo);
  EXPECT_EQ(
      bounded([&path] { return localPageErrorText(readLocalPage(path, [](std::string_view) {})); }),
      L"Not a regular file (a pipe, a device or a socket)");
  for (const std::wstring& url : {path, L"file://" + path}) {
    EXPECT_EQ(bounded([&url] {
                InternetConn connection;
                connection.open(false);
                ByteVector body;
                try {
                  connection.downloadUrl(url, body);
                } catch (const misc::wruntime_error& e) {
                  return e.wideMessage();
                }
                return std::wstring(L"(read)");
              }),
              L"Can't open file: " + path)
        << url;
  }
}

}  // namespace net
