// The main of a fuzz target's replay program: it runs the target once on every file of the
// folders named on the command line, in name order, so that the seeds and the crash cases
// found so far run as a test under the sanitizers of the test build. It fails when a folder
// holds no file, so that a mistyped folder cannot pass; a crash of the target ends it with
// the sanitizer's report after the name of the input that caused it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Optional in a target, as libFuzzer has it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

// The file's bytes in a block of exactly their size, so that a read past the end is caught.
std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>...\n", argv[0]);
    return 2;
  }
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::filesystem::path> inputs = inputsIn(argv[i]);
    if (inputs.empty()) {
      std::fprintf(stderr, "%s holds no input\n", argv[i]);
      return 1;
    }
    for (const auto& input : inputs) {
      std::fprintf(stderr, "%s\n", input.c_str());
      const std::vector<std::uint8_t> bytes = bytesOf(input);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs of %s ran\n", inputs.size(), argv[i]);
  }
  return 0;
}
