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

// Each decoded chunk goes straight out, so that an entry of any size takes constant memory. A
// file is created with the first chunk (or by finish), so that a failed lookup leaves none.
class OutputSink final : public ByteSink {
 public:
  OutputSink() : file_(stdout), what_("to standard output") {}
  explicit OutputSink(std::string path) : path_(std::move(path)), what_("'" + path_ + "'") {}

  void write(std::span<const std::uint8_t> chunk) override {
    if (std::fwrite(chunk.data(), 1, chunk.size(), file()) != chunk.size()) fail();
  }
  void finish() {
    if (std::fflush(file()) != 0) fail();
  }

 private:
  std::FILE* file() {
    if (file_ != nullptr) return file_;
    owned_.reset(std::fopen(path_.c_str(), "wb"));
    if (!owned_) throw std::runtime_error("could not open '" + path_ + "' for writing");
    return file_ = owned_.get();
  }
  [[noreturn]] void fail() const { throw std::runtime_error("could not write " + what_); }

  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> owned_;
  std::FILE* file_ = nullptr;
  std::string what_;
};

}  // namespace

int run_extract(Arguments args) {
  if (args.size() != 2 && args.size() != 3) throw UsageError("expects FILE NAME and optionally OUT");
  const Archive archive(args[0]);
  OutputSink sink = args.size() == 2 ? OutputSink() : OutputSink(std::string(args[2]));
  archive.extract_to(args[1], sink);
  sink.finish();
  return 0;
}

}  // namespace morvane::dat
