// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_pixels.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <string_view>

namespace velmor::ui {

namespace {

constexpr int kWidest = 8192;

// The characters put together pair by pair (see Pairwise), by a compact
// number: ASCII as it stands, then the Cyrillic block, then "№".
constexpr int kCyrillicFrom = 0x400, kCyrillicTo = 0x460;
constexpr char16_t kNumeroSign = 0x2116;
constexpr int kNumbered = TextPixels::kNumbered;
static_assert(kNumbered == 128 + (kCyrillicTo - kCyrillicFrom) + 1);

int Numbered(char16_t u) {
  if (u < 128) return u;
  if (u >= kCyrillicFrom && u < kCyrillicTo) return 128 + (u - kCyrillicFrom);
  return u == kNumeroSign ? kNumbered - 1 : -1;
}

bool Latin(char16_t u) {
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
bool Cyrillic(char16_t u) {
  return u == 0x401 || u == 0x451 || (u >= 0x410 && u <= 0x44F);
}

constexpr std::array<bool, kNumbered> PairwiseCharacters() {
  std::array<bool, kNumbered> in{};
  for (char c = '0'; c <= '9'; ++c) in[static_cast<unsigned char>(c)] = true;
  for (char c = 'a'; c <= 'z'; ++c) in[static_cast<unsigned char>(c)] = c != 'f';
  for (char c = 'A'; c <= 'Z'; ++c) in[static_cast<unsigned char>(c)] = true;
  for (const char c : std::string_view(" ()=,.-+:/")) in[static_cast<unsigned char>(c)] = true;
  for (int u = 0x410; u <= 0x44F; ++u) in[128 + u - kCyrillicFrom] = true;
  in[128 + 0x401 - kCyrillicFrom] = in[128 + 0x451 - kCyrillicFrom] = true;
  in[kNumbered - 1] = true;
  return in;
}
constexpr std::array<bool, kNumbered> kPairwise = PairwiseCharacters();

// A glyph is drawn this far from the top left edges of its own small image
// (the picture font is 11 pixels high); one that reaches an edge is not
// taken apart from its line.
constexpr int kGlyphPad = 24;
constexpr int kGlyphImage = 2 * kGlyphPad + 16;

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
  // Found pair by pair in the one font it holds for; another one put in
  // its place may join glyphs otherwise.
  pairwise_ = raw_.familyName() == QStringLiteral("DejaVu Sans");
  for (auto& steps : steps_) steps.assign(kNumbered * kNumbered, kUnknownStep);
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
  glyphsAt_.clear();
  double advance = 0;
  Pairs pairs = Pairwise(line, advance);
  if (pairs == Pairs::kLearn && !primed_) {
    primed_ = true;
    Prime();
    glyphsAt_.clear();
    pairs = Pairwise(line, advance);
  }
  if (pairs != Pairs::kPut) {
    glyphsAt_.clear();
    if (!Shaped(line, advance)) return false;
    if (pairs == Pairs::kLearn) Learn(advance);
  }
  if (!Whole(advance) || advance < 0 || advance > kWidest) return false;
  width = std::min(static_cast<int>(advance) + 4, kWidest);
  const int height = lineHeight_ + 2;
  const int words = (width + 63) / 64;
  covered_.assign(static_cast<std::size_t>(words) * height, 0);
  for (const auto& [index, ox] : glyphsAt_) {
    const GlyphPixels& glyph = Glyph(index);
    if (!glyph.usable) return false;
    for (const auto& [gx, gy] : glyph.pixels) {
      const int x = ox + gx, y = ascent_ + gy;
      if (x >= 0 && x < width && y >= 0 && y < height) {
        covered_[static_cast<std::size_t>(y) * words + (x >> 6)] |= std::uint64_t{1} << (x & 63);
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

// The line's glyphs and their pen positions as the layout engine gives
// them, when all are whole pixels on the baseline in this font.
bool TextPixels::Shaped(const QString& line, double& advance) {
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
  advance = laid.horizontalAdvance();
  const double baseline = laid.ascent();
  for (const QGlyphRun& run : layout_.glyphRuns()) {
    if (run.rawFont() != raw_ || run.isRightToLeft()) return false;
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (indexes.size() != positions.size()) return false;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      const QPointF at = positions[i];
      if (!Whole(at.x()) || at.y() != baseline || std::fabs(at.x()) > kWidest) return false;
      glyphsAt_.emplace_back(indexes[i], static_cast<int>(at.x()));
    }
  }
  return true;
}

// Laying a line out is most of the cost of a short one. The layout engine
// cuts a line into runs of one script (a digit or a sign joins the run of
// the letter before it, or at the line's start the one after it) and, in
// this font, places the glyphs of digits, Latin letters other than f (which
// begins ligatures), Cyrillic letters and the signs of numbers and labels
// pair by pair: within a run, each glyph one step after the one before it,
// a step that depends only on the pair and the run's script (kerning);
// from one run to the next, the earlier glyph's lone advance; and the line
// ends one lone advance after its last glyph. So such a line is put
// together from the steps lines laid out before it showed; one with a
// pair not seen yet is laid out, and what it shows is learnt.
TextPixels::Pairs TextPixels::Pairwise(const QString& line, double& advance) {
  if (!pairwise_ || line.isEmpty()) return Pairs::kNo;
  const qsizetype n = line.size();
  numbered_.resize(static_cast<std::size_t>(n));
  scripts_.resize(static_cast<std::size_t>(n));
  Script script = Script::kCommon;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t u = line[i].unicode();
    const int number = Numbered(u);
    if (number < 0 || !kPairwise[number]) return Pairs::kNo;
    numbered_[i] = number;
    if (Latin(u)) script = Script::kLatin;
    if (Cyrillic(u)) script = Script::kCyrillic;
    scripts_[i] = script;
  }
  // Signs before the first letter belong to its run.
  qsizetype first = 0;
  while (first < n && scripts_[first] == Script::kCommon) ++first;
  if (first < n) std::fill(scripts_.begin(), scripts_.begin() + first, scripts_[first]);
  int x = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const CharShape& shape = chars_[numbered_[i]];
    if (shape.glyph == kUnknownGlyph) return Pairs::kLearn;
    if (i > 0) {
      const int step = scripts_[i] == scripts_[i - 1]
                           ? StepOf(scripts_[i], numbered_[i - 1], numbered_[i])
                           : chars_[numbered_[i - 1]].advance;
      if (step == kUnknownStep) return Pairs::kLearn;
      x += step;
      if (x > kWidest) return Pairs::kNo;
    }
    glyphsAt_.emplace_back(shape.glyph, x);
  }
  const int last = chars_[numbered_[n - 1]].advance;
  if (last == kUnknownStep) return Pairs::kLearn;
  advance = x + last;
  return Pairs::kPut;
}

namespace {

// The digits and the signs of numbers and labels.
const QString kNumberSigns = QStringLiteral("0123456789 ()=,.-+:/");

// Every ordered pair of the characters once: each one after the one before
// that has not yet been followed by it, the latest character first (which
// goes round them all).
QString EveryPair(const QString& chars) {
  const auto k = static_cast<std::size_t>(chars.size());
  std::vector<bool> used(k * k, false);
  std::size_t last = 0;
  QString line(chars[0]);
  for (bool more = true; more;) {
    more = false;
    for (std::size_t next = k; next-- > 0;) {
      if (!used[last * k + next]) {
        used[last * k + next] = true;
        line += chars[static_cast<qsizetype>(next)];
        last = next;
        more = true;
        break;
      }
    }
  }
  return line;
}

}  // namespace

// The grid's numbers and a run's labels are digits and signs after a Latin
// letter or none: laid out line by line, most would be laid out for a pair
// or two not seen yet. Two lines laid out once show every pair of them, in
// a Latin run and in a Cyrillic one, and each one's lone advance (before a
// letter of the other script).
void TextPixels::Prime() {
  const QString pairs = EveryPair(kNumberSigns);
  const QChar latin = QLatin1Char('X'), cyrillic = QChar(0x430);
  QString alone;
  for (const QChar c : kNumberSigns) alone += QString(latin) + c + cyrillic;
  for (const QString& line : {QString(latin) + pairs + cyrillic + alone, cyrillic + pairs}) {
    glyphsAt_.clear();
    double advance = 0;
    if (Pairwise(line, advance) != Pairs::kLearn) continue;
    glyphsAt_.clear();
    if (Shaped(line, advance)) Learn(advance);
  }
}

// The line Pairwise found something not seen in has been laid out: its
// glyphs, steps and lone advances (across runs and at its end) are learnt.
// Should it not be placed as Pairwise takes lines to be, no line is put
// together from pairs again.
void TextPixels::Learn(double advance) {
  const std::size_t n = numbered_.size();
  const auto learn = [](auto& known, int seen) {
    if (known == kUnknownStep && std::abs(seen) < kWidest) known = static_cast<std::int16_t>(seen);
    return known == seen;
  };
  bool holds = glyphsAt_.size() == n && Whole(advance);
  for (std::size_t i = 0; holds && i < n; ++i) {
    CharShape& shape = chars_[numbered_[i]];
    if (shape.glyph == kUnknownGlyph) shape.glyph = glyphsAt_[i].first;
    holds = shape.glyph == glyphsAt_[i].first;
    if (!holds || i == 0) continue;
    const int step = glyphsAt_[i].second - glyphsAt_[i - 1].second;
    holds = scripts_[i] == scripts_[i - 1]
                ? learn(StepOf(scripts_[i], numbered_[i - 1], numbered_[i]), step)
                : learn(chars_[numbered_[i - 1]].advance, step);
  }
  if (holds) {
    holds = learn(chars_[numbered_[n - 1]].advance,
                  static_cast<int>(advance) - glyphsAt_[n - 1].second);
  }
  if (!holds) pairwise_ = false;
}

std::int16_t& TextPixels::StepOf(Script script, int a, int b) {
  return steps_[script == Script::kCyrillic][static_cast<std::size_t>(a) * kNumbered + b];
}

const TextPixels::GlyphPixels& TextPixels::Glyph(std::uint32_t index) {
  const auto found = glyphs_.find(index);
  if (found != glyphs_.end()) return found->second;
  // One image and one painter for all glyphs: setting a painter up costs
  // more than drawing a glyph.
  if (!glyphPainter_) {
    glyphImage_ = QImage(kGlyphImage, kGlyphImage, QImage::Format_RGB32);
    glyphPainter_ = std::make_unique<QPainter>(&glyphImage_);
    glyphPainter_->setRenderHint(QPainter::Antialiasing, false);
    glyphPainter_->setRenderHint(QPainter::TextAntialiasing, false);
    glyphPainter_->setPen(Qt::black);
  }
  glyphPainter_->fillRect(glyphImage_.rect(), Qt::white);
  QGlyphRun run;
  run.setRawFont(raw_);
  run.setGlyphIndexes({index});
  run.setPositions({QPointF(0, 0)});
  glyphPainter_->drawGlyphRun(QPointF(kGlyphPad, kGlyphPad), run);
  TextPixelList drawn;
  Scan(glyphImage_, drawn);
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
