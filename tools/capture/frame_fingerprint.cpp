#include "tools/capture/frame_fingerprint.h"

#define XXH_STATIC_LINKING_ONLY  // XXH3_state_t on the stack
#include <xxhash.h>
#if defined(__x86_64__) || defined(__i386__)
#include <xxh_x86dispatch.h>  // XXH3 picks SSE2, AVX2 or AVX-512 at run time
#endif

#include <array>
#include <bit>

namespace morvane::capture {
namespace {

constexpr std::size_t kHashBlock = 1024;  // pixels: 4 KiB, well inside the L1 cache

// The pixels as little-endian 0x00RRGGBB words; inlined with a fixed count, the loop is vectorised.
inline void mask_pixels(const Pixel32* __restrict in, Pixel32* __restrict out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Pixel32 p = in[i] & 0xFFFFFFu;
    if constexpr (std::endian::native == std::endian::little) {
      out[i] = p;
    } else {
      out[i] = (p >> 24) | ((p >> 8) & 0xFF00u) | ((p << 8) & 0xFF0000u) | (p << 24);
    }
  }
}

}  // namespace

std::uint64_t frame_hash(std::span<const Pixel32> pixels) {
  // Masked a block at a time into the L1 cache, where XXH3 (in the widest vector code the
  // processor has) reads them, so the whole costs about one read of the buffer.
  XXH3_state_t state;
  XXH3_INITSTATE(&state);
  XXH3_64bits_reset(&state);
  alignas(64) std::array<Pixel32, kHashBlock> block;
  std::size_t at = 0;
  for (; pixels.size() - at >= kHashBlock; at += kHashBlock) {
    mask_pixels(pixels.data() + at, block.data(), kHashBlock);
    XXH3_64bits_update(&state, block.data(), sizeof block);
  }
  const std::size_t rest = pixels.size() - at;
  mask_pixels(pixels.data() + at, block.data(), rest);
  XXH3_64bits_update(&state, block.data(), rest * sizeof(Pixel32));
  return XXH3_64bits_digest(&state);
}

FingerprintWorker::FingerprintWorker() : thread_([this] { run(); }) {}

FingerprintWorker::~FingerprintWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void FingerprintWorker::wait_idle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !busy_; });
}

void FingerprintWorker::submit(std::span<const Pixel32> pixels) {
  std::unique_lock lock(mutex_);
  wait_idle(lock);
  // The masked copy is what the hash reads, so the same words give the same fingerprint as
  // frame_hash; one pass over the buffer here instead of the whole hash.
  words_.resize(pixels.size());
  mask_pixels(pixels.data(), words_.data(), pixels.size());
  busy_ = true;
  lock.unlock();
  changed_.notify_all();
}

std::uint64_t FingerprintWorker::result() {
  std::unique_lock lock(mutex_);
  wait_idle(lock);
  return hash_;
}

void FingerprintWorker::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (!busy_) return;
    lock.unlock();
    const std::uint64_t hash = XXH3_64bits(words_.data(), words_.size() * sizeof(Pixel32));
    lock.lock();
    hash_ = hash;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace morvane::capture
