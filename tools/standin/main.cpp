// morvane-standin: generates the stand-in show's data (every picture and the 3D scene).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "tools/standin/asset_table.h"
#include "tools/standin/contact_sheet.h"
#include "tools/standin/data_file.h"

namespace fs = std::filesystem;
using namespace morvane::standin;

namespace {

constexpr const char* kUsage =
    "usage: morvane-standin OUTDIR [--dat FILE] [--contact-sheet FILE.png]\n"
    "Writes every entry of the stand-in data file into OUTDIR.\n"
    "  --dat FILE              also pack them into FILE, a solid RAR 2.x data file\n"
    "  --contact-sheet FILE    also write a PNG showing every picture and the flight scene\n";

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  fs::path out_dir, dat, sheet;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "--dat" || arg == "--contact-sheet") && i + 1 < argc) {
      (arg == "--dat" ? dat : sheet) = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!arg.empty() && arg[0] != '-' && out_dir.empty()) {
      out_dir = arg;
    } else {
      std::fprintf(stderr, "morvane-standin: unexpected argument %s\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (out_dir.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    const GeneratedData data = generate_all();
    fs::create_directories(out_dir);
    for (const Entry& e : data.entries) write_file(out_dir / e.name, e.bytes);
    if (!dat.empty()) write_file(dat, pack_data_file(data.entries));
    if (!sheet.empty()) write_png(sheet, contact_sheet(data.entries, data.scene));
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "morvane-standin: %s\n", ex.what());
    return 1;
  }
  return 0;
}
