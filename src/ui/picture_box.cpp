// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture_box.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>
#include <utility>

#include "shared/faults.h"
#include "shared/safe_file.h"
#include "ui/messages.h"
#include "ui/notice.h"
#include "ui/picture_file.h"
#include "ui/text_pixels.h"

namespace velmor::ui {

namespace {

// Circles larger than this many pixels are traced row by row over the image
// instead of point by point round the whole circumference.
constexpr double kBigCircle = 4096;

int RoundPx(double v) {
  const double r = v + 0.5;
  // floor() is a library call on the processors the build targets; within
  // the range of int the truncation, one less below a fraction, is floor.
  if (r > -2147483648.0 && r < 2147483647.0) {
    const int i = static_cast<int>(r);
    return i - (r < i);
  }
  return static_cast<int>(std::floor(r));
}

// Every picture prints in the one font: its glyphs are drawn once for all.
TextPixels& PictureText() {
  static TextPixels* const shared = new TextPixels(PictureFont());
  return *shared;
}

void RequireFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) RaiseComputeFault("overflow");
  }
}

std::uint64_t Bits(double v) {
  std::uint64_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

}  // namespace

namespace {

// The midpoint circle's px for py = 0, 1, … while px ≥ py: the steps of one
// octant, the other seven being its reflections.
void OctantSteps(int r, std::vector<int>& pxs) {
  // py ≤ px ≤ r at every step: at most r + 1 of them.
  pxs.resize(static_cast<std::size_t>(r) + 1);
  int* const out = pxs.data();
  std::size_t n = 0;
  int px = r, py = 0, err = 1 - r;
  while (px >= py) {
    out[n++] = px;
    ++py;
    // A step inward when err ≥ 0, worked out without a branch: which way
    // the circle goes next the processor would guess wrong half the time.
    const int in = err >= 0;
    px -= in;
    err += 2 * py + 1 - 2 * px * in;
  }
  pxs.resize(n);
}

// Midpoint circle, eight octants, given one octant's steps.
template <class Put>
void TraceCircle(int cx, int cy, const std::vector<int>& pxs, const Put& put) {
  for (int py = 0; py < static_cast<int>(pxs.size()); ++py) {
    const int px = pxs[py];
    put(cx + px, cy + py);
    put(cx + py, cy + px);
    put(cx - py, cy + px);
    put(cx - px, cy + py);
    put(cx - px, cy - py);
    put(cx - py, cy - px);
    put(cx + py, cy - px);
    put(cx + px, cy - py);
  }
}

// The steps i, from the first to before the second, at which c + s × i lies
// within 0 … size − 1, s being 1 or -1.
std::pair<int, int> StepsAcross(int steps, int c, int s, int size) {
  const int lo = s > 0 ? -c : c - (size - 1), hi = s > 0 ? size - 1 - c : c;
  return {std::max(lo, 0), std::min(hi + 1, steps)};
}

// The same for c + s × pxs[i]: px never grows along the steps, so those
// steps too run from one to another.
std::pair<int, int> StepsAlong(const std::vector<int>& pxs, int c, int s, int size) {
  const int lo = s > 0 ? -c : c - (size - 1), hi = s > 0 ? size - 1 - c : c;
  // Mostly the octant does not reach the edge this coordinate meets.
  if (pxs.front() <= hi && pxs.back() >= lo) return {0, static_cast<int>(pxs.size())};
  // Halved without a branch: where a circle crosses an edge is no pattern
  // the processor could guess.
  const auto steps = [&](int from, auto before) {
    const int* base = pxs.data() + from;
    std::size_t len = pxs.size() - static_cast<std::size_t>(from);
    if (len == 0) return from;
    while (len > 1) {
      const std::size_t half = len / 2;
      base = before(base[half]) ? base + half : base;
      len -= half;
    }
    return static_cast<int>(base - pxs.data()) + (before(*base) ? 1 : 0);
  };
  const int first = steps(0, [hi](int p) { return p > hi; });
  return {first, steps(first, [lo](int p) { return p >= lo; })};
}

// The picture's tiles are 1 << kPenTileShift pixels square (see
// PictureBox::kTileShift).
constexpr int kPenTileShift = 4;
// Circles of a radius below this take their octant steps from a table
// shared by all pictures.
constexpr int kSharedOctants = 1024;

// Where a thin circle drawn straight into the picture writes: its pixels,
// and the stamps of their tiles.
struct Pen {
  std::uint32_t* bits;
  std::uint64_t* stamps;
  std::ptrdiff_t w;
  std::uint32_t tilesWide;
  std::uint64_t stamp;
  std::uint32_t argb;
};

// One octant's pixels within a w × h image, its signs of x and y about the
// centre known to the compiler, and whether x follows the step (and y px)
// rather than px (and y the step). The steps go by blocks within one row
// (or column) of tiles: the other coordinate moves by at most a pixel a
// step, so the block's pixels lie in the tiles between its first pixel's
// and its last's, stamped once for the block rather than once a pixel.
template <int sx, int sy, bool swap>
void OctantWithin(int cx, int cy, const std::vector<int>& pxs, int w, int h, const Pen& pen) {
  constexpr int kTile = 1 << kPenTileShift;
  const int steps = static_cast<int>(pxs.size());
  int first = 0, end = steps;
  // Most circles lie wholly within the picture (the first step's px is the
  // radius): then every step does, and none is searched for.
  const int r = steps > 0 ? pxs[0] : 0;
  if (cx < r || cx + r >= w || cy < r || cy + r >= h) {
    const auto [a, b] = swap ? StepsAcross(steps, cx, sx, w) : StepsAlong(pxs, cx, sx, w);
    const auto [c, d] = swap ? StepsAlong(pxs, cy, sy, h) : StepsAcross(steps, cy, sy, h);
    first = std::max(a, c);
    end = std::min(b, d);
  }
  const int* const px = pxs.data();
  constexpr int sStep = swap ? sx : sy;  // the sign the step coordinate moves by
  const int sFrom = swap ? cx : cy, oFrom = swap ? cy : cx;
  constexpr int sOther = swap ? sy : sx;
  for (int i = first; i < end;) {
    const int s = sFrom + sStep * i;
    const int inTile = sStep > 0 ? kTile - (s & (kTile - 1)) : (s & (kTile - 1)) + 1;
    const int blockEnd = std::min(end, i + inTile);
    const int o1 = oFrom + sOther * px[i], o2 = oFrom + sOther * px[blockEnd - 1];
    const std::uint32_t sTile = static_cast<std::uint32_t>(s) >> kPenTileShift;
    const std::uint32_t oLast = static_cast<std::uint32_t>(std::max(o1, o2)) >> kPenTileShift;
    for (std::uint32_t t = static_cast<std::uint32_t>(std::min(o1, o2)) >> kPenTileShift;
         t <= oLast; ++t) {
      pen.stamps[swap ? t * pen.tilesWide + sTile : sTile * pen.tilesWide + t] = pen.stamp;
    }
    // Copied: a pixel written might otherwise be the pen, to the compiler.
    std::uint32_t* const bits = pen.bits;
    const std::ptrdiff_t pitch = pen.w;
    const std::uint32_t argb = pen.argb;
    // The step's own coordinate moves the offset by a pixel or a row; px
    // moves the pixel off it the other way.
    const std::ptrdiff_t along = swap ? sx : sy * pitch, across = swap ? sy * pitch : sx;
    std::ptrdiff_t at = std::ptrdiff_t{cy} * pitch + cx + along * i;
    for (; i < blockEnd; ++i, at += along) bits[at + across * px[i]] = argb;
  }
}

// The pixels of n circles about one centre that lie within a w × h image,
// given their octants' steps, and those only: each octant's steps within
// the image are worked out first, so no pixel is tested against its edges.
// Drawn octant by octant: the pixels of neighbouring radii lie side by
// side, and are written while their memory is at hand.
void OctantsWithin(int cx, int cy, const std::vector<int>* const* all, std::size_t n, int w, int h,
                   const Pen& pen) {
  const auto each = [&](auto octant) {
    for (std::size_t k = 0; k < n; ++k) octant(*all[k]);
  };
  each([&](const std::vector<int>& p) { OctantWithin<1, 1, false>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<1, 1, true>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<-1, 1, true>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<-1, 1, false>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<-1, -1, false>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<-1, -1, true>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<1, -1, true>(cx, cy, p, w, h, pen); });
  each([&](const std::vector<int>& p) { OctantWithin<1, -1, false>(cx, cy, p, w, h, pen); });
}

// Bresenham's line from one pixel to another, both ends included.
template <class Put>
void TraceLine(int ax, int ay, int bx, int by, const Put& put) {
  const int ddx = std::abs(bx - ax), ddy = -std::abs(by - ay);
  const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  int err = ddx + ddy;
  for (;;) {
    put(ax, ay);
    if (ax == bx && ay == by) break;
    const int e2 = 2 * err;
    if (e2 >= ddy) {
      err += ddy;
      ax += sx;
    }
    if (e2 <= ddx) {
      err += ddx;
      ay += sy;
    }
  }
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, const char* name, int twipsWide, int twipsHigh)
    : QWidget(parent) {
  setObjectName(QString::fromLatin1(name));
  setTwips(QSize(twipsWide, twipsHigh));
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setTwips(QSize(15, 15));
}

void PictureBox::setTwips(QSize twips) {
  twips_ = twips;
  w_ = std::max(1, twips.width() / 15);
  h_ = std::max(1, twips.height() / 15);
  setFixedSize(w_, h_);
  flip_ = static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_) > kFlippedFrom ? ~0u : 0u;
  NewImage(w_, h_);
  pending_.clear();
  ForgetRecentShapes();
  DropWaitingTexts();
  bandTexts_.assign(static_cast<std::size_t>(h_ >> kBandShift) + 1, {});
  ForgetLayers();
  ResetTiles();
  whiteUpTo_ = stamp_++;
  // The size has changed under whatever scale there was.
  ScaleTo(0, 0, twips.width(), twips.height());
  lineHeightPx_ = PictureText().LineHeight();
  ascentPx_ = PictureText().Ascent();
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::NewImage(int w, int h) {
  if (flip_ == 0) {
    image_ = QImage(w, h, QImage::Format_RGB32);
    image_.fill(Qt::white);
  } else {
    // Zeroed by the system, page by page as it is first touched.
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    void* memory = std::calloc(bytes, 1);
    if (!memory) throw std::bad_alloc();
    // The first screen of rows is made resident now, while the window is
    // made, rather than by the first drawing on it (at the end of a run).
    // Through a volatile pointer: the compiler knows calloc's memory is
    // zero, and would drop plain writes of zero.
    const std::size_t first =
        std::min(static_cast<std::size_t>(h), kResidentRows) * static_cast<std::size_t>(w) * 4;
    volatile unsigned char* const touch = static_cast<unsigned char*>(memory);
    for (std::size_t at = 0; at < first; at += 4096) touch[at] = 0;
    paintBand_ = QImage(w, kPaintBandRows, QImage::Format_RGB32);
    paintBand_.fill(Qt::white);
    image_ = QImage(
        static_cast<uchar*>(memory), w, h, w * 4, QImage::Format_RGB32,
        [](void* m) { std::free(m); }, memory);
  }
  bits_ = reinterpret_cast<std::uint32_t*>(image_.bits());
}

namespace {
// A row of pixels flipped into another (or the same) row, four at a time: a
// paint of a report page flips every pixel it shows.
void FlipRow(const std::uint32_t* from, std::uint32_t* to, int n, std::uint32_t flip) {
  using Four = std::uint32_t __attribute__((vector_size(16)));
  const Four flips = {flip, flip, flip, flip};
  int x = 0;
  for (; x + 4 <= n; x += 4) {
    Four four;
    std::memcpy(&four, from + x, sizeof four);
    four ^= flips;
    std::memcpy(to + x, &four, sizeof four);
  }
  for (; x < n; ++x) to[x] = from[x] ^ flip;
}
}  // namespace

QImage PictureBox::Shown(QImage held) const {
  if (flip_ != 0) {
    for (int y = 0; y < held.height(); ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(held.scanLine(y));
      FlipRow(row, row, held.width(), flip_);
    }
  }
  return held;
}

void PictureBox::SetSizeTwips(int twipsWide, int twipsHigh) {
  const int w = std::max(1, twipsWide / 15);
  const int h = std::max(1, twipsHigh / 15);
  twips_ = QSize(twipsWide, twipsHigh);
  if (w == w_ && h == h_) return;
  Compose();
  // Pixels as held, row by row: the new image holds them the same way.
  const QImage old = image_;
  NewImage(w, h);
  const int rows = std::min(h, h_);
  const auto copied = static_cast<std::size_t>(std::min(w, w_)) * sizeof(std::uint32_t);
  for (int y = 0; y < rows; ++y) std::memcpy(image_.scanLine(y), old.constScanLine(y), copied);
  w_ = w;
  h_ = h;
  bandTexts_.assign(static_cast<std::size_t>(h_ >> kBandShift) + 1, {});
  // Kept layers hold pixel indices of the old size.
  ForgetLayers();
  ResetTiles();
  whiteUpTo_ = 0;
  sx_ = w_ / (right_ - left_);
  sy_ = h_ / (bottom_ - top_);
  setFixedSize(w_, h_);
  Touch();
}

void PictureBox::SetScale(double left, double top, double right, double bottom) {
  // Set again at every refresh, mostly to what it is (bit for bit: a zero
  // of the other sign is another scale to the driver).
  if (Bits(left) == Bits(left_) && Bits(top) == Bits(top_) && Bits(right) == Bits(right_) &&
      Bits(bottom) == Bits(bottom_)) {
    return;
  }
  ScaleTo(left, top, right, bottom);
}

void PictureBox::ScaleTo(double left, double top, double right, double bottom) {
  RequireFinite({left, top, right, bottom});
  if (right == left || top == bottom) RaiseComputeFault("division by zero");
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  sx_ = w_ / (right - left);
  sy_ = h_ / (bottom - top);
}

void PictureBox::Cls() {
  // Whatever was put off would be covered.
  DropPending();
  DropWaitingTexts();
  // A report page is a tall picture mostly white: only the tiles drawn on
  // since it was last all white are made white again.
  const std::size_t tilesHigh = tileStamp_.size() / tilesWide_;
  for (std::size_t ty = 0; ty < tilesHigh; ++ty) {
    const std::size_t rowFrom = ty << kTileShift;
    const std::size_t rowTo = std::min(rowFrom + (1u << kTileShift), static_cast<std::size_t>(h_));
    std::size_t tx = 0;
    while (tx < tilesWide_) {
      if (tileStamp_[ty * tilesWide_ + tx] <= whiteUpTo_) {
        ++tx;
        continue;
      }
      const std::size_t first = tx;
      while (tx < tilesWide_ && tileStamp_[ty * tilesWide_ + tx] > whiteUpTo_) ++tx;
      const std::size_t from = first << kTileShift;
      const std::size_t to = std::min(tx << kTileShift, static_cast<std::size_t>(w_));
      for (std::size_t y = rowFrom; y < rowTo && from < to; ++y) {
        std::fill(bits_ + y * w_ + from, bits_ + y * w_ + to, 0xFFFFFFFFu ^ flip_);
      }
    }
  }
  // Every kept layer laid down before now has to be laid down everywhere
  // again; the tiles keep their stamps (a report page has tens of
  // thousands of them).
  clearedAt_ = stamp_;
  whiteUpTo_ = stamp_++;
  texts_.Clear();
  stats_ = {};
  curX_ = 0;
  curY_ = 0;
  Touch();
  emit Cleared();
}

inline void PictureBox::Touch() {
  if (!dirty_) {
    dirty_ = true;
    update();
  }
}

inline void PictureBox::Plot(int x, int y, std::uint32_t argb) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  const std::uint32_t idx = static_cast<std::uint32_t>(y) * static_cast<std::uint32_t>(w_) + x;
  const std::uint32_t tile = TileOf(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
  // Stamped whether or not it changes, as a thin circle's pixels are: see
  // RasterCircle.
  bits_[idx] = argb;
  tileStamp_[tile] = stamp_;
  if (capturing_) captured_.push_back({tile, idx, argb});
}

// A pen of the line width laid down at one pixel.
void PictureBox::Stamp(int x, int y, std::uint32_t argb) {
  if (lineWidth_ <= 1) {
    Plot(x, y, argb);
    return;
  }
  const int w = lineWidth_;
  const int lo = -(w - 1) / 2;
  const double rr = (w / 2.0) * (w / 2.0);
  for (int dy = lo; dy < lo + w; ++dy) {
    for (int dx = lo; dx < lo + w; ++dx) {
      const double cx = dx - lo - (w - 1) / 2.0;
      const double cy = dy - lo - (w - 1) / 2.0;
      if (w <= 2 || cx * cx + cy * cy <= rr) Plot(x + dx, y + dy, argb);
    }
  }
}

// Both ends beyond the same edge of the image plus a pen this wide.
bool PictureBox::BeyondOneEdge(double x1, double y1, double x2, double y2, int width) const {
  const double m = width + 2;
  return (x1 < -m && x2 < -m) || (x1 > w_ + m && x2 > w_ + m) || (y1 < -m && y2 < -m) ||
         (y1 > h_ + m && y2 > h_ + m);
}

// Clipped to the image plus the pen, so far-away endpoints cost nothing. A
// line with both ends inside needs no clipping: t0 = 0 and t1 = 1. Ends
// nearer than kNear pixels keep the clipping's rounding error below 1e-6.
constexpr double kNear = 1 << 30;
bool PictureBox::LineEnds(double x1, double y1, double x2, double y2, int width,
                          PixelEnds& ends) const {
  const double m = width + 2;
  const double xmin = -m, ymin = -m, xmax = w_ + m, ymax = h_ + m;
  double t0 = 0, t1 = 1;
  const double dx = x2 - x1, dy = y2 - y1;
  const auto inside = [&](double x, double y) {
    return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
  };
  if (dy == 0 && y1 >= ymin && y1 <= ymax && std::fabs(x1) < kNear && std::fabs(x2) < kNear) {
    // A level line across the picture, such as a path: an end clipped lands
    // on the edge itself to within far less than half a pixel (the edges
    // are whole pixels and the ends near), and rounds to it; the clipping
    // below without its division.
    if ((x1 < xmin && x2 < xmin) || (x1 > xmax && x2 > xmax)) return false;
    const int y = RoundPx(y1);
    ends = {RoundPx(x1 < xmin   ? xmin
                    : x1 > xmax ? xmax
                                : x1),
            y,
            RoundPx(x2 < xmin   ? xmin
                    : x2 > xmax ? xmax
                                : x1 + dx),
            y};
    return true;
  }
  if (!inside(x1, y1) || !inside(x2, y2)) {
    // Nothing to draw, as the clipping below would find.
    if (BeyondOneEdge(x1, y1, x2, y2, width)) return false;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    const bool crossed[4] = {(x1 < xmin) || (x2 < xmin), (x1 > xmax) || (x2 > xmax),
                             (y1 < ymin) || (y2 < ymin), (y1 > ymax) || (y2 > ymax)};
    for (int i = 0; i < 4; ++i) {
      // An edge both ends lie within leaves t0 and t1 as they are: its t
      // is at most 0 or at least 1, rounding and all.
      if (!crossed[i]) continue;
      if (p[i] == 0) {
        if (q[i] < 0) return false;
      } else {
        const double t = q[i] / p[i];
        if (p[i] < 0) {
          if (t > t1) return false;
          t0 = std::max(t0, t);
        } else {
          if (t < t0) return false;
          t1 = std::min(t1, t);
        }
      }
    }
  }
  ends = {RoundPx(x1 + t0 * dx), RoundPx(y1 + t0 * dy), RoundPx(x1 + t1 * dx),
          RoundPx(y1 + t1 * dy)};
  return true;
}

void PictureBox::RasterLine(double x1, double y1, double x2, double y2, std::uint32_t argb) {
  PixelEnds ends;
  if (!LineEnds(x1, y1, x2, y2, lineWidth_, ends)) return;
  const int ax = ends.ax, ay = ends.ay, bx = ends.bx, by = ends.by;
  // The thin pen outside a layer being kept: straight into the image, a
  // level or upright line as one run of pixels.
  const bool direct = lineWidth_ <= 1 && !capturing_;
  if (direct && (ay == by || ax == bx)) {
    if (ay == by && ay >= 0 && ay < h_) {
      const int from = std::max(std::min(ax, bx), 0), to = std::min(std::max(ax, bx), w_ - 1);
      if (from <= to) {
        std::uint32_t* const row =
            &bits_[static_cast<std::size_t>(ay) * static_cast<std::size_t>(w_)];
        // Four pixels a store: the compiler leaves a plain fill a pixel a time.
        using Four = std::uint32_t __attribute__((vector_size(16)));
        const Four four = {argb, argb, argb, argb};
        int x = from;
        for (; x + 4 <= to + 1; x += 4) std::memcpy(row + x, &four, sizeof four);
        for (; x <= to; ++x) row[x] = argb;
        // Kept layers trust the tiles' stamps to know what was drawn over.
        const std::uint32_t y = static_cast<std::uint32_t>(ay);
        for (std::uint32_t t = TileOf(from, y); t <= TileOf(to, y); ++t) tileStamp_[t] = stamp_;
      }
    } else if (ax == bx && ax >= 0 && ax < w_) {
      const int from = std::max(std::min(ay, by), 0), to = std::min(std::max(ay, by), h_ - 1);
      for (int y = from; y <= to; ++y) {
        bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + ax] = argb;
      }
      const std::uint32_t x = static_cast<std::uint32_t>(ax);
      for (int y = from; y <= to; y += 1 << kTileShift) {
        tileStamp_[TileOf(x, static_cast<std::uint32_t>(y))] = stamp_;
      }
      if (from <= to) tileStamp_[TileOf(x, static_cast<std::uint32_t>(to))] = stamp_;
    }
    return;
  }
  if (direct) {
    TraceLine(ax, ay, bx, by, [&](int x, int y) {
      if (x >= 0 && y >= 0 && x < w_ && y < h_) {
        bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + x] = argb;
        tileStamp_[TileOf(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y))] = stamp_;
      }
    });
  } else if (lineWidth_ <= 1) {
    // A kept layer's lines of sight run hundreds of pixels: each one kept
    // as Plot keeps it, without going through the pen.
    TraceLine(ax, ay, bx, by, [&](int x, int y) { Plot(x, y, argb); });
  } else {
    TraceLine(ax, ay, bx, by, [&](int x, int y) { Stamp(x, y, argb); });
  }
}

