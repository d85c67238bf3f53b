// morvane-pack: writes a RAR 2.x data file from the files given, packed with the RAR 2.0 method.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rarpack/rar_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: morvane-pack [--solid] [--store] OUT.dat FILE...\n"
    "Writes the RAR 2.x archive OUT.dat holding each FILE under its name as given: a relative\n"
    "path, with \"./\" and \"..\" steps resolved. Each entry is packed with the RAR 2.0 method\n"
    "(LZ or multimedia, whichever is smaller), or stored when packing does not make it smaller.\n"
    "  --solid  one solid stream: entries refer back to earlier ones (smaller, slower to read)\n"
    "  --store  store every entry unpacked\n"
    "  --help   show this text\n";

constexpr std::size_t kShowProgressFrom = 1 << 20;

std::vector<std::uint8_t> read_file(const std::string& path) {
  if (!std::filesystem::is_regular_file(path)) throw std::runtime_error(path + " is not a readable file");
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (f.bad()) throw std::runtime_error("cannot read " + path);
  return bytes;
}

double percent(std::size_t part, std::size_t whole) { return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 100.0; }

}  // namespace

int main(int argc, char** argv) {
  bool solid = false, store = false, options = true;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (options && arg == "--solid") {
      solid = true;
    } else if (options && arg == "--store") {
      store = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "morvane-pack: unknown option %s\n%s", argv[i], kUsage);
      return 2;
    } else {
      paths.emplace_back(arg);
    }
  }
  if (paths.size() < 2) {
    std::fputs(paths.empty() ? "morvane-pack: no output file given\n" : "morvane-pack: no input files given\n", stderr);
    std::fputs(kUsage, stderr);
    return 2;
  }

  try {
    morvane::RarWriter writer;
    writer.set_solid(solid);
    for (std::size_t i = 1; i < paths.size(); ++i) {
      // "./a/../b.pcx" is stored as "b.pcx", the name the data file's reader will be asked for.
      const std::string name = std::filesystem::path(paths[i]).lexically_normal().generic_string();
      writer.add(name, read_file(paths[i]), store ? morvane::EntryMode::stored : morvane::EntryMode::automatic);
    }
    writer.on_progress([](const std::string& name, std::size_t done, std::size_t total) {
      if (total >= kShowProgressFrom) std::fprintf(stderr, "\r%s: %3.0f%%", name.c_str(), percent(done, total));
      if (total >= kShowProgressFrom && done == total) std::fputc('\n', stderr);
    });
    writer.write_file(paths[0]);
    std::size_t size = 0, packed = 0;
    for (const morvane::EntryReport& r : writer.report()) {
      std::printf("%-40s %10zu -> %10zu  %5.1f%%%s\n", r.name.c_str(), r.size, r.packed_size,
                  percent(r.packed_size, r.size), r.stored ? "  stored" : "");
      size += r.size;
      packed += r.packed_size;
    }
    std::printf("%zu entries, %zu -> %zu bytes (%.1f%%)%s\n", writer.report().size(), size, packed,
                percent(packed, size), solid ? ", solid" : "");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-pack: %s\n", e.what());
    return 1;
  }
  return 0;
}
