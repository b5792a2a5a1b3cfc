// One measured operation per run, for bench/speedTable.py: each pg_measure_* function is out
// of line so that callgrind can count its instructions alone (--toggle-collect), and each
// run prints its result (to check the work was done) and its own wall-clock time.
//
//   speedProbe ini-make FILE                  the INI file: 100,000 keys in 2,000 sections
//   speedProbe ini-load FILE                  IniFileStore::loadFile (wall and processor ms)
//   speedProbe ini-save FILE OUT              saveFile of the loaded tree
//   speedProbe inih-load FILE                 inih's ini_parse, counting keys (wall and processor
//   ms) speedProbe tpl-make TPL ENVTPL VARS       10 MB with 207,000 {%NAME%} over 20 names, the
//                                             same text with ${NAME}, and NAME=value lines
//   speedProbe tpl-expand TPL [OUT]           template expansion, string in and string out
//                                             (OUT: where its output goes, as UTF-8)
//   speedProbe date-expand ROUNDS             a URL with 5 date placeholders, ROUNDS times
//   speedProbe date-c ROUNDS                  the same URL through a C strftime loop

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/cReference.h"
#include "bench/keyCount.h"
#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/strftimeTemplateProcessor.h"
#include "templateProcessor/src/templateProcessor.h"

namespace {

constexpr int kSections = 2000;
constexpr int kKeysPerSection = 50;
constexpr int kTemplateNames = 20;
constexpr int kPlaceholders = 207'000;
constexpr std::size_t kTemplateChars = 10'000'000;
constexpr const wchar_t* kDateUrl =
    L"https://example.net/archive/{%Y%}/{%m%}/{%d%}/{%H%}{%M%}.html";
constexpr const char* kDateFormat = "https://example.net/archive/%Y/%m/%d/%H%M.html";

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMillisecondsSince(std::clock_t start) {
  return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int makeIni(const std::string& path) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  for (int s = 0; s < kSections; ++s) {
    config::StoreSection* section =
        store.findSection(L"Section" + std::to_wstring(s) + L"/Channel", true);
    for (int k = 0; k < kKeysPerSection; ++k) {
      section->setString(L"Key" + std::to_wstring(k), L"value " +
                                                          std::to_wstring(s * kKeysPerSection + k) +
                                                          L" of a generated channel setting");
    }
  }
  store.saveFile(misc::fromUtf8(path), true);
  return 0;
}

}  // namespace

extern "C" {

__attribute__((noinline)) std::size_t pg_measure_ini_load(config::IniFileStore& store,
                                                          const std::wstring& path) {
  store.loadFile(path);
  return store.root().children().size();
}

__attribute__((noinline)) void pg_measure_ini_save(config::IniFileStore& store,
                                                   const std::wstring& path) {
  store.saveFile(path, true);
}

__attribute__((noinline)) std::size_t pg_measure_template(
    templateProcessor::TemplateProcessor& processor, const std::wstring& text) {
  return processor.process(text).size();
}

__attribute__((noinline)) std::size_t pg_measure_date_expand(
    tools::StrftimeTemplateProcessor& processor, const std::wstring& url, int rounds) {
  std::size_t total = 0;
  for (int i = 0; i < rounds; ++i) total += processor.process(url).size();
  return total;
}
}

namespace {

int loadIni(const std::string& path) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  const auto start = Clock::now();
  const std::clock_t cpuStart = std::clock();
  pg_measure_ini_load(store, misc::fromUtf8(path));
  const double cpuMs = cpuMillisecondsSince(cpuStart);
  const double ms = millisecondsSince(start);
  std::printf("keys %zu ms %.3f cpu %.3f\n", bench::keyCount(store), ms, cpuMs);
  return 0;
}

int saveIni(const std::string& path, const std::string& target) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(misc::fromUtf8(path));
  const auto start = Clock::now();
  pg_measure_ini_save(store, misc::fromUtf8(target));
  const double ms = millisecondsSince(start);
  const bool same = readBytes(path) == readBytes(target);
  std::printf("same %d ms %.3f\n", same ? 1 : 0, ms);
  return same ? 0 : 1;
}