void PictureBox::InsideLine(int ax, int ay, int bx, int by, std::uint32_t argb) {
  const std::uint32_t tile = TileOf(static_cast<std::uint32_t>(ax), static_cast<std::uint32_t>(ay));
  if (tile == TileOf(static_cast<std::uint32_t>(bx), static_cast<std::uint32_t>(by))) {
    // The pixels lie between the ends, so within their tile: a ray's step
    // mostly is.
    tileStamp_[tile] = stamp_;
    TraceLine(ax, ay, bx, by, [&](int x, int y) {
      bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + x] = argb;
    });
    return;
  }
  TraceLine(ax, ay, bx, by, [&](int x, int y) {
    bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + x] = argb;
    tileStamp_[TileOf(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y))] = stamp_;
  });
}

void PictureBox::Line(double x1, double y1, double x2, double y2, Rgb colour) {
  const double px1 = PixelX(x1), py1 = PixelY(y1), px2 = PixelX(x2), py2 = PixelY(y2);
  RequireFinite({px1, py1, px2, py2});
  ++stats_.lines;
  curX_ = x2;
  curY_ = y2;
  Emit({PendingOp::kLine, lineWidth_, Ink(colour), px1, py1, px2, py2, nullptr, nullptr});
  Touch();
}

void PictureBox::Segments(const double* xy, std::size_t n, Rgb colour) {
  if (lineWidth_ > 1 || capturing_) {
    Canvas::Segments(xy, n, colour);
    return;
  }
  // What waits is laid down first, so the lines go straight into the image
  // and still land after it; nothing here puts drawing off.
  Compose();
  const std::uint32_t argb = Ink(colour);
  const double right = w_ - 1, bottom = h_ - 1;
  for (std::size_t k = 0; k < n; ++k) {
    const double* const s = xy + 4 * k;
    const double px1 = PixelX(s[0]), py1 = PixelY(s[1]), px2 = PixelX(s[2]), py2 = PixelY(s[3]);
    // Most segments are a ray's few pixels well inside the picture: their
    // ends round to pixels of it, as RasterLine rounds an unclipped line's
    // (at zero or above, truncating a half more is that rounding), and
    // their pixels need no bounds. Only ends known to be near are rounded:
    // a far one would not fit an int.
    if (px1 >= 0 && py1 >= 0 && px2 >= 0 && py2 >= 0 && px1 < right && py1 < bottom &&
        px2 < right && py2 < bottom) {
      ++stats_.lines;
      InsideLine(static_cast<int>(px1 + 0.5), static_cast<int>(py1 + 0.5),
                 static_cast<int>(px1 + (px2 - px1) + 0.5),
                 static_cast<int>(py1 + (py2 - py1) + 0.5), argb);
      continue;
    }
    if (!std::isfinite(px1) || !std::isfinite(py1) || !std::isfinite(px2) || !std::isfinite(py2)) {
      // The fault as that line alone raises it, after the lines before it.
      if (k > 0) {
        curX_ = s[-2];
        curY_ = s[-1];
        Touch();
      }
      Line(s[0], s[1], s[2], s[3], colour);
      continue;
    }
    ++stats_.lines;
    // Rays beyond one edge of the picture, often many, leave nothing.
    if (!BeyondOneEdge(px1, py1, px2, py2, lineWidth_)) RasterLine(px1, py1, px2, py2, argb);
  }
  if (n > 0) {
    curX_ = xy[4 * n - 2];
    curY_ = xy[4 * n - 1];
    Touch();
  }
}

