// SPDX-License-Identifier: GPL-3.0-or-later
// The default run through the real window: the picture drawn with the kept
// layers (grid, trace, marks, periods) must equal the picture drawn
// straightforwardly, pixel for pixel, at the end and whenever it is looked
// at during the run (kept layers are laid down only when it is), and so must
// everything the picture records; what the picture keeps of its texts stays
// the size of what it shows, however many refreshes printed them.
#include <gtest/gtest.h>

#include <QImage>

#include "reports/report_window.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "ui/ui_yield.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

struct RunResult {
  QImage picture;
  std::vector<QImage> duringRun;
  std::vector<ui::PictureBox::TextRecord> texts;
  ui::PictureBox::Stats stats;
  QImage report;
  std::size_t textsKept;
};

RunResult DefaultRun(bool keepLayers) {
  auto* form = static_cast<Form1*>(ui::FormRegistry::Show(1));
  form->Picture1->SetLayerCaching(keepLayers);
  form->Check5->click();
  form->Command13->click();
  // Looks at the picture between steps: at the first, within a refresh
  // interval, around the first refreshes and far into the run.
  std::vector<QImage> duringRun;
  const long long start = ui::UiYieldCount();
  ui::SetYieldHook([&] {
    const long long n = ui::UiYieldCount() - start;
    for (const long long at : {1LL, 7LL, 19LL, 20LL, 21LL, 4999LL, 25013LL, 60000LL, 100001LL}) {
      if (n == at) duringRun.push_back(form->Picture1->Image());
    }
  });
  form->Command1->click();
  ui::SetYieldHook(nullptr);
  RunResult r{form->Picture1->Image().copy(),
              duringRun,
              form->Picture1->Texts(),
              form->Picture1->Counts(),
              Form4::Get()->picMain->Image().copy(),
              form->Picture1->TextsKept().Kept()};
  testing::EndWindowTest();
  return r;
}

TEST(DefaultRun, KeptLayersDrawTheSamePicture) {
  const RunResult plain = DefaultRun(false);
  const RunResult kept = DefaultRun(true);
  ASSERT_EQ(plain.picture.size(), kept.picture.size());
  long long differing = 0;
  for (int y = 0; y < plain.picture.height(); ++y) {
    for (int x = 0; x < plain.picture.width(); ++x) {
      if (plain.picture.pixel(x, y) != kept.picture.pixel(x, y)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
  ASSERT_EQ(plain.duringRun.size(), 9u);
  ASSERT_EQ(kept.duringRun.size(), plain.duringRun.size());
  for (std::size_t i = 0; i < plain.duringRun.size(); ++i) {
    EXPECT_TRUE(plain.duringRun[i] == kept.duringRun[i]) << "look " << i;
  }
  EXPECT_EQ(plain.report, kept.report);
  ASSERT_EQ(plain.texts.size(), kept.texts.size());
  for (std::size_t i = 0; i < plain.texts.size(); ++i) {
    ASSERT_EQ(plain.texts[i].text, kept.texts[i].text) << i;
    ASSERT_EQ(plain.texts[i].x, kept.texts[i].x) << i;
    ASSERT_EQ(plain.texts[i].y, kept.texts[i].y) << i;
  }
  EXPECT_EQ(plain.stats.lines, kept.stats.lines);
  EXPECT_EQ(plain.stats.circles, kept.stats.circles);
  EXPECT_EQ(plain.stats.points, kept.stats.points);
  EXPECT_EQ(plain.stats.texts, kept.stats.texts);
  // About 5000 refreshes printed 951 415 texts; a few hundred differ.
  EXPECT_EQ(kept.texts.size(), 951415u);
  EXPECT_LT(plain.textsKept, 3000u);
  EXPECT_LT(kept.textsKept, 3000u);
  // The run itself: period 20 reached, the trace of 19 periods drawn.
  EXPECT_EQ(Pool().PeriodNumber, 20);
  EXPECT_GT(kept.stats.points, 19LL * 2000);
}

}  // namespace
}  // namespace velmor
