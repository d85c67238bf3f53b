#include "tools/rarpack/rar_writer.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>

#include "tools/rarpack/crc32.h"

namespace morvane {
namespace {

constexpr std::uint8_t kMarker[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr std::uint8_t kMainHead = 0x73, kFileHead = 0x74, kEndHead = 0x7B;
constexpr std::uint16_t kMainSolid = 0x0008;
constexpr std::uint16_t kFileSolid = 0x0010;
constexpr std::uint16_t kFileDictionary1M = 0x0080;
constexpr std::uint16_t kLongBlock = 0x8000;  // ADD_SIZE (here PACK_SIZE) follows the header
constexpr std::uint16_t kSkipIfUnknown = 0x4000;
constexpr std::uint8_t kHostUnix = 3;
constexpr std::uint32_t kUnixFileMode = 0100644;
constexpr std::uint32_t kDosTime = 0x00210000;  // 1980-01-01 00:00: fixed for reproducible output
constexpr std::uint8_t kUnpackVersion = 20;
constexpr std::uint8_t kMethodStored = 0x30, kMethodNormal = 0x33;
constexpr std::size_t kMaxNameBytes = 259;

class Header {
 public:
  explicit Header(std::uint8_t type, std::uint16_t flags) {
    bytes_ = {0, 0, type};
    u16(flags);
    u16(0);  // HEAD_SIZE, set by finish
  }
  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void text(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }

  // Fills in HEAD_SIZE and HEAD_CRC (low 16 bits of the CRC-32 from the third byte on).
  void append_to(std::vector<std::uint8_t>& out) {
    const auto size = static_cast<std::uint16_t>(bytes_.size());
    bytes_[5] = static_cast<std::uint8_t>(size);
    bytes_[6] = static_cast<std::uint8_t>(size >> 8);
    const std::uint32_t crc = crc32(std::span(bytes_).subspan(2));
    bytes_[0] = static_cast<std::uint8_t>(crc);
    bytes_[1] = static_cast<std::uint8_t>(crc >> 8);
    out.insert(out.end(), bytes_.begin(), bytes_.end());
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The data file's reader finds entries regardless of letter case and of "/", "\" or "_".
std::string lookup_key(const std::string& name) {
  std::string key = name;
  for (char& c : key) {
    if (c == '/' || c == '\\') c = '_';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return key;
}

void check_name(const std::string& name) {
  if (name.empty()) throw std::invalid_argument("empty entry name");
  if (name.size() > kMaxNameBytes)
    throw std::invalid_argument("entry name longer than 259 bytes: " + name.substr(0, 40) + "...");
  if (name.find('\0') != std::string::npos) throw std::invalid_argument("entry name with a NUL byte");
  if (name.front() == '/' || name.front() == '\\' || (name.size() > 1 && name[1] == ':'))
    throw std::invalid_argument("entry name is not relative: " + name);
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
    if (name.compare(start, end - start, "..") == 0 && end - start == 2)
      throw std::invalid_argument("entry name leaves its folder: " + name);
    start = end + 1;
  }
}

}  // namespace

RarWriter::RarWriter(EncoderSettings settings) : settings_(std::move(settings)) {}

void RarWriter::add(std::string name, std::vector<std::uint8_t> bytes, EntryMode mode) {
  check_name(name);
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max())
    throw std::invalid_argument("entry larger than 4 GiB: " + name);
  const std::string key = lookup_key(name);
  for (const Entry& e : entries_)
    if (lookup_key(e.name) == key) throw std::invalid_argument("duplicate entry name: " + name);
  // "\" separates folders in RAR 2.x names, whatever system wrote them.
  std::string stored = name;
  std::replace(stored.begin(), stored.end(), '/', '\\');
  entries_.push_back({std::move(name), std::move(stored), std::move(bytes), mode});
}

std::vector<std::uint8_t> RarWriter::write() {
  report_.clear();
  std::vector<std::uint8_t> out(std::begin(kMarker), std::end(kMarker));
  {
    Header main(kMainHead, solid_ ? kMainSolid : 0);
    main.u16(0);  // RESERVED1
    main.u32(0);  // RESERVED2
    main.append_to(out);
  }

  std::size_t capacity = 0;
  for (const Entry& e : entries_) capacity = solid_ ? capacity + e.bytes.size() : std::max(capacity, e.bytes.size());
  std::optional<Rar20Encoder> encoder;
  // In a solid archive: the previous entry was packed, so a packed entry goes on with its state.
  // Stored and empty entries break the chain and the next packed entry starts afresh: other
  // extractors feed every entry of a chain, stored or not, to the unpacker.
  bool chain = false;

  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    EntryReport r{e.name, e.bytes.size(), e.bytes.size(), true, {}};
    const bool continues = solid_ && chain;
    std::vector<std::uint8_t> packed;
    if (!e.bytes.empty() && e.mode != EntryMode::stored) {
      if (!encoder) encoder.emplace(settings_, capacity);
      if (progress_)
        encoder->set_progress([&](std::size_t done) { progress_(e.name, done, e.bytes.size()); });
      const bool next_may_continue = solid_ && i + 1 < entries_.size() && !entries_[i + 1].bytes.empty() &&
                                     entries_[i + 1].mode != EntryMode::stored;
      packed = encoder->encode(e.bytes, !continues, next_may_continue, &r.blocks);
      encoder->set_progress(nullptr);
      // Within a chain an entry stays packed even when that is a little larger: storing it would
      // cost the following entries their history.
      if (e.mode == EntryMode::packed || continues || packed.size() < e.bytes.size()) {
        r.stored = false;
        r.packed_size = packed.size();
      }
    }
    if (r.stored) r.blocks = {};
    if (packed.size() > std::numeric_limits<std::uint32_t>::max())
      throw std::runtime_error("packed entry larger than 4 GiB: " + e.name);

    std::uint16_t flags = kLongBlock | kFileDictionary1M;
    if (continues && !r.stored) flags |= kFileSolid;
    Header h(kFileHead, flags);
    h.u32(static_cast<std::uint32_t>(r.packed_size));
    h.u32(static_cast<std::uint32_t>(e.bytes.size()));
    h.u8(kHostUnix);
    h.u32(crc32(e.bytes));
    h.u32(kDosTime);
    h.u8(kUnpackVersion);
    h.u8(r.stored ? kMethodStored : kMethodNormal);
    h.u16(static_cast<std::uint16_t>(e.stored_name.size()));
    h.u32(kUnixFileMode);
    h.text(e.stored_name);
    h.append_to(out);
    if (r.stored)
      out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    else
      out.insert(out.end(), packed.begin(), packed.end());
    chain = !r.stored;
    report_.push_back(std::move(r));
  }
  Header end(kEndHead, kSkipIfUnknown);
  end.append_to(out);
  return out;
}

void RarWriter::write_file(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = write();
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot create " + path.string());
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  if (!f) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);  // no half-written archive left behind
    throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace morvane