void PictureBox::Circle(double x, double y, double radius, Rgb colour) {
  const double pcx = PixelX(x), pcy = PixelY(y);
  const double pr = std::fabs(radius * sx_);
  RequireFinite({pcx, pcy, pr});
  ++stats_.circles;
  curX_ = x;
  curY_ = y;
  const double reach = pr + lineWidth_ + 2;
  if (pcx + reach < 0 || pcx - reach > w_ || pcy + reach < 0 || pcy - reach > h_) return;
  Touch();
  Emit({PendingOp::kCircle, lineWidth_, Ink(colour), pcx, pcy, pr, 0, nullptr, nullptr});
}

namespace {
// The octants of the smaller circles, each worked out once for all
// pictures: a front grows through the same radii period after period, run
// after run. Not a function's static: it is asked for at every circle;
// never destroyed, as a picture may draw after the program's statics go.
auto& octants = *new std::vector<std::vector<int>>;
}  // namespace

const std::vector<int>& PictureBox::OctantOf(int r) {
  if (r >= kSharedOctants) {
    OctantSteps(r, circleSteps_);
    return circleSteps_;
  }
  if (octants.empty()) octants.resize(kSharedOctants);
  std::vector<int>& steps = octants[static_cast<std::size_t>(r)];
  if (steps.empty()) OctantSteps(r, steps);
  return steps;
}

