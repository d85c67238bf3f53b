#include "tools/standin/quantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace morvane::standin {

namespace {

using Colour = std::array<std::uint8_t, 3>;

std::uint8_t to_byte(float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f)); }

// Exact nearest-colour search: the palette sorted by green, searched outwards from the pixel's
// green until the green distance alone exceeds the best match; a direct-mapped cache in front,
// since pictures repeat colours heavily.
class NearestColour {
 public:
  NearestColour(const Palette& palette, int first, int count) : count_(count) {
    for (int i = 0; i < count; ++i)
      entries_[i] = {palette[(first + i) * 3], palette[(first + i) * 3 + 1], palette[(first + i) * 3 + 2], first + i};
    std::sort(entries_.begin(), entries_.begin() + count, [](const Entry& a, const Entry& b) {
      return a.g != b.g ? a.g < b.g : a.index < b.index;
    });
    keys_.fill(0xFFFFFFFFu);
  }

  int operator()(int r, int g, int b) {
    const std::uint32_t key = static_cast<std::uint32_t>(r << 16 | g << 8 | b);
    const std::uint32_t slot = (key * 2654435761u) >> (32 - kCacheBits);
    if (keys_[slot] == key) return values_[slot];
    const int start = static_cast<int>(
        std::lower_bound(entries_.begin(), entries_.begin() + count_, g, [](const Entry& e, int v) { return e.g < v; }) -
        entries_.begin());
    int best_index = 0;
    int best_d = 1 << 30;
    auto consider = [&](const Entry& e) {
      const int dr = r - e.r, dg = g - e.g, db = b - e.b;
      // Green weighs most and blue least, roughly as the eye judges differences.
      const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (d < best_d || (d == best_d && e.index < best_index)) {
        best_d = d;
        best_index = e.index;
      }
    };
    for (int lo = start - 1, hi = start; lo >= 0 || hi < count_;) {
      bool searched = false;
      if (hi < count_ && 4 * (entries_[hi].g - g) * (entries_[hi].g - g) <= best_d) {
        consider(entries_[hi++]);
        searched = true;
      } else {
        hi = count_;
      }
      if (lo >= 0 && 4 * (g - entries_[lo].g) * (g - entries_[lo].g) <= best_d) {
        consider(entries_[lo--]);
        searched = true;
      } else {
        lo = -1;
      }
      if (!searched) break;
    }
    keys_[slot] = key;
    values_[slot] = static_cast<std::uint8_t>(best_index);
    return best_index;
  }

 private:
  struct Entry {
    int r, g, b, index;
  };
  static constexpr int kCacheBits = 15;
  int count_;
  std::array<Entry, 256> entries_{};
  std::array<std::uint32_t, 1u << kCacheBits> keys_{};
  std::array<std::uint8_t, 1u << kCacheBits> values_{};
};

struct Box {
  std::size_t begin, end;
  double sse;
};

double box_sse(const std::vector<Colour>& px, std::size_t begin, std::size_t end) {
  double sum[3] = {0, 0, 0}, sq[3] = {0, 0, 0};
  for (std::size_t i = begin; i < end; ++i)
    for (int c = 0; c < 3; ++c) {
      sum[c] += px[i][c];
      sq[c] += static_cast<double>(px[i][c]) * px[i][c];
    }
  const double n = static_cast<double>(end - begin);
  double sse = 0;
  for (int c = 0; c < 3; ++c) sse += sq[c] - sum[c] * sum[c] / n;
  return sse;
}

// Splits along the channel of widest spread, at the point that leaves the least total error.
std::size_t split_box(std::vector<Colour>& px, const Box& box) {
  int axis = 0;
  int widest = -1;
  for (int c = 0; c < 3; ++c) {
    std::uint8_t lo = 255, hi = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      lo = std::min(lo, px[i][c]);
      hi = std::max(hi, px[i][c]);
    }
    if (hi - lo > widest) {
      widest = hi - lo;
      axis = c;
    }
  }
  std::stable_sort(px.begin() + static_cast<std::ptrdiff_t>(box.begin),
                   px.begin() + static_cast<std::ptrdiff_t>(box.end),
                   [axis](const Colour& a, const Colour& b) { return a[axis] < b[axis]; });
  const std::size_t n = box.end - box.begin;
  std::vector<double> prefix_sum(3 * (n + 1), 0.0), prefix_sq(3 * (n + 1), 0.0);
  for (std::size_t i = 0; i < n; ++i)
    for (int c = 0; c < 3; ++c) {
      const double v = px[box.begin + i][c];
      prefix_sum[3 * (i + 1) + c] = prefix_sum[3 * i + c] + v;
      prefix_sq[3 * (i + 1) + c] = prefix_sq[3 * i + c] + v * v;
    }
  auto sse = [&](std::size_t a, std::size_t b) {
    double e = 0;
    const double cnt = static_cast<double>(b - a);
    for (int c = 0; c < 3; ++c) {
      const double s = prefix_sum[3 * b + c] - prefix_sum[3 * a + c];
      e += prefix_sq[3 * b + c] - prefix_sq[3 * a + c] - s * s / cnt;
    }
    return e;
  };
  std::size_t best = n / 2;
  double best_e = 1e300;
  for (std::size_t k = 1; k < n; ++k) {
    // Only cut between different values, so equal colours stay together.
    if (px[box.begin + k][axis] == px[box.begin + k - 1][axis]) continue;
    const double e = sse(0, k) + sse(k, n);
    if (e < best_e) {
      best_e = e;
      best = k;
    }
  }
  return box.begin + best;
}

