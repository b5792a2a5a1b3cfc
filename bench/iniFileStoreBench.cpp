// Loading and saving an INI file of 100,000 keys in 2,000 sections.
// PG_INI_BENCH_FILE names the generated file, which is then kept; without
// it a file in the temporary directory is used and removed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/keyCount.h"
#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"

namespace {

constexpr int kSections = 2000;
constexpr int kKeysPerSection = 50;

struct GeneratedFile {
  std::string path;
  bool keep = false;

  GeneratedFile() {
    const char* given = std::getenv("PG_INI_BENCH_FILE");
    keep = given && *given;
    path =
        keep ? given : (std::filesystem::temp_directory_path() / "iniFileStoreBench.ini").string();
    config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
    for (int s = 0; s < kSections; ++s) {
      config::StoreSection* section =
          store.findSection(L"Section" + std::to_wstring(s) + L"/Channel", true);
      for (int k = 0; k < kKeysPerSection; ++k) {
        section->setString(L"Key" + std::to_wstring(k),
                           L"value " + std::to_wstring(s * kKeysPerSection + k) +
                               L" of a generated channel setting");
      }
    }
    store.saveFile(misc::fromUtf8(path), true);
  }
  ~GeneratedFile() {
    if (!keep) std::remove(path.c_str());
  }
};

const GeneratedFile& generatedFile() {
  static const GeneratedFile file;
  return file;
}

void BM_IniLoad(benchmark::State& state) {
  const std::wstring path = misc::fromUtf8(generatedFile().path);
  for (auto _ : state) {
    config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
    store.loadFile(path);
    benchmark::DoNotOptimize(store.root().children().size());
  }
  config::IniFileStore check(nullptr, config::IniFileStore::useDefaultFlags);
  check.loadFile(path);
  if (bench::keyCount(check) != kSections * kKeysPerSection) state.SkipWithError("keys were lost");
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations()) *
      static_cast<std::int64_t>(std::filesystem::file_size(generatedFile().path)));
}
BENCHMARK(BM_IniLoad)->Unit(benchmark::kMillisecond);

// A whole save: the writer, the temporary file, the flush to disk and the rename.
void BM_IniSave(benchmark::State& state) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(misc::fromUtf8(generatedFile().path));
  const std::string target = generatedFile().path + ".saved";
  for (auto _ : state) store.saveFile(misc::fromUtf8(target), true);
  std::remove(target.c_str());
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations()) *
      static_cast<std::int64_t>(std::filesystem::file_size(generatedFile().path)));
}
BENCHMARK(BM_IniSave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