void PictureBox::RasterCircle(double pcx, double pcy, double pr, std::uint32_t argb) {
  if (pr < kBigCircle) {
    const int cx = RoundPx(pcx), cy = RoundPx(pcy);
    const int r = RoundPx(pr);
    if (r == 0) {
      Stamp(cx, cy, argb);
      return;
    }
    const std::vector<int>& steps = OctantOf(r);
    if (lineWidth_ <= 1 && !capturing_) {
      // The thin pen outside a layer being kept: straight into the image.
      // Every tile it passes is stamped, changed or not: whether a pixel
      // already had the colour is a guess the processor gets wrong about
      // half the time, and costs more than laying kept layers down again
      // where a circle changed nothing (rare: the grid crosses most tiles).
      static_assert(kPenTileShift == kTileShift);
      const std::vector<int>* const one = &steps;
      OctantsWithin(cx, cy, &one, 1, w_, h_,
                    {bits_, tileStamp_.data(), w_, tilesWide_, stamp_, argb});
      return;
    }
    if (lineWidth_ <= 1) {
      TraceCircle(cx, cy, steps, [&](int x, int y) { Plot(x, y, argb); });
    } else {
      TraceCircle(cx, cy, steps, [&](int x, int y) { Stamp(x, y, argb); });
    }
    return;
  }
  // A huge circle: only where it crosses the rows and columns of the image.
  for (int row = -lineWidth_; row < h_ + lineWidth_; ++row) {
    const double d = row - pcy;
    if (std::fabs(d) > pr) continue;
    const double half = std::sqrt(pr * pr - d * d);
    Stamp(RoundPx(pcx - half), row, argb);
    Stamp(RoundPx(pcx + half), row, argb);
  }
  for (int col = -lineWidth_; col < w_ + lineWidth_; ++col) {
    const double d = col - pcx;
    if (std::fabs(d) > pr) continue;
    const double half = std::sqrt(pr * pr - d * d);
    Stamp(col, RoundPx(pcy - half), argb);
    Stamp(col, RoundPx(pcy + half), argb);
  }
}

void PictureBox::PSet(double x, double y, Rgb colour) {
  const double px = PixelX(x), py = PixelY(y);
  RequireFinite({px, py});
  ++stats_.points;
  curX_ = x;
  curY_ = y;
  if (px < -lineWidth_ - 1 || py < -lineWidth_ - 1 || px > w_ + lineWidth_ ||
      py > h_ + lineWidth_) {
    return;
  }
  Emit({PendingOp::kPoint, lineWidth_, Ink(colour), px, py, 0, 0, nullptr, nullptr});
  Touch();
}

// As many calls of PSet would draw them, faults included, without putting
// each one through the queue: a kept drawing's trace is thousands of them.
void PictureBox::Points(const double* xy, std::size_t n, Rgb colour) {
  if (!pending_.empty() || lineWidth_ > 1) {
    Canvas::Points(xy, n, colour);
    return;
  }
  if (!bandsWaiting_.empty()) DrawWaitingTexts(0, h_);
  const std::uint32_t argb = Ink(colour);
  bool drawn = false;
  // A trace's points fall many to a pixel: the same pixel again, right
  // after itself and in the same colour, would change nothing.
  int lastX = 0, lastY = 0;
  bool any = false;
  for (std::size_t k = 0; k < n; ++k) {
    const double x = xy[2 * k], y = xy[2 * k + 1];
    const double px = PixelX(x), py = PixelY(y);
    if (!std::isfinite(px) || !std::isfinite(py)) {
      if (drawn) Touch();
      PSet(x, y, colour);  // raises the fault
      continue;
    }
    ++stats_.points;
    curX_ = x;
    curY_ = y;
    if (px < -2 || py < -2 || px > w_ + 1 || py > h_ + 1) continue;
    const int ix = RoundPx(px), iy = RoundPx(py);
    if (!any || ix != lastX || iy != lastY) Plot(ix, iy, argb);
    lastX = ix;
    lastY = iy;
    any = true;
    drawn = true;
  }
  if (drawn) Touch();
}

void PictureBox::SetLineWidth(int width) {
  lineWidth_ = std::clamp(width, 1, 64);
}

void PictureBox::SetCurrent(double x, double y) {
  RequireFinite({x, y});
  curX_ = x;
  curY_ = y;
}

const PictureBox::Mask& PictureBox::TextMask(const std::string& line) {
  auto it = masks_.find(line);
  if (it != masks_.end()) return *it->second;
  if (masks_.size() > kMostMasks) {
    // Drawing put off refers to the masks.
    ComposeQueue();
    masks_.clear();
  }
  return *masks_.emplace(line, SharedMask(line)).first->second;
}