void diffuse(const RgbImage& image, IndexedImage& out, NearestColour& nearest, const Palette& palette,
             float dither, std::span<const std::uint8_t> transparent) {
  const int w = image.width(), h = image.height();
  std::vector<float> err_this(static_cast<std::size_t>(w + 2) * 3, 0.0f), err_next = err_this;
  for (int y = 0; y < h; ++y) {
    std::fill(err_next.begin(), err_next.end(), 0.0f);
    const bool forward = y % 2 == 0;
    for (int k = 0; k < w; ++k) {
      const int x = forward ? k : w - 1 - k;
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if (!transparent.empty() && transparent[i]) {
        out.pixels[i] = 0;
        continue;
      }
      const Rgb c = image.at(x, y);
      float want[3] = {c.r * 255.0f, c.g * 255.0f, c.b * 255.0f};
      int q[3];
      for (int ch = 0; ch < 3; ++ch) {
        want[ch] += err_this[(x + 1) * 3 + ch];
        q[ch] = std::clamp(static_cast<int>(std::lround(want[ch])), 0, 255);
      }
      const int index = nearest(q[0], q[1], q[2]);
      out.pixels[i] = static_cast<std::uint8_t>(index);
      if (dither <= 0) continue;
      const int dir = forward ? 1 : -1;
      for (int ch = 0; ch < 3; ++ch) {
        // Errors are bounded so that one far-off pixel cannot start a streak.
        const float e = std::clamp((want[ch] - palette[index * 3 + ch]) * dither, -48.0f, 48.0f);
        err_this[(x + 1 + dir) * 3 + ch] += e * (7.0f / 16);
        err_next[(x + 1 - dir) * 3 + ch] += e * (3.0f / 16);
        err_next[(x + 1) * 3 + ch] += e * (5.0f / 16);
        err_next[(x + 1 + dir) * 3 + ch] += e * (1.0f / 16);
      }
    }
    std::swap(err_this, err_next);
  }
}

}  // namespace

IndexedImage quantize(const RgbImage& image, const QuantizeOptions& options) {
  if (options.first_index < 0 || options.colours < 1 || options.first_index + options.colours > 256)
    throw std::invalid_argument("quantize: palette range outside 0..255");
  const std::size_t count = static_cast<std::size_t>(image.width()) * image.height();
  if (!options.transparent.empty() && options.transparent.size() != count)
    throw std::invalid_argument("quantize: transparency mask of the wrong size");

  IndexedImage out(image.width(), image.height());
  std::vector<Colour> px;
  px.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!options.transparent.empty() && options.transparent[i]) continue;
    const Rgb c = image.cells()[i];
    px.push_back({to_byte(c.r), to_byte(c.g), to_byte(c.b)});
  }
  if (px.empty()) return out;
  const std::vector<Colour> original = px;

  std::vector<Box> boxes{{0, px.size(), box_sse(px, 0, px.size())}};
  while (static_cast<int>(boxes.size()) < options.colours) {
    auto worst = std::max_element(boxes.begin(), boxes.end(),
                                  [](const Box& a, const Box& b) { return a.sse < b.sse; });
    if (worst->sse <= 0.0) break;
    const Box box = *worst;
    const std::size_t cut = split_box(px, box);
    *worst = {box.begin, cut, box_sse(px, box.begin, cut)};
    boxes.push_back({cut, box.end, box_sse(px, cut, box.end)});
  }

  const int n = static_cast<int>(boxes.size());
  std::vector<double> centres(static_cast<std::size_t>(n) * 3);
  for (int b = 0; b < n; ++b) {
    double s[3] = {0, 0, 0};
    for (std::size_t i = boxes[b].begin; i < boxes[b].end; ++i)
      for (int c = 0; c < 3; ++c) s[c] += px[i][c];
    for (int c = 0; c < 3; ++c) centres[b * 3 + c] = s[c] / static_cast<double>(boxes[b].end - boxes[b].begin);
  }
  auto write_palette = [&] {
    for (int b = 0; b < n; ++b)
      for (int c = 0; c < 3; ++c)
        out.palette[(options.first_index + b) * 3 + c] =
            static_cast<std::uint8_t>(std::clamp(std::lround(centres[b * 3 + c]), 0L, 255L));
  };
  write_palette();

  // Refinement: move every colour to the mean of the pixels that chose it.
  for (int round = 0; round < 3; ++round) {
    NearestColour nearest(out.palette, options.first_index, n);
    std::vector<double> sum(static_cast<std::size_t>(n) * 3, 0.0);
    std::vector<std::size_t> members(static_cast<std::size_t>(n), 0);
    for (const Colour& c : original) {
      const int k = nearest(c[0], c[1], c[2]) - options.first_index;
      ++members[k];
      for (int ch = 0; ch < 3; ++ch) sum[k * 3 + ch] += c[ch];
    }
    for (int b = 0; b < n; ++b)
      if (members[b] > 0)
        for (int ch = 0; ch < 3; ++ch) centres[b * 3 + ch] = sum[b * 3 + ch] / static_cast<double>(members[b]);
    write_palette();
  }

  NearestColour nearest(out.palette, options.first_index, n);
  diffuse(image, out, nearest, out.palette, options.dither, options.transparent);
  return out;
}

void map_to_palette(const RgbImage& image, IndexedImage& out, int first, int count, float dither) {
  if (first < 0 || count < 1 || first + count > 256 || out.width != image.width() || out.height != image.height())
    throw std::invalid_argument("map_to_palette: palette range or picture size mismatch");
  NearestColour nearest(out.palette, first, count);
  diffuse(image, out, nearest, out.palette, dither, {});
}

}  // namespace morvane::standin
