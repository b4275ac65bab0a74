// SPDX-License-Identifier: GPL-3.0-or-later
// The default run through the real window: the picture drawn with the kept
// layers (grid, trace) must equal the picture drawn straightforwardly, pixel
// for pixel, and so must everything the picture records; what the picture
// keeps of its texts stays the size of what it shows, however many
// refreshes printed them.
#include <gtest/gtest.h>

#include <QImage>

#include "reports/report_window.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

struct RunResult {
  QImage picture;
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
  form->Command1->click();
  RunResult r{form->Picture1->Image().copy(), form->Picture1->Texts(), form->Picture1->Counts(),
              Form4::Get()->picMain->Image().copy(), form->Picture1->TextsKept().Kept()};
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
