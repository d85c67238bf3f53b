// morvane-dat extract FILE NAME [OUT]
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "archive/archive.h"
#include "tools/morvane_dat/command.h"

namespace morvane::dat {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int run_extract(Arguments args) {
  if (args.size() != 2 && args.size() != 3) throw UsageError("expects FILE NAME and optionally OUT");
  const Archive archive(args[0]);
  const std::vector<std::uint8_t> bytes = archive.load_raw_file(args[1]);

  if (args.size() == 2) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
      throw std::runtime_error("could not write to standard output");
    return 0;
  }
  const std::string out(args[2]);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(out.c_str(), "wb"));
  if (!file) throw std::runtime_error("could not open '" + out + "' for writing");
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0)
    throw std::runtime_error("could not write '" + out + "'");
  return 0;
}

}  // namespace morvane::dat
