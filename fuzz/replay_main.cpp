// Runs a fuzz target once over each file given, or each file below a directory given, in name
// order: the test suite replays every target's corpus and crashers this way with any compiler.
// Each name is printed before its run, so a crash shows which input caused it. Files whose
// names start with a dot (placeholders that keep empty folders in git) are left out.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool hidden(const fs::path& file) { return file.filename().string().starts_with('.'); }

void replay(const fs::path& file) {
  std::fprintf(stderr, "%s\n", file.c_str());
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path path(argv[i]);
    if (fs::is_directory(path)) {
      for (const auto& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file() && !hidden(entry.path())) files.push_back(entry.path());
    } else if (fs::is_regular_file(path)) {
      files.push_back(path);
    } else {
      std::fprintf(stderr, "%s: no such file or directory\n", argv[i]);
      return 1;
    }
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) replay(file);
  std::printf("replayed %zu inputs\n", files.size());
  return 0;
}
