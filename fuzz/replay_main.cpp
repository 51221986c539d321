// Runs a fuzz target's entry point once on each file given (or on each file in
// each directory given), without libFuzzer. The ordinary test suite uses it to
// replay the starting corpora and the inputs of past findings with any compiler.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  // A copy of its own, so that reading past the input's end is caught.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.data(), data.size());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  int failures = 0;
  std::size_t inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file())
          files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        failures += RunFile(file);
        ++inputs;
      }
    } else {
      failures += RunFile(path);
      ++inputs;
    }
  }
  std::printf("%zu inputs replayed, %d unreadable\n", inputs, failures);
  return failures == 0 && inputs > 0 ? 0 : 1;
}
