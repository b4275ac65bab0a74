// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_scheme.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine_test_support.h"
#include "interferometer/segment_report.h"
#include "shared/faults.h"
#include "support/recorded.h"

namespace velmor {
namespace {

using testing::Edges;
using testing::Place;
using testing::Values;
using namespace testing_support;
using Kind = CanvasOp::Kind;

bool SameLine(const CanvasOp& op, double x1, double y1, double x2, double y2) {
  const double e = 1e-9;
  return std::fabs(op.a - x1) < e && std::fabs(op.b - y1) < e && std::fabs(op.c - x2) < e &&
         std::fabs(op.d - y2) < e;
}

TEST(InterferometerGrid, ScaleLinesNumbersAndAxes) {
  RecordingCanvas c;
  DrawInterferometerGrid(c);
  EXPECT_EQ(Edges(c), (Values{-14, 25, 16, -5}));
  const auto lines = c.OpsOf(Kind::Line);
  // 15 vertical (x = -12..16), 15 horizontal (y = -4..24), two axes.
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_TRUE(SameLine(lines[0], -12, -5, -12, 25));
  EXPECT_EQ(lines[0].colour, RGB(200, 200, 200));
  EXPECT_TRUE(SameLine(lines[15], -14, -4, 16, -4));
  EXPECT_TRUE(SameLine(lines[30], -14, 0, 16, 0));
  EXPECT_TRUE(SameLine(lines[31], 0, -5, 0, 25));
  EXPECT_EQ(lines[31].colour, kColour1);
  const auto texts = c.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 30u);
  EXPECT_EQ(texts[0].text, "-12");
  EXPECT_DOUBLE_EQ(texts[0].a, -12.3);
  EXPECT_DOUBLE_EQ(texts[0].b, -4.3);
  EXPECT_EQ(texts[7].text, " 2");
  EXPECT_EQ(texts[15].text, "-4");
  EXPECT_EQ(texts[15].a, -14);
}

// The texts of the legend, drawn on a canvas of their own.
std::vector<CanvasOp> LegendTexts(const ElementLayout& e) {
  RecordingCanvas legend;
  DrawLegend(legend, e);
  return legend.OpsOf(Kind::Text);
}

class SchemeDrawing : public ::testing::Test {
 protected:
  void SetUp() override { e.InitialiseBeams(s, {}, scratch); }
  SharedPool pool = StartedPool();
  InterferometerSetup s = DefaultSetup(pool);
  InterferometerEngine e{pool};
  RecordingCanvas scratch;
  RecordingCanvas c;
  SchemeMemory memory;
};

TEST_F(SchemeDrawing, RectanglesByTheCornerRule) {
  DrawBeamsplitterScheme(c, e, memory);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 20u);  // four elements and the objective
  // Left mirror at (-1, 0), 90 degrees, 0.8 wide, 0.1 thick, scale 0.1:
  // A (-10, -4), C (-10, 4), the thickness towards -x.
  EXPECT_TRUE(SameLine(lines[0], -10, -4, -10, 4));
  EXPECT_TRUE(SameLine(lines[1], -10, 4, -11, 4));
  EXPECT_TRUE(SameLine(lines[2], -11, 4, -11, -4));
  EXPECT_TRUE(SameLine(lines[3], -11, -4, -10, -4));
  // Upper mirror at (0, 1), 0 degrees: thickness upwards.
  EXPECT_TRUE(SameLine(lines[4], -4, 10, 4, 10));
  EXPECT_TRUE(SameLine(lines[5], 4, 10, 4, 11));
  // Objective: X6 = 0.5, D = 0.4: box (5, 2) .. (9, -2).
  EXPECT_TRUE(SameLine(lines[16], 5, 2, 9, 2));
  EXPECT_TRUE(SameLine(lines[17], 9, 2, 9, -2));
  EXPECT_TRUE(SameLine(lines[18], 9, -2, 5, -2));
  EXPECT_TRUE(SameLine(lines[19], 5, -2, 5, 2));
  for (const auto& op : lines) EXPECT_EQ(op.colour, kColour1);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_DOUBLE_EQ(circles[0].a, 0);
  EXPECT_DOUBLE_EQ(circles[0].b, -4);
  EXPECT_DOUBLE_EQ(circles[0].c, 0.4);
  EXPECT_EQ(circles[0].colour, RGB(0, 255, 0));
}

TEST_F(SchemeDrawing, RedrawWhitewashesWhereTheElementsWere) {
  DrawBeamsplitterScheme(c, e, memory);
  const auto first = c.OpsOf(Kind::Line);
  for (double& x : e.ex) x += 0.05;  // the apparatus moved half a unit
  c.Reset();
  DrawBeamsplitterScheme(c, e, memory);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 40u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(lines[i].colour, kWhite);
    EXPECT_TRUE(SameLine(lines[i], first[i].a, first[i].b, first[i].c, first[i].d));
    EXPECT_EQ(lines[20 + i].colour, kColour1);
    EXPECT_NEAR(lines[20 + i].a, first[i].a + 0.5, 1e-9);
  }
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0].colour, kWhite);
  EXPECT_DOUBLE_EQ(circles[1].a, 0.5);
  // Forgotten memory (a cleared picture): nothing to whitewash.
  memory.Forget();
  c.Reset();
  DrawBeamsplitterScheme(c, e, memory);
  EXPECT_EQ(c.OpsOf(Kind::Line).size(), 20u);
}