std::shared_ptr<const PictureBox::Mask> PictureBox::SharedMask(const std::string& line) {
  // Every picture prints in the one font, so a line has the same pixels in
  // all of them: a window opened again, or a run made again, finds its
  // lines put together already. A picture holds on to the masks it uses.
  static auto* const shared = new std::unordered_map<std::string, std::shared_ptr<const Mask>>;
  auto it = shared->find(line);
  if (it != shared->end()) return it->second;
  if (shared->size() > kMostMasks) shared->clear();
  auto mask = std::make_shared<Mask>();
  mask->width =
      PictureText().Of(QString::fromUtf8(line.data(), static_cast<int>(line.size())), maskScratch_);
  mask->pixels.assign(maskScratch_.begin(), maskScratch_.end());
  for (const auto& [mx, my] : mask->pixels) {
    if (mask->right < mask->left) {
      mask->left = mask->right = mx;
      mask->top = mask->bottom = my;
    }
    mask->left = std::min<int>(mask->left, mx);
    mask->right = std::max<int>(mask->right, mx);
    mask->top = std::min<int>(mask->top, my);
    mask->bottom = std::max<int>(mask->bottom, my);
  }
  shared->emplace(line, mask);
  return mask;
}

void PictureBox::Print(std::string_view text) {
  const std::uint32_t argb = Ink(fore_);
  Log(texts_.Id(curX_, curY_, text));
  if (capturing_) capturing_->texts.push_back({curX_, curY_, std::string(text)});
  ++stats_.texts;
  double y = curY_;
  double x = curX_;
  const double lineUser = lineHeightPx_ / sy_;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    const std::string line(text.substr(start, end == std::string_view::npos ? end : end - start));
    const double px = PixelX(x), py = PixelY(y);
    if (!line.empty() && px > -8192 && px < w_ && py > -lineHeightPx_ - 2 && py < h_) {
      if (pending_.empty() && !capturing_) {
        PutOffText(line, RoundPx(px), RoundPx(py), argb);
      } else {
        const Mask& m = TextMask(line);
        Emit({PendingOp::kText, lineWidth_, argb, px, py, 0, 0, &m, nullptr});
      }
      Touch();
    }
    y += lineUser;
    x = left_;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  curX_ = left_;
  curY_ = y;
}

void PictureBox::ResetTiles() {
  tilesWide_ = (static_cast<std::uint32_t>(w_) >> kTileShift) + 1;
  const std::size_t tiles = tilesWide_ * ((static_cast<std::size_t>(h_) >> kTileShift) + 1);
  tileStamp_.assign(tiles, stamp_);
}

// Lays a kept layer down again as drawing it anew would: only the tiles
// stamped since it was last laid down can differ from its pixels. Laying
// down stamps a tile only when a pixel of it changes, so layers that share
// tiles do not make each other lay them down at every refresh (a thin
// circle stamps every tile it passes). In such a tile every part is laid
// down, in the order it was drawn.
void PictureBox::LayDown(Layer& layer) {
  // Laid down before the picture was last cleared: everywhere (no tile's
  // stamp is 0).
  const std::uint64_t since = layer.laid < clearedAt_ ? 0 : layer.laid;
  for (const PixelsPart& part : layer.parts) LayDownPart(*part, since);
  layer.laid = stamp_++;
}

void PictureBox::LayDownPart(const Pixels& part, std::uint64_t since) {
  std::uint32_t begin = 0;
  for (const TileRun& run : part.runs) {
    if (tileStamp_[run.tile] > since) {
      // Pixels already right are left alone: mostly a tile was stamped for
      // pixels of another layer, and this one's stand as they were.
      std::uint32_t i = begin;
      const Pixel* const pixels = part.pixels.get();
      while (i < run.end && bits_[pixels[i].at] == pixels[i].colour) ++i;
      if (i < run.end) {
        for (; i < run.end; ++i) bits_[pixels[i].at] = pixels[i].colour;
        tileStamp_[run.tile] = stamp_;
      }
    }
    begin = run.end;
  }
}

// A refresh draws the front and the next one erases it with a circle on the
// same pixels; the paths are drawn again at every refresh, mostly to the
// same pixels. Every drawing put off is a plain write of its pixels (a kept
// layer's laying down writes all of them, as far as anything can tell), and
// nothing looks at the picture while it waits: a circle or line put off
// whose pixels a later one put off covers would never be seen, and is not
// drawn.
inline bool PictureBox::LineCovers(const LinePrint& later, const LinePrint& earlier) {
  const PixelEnds& e = earlier.ends;
  const PixelEnds& l = later.ends;
  if (earlier.width == later.width && e.ax == l.ax && e.ay == l.ay && e.bx == l.bx &&
      e.by == l.by) {
    return true;
  }
  // A thin level line within a later one on the same row (or an upright
  // one within a later one on the same column) has every pixel written
  // again by it: a path drawn from its start to where a body is now.
  if (earlier.width > 1 || later.width > 1) return false;
  const auto inside = [](int e1, int e2, int l1, int l2) {
    return std::min(e1, e2) >= std::min(l1, l2) && std::max(e1, e2) <= std::max(l1, l2);
  };
  if (e.ay == e.by && l.ay == l.by && e.ay == l.ay) return inside(e.ax, e.bx, l.ax, l.bx);
  if (e.ax == e.bx && l.ax == l.bx && e.ax == l.ax) return inside(e.ay, e.by, l.ay, l.by);
  return false;
}

// A shape covers only one of its own kind: each kind has its own list. One
// already covered stays so.
bool PictureBox::CoverEarlierLine(const PendingOp& op) {
  LinePrint print;
  print.width = op.width;
  // A line wholly off the picture has nothing to draw.
  if (!LineEnds(op.a, op.b, op.c, op.d, op.width, print.ends)) return false;
  for (std::size_t k = 0; k < 4; ++k) {
    const std::size_t at = recentLines_.at[k];
    if (at < pending_.size() && pending_[at].kind == PendingOp::kLine &&
        LineCovers(print, recentLines_.print[k])) {
      pending_[at].kind = PendingOp::kCovered;
    }
  }
  recentLines_.Add(pending_.size(), print);
  return true;
}

void PictureBox::CoverEarlierCircle(const PendingOp& op) {
  CirclePrint print;
  print.width = op.width;
  if (op.c < kBigCircle) {
    print.cx = RoundPx(op.a);
    print.cy = RoundPx(op.b);
    print.r = RoundPx(op.c);
  } else {
    print.big = true;
    print.a = op.a;
    print.b = op.b;
    print.c = op.c;
  }
  // Compared with the values at hand, not with the print just written:
  // read back as one wider word, the halves written a moment before would
  // wait for the writes to land (at every circle of every refresh).
  const int width = print.width, cx = print.cx, cy = print.cy, r = print.r;
  const bool big = print.big;
  for (std::size_t k = 0; k < 4; ++k) {
    const std::size_t at = recentCircles_.at[k];
    const CirclePrint& e = recentCircles_.print[k];
    const bool same = e.big == big && e.width == width &&
                      (big ? e.a == op.a && e.b == op.b && e.c == op.c
                           : ((e.cx ^ cx) | (e.cy ^ cy) | (e.r ^ r)) == 0);
    if (same && at < pending_.size() && pending_[at].kind == PendingOp::kCircle) {
      pending_[at].kind = PendingOp::kCovered;
    }
  }
  recentCircles_.Add(pending_.size(), print);
}

void PictureBox::ForgetRecentShapes() {
  recentCircles_ = {};
  recentLines_ = {};
}

void PictureBox::Emit(const PendingOp& op) {
  if (!bandsWaiting_.empty()) DrawWaitingTexts(0, h_);
  if (pending_.empty()) {
    Draw(op);
    return;
  }
  if (op.kind == PendingOp::kLine) {
    if (!CoverEarlierLine(op)) return;
  } else if (op.kind == PendingOp::kCircle) {
    CoverEarlierCircle(op);
  }
  pending_.push_back(op);
  if (pending_.size() >= kMostPending) Compose();
}

