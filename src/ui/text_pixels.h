// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pixels a line of text covers when drawn without anti-aliasing, as a
// picture's texts are: black on white from (0, ascent), clipped to the
// line's advance plus four pixels (at most 8192) by the line height plus two.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <QTextLayout>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmor::ui {

// The font every picture prints in.
QFont PictureFont();

using TextPixelList = std::vector<std::pair<std::int16_t, std::int16_t>>;

class TextPixels {
 public:
  explicit TextPixels(const QFont& font);
  TextPixels(const TextPixels&) = delete;
  TextPixels& operator=(const TextPixels&) = delete;

  // The characters a line may be put together from pair by pair: ASCII,
  // the Cyrillic block and one sign.
  static constexpr int kNumbered = 128 + 0x60 + 1;

  int LineHeight() const { return lineHeight_; }
  int Ascent() const { return ascent_; }

  // The covered pixels, row by row and left to right, and the clip width.
  int Of(const QString& line, TextPixelList& pixels);
  // Whether lines are still put together from pairs of glyphs: false once
  // a line laid out showed otherwise.
  bool PairsHold() const { return pairwise_; }
  // The same, always by drawing the whole line with a painter.
  int Painted(const QString& line, TextPixelList& pixels);

 private:
  struct GlyphPixels {
    bool usable = false;  // none of it cut off by the edges it was drawn within
    TextPixelList pixels;
  };
  bool LaidOut(const QString& line, TextPixelList& pixels, int& width);
  bool Shaped(const QString& line, double& advance);
  enum class Pairs : std::uint8_t { kNo, kPut, kLearn };
  Pairs Pairwise(const QString& line, double& advance);
  void Learn(double advance);
  // Learns the pairs of digits and signs at once (see text_pixels.cpp).
  void Prime();
  bool primed_ = false;
  // What lines laid out showed of a character: its glyph, and its lone
  // advance (where a run or the line ends after it).
  struct CharShape {
    std::uint32_t glyph = kUnknownGlyph;
    std::int16_t advance = kUnknownStep;
  };
  static constexpr std::uint32_t kUnknownGlyph = ~std::uint32_t{0};
  enum class Script : std::uint8_t { kCommon, kLatin, kCyrillic };
  // The step from the glyph of `a` to that of `b` after it in a run of the
  // script, or kUnknownStep.
  std::int16_t& StepOf(Script script, int a, int b);
  static constexpr std::int16_t kUnknownStep = -32768;
  const GlyphPixels& Glyph(std::uint32_t index);
  static void Scan(const QImage& image, TextPixelList& pixels);

  QFont font_;
  QFontMetrics metrics_;
  QRawFont raw_;
  QTextLayout layout_;
  int lineHeight_ = 0;
  int ascent_ = 0;
  // Each glyph's pixels about its pen position on the baseline.
  std::unordered_map<std::uint32_t, GlyphPixels> glyphs_;
  QImage glyphImage_;  // a glyph is drawn here to be taken apart
  std::unique_ptr<QPainter> glyphPainter_;
  std::vector<std::uint64_t> covered_;  // a bit a pixel, row by row
  // The line's glyphs and their pen positions.
  std::vector<std::pair<std::uint32_t, int>> glyphsAt_;
  bool pairwise_ = false;
  std::array<CharShape, kNumbered> chars_;
  // By the pair's two characters, in a Latin (or no letter's) run and in a
  // Cyrillic one.
  std::array<std::vector<std::int16_t>, 2> steps_;
  std::vector<int> numbered_;
  std::vector<Script> scripts_;
};

}  // namespace velmor::ui