TEST_F(SchemeDrawing, ZeroScaleDrawsNothingAndFaults) {
  e.scale = 0;
  EXPECT_THROW(DrawBeamsplitterScheme(c, e, memory), ComputeFault);
  EXPECT_TRUE(c.Ops().empty());
  EXPECT_TRUE(memory.lines.empty());
}

TEST_F(SchemeDrawing, LegendAndElementNumbers) {
  const auto t = LegendTexts(e);
  ASSERT_EQ(t.size(), 8u);
  EXPECT_EQ(t[0].text,
            " 1- левое зеркало   2- вехнее зеркало  3- полупрозрачное зеркало   4- прозрачная "
            "пластина ");
  EXPECT_EQ(Place(t[0]), (Values{-12, 24.9}));
  EXPECT_EQ(t[1].text, "      5- источник света   6- объектив трубы ");
  struct Want {
    const char* text;
    double x, y;
  } want[] = {{"1", -11, 0}, {"2", 0, 11}, {"3", 0, 1}, {"4", 0, 5}, {"5", 1, -4}, {"6", 6, 0}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(t[2 + i].text, want[i].text);
    EXPECT_NEAR(t[2 + i].a, want[i].x, 1e-9) << want[i].text;
    EXPECT_NEAR(t[2 + i].b, want[i].y, 1e-9) << want[i].text;
  }
}

TEST(TwoMirrorDrawing, MirrorsSourceObjectiveAndLegend) {
  SharedPool pool = StartedPool();
  const InterferometerSetup s = TwoMirrorSetup(pool);
  InterferometerEngine e(pool);
  RecordingCanvas scratch, c;
  e.InitialiseBeams(s, {}, scratch);
  SchemeMemory memory;
  DrawTwoMirrorScheme(c, e, memory);
  const auto lines = c.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 12u);
  // Objective point (-0.2, 1.3918): box from (-2, 15.918) to (2, 11.918).
  EXPECT_TRUE(SameLine(lines[8], -2, 15.918, 2, 15.918));
  EXPECT_TRUE(SameLine(lines[10], 2, 11.918, -2, 11.918));
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0].c, 0.5);
  const auto t = LegendTexts(e);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].text,
            " 1- левое зеркало   2- правое зеркало                   5- источник света   6- "
            "объектив трубы ");
  EXPECT_EQ(t[2].text, "2");
  EXPECT_NEAR(t[2].a, 10, 1e-9);
  EXPECT_NEAR(t[3].b, -1, 1e-9);  // "5" under the source
  EXPECT_NEAR(t[4].a, -1.5, 1e-9);
}

TEST(FrontMarkers, RedAndBlueAtTheFronts) {
  SharedPool pool = StartedPool();
  InterferometerEngine e(pool);
  RecordingCanvas scratch, c;
  e.InitialiseBeams(DefaultSetup(pool), {}, scratch);
  e.beam[1].x = 0.2;
  DrawFrontMarkers(c, e, true, true);
  const auto circles = c.OpsOf(Kind::Circle);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0].colour, RGB(255, 0, 0));
  EXPECT_DOUBLE_EQ(circles[0].b, -4);
  EXPECT_EQ(circles[0].c, 0.03);
  EXPECT_EQ(circles[1].colour, RGB(0, 0, 255));
  EXPECT_DOUBLE_EQ(circles[1].a, 2);
  c.Reset();
  DrawFrontMarkers(c, e, false, true);
  EXPECT_EQ(c.Count(Kind::Circle), 1u);
}

// ---------------------------------------------------------------------------

// A report line as text: its cells joined by "|".
std::string Joined(const ReportLine& line) {
  std::string s;
  for (const auto& c : line.cells) s += (s.empty() ? "" : "|") + c.text;
  return s;
}

std::string Header(const ReportLine& line) {
  EXPECT_EQ(line.cells.size(), 1u);
  EXPECT_EQ(line.cells[0].x, 0);
  return line.cells[0].text;
}

// The headers of the given rows.
std::vector<std::string> Headers(const std::vector<ReportLine>& lines,
                                 std::initializer_list<std::size_t> rows) {
  std::vector<std::string> out;
  for (std::size_t r : rows) out.push_back(Header(lines.at(r)));
  return out;
}