void PictureBox::Draw(const PendingOp& op) {
  const int width = lineWidth_;
  lineWidth_ = op.width;
  switch (op.kind) {
    case PendingOp::kLine:
      RasterLine(op.a, op.b, op.c, op.d, op.argb);
      break;
    case PendingOp::kCircle:
      RasterCircle(op.a, op.b, op.c, op.argb);
      break;
    case PendingOp::kPoint:
      Stamp(RoundPx(op.a), RoundPx(op.b), op.argb);
      break;
    case PendingOp::kText: {
      const int ox = RoundPx(op.a), oy = RoundPx(op.b);
      if (capturing_) {
        for (const auto& [mx, my] : op.mask->pixels) Plot(ox + mx, oy + my, op.argb);
        break;
      }
      WriteText(*op.mask, ox, oy, op.argb, 0, h_);
      break;
    }
    case PendingOp::kCovered:
      break;
    case PendingOp::kLayer:
      if (op.layer) {
        op.layer->pendingAt = kNotPending;
        LayDown(*op.layer);
      }
      break;
  }
  lineWidth_ = width;
}

// Outside a layer being kept: straight into the image, as Plot would.
void PictureBox::WriteText(const Mask& mask, int ox, int oy, std::uint32_t argb, int rowFrom,
                           int rowTo) {
  // Stamped changed or not, as Plot does, and once for the text: every
  // tile of the box round its pixels within the rows written (a stamp only
  // says where kept layers are to be laid down again).
  const int x0 = std::max(ox + mask.left, 0), x1 = std::min(ox + mask.right, w_ - 1);
  const int y0 = std::max({oy + mask.top, rowFrom, 0});
  const int y1 = std::min({oy + mask.bottom, rowTo - 1, h_ - 1});
  if (x0 > x1 || y0 > y1) return;
  for (int ty = y0 >> kTileShift; ty <= y1 >> kTileShift; ++ty) {
    for (int tx = x0 >> kTileShift; tx <= x1 >> kTileShift; ++tx) {
      tileStamp_[static_cast<std::size_t>(ty) * tilesWide_ + static_cast<std::size_t>(tx)] = stamp_;
    }
  }
  const auto w = static_cast<unsigned>(w_);
  for (const auto& [mx, my] : mask.pixels) {
    const int row = oy + my;
    if (row < rowFrom) continue;
    if (row >= rowTo) break;  // the mask runs row by row
    const auto x = static_cast<unsigned>(ox + mx), y = static_cast<unsigned>(row);
    if (x >= w) continue;
    bits_[std::size_t{y} * w + x] = argb;
  }
}

std::string PictureBox::WaitingKey(std::string_view line, int x, int y) {
  std::string key(line);
  for (const int v : {x, y}) key.append(reinterpret_cast<const char*>(&v), sizeof v);
  return key;
}

void PictureBox::PutOffText(std::string_view line, int x, int y, std::uint32_t argb) {
  const int top = std::max(0, y);
  const int bottom = std::min(h_, y + lineHeightPx_ + 2);
  if (top >= bottom) return;
  const auto index = static_cast<std::uint32_t>(waitingTexts_.size());
  const auto [at, fresh] = waitingAt_.try_emplace(WaitingKey(line, x, y), index);
  if (!fresh) {
    // Every pixel it would still write, the same text printed here again
    // writes later.
    Done(waitingTexts_[at->second]);
    at->second = index;
  }
  const int firstBand = top >> kBandShift, lastBand = (bottom - 1) >> kBandShift;
  waitingTexts_.push_back({static_cast<std::uint32_t>(waitingChars_.size()),
                           static_cast<std::uint32_t>(line.size()), x, y, argb,
                           lastBand - firstBand + 1});
  waitingChars_.append(line);
  for (int band = firstBand; band <= lastBand; ++band) {
    std::vector<std::uint32_t>& texts = bandTexts_[static_cast<std::size_t>(band)];
    if (texts.empty()) bandsWaiting_.push_back(static_cast<std::uint32_t>(band));
    texts.push_back(index);
  }
  if (waitingTexts_.size() >= 256 && textsDone_ * 2 > waitingTexts_.size()) CompactWaitingTexts();
  if (waitingTexts_.size() - textsDone_ > kMostWaitingTexts) DrawWaitingTexts(0, h_);
}

void PictureBox::Done(WaitingText& text) {
  if (text.bandsLeft > 0) {
    text.bandsLeft = 0;
    ++textsDone_;
  }
}

void PictureBox::DrawWaitingTexts(int rowFrom, int rowTo) {
  // Every look and every step of a ray bundle comes here, mostly with none.
  if (bandsWaiting_.empty()) return;
  std::string line;
  for (std::size_t i = 0; i < bandsWaiting_.size();) {
    const std::uint32_t band = bandsWaiting_[i];
    const int top = static_cast<int>(band) << kBandShift;
    const int bottom = std::min(h_, top + (1 << kBandShift));
    if (bottom <= rowFrom || top >= rowTo) {
      ++i;
      continue;
    }
    std::vector<std::uint32_t>& texts = bandTexts_[band];
    for (const std::uint32_t t : texts) {
      WaitingText& text = waitingTexts_[t];
      if (text.bandsLeft == 0) continue;
      line.assign(waitingChars_, text.from, text.size);
      WriteText(TextMask(line), text.x, text.y, text.argb, top, bottom);
      if (--text.bandsLeft == 0) ++textsDone_;
    }
    texts.clear();
    bandsWaiting_[i] = bandsWaiting_.back();
    bandsWaiting_.pop_back();
  }
  if (bandsWaiting_.empty()) DropWaitingTexts();
}

void PictureBox::DropWaitingTexts() {
  for (const std::uint32_t band : bandsWaiting_) bandTexts_[band].clear();
  bandsWaiting_.clear();
  waitingTexts_.clear();
  waitingChars_.clear();
  waitingAt_.clear();
  textsDone_ = 0;
}

// Texts drawn or covered are let go, the rest keep their order.
void PictureBox::CompactWaitingTexts() {
  std::vector<std::uint32_t> renumbered(waitingTexts_.size(), ~std::uint32_t{0});
  std::vector<WaitingText> kept;
  std::string chars;
  waitingAt_.clear();
  for (std::size_t t = 0; t < waitingTexts_.size(); ++t) {
    WaitingText text = waitingTexts_[t];
    if (text.bandsLeft == 0) continue;
    const std::string_view line(waitingChars_.data() + text.from, text.size);
    renumbered[t] = static_cast<std::uint32_t>(kept.size());
    waitingAt_.emplace(WaitingKey(line, text.x, text.y), renumbered[t]);
    text.from = static_cast<std::uint32_t>(chars.size());
    chars.append(line);
    kept.push_back(text);
  }
  for (const std::uint32_t band : bandsWaiting_) {
    std::vector<std::uint32_t>& texts = bandTexts_[band];
    std::size_t to = 0;
    for (const std::uint32_t t : texts) {
      if (renumbered[t] != ~std::uint32_t{0}) texts[to++] = renumbered[t];
    }
    texts.resize(to);
  }
  std::erase_if(bandsWaiting_, [&](std::uint32_t band) { return bandTexts_[band].empty(); });
  waitingTexts_ = std::move(kept);
  waitingChars_ = std::move(chars);
  textsDone_ = 0;
}

void PictureBox::Compose() {
  DrawWaitingTexts(0, h_);
  ComposeQueue();
}

// A thin circle drawn straight into the picture, whose octant steps come
// from the shared table.
bool PictureBox::SharedCircle(const PendingOp& op) const {
  if (op.kind != PendingOp::kCircle || op.width > 1 || capturing_ || !(op.c < kBigCircle)) {
    return false;
  }
  const int r = RoundPx(op.c);
  return r >= 1 && r < kSharedOctants;
}

void PictureBox::ComposeQueue() {
  if (pending_.empty()) return;
  std::vector<PendingOp> ops;
  ops.swap(pending_);
  // Runs of thin circles about one centre in one colour, with nothing drawn
  // between them (a front erased refresh after refresh), are drawn
  // together: each pixel ends in that colour whatever their order.
  for (std::size_t i = 0; i < ops.size();) {
    const PendingOp& first = ops[i];
    if (!SharedCircle(first)) {
      Draw(first);
      ++i;
      continue;
    }
    const int cx = RoundPx(first.a), cy = RoundPx(first.b);
    std::vector<const std::vector<int>*>& run = circleRun_;
    run.clear();
    std::size_t end = i;
    for (; end < ops.size(); ++end) {
      const PendingOp& op = ops[end];
      if (op.kind == PendingOp::kCovered || (op.kind == PendingOp::kLayer && !op.layer)) continue;
      if (!SharedCircle(op) || op.argb != first.argb || RoundPx(op.a) != cx ||
          RoundPx(op.b) != cy) {
        break;
      }
      run.push_back(&OctantOf(RoundPx(op.c)));
    }
    OctantsWithin(cx, cy, run.data(), run.size(), w_, h_,
                  {bits_, tileStamp_.data(), w_, tilesWide_, stamp_, first.argb});
    i = end;
  }
  ops.clear();
  pending_.swap(ops);
  ForgetRecentShapes();
}

