// SPDX-License-Identifier: GPL-3.0-or-later
// A line of text put together from its glyphs must cover exactly the pixels
// a painter drawing the whole line covers, and be clipped to the same width.
#include "ui/text_pixels.h"

#include <gtest/gtest.h>

#include <QString>
#include <random>
#include <vector>

namespace velmor::ui {
namespace {

std::vector<QString> Lines() {
  const QString letters = QString::fromUtf8(
      "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
      "  ()=,.-+/*:;%'\"№<>[]_!?…—–·°λπΔ");
  std::mt19937 random(5);
  std::vector<QString> lines;
  for (int n = 0; n < 1500; ++n) {
    QString s;
    for (std::size_t i = 1 + random() % 50; i > 0; --i) s += letters[random() % letters.size()];
    lines.push_back(s);
  }
  for (int n = 0; n < 300; ++n) {
    lines.push_back(QString::fromUtf8(" Tn2(%1) = %2        Xn2(%1) = -%3        Yn2(%1) = 0")
                        .arg(n % 40)
                        .arg(random() % 100000 / 1000.0)
                        .arg(random() % 100000 / 7.0)
                        .replace('.', ','));
  }
  // Lines of digits, Latin letters and the signs of labels only, which are
  // put together from pairs laid out alone: kerning pairs among them.
  const QString labels = QStringLiteral("0123456789 ()=,.-+:/TXYVAWLkneoy");
  const QString latin =
      QStringLiteral("abcdeghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ()=,.-+:/");
  const QString cyrillic = QString::fromUtf8(
      "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ0123456789 ()=,.-+:/№");
  // Both scripts in a line: each run its own kerning, none across.
  const QString mixed = QString::fromUtf8("гдеТУХЬЪrsTVWXYoe0189 ()=,.-+:/№");
  for (int n = 0; n < 6000; ++n) {
    const QString& from = n % 4 == 0 ? labels : n % 4 == 1 ? latin : n % 4 == 2 ? cyrillic : mixed;
    QString s;
    for (std::size_t i = 1 + random() % 24; i > 0; --i) s += from[random() % from.size()];
    lines.push_back(s);
  }
  // Kerning pairs, spaces alone and at the ends, a tab, a control character,
  // a letter of another script, and a line far wider than any mask.
  for (const char* s : {"", " ", "   ", " AV To Ty LT Yo ", "fi fl ffl", "Tf", "a\tb", "a\x01z",
                        "ℵ∑ ⅓ ∞", "日本語", "x"}) {
    lines.push_back(QString::fromUtf8(s));
  }
  lines.push_back(QString(3000, QLatin1Char('W')));
  return lines;
}

TEST(TextPixels, GlyphByGlyphEqualsTheWholeLineDrawn) {
  TextPixels text(PictureFont());
  TextPixelList fast, painted;
  for (const QString& line : Lines()) {
    const int width = text.Of(line, fast);
    ASSERT_EQ(width, text.Painted(line, painted)) << line.toStdString();
    ASSERT_EQ(fast, painted) << line.toStdString();
  }
  EXPECT_TRUE(text.PairsHold());
}

}  // namespace
}  // namespace velmor::ui
