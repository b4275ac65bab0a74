// SPDX-License-Identifier: GPL-3.0-or-later
// The texts a picture keeps: every print in order, repeats included, while a
// picture redrawn again and again keeps no more than what it shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/picture_box.h"

namespace velmor::ui {
namespace {

struct Printer {
  TextLog log;
  std::vector<TextLog::Record> want;
  void operator()(double x, double y, const std::string& text) {
    log.Add(x, y, text);
    want.push_back({x, y, text});
  }
  // Texts printed together, added as their group.
  void Together(const std::vector<TextLog::Record>& texts) {
    std::vector<std::uint32_t> ids;
    for (const auto& r : texts) ids.push_back(log.Id(r.x, r.y, r.text));
    const std::uint32_t group = log.Group(ids);
    ASSERT_NE(group, TextLog::kNoGroup);
    log.AddId(group);
    want.insert(want.end(), texts.begin(), texts.end());
  }
  void ExpectSameOrder() const {
    std::vector<TextLog::Record> got;
    log.ForEach([&](const TextLog::Record& r) { got.push_back(r); });
    ASSERT_EQ(got.size(), want.size());
    ASSERT_EQ(log.Size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(got[i].text, want[i].text) << i;
      ASSERT_EQ(got[i].x, want[i].x) << i;
      ASSERT_EQ(got[i].y, want[i].y) << i;
    }
  }
};

// One refresh of a canvas: the grid numbers, labels of which some stand
// twice at the same place, and the numbers of the periods so far.
void Refresh(Printer& print, int periods) {
  for (int i = 0; i <= 40; ++i) print(i - 0.3, -3.3, " " + std::to_string(i));
  for (int j = -3; j <= 14; ++j) print(-1, j + 0.5, std::to_string(j));
  for (int twice = 0; twice < 2; ++twice) {
    print(9.8, 0.9, "Xn2(1)= 0");
    print(9.8, 1.9, "Tn2(1)= 0");
  }
  for (int k = 1; k <= periods; ++k) {
    print(k * 2.0, 0.3, " " + std::to_string(k));
    print(k * 2.0, 0.3, " " + std::to_string(k));
    print(k * 2.0 + 0.5, 3.9, "Tk1(" + std::to_string(k - 1) + ")= " + std::to_string(k * 5));
  }
}

TEST(TextLog, KeepsEveryPrintInOrderWhileRepeatsKeepNothingMore) {
  Printer print;
  print(0, 599.9, "header\n");
  for (int periods = 1; periods <= 6; ++periods) {
    for (int refresh = 0; refresh < 400; ++refresh) Refresh(print, periods);
  }
  // A report reprinted by single steps: the blocks and the summary, at the
  // same places each time; then the summary alone, again and again.
  for (int step = 0; step < 500; ++step) {
    for (int i = 1; i <= 3; ++i) print(0, 591 - 10 * (i - 1), "block " + std::to_string(i));
    print(0, 561, "summary");
  }
  for (int step = 0; step < 500; ++step) print(0, 561, "summary");
  // 2400 refreshes and 2500 reports: what is kept is what they show (about
  // 100 distinct texts) and a few pieces of order, not 250 000 texts.
  EXPECT_LT(print.log.Kept(), 600u);
  print.ExpectSameOrder();

  // Texts that never repeat, and a picture whose every refresh prints more
  // texts than a repeat may reach back: kept as they come, still in order.
  for (int i = 0; i < 50000; ++i) print(i, 0, "t" + std::to_string(i % 7));
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 40000; ++i) print(0, i, "long");
  }
  Refresh(print, 2);
  print.ExpectSameOrder();

  print.log.Clear();
  print.want.clear();
  print.ExpectSameOrder();
  Refresh(print, 3);
  Refresh(print, 3);
  print.ExpectSameOrder();
}

// A drawing laid down again adds its texts as one group: between plain
// prints, alone, or a group of one text, the order and count stay those of
// the texts themselves.
TEST(TextLog, GroupsStandForTheirTextsInOrder) {
  Printer print;
  std::vector<TextLog::Record> grid, labels;
  for (int i = 0; i <= 40; ++i) grid.push_back({i - 0.3, -3.3, std::to_string(i)});
  for (int period = 1; period <= 5; ++period) {
    labels.push_back({period * 2.0, 0.3, std::to_string(period)});
    for (int refresh = 0; refresh < 300; ++refresh) {
      print.Together(grid);
      print(0, 0, "front");
      print.Together(labels);
      if (refresh % 50 == 0) print.Together({{1, 2, "alone"}});
    }
  }
  print.Together(grid);
  print.Together(grid);
  EXPECT_EQ(print.log.Size(), print.want.size());
  // 1500 refreshes of some 45 texts each: the texts, the groups of labels
  // and a few pieces of order.
  EXPECT_LT(print.log.Kept(), 300u);
  print.ExpectSameOrder();

  print.log.Clear();
  print.want.clear();
  print(3, 3, "after");
  print.Together(labels);
  print.ExpectSameOrder();
}

}  // namespace
}  // namespace velmor::ui