void PictureBox::DropPending() {
  for (const PendingOp& op : pending_) {
    if (op.layer) op.layer->pendingAt = kNotPending;
  }
  pending_.clear();
  ForgetRecentShapes();
}

void PictureBox::ComposeForLook() const {
  // Nothing a caller sees changes: the picture only becomes what it was
  // already meant to be.
  const_cast<PictureBox*>(this)->Compose();
}

// The texts of a kept layer as printed again, and what else its drawing
// leaves: the counts and the pen.
inline void PictureBox::Log(std::uint32_t id) {
  texts_.AddId(id);
  if (capturing_) logged_.push_back(id);
}

inline void PictureBox::ReplayRecords(Layer& layer) {
  if (layer.textGeneration != texts_.Generation()) {
    layer.textIds.clear();
    for (const TextRecord& r : layer.texts) layer.textIds.push_back(texts_.Id(r.x, r.y, r.text));
    layer.textGroup = layer.textIds.empty() ? TextLog::kNoGroup : texts_.Group(layer.textIds);
    layer.textGeneration = texts_.Generation();
  }
  if (layer.textGroup != TextLog::kNoGroup) {
    Log(layer.textGroup);
  } else {
    for (const std::uint32_t id : layer.textIds) Log(id);
  }
  if (capturing_) {
    capturing_->texts.insert(capturing_->texts.end(), layer.texts.begin(), layer.texts.end());
  }
  stats_.lines += layer.stats.lines;
  stats_.circles += layer.stats.circles;
  stats_.points += layer.stats.points;
  stats_.texts += layer.stats.texts;
  curX_ = layer.endX;
  curY_ = layer.endY;
  fore_ = layer.foreOut;
  lineWidth_ = layer.widthOut;
}

inline PictureBox::Layer& PictureBox::LayerOf(std::uint64_t key) {
  LayerSlot& slot = layerSlots_[SlotOf(key)];
  if (slot.layer && slot.key == key) return *slot.layer;
  Layer& layer = layers_[key];
  slot = {key, &layer};
  return layer;
}

void PictureBox::ForgetLayers() {
  layers_.clear();
  layerSlots_.fill({});
}

void PictureBox::Repeated(std::uint64_t key, std::uint64_t version, Drawing draw) {
  if (!caching_) {
    draw(*this);
    return;
  }
  if (!bandsWaiting_.empty()) DrawWaitingTexts(0, h_);
  Layer& layer = LayerOf(key);
  if (layer.capturing) {
    // Repeated within its own drawing.
    draw(*this);
    return;
  }
  if (layer.filled && layer.version == version && layer.left == left_ && layer.top == top_ &&
      layer.right == right_ && layer.bottom == bottom_ && layer.foreIn == fore_ &&
      layer.widthIn == lineWidth_) {
    if (capturing_) {
      // Part of a larger drawing being kept: its pixels land as drawing it
      // anew would put them, and its parts become that drawing's.
      Layer& into = *capturing_;
      EndOwnPart(into);
      // Only where it may have been drawn over since it was last laid
      // down, here or on its own: its pixels stand everywhere else.
      LayDown(layer);
      into.parts.insert(into.parts.end(), layer.parts.begin(), layer.parts.end());
      ReplayRecords(layer);
      return;
    }
    // Laid down with the next look at the picture; laid down again before
    // then, the earlier laying down is covered by the later one.
    if (layer.pendingAt != kNotPending) pending_[layer.pendingAt].layer = nullptr;
    // A queue once begun mostly fills up: its room is taken at once.
    if (pending_.empty()) pending_.reserve(kMostPending);
    layer.pendingAt = pending_.size();
    pending_.push_back({PendingOp::kLayer, lineWidth_, 0, 0, 0, 0, 0, nullptr, &layer});
    ReplayRecords(layer);
    Touch();
    if (pending_.size() >= kMostPending) Compose();
    return;
  }
  // Capture: draw for real and keep the last colour of every pixel touched.
  // A layer kept within another one's drawing is captured within it: its
  // parts are the outer layer's too.
  Layer* const outer = capturing_;
  if (!outer) {
    Compose();
    captured_.clear();
    logged_.clear();
  } else {
    EndOwnPart(*outer);
  }
  const std::size_t loggedFirst = logged_.size();
  const std::uint64_t generation = texts_.Generation();
  layer = Layer{};
  layer.version = version;
  layer.left = left_;
  layer.top = top_;
  layer.right = right_;
  layer.bottom = bottom_;
  layer.foreIn = fore_;
  layer.widthIn = lineWidth_;
  layer.ownFrom = captured_.size();
  const Stats before = stats_;
  layer.capturing = true;
  capturing_ = &layer;
  try {
    draw(*this);
  } catch (...) {
    capturing_ = outer;
    layerSlots_[SlotOf(key)] = {};
    layers_.erase(key);
    throw;
  }
  capturing_ = outer;
  layer.capturing = false;
  EndOwnPart(layer);
  // Its texts as the log took them in, kept layers within it by their
  // groups; a picture cleared within its drawing has them worked out again.
  if (texts_.Generation() == generation) {
    layer.textIds.assign(logged_.begin() + static_cast<std::ptrdiff_t>(loggedFirst), logged_.end());
    layer.textGroup = layer.textIds.empty() ? TextLog::kNoGroup : texts_.Group(layer.textIds);
    layer.textGeneration = generation;
  }
  if (outer) {
    outer->parts.insert(outer->parts.end(), layer.parts.begin(), layer.parts.end());
    outer->texts.insert(outer->texts.end(), layer.texts.begin(), layer.texts.end());
  } else {
    logged_.clear();
    // A huge drawing's memory is not kept for the next.
    constexpr std::size_t kKeptCapture = std::size_t{1} << 20;
    if (captured_.capacity() > kKeptCapture) captured_.shrink_to_fit();
    if (lastWrites_.capacity() > kKeptCapture) lastWrites_.shrink_to_fit();
  }
  layer.laid = stamp_++;
  layer.stats.lines = stats_.lines - before.lines;
  layer.stats.circles = stats_.circles - before.circles;
  layer.stats.points = stats_.points - before.points;
  layer.stats.texts = stats_.texts - before.texts;
  layer.endX = curX_;
  layer.endY = curY_;
  layer.foreOut = fore_;
  layer.widthOut = lineWidth_;
  layer.filled = true;
}

