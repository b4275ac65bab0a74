// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_pixels.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <algorithm>
#include <bit>
#include <cmath>

namespace velmor::ui {

namespace {

constexpr int kWidest = 8192;
// A glyph is drawn this far from the edges of its own small image; one that
// reaches an edge is not taken apart from its line.
constexpr int kGlyphPad = 48;
constexpr int kGlyphImage = 2 * kGlyphPad + 32;

bool Whole(double v) {
  return v == std::floor(v);
}

}  // namespace

QFont PictureFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(11);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

TextPixels::TextPixels(const QFont& font)
    : font_(font), metrics_(font), raw_(QRawFont::fromFont(font)), layout_(QString(), font) {
  lineHeight_ = metrics_.height();
  ascent_ = metrics_.ascent();
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout_.setTextOption(option);
  layout_.setCacheEnabled(true);
}

int TextPixels::Of(const QString& line, TextPixelList& pixels) {
  int width = 0;
  if (LaidOut(line, pixels, width)) return width;
  return Painted(line, pixels);
}

int TextPixels::Painted(const QString& line, TextPixelList& pixels) {
  pixels.clear();
  const int width = std::min(metrics_.horizontalAdvance(line) + 4, kWidest);
  if (width <= 0) return width;
  QImage image(width, lineHeight_ + 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font_);
    p.setPen(Qt::black);
    p.drawText(0, ascent_, line);
  }
  Scan(image, pixels);
  return width;
}

void TextPixels::Scan(const QImage& image, TextPixelList& pixels) {
  // Most of a line is white: eight pixels are passed over at a time while
  // all of them are.
  constexpr std::uint32_t kWhite = 0x00FFFFFFu;
  const int width = image.width();
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    int x = 0;
    while (x < width) {
      if (x + 8 <= width) {
        std::uint32_t all = row[x];
        for (int k = 1; k < 8; ++k) all &= row[x + k];
        if ((all & kWhite) == kWhite) {
          x += 8;
          continue;
        }
      }
      const int end = std::min(x + 8, width);
      for (; x < end; ++x) {
        if ((row[x] & kWhite) != kWhite) {
          pixels.emplace_back(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
        }
      }
    }
  }
}

// Without anti-aliasing a glyph's pixels do not depend on where it stands,
// and a painter draws a line glyph by glyph at the positions its layout
// gives: when those are whole pixels, the line is its glyphs put together.
// Measuring and drawing a line each lay it out anew; this lays it out once
// and draws each glyph once for all lines.
bool TextPixels::LaidOut(const QString& line, TextPixelList& pixels, int& width) {
  for (const QChar c : line) {
    if (!c.isPrint()) return false;
  }
  layout_.setText(line);
  layout_.beginLayout();
  QTextLine laid = layout_.createLine();
  layout_.endLayout();
  if (!laid.isValid() || laid.textLength() != line.size() || laid.lineNumber() != 0 ||
      layout_.lineCount() != 1) {
    return false;
  }
  const double advance = laid.horizontalAdvance();
  if (!Whole(advance) || advance < 0 || advance > kWidest) return false;
  width = std::min(static_cast<int>(advance) + 4, kWidest);
  const int height = lineHeight_ + 2;
  const int words = (width + 63) / 64;
  covered_.assign(static_cast<std::size_t>(words) * height, 0);
  const double baseline = laid.ascent();
  for (const QGlyphRun& run : layout_.glyphRuns()) {
    if (run.rawFont() != raw_ || run.isRightToLeft()) return false;
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (indexes.size() != positions.size()) return false;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      const QPointF at = positions[i];
      if (!Whole(at.x()) || at.y() != baseline) return false;
      const int ox = static_cast<int>(at.x());
      const GlyphPixels& glyph = Glyph(indexes[i]);
      if (!glyph.usable) return false;
      for (const auto& [gx, gy] : glyph.pixels) {
        const int x = ox + gx, y = ascent_ + gy;
        if (x >= 0 && x < width && y >= 0 && y < height) {
          covered_[static_cast<std::size_t>(y) * words + (x >> 6)] |= std::uint64_t{1} << (x & 63);
        }
      }
    }
  }
  pixels.clear();
  for (int y = 0; y < height; ++y) {
    for (int word = 0; word < words; ++word) {
      for (std::uint64_t bits = covered_[static_cast<std::size_t>(y) * words + word]; bits != 0;
           bits &= bits - 1) {
        pixels.emplace_back(static_cast<std::int16_t>(word * 64 + std::countr_zero(bits)),
                            static_cast<std::int16_t>(y));
      }
    }
  }
  return true;
}

const TextPixels::GlyphPixels& TextPixels::Glyph(std::uint32_t index) {
  const auto found = glyphs_.find(index);
  if (found != glyphs_.end()) return found->second;
  QImage image(kGlyphImage, kGlyphImage, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setPen(Qt::black);
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes({index});
    run.setPositions({QPointF(0, 0)});
    p.drawGlyphRun(QPointF(kGlyphPad, kGlyphPad), run);
  }
  TextPixelList drawn;
  Scan(image, drawn);
  GlyphPixels glyph;
  glyph.usable = true;
  for (const auto& [x, y] : drawn) {
    if (x == 0 || y == 0 || x == kGlyphImage - 1 || y == kGlyphImage - 1) glyph.usable = false;
    glyph.pixels.emplace_back(static_cast<std::int16_t>(x - kGlyphPad),
                              static_cast<std::int16_t>(y - kGlyphPad));
  }
  return glyphs_.emplace(index, std::move(glyph)).first->second;
}

}  // namespace velmor::ui