TEST(SegmentReport, HeaderNoteColumnsAndStartRow) {
  SharedPool pool = StartedPool();
  InterferometerEngine e(pool);
  RecordingCanvas scratch;
  e.InitialiseBeams(DefaultSetup(pool), {}, scratch);
  const auto lines = SegmentReportLines(e, false);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(
      Headers(lines, {0, 2, 8, 9, 10, 11, 13, 14}),
      (std::vector<std::string>{
          "ii = 10 и jj = 20 общий путь до стеклянной поверхности наклонного полупрозрачного "
          "зеркала",
          "  ii = 12  нет _________________________________________________________  jj = 22  "
          "свободно ввверх и преломление на прозрачной пластине ",
          "  ii = 18  свободно вправо до приемника _________________________________  jj = 28  "
          "свободно вправо до приемника",
          "", "если Real то T=10^6*T   v1(i)=v1(i)/10^6= ТГц    V(i)=V(i)/10^6= тыс.км/с ",
          "          Tk1(i+10)                  Tk2(i+20)                    S1(i+10)          "
          "    S2(i+20)              v1(i+10)",
          "          An(i+10)         An(i+20)", "         An(i+30)          An(i+40)"}));
  EXPECT_EQ(Joined(lines[15]),
            "  0|0,000000000000|0,000000000000|000,000000|000,000000|10000,00000000|"
            "10000,00000000|020,0000000|020,0000000|1,0000050|1,0000050|090,0000|090,0000|"
            "000,0000|000,0000");
  // Columns left to right, the same in every row.
  ASSERT_EQ(lines[15].cells.size(), 15u);
  for (std::size_t i = 1; i < 15; ++i) {
    EXPECT_GT(lines[15].cells[i].x, lines[15].cells[i - 1].x);
    EXPECT_EQ(lines[20].cells[i].x, lines[15].cells[i].x);
  }
  EXPECT_LT(lines[15].cells[14].x, 29);
  EXPECT_EQ(lines[16].cells[0].text, "  10");
  EXPECT_EQ(lines[25].cells[0].text, "  19");
}

TEST(SegmentReport, RowsOfARunAndTheRealFactors) {
  SharedPool pool = StartedPool();
  ScriptedHost host;
  InterferometerEngine e(pool);
  e.InitialiseBeams(DefaultSetup(pool), {}, host.scheme);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  const auto lines = SegmentReportLines(e, false);
  // Row 11: the beams entered the glass at the first event.
  const std::string row11 = Joined(lines[17]);
  EXPECT_EQ(row11.rfind("  11|" + PaddedFixed(e.Tk1(11), 1, 12) + "|", 0), 0u);
  EXPECT_NE(row11.find("|1,5500000|1,5500000|072,1422|072,1422|045,0000|045,0000"),
            std::string::npos);
  // Row 12 is never used by beam 1; beam 2 left the glass there upwards.
  EXPECT_NE(Joined(lines[18]).find("|000,0000|090,0000|"), std::string::npos);
  const auto real = SegmentReportLines(e, true);
  EXPECT_EQ(real[17].cells[1].text, PaddedFixed(e.Tk1(11) * 1e6, 1, 12));
  EXPECT_NE(Joined(real[15]).find("|000,01000000|000,01000000|000,0000200|000,0000200|"),
            std::string::npos);
}

TEST(SegmentReport, TwoMirrorLayoutAndPrinting) {
  SharedPool pool = StartedPool();
  ScriptedHost host;
  const InterferometerSetup s = TwoMirrorSetup(pool);
  InterferometerEngine e(pool);
  e.InitialiseBeams(s, {}, host.scheme);
  ASSERT_EQ(e.Run(host), InterferometerEnd::Stopped);
  const auto lines = TwoMirrorReportLines(e, false);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(Headers(lines, {0, 1, 6}),
            (std::vector<std::string>{
                "ii = 10 от источника внутри колбы до левого зеркала _______jj = 20 от источника "
                "внутри колбы до правого зеркала",
                "    ii = 11  от левого зеркала до приемника _________________ jj = 21  от правого "
                "зеркала до приемника",
                "          An(i+10)         An(i+20)          An(i+30)          An(i+40)"}));
  // The path lengths in the wider format.
  EXPECT_EQ(lines[9].cells[3].text, PaddedFixed(e.Sk1(11), 9, 8));
  EXPECT_EQ(lines[9].cells[3].text.size(), 18u);
  EXPECT_EQ(lines[10].cells[0].text, "  12");
  RecordingCanvas page;
  WriteTwoMirrorReport(page, e, false);
  EXPECT_EQ(Edges(page), (Values{0, 10.5, 30, 0}));
  const auto texts = page.OpsOf(Kind::Text);
  ASSERT_EQ(texts.size(), 7u + 4 * 15);
  EXPECT_EQ(texts[0].a, 0);
  EXPECT_EQ(texts[0].b, 10.5);
  EXPECT_LT(texts[1].b, 10.5);
  // The cells of a row share its line.
  EXPECT_EQ(texts[7].b, texts[21].b);
  EXPECT_LT(texts[22].b, texts[21].b);
  EXPECT_GT(texts[8].a, 0);
}

}  // namespace
}  // namespace velmor