// Only the innermost layer being captured writes to captured_: its own
// writes since its last part are all there is.
void PictureBox::EndOwnPart(Layer& layer) {
  const std::size_t first = layer.ownFrom;
  if (captured_.size() <= first) return;
  const std::size_t pixels = static_cast<std::size_t>(w_) * h_;
  if (seen_.size() != (pixels + 63) / 64) seen_.assign((pixels + 63) / 64, 0);
  // Grouped by tile: each pixel is there once, so their order within a
  // tile does not matter. Counted per tile met, not over all the tiles of
  // the picture: most parts meet few of them. The counts are left at zero.
  std::vector<std::uint32_t>& inTile = inTile_;
  if (inTile.size() != tileStamp_.size()) inTile.assign(tileStamp_.size(), 0);
  std::vector<std::uint32_t>& met = tilesMet_;
  met.clear();
  met.reserve(inTile.size());
  // Whatever happens from here on, the counts go back to zero.
  struct ZeroAfter {
    std::vector<std::uint32_t>& counts;
    const std::vector<std::uint32_t>& tiles;
    ~ZeroAfter() {
      for (const std::uint32_t tile : tiles) counts[tile] = 0;
    }
  } zeroAfter{inTile, met};
  // The last write of every pixel, found from the end, and counted in its
  // tile as it is found; the memory for it is kept from one capture to the
  // next, and only the marks made are undone.
  std::vector<LastWrite>& last = lastWrites_;
  last.clear();
  for (std::size_t k = captured_.size(); k-- > first;) {
    const LastWrite& write = captured_[k];
    std::uint64_t& word = seen_[write.at >> 6];
    const std::uint64_t bit = std::uint64_t{1} << (write.at & 63);
    if (!(word & bit)) {
      word |= bit;
      last.push_back(write);
      if (inTile[write.tile]++ == 0) met.push_back(write.tile);
    }
  }
  for (const LastWrite& l : last) seen_[l.at >> 6] = 0;
  captured_.resize(first);
  std::sort(met.begin(), met.end());
  auto part = std::make_shared<Pixels>();
  // Each written below: not cleared first.
  part->pixels.reset(new Pixel[last.size()]);
  part->runs.reserve(met.size());
  std::uint32_t from = 0;
  for (const std::uint32_t tile : met) {
    const std::uint32_t count = inTile[tile];
    inTile[tile] = from;
    from += count;
    part->runs.push_back({tile, from});
  }
  for (const LastWrite& l : last) part->pixels[inTile[l.tile]++] = {l.at, l.colour};
  layer.parts.push_back(std::move(part));
}

std::vector<PictureBox::TextRecord> PictureBox::Texts() const {
  std::vector<TextRecord> all;
  all.reserve(texts_.Size());
  texts_.ForEach([&](const TextRecord& r) { all.push_back(r); });
  return all;
}

bool PictureBox::SaveTo(const QString& path) const {
  const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
  const std::string bytes = EncodePicture(*this, png ? "PNG" : "BMP");
  return !bytes.empty() && WriteFileReplacing(path.toStdString(), bytes);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  ComposeQueue();
  // Only the rows shown: the rest of a report page waits for its look.
  DrawWaitingTexts(event->rect().top(), event->rect().bottom() + 1);
  dirty_ = false;
  QPainter p(this);
  if (flip_ == 0) {
    p.drawImage(0, 0, image_);
    return;
  }
  // Only what is to be painted is made over: a report page is mostly out
  // of view.
  const QRect shown = event->rect().intersected(image_.rect());
  for (int top = shown.top(); top <= shown.bottom(); top += kPaintBandRows) {
    const int rows = std::min(kPaintBandRows, shown.bottom() + 1 - top);
    for (int r = 0; r < rows; ++r) {
      const auto* from = reinterpret_cast<const std::uint32_t*>(image_.constScanLine(top + r));
      auto* to = reinterpret_cast<std::uint32_t*>(paintBand_.scanLine(r));
      FlipRow(from + shown.left(), to + shown.left(), shown.width(), flip_);
    }
    p.drawImage(QPoint(shown.left(), top), paintBand_, QRect(shown.left(), 0, shown.width(), rows));
  }
}

void PictureBox::AddMenuAction(const QString& text, bool needsPath, const QString& fileFilter,
                               MenuAction action) {
  menu_.push_back({text, needsPath, fileFilter, std::move(action)});
}

void PictureBox::SetReportPage(bool on) {
  reportPage_ = on;
}

QStringList PictureBox::MenuActions() const {
  QStringList out{QStringLiteral("Сохранить как PNG…"), QStringLiteral("Копировать")};
  if (reportPage_) {
    out << QStringLiteral("Копировать текст отчета") << QStringLiteral("Сохранить отчет как .txt…");
  }
  for (const MenuEntry& e : menu_) out << e.text;
  return out;
}

namespace {

// A file written from the menu says where it went.
bool Saved(const QWidget* picture, bool done, const QString& path) {
  if (done && !path.isEmpty()) NotifySaved(picture, path);
  return done;
}

}  // namespace

bool PictureBox::RunMenuAction(const QString& text, const QString& path) {
  if (text == QStringLiteral("Сохранить как PNG…")) {
    const QString file = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)
                             ? path
                             : path + QStringLiteral(".png");
    return !path.isEmpty() && Saved(this, SaveTo(file), file);
  }
  if (text == QStringLiteral("Копировать")) {
    QGuiApplication::clipboard()->setImage(Image());
    return true;
  }
  if (reportPage_ && text == QStringLiteral("Копировать текст отчета")) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(PageText()));
    return true;
  }
  if (reportPage_ && text == QStringLiteral("Сохранить отчет как .txt…")) {
    return !path.isEmpty() && Saved(this, WriteFileReplacing(path.toStdString(), PageText()), path);
  }
  for (const MenuEntry& e : menu_) {
    if (e.text == text) return Saved(this, e.action(path), path);
  }
  return false;
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  for (const QString& text : MenuActions()) {
    QAction* a = menu.addAction(text);
    connect(a, &QAction::triggered, this, [this, text] {
      QString path;
      QString filter;
      bool needsPath = text.endsWith(QStringLiteral("…"));
      if (text == QStringLiteral("Сохранить как PNG…")) filter = QStringLiteral("PNG (*.png)");
      if (text == QStringLiteral("Сохранить отчет как .txt…")) {
        filter = QStringLiteral("Текст (*.txt)");
      }
      for (const MenuEntry& e : menu_) {
        if (e.text == text) {
          needsPath = e.needsPath;
          filter = e.filter;
        }
      }
      if (needsPath) {
        QString chosen = filter;
        path = WithFilterExtension(
            QFileDialog::getSaveFileName(this, text, QString(), filter, &chosen), chosen);
        if (path.isEmpty()) return;
      }
      if (!RunMenuAction(text, path)) {
        Messages::Show("Velmor5", "Не удалось выполнить: " + text.toStdString(), MsgButtons::Ok);
      }
    });
  }
  menu.exec(event->globalPos());
}

std::string PictureBox::PageText() const {
  // Every line of every text with its position; the same line printed again
  // at the same place (a report reprinted) counts once. A line that repeats
  // the last one printed at its place is left out as it comes, so a page
  // reprinted many times costs no more than the page.
  struct PageLine {
    double y;
    double x;
    std::string text;
  };
  std::vector<PageLine> lines;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> lastAt;
  const double lineUser = lineHeightPx_ / sy_;
  texts_.ForEach([&](const TextRecord& r) {
    double y = r.y;
    double x = r.x;
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = r.text.find('\n', start);
      std::string line = r.text.substr(start, end == std::string::npos ? end : end - start);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      if (!line.empty()) {
        const auto [at, first] = lastAt.try_emplace({Bits(y), Bits(x)}, lines.size());
        if (first || lines[at->second].text != line) {
          at->second = lines.size();
          lines.push_back({y, x, std::move(line)});
        }
      }
      y += lineUser;
      x = left_;
      if (end == std::string::npos) break;
      start = end + 1;
    }
  });
  // Top to bottom in picture terms: by pixel row, then from the left.
  std::stable_sort(lines.begin(), lines.end(), [this](const PageLine& a, const PageLine& b) {
    const double ya = PixelY(a.y), yb = PixelY(b.y);
    if (std::fabs(ya - yb) > 0.5) return ya < yb;
    return PixelX(a.x) < PixelX(b.x);
  });
  std::string out;
  const PageLine* prev = nullptr;
  for (const PageLine& l : lines) {
    if (prev && std::fabs(PixelY(prev->y) - PixelY(l.y)) <= 0.5 &&
        std::fabs(PixelX(prev->x) - PixelX(l.x)) <= 0.5 && prev->text == l.text) {
      continue;
    }
    // A gap of more than a line on the page stays an empty line.
    if (prev && PixelY(l.y) - PixelY(prev->y) > 1.5 * lineHeightPx_) out += '\n';
    out += l.text;
    out += '\n';
    prev = &l;
  }
  return out;
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  // The right button only opens the context menu: a marker it drew would be
  // in the picture the menu then saves or copies.
  if (event->button() == Qt::RightButton) return;
  const int button = event->button() == Qt::MiddleButton ? 4 : 1;
  const QPointF pos = event->position();
  emit MouseDown(button, UserX(pos.x()), UserY(pos.y()));
}

}  // namespace velmor::ui