int loadInih(const std::string& path) {
  const auto start = Clock::now();
  const std::clock_t cpuStart = std::clock();
  const long keys = pg_measure_inih_load(path.c_str());
  std::printf("keys %ld ms %.3f cpu %.3f\n", keys, millisecondsSince(start),
              cpuMillisecondsSince(cpuStart));
  return keys < 0 ? 1 : 0;
}

std::wstring varName(int i) {
  return L"VAR" + std::to_wstring(i);
}

std::wstring varValue(int i) {
  return L"value " + std::to_wstring(i) + L" here";
}

int makeTemplate(const std::string& tplPath, const std::string& envPath,
                 const std::string& varsPath) {
  static const std::string kFiller =
      "Plain text of a page, with some {braces} and 100% ordinary words in it.\n"
      "Another line follows here; it says nothing much at all, but says it well.\n";
  const std::size_t fillerPerPlaceholder = kTemplateChars / kPlaceholders - 8;
  std::string tpl;
  std::string env;
  std::size_t at = 0;
  for (int i = 0; i < kPlaceholders; ++i) {
    std::string chunk;
    for (std::size_t n = 0; n < fillerPerPlaceholder; ++n, at = (at + 1) % kFiller.size()) {
      chunk += kFiller[at];
    }
    const std::string name = misc::toUtf8(varName(i % kTemplateNames));
    tpl += chunk + "{%" + name + "%}";
    env += chunk + "${" + name + "}";
  }
  writeBytes(tplPath, tpl);
  writeBytes(envPath, env);
  std::string vars;
  for (int i = 0; i < kTemplateNames; ++i) {
    vars += misc::toUtf8(varName(i)) + "=" + misc::toUtf8(varValue(i)) + "\n";
  }
  writeBytes(varsPath, vars);
  return 0;
}

int expandTemplate(const std::string& tplPath, const std::string& outPath) {
  const std::string bytes = readBytes(tplPath);
  // One character per byte, as template files are read.
  const std::wstring text(bytes.begin(), bytes.end());
  templateProcessor::TemplateProcessor processor;
  for (int i = 0; i < kTemplateNames; ++i) processor.setParameter(varName(i), varValue(i));
  const auto start = Clock::now();
  const std::size_t chars = pg_measure_template(processor, text);
  std::printf("chars %zu ms %.3f\n", chars, millisecondsSince(start));
  if (!outPath.empty()) writeBytes(outPath, misc::toUtf8(processor.process(text)));
  return 0;
}

int expandDate(int rounds) {
  tools::StrftimeTemplateProcessor processor(0);
  const std::wstring url = kDateUrl;
  const auto start = Clock::now();
  const std::size_t total = pg_measure_date_expand(processor, url, rounds);
  std::printf("chars %zu ms %.3f %s\n", total, millisecondsSince(start),
              misc::toUtf8(processor.process(url)).c_str());
  return 0;
}

int expandDateC(int rounds) {
  const std::time_t now = std::time(nullptr);
  std::tm moment{};
  localtime_r(&now, &moment);
  char out[256];
  const auto start = Clock::now();
  const std::size_t total = pg_measure_strftime_loop(kDateFormat, &moment, rounds, out, sizeof out);
  std::printf("chars %zu ms %.3f %s\n", total, millisecondsSince(start), out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto is = [&](const char* mode, std::size_t count) {
    return args.size() == count + 1 && args[0] == mode;
  };
  if (is("ini-make", 1)) return makeIni(args[1]);
  if (is("ini-load", 1)) return loadIni(args[1]);
  if (is("ini-save", 2)) return saveIni(args[1], args[2]);
  if (is("inih-load", 1)) return loadInih(args[1]);
  if (is("tpl-make", 3)) return makeTemplate(args[1], args[2], args[3]);
  if (is("tpl-expand", 1)) return expandTemplate(args[1], "");
  if (is("tpl-expand", 2)) return expandTemplate(args[1], args[2]);
  if (is("date-expand", 1)) return expandDate(std::stoi(args[1]));
  if (is("date-c", 1)) return expandDateC(std::stoi(args[1]));
  std::fprintf(stderr, "usage: see the comment at the top of bench/speedProbe.cpp\n");
  return 2;
}
