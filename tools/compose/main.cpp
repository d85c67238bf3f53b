// morvane-compose OUTDIR: writes the show's music, morvane.xm, and its short stand-in for
// tests, morvane-short.xm, into OUTDIR.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/compose/composition.h"
#include "tools/compose/module_timing.h"
#include "tools/compose/xm_writer.h"

namespace {

void write(const std::filesystem::path& path, const morvane::xm::Module& module) {
  const auto bytes = morvane::xm::write_module(module);
  morvane::xm::save_file(path, bytes);
  const double seconds = morvane::compose::order_starts(module).back();
  std::printf("%s: %zu bytes, %zu orders, %d:%04.1f\n", path.filename().string().c_str(), bytes.size(),
              module.orders.size(), static_cast<int>(seconds) / 60, seconds - 60 * (static_cast<int>(seconds) / 60));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane-compose OUTDIR\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    write(dir / "morvane.xm", morvane::compose::compose_module());
    write(dir / "morvane-short.xm", morvane::compose::compose_short_module());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-compose: %s\n", e.what());
    return 1;
  }
  return 0;
}
