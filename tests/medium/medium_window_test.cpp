// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "medium/medium_state.h"
#include "reports/report_window.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "ui/ui_yield.h"
#include "workbench/main_window.h"

namespace velmor {
namespace {

using testing::AtYield;
namespace fs = std::filesystem;

// The shared helpers, by the names these tests use.
void Flush() {
  testing::DeleteClosed();
}
std::vector<std::string> MessageTexts() {
  return testing::TakeMessages();
}

struct MediumWindow : testing::WindowTest<Form3, 3> {
  testing::TemporaryWorkingFolder folder;
  const fs::path dir = folder.Path();
  Form3*& w = form;

  void BeforeOpening() override {
    ui::FormRegistry::Show(1);
    testing::CloseWindows({4});
    Medium() = MediumState{};
  }
  // Receiver at rest above the slow source: every period arrives in time.
  void Quick() {
    w->Text1->setText("4,75");
    w->Text5->setText("10");
    w->Text3->setText("0");
    w->Text4->setText("0,5");
    w->Text18->setText("2");
    w->Check6->setChecked(false);
  }
  // Continue and single step with nothing to go on with: the time stays
  // where it is, and nothing is shown.
  void ExpectNothingToContinue() {
    const double t = Pool().CurrentTime;
    w->Command3->click();
    w->Command4->click();
    EXPECT_EQ(Pool().CurrentTime, t);
    EXPECT_TRUE(MessageTexts().empty());
  }
  // A copy of its own: the picture draws into its pixels in place, and a
  // shared copy would follow every later drawing.
  QImage Image() const { return w->Picture1->Image().copy(); }
};

TEST_F(MediumWindow, OpensWithTheGridAndFitsTheScreen) {
  EXPECT_EQ(w->Picture1->ScaleLeft(), -3);
  EXPECT_LE(w->sizeHint().width(), 1366);
  EXPECT_LE(w->sizeHint().height(), 768);
}

TEST_F(MediumWindow, ReportBoxShowsAndUnloadsTheReportWindow) {
  w->Check5->click();
  ASSERT_NE(ui::FormRegistry::Find(4), nullptr);
  EXPECT_TRUE(ui::FormRegistry::Find(4)->isVisible());
  w->Check5->click();
  EXPECT_EQ(ui::FormRegistry::Find(4), nullptr);
}

TEST_F(MediumWindow, ContinueDoesNothingBeforeAStartOrAfterARefusedOne) {
  Pool().CurrentTime = 123;
  ExpectNothingToContinue();
  w->Text4->setText("-9");
  w->Command1->click();
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Velmor5|       Этот эксперимент выполняется  \n       только "
                                     "при движении источника \nи только при движении его слева "
                                     "направо"});
  EXPECT_EQ(Medium().ExperimentKind, kBundleKind);
  ExpectNothingToContinue();
}

TEST_F(MediumWindow, BadInputOfEveryKindIsRefusedAtTheStart) {
  const std::vector<std::pair<QLineEdit*, const char*>> bad = {
      {w->Text1, ""},       {w->Text12, "abc"},    {w->Text32, "0"},    {w->Text32, "-5"},
      {w->Text32, "1E308"}, {w->Text32, "200000"}, {w->Text23, "0"},    {w->Text5, "0"},
      {w->Text18, "0"},     {w->Text10, "2,5E10"}, {w->Text9, "1e400"}, {w->Text33, "1,2,3"}};
  for (const auto& [field, text] : bad) {
    const QString kept = field->text();
    field->setText(QString::fromUtf8(text));
    w->Command1->click();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"})
        << field->objectName().toStdString() << " " << text;
    EXPECT_FALSE(Medium().Prepared);
    field->setText(kept);
  }
  // The search and the potential experiment likewise.
  w->Text19->setText("x");
  w->Command13->click();
  w->Command9->click();
  w->Command8->click();
  EXPECT_EQ(MessageTexts().size(), 3u);
}

TEST_F(MediumWindow, RunsOnTheSharedStateNeverNest) {
  Quick();
  auto* main = static_cast<Form1*>(ui::FormRegistry::Find(1));
  bool tried = false;
  double timeInside = 0;
  AtYield(50, [&] {
    tried = true;
    timeInside = Pool().CurrentTime;
    main->Command1->click();  // refused: the medium run holds the state
    main->Command3->click();
    w->Command1->click();
    w->Command9->click();
    w->Command13->click();
    w->Command3->click();
    timeInside -= Pool().CurrentTime;
  });
  w->Command1->click();
  EXPECT_TRUE(tried);
  EXPECT_EQ(timeInside, 0);
  EXPECT_EQ(Pool().PeriodNumber, 21);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, StopEndsARunAndContinueGoesOn) {
  Quick();
  AtYield(3000, [&] { w->Command2->click(); });
  w->Command1->click();
  const double stoppedAt = Pool().CurrentTime;
  EXPECT_NEAR(stoppedAt, 3.001, 1e-9);
  // The last refresh, at step 3000 (a sum of 3000 steps of 0,001).
  EXPECT_EQ(w->Text17->text().toStdString().substr(0, 6), "2,9999");
  w->Command4->click();
  EXPECT_NEAR(Pool().CurrentTime, stoppedAt + 0.001, 1e-9);
  ui::SetYieldHook(nullptr);
  w->Command3->click();
  EXPECT_EQ(Pool().PeriodNumber, 21);
  // A complete run has nothing left to continue.
  ExpectNothingToContinue();
}

TEST_F(MediumWindow, ClosingTheWindowDuringARunEndsItCleanly) {
  AtYield(200, [&] { w->close(); });
  w->Command1->click();
  Flush();
  EXPECT_EQ(ui::FormRegistry::Find(3), nullptr);
  EXPECT_NEAR(Pool().CurrentTime, 0.2, 0.01);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, ExitDuringARunClosesEveryWindow) {
  AtYield(100, [&] { w->Command16->click(); });
  w->Command1->click();
  Flush();
  EXPECT_FALSE(ui::FormRegistry::AnyOpen());
  EXPECT_TRUE(MessageTexts().empty());
  ui::FormRegistry::Show(1);  // a new session for the next test
}

TEST_F(MediumWindow, ReportOfACompleteRunWithEveryPeriod) {
  Quick();
  w->Check5->click();
  w->Command1->click();
  ASSERT_NE(ui::FormRegistry::Find(4), nullptr);
  const auto& texts = Form4::Get()->picMain->Texts();
  ASSERT_EQ(texts.size(), 2u + 19u + 1u);
  EXPECT_EQ(texts[2].y, 591);
  EXPECT_EQ(texts[20].y, 591 - 7 * 18);
  EXPECT_EQ(texts[21].y, 591 - 7 * 19);
  EXPECT_EQ(texts[21].text.rfind("№ периода      углы при вылете", 0), 0u);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, PeriodSearchWritesThePeriodField) {
  w->Text1->setText("0,01");
  w->Text3->setText("0");
  w->Text4->setText("0");
  w->Command13->click();
  // 50 m at 20 m/s, to a step.
  EXPECT_NEAR(*ParseNumber(w->Text18->text().toStdString()), 2.5, 0.0015);
  EXPECT_EQ(w->Text22->text().toStdString().substr(0, 3), "0,4");
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, PotentialRunWithStopThenContinueToTheLastMaximum) {
  w->Text3->setText("0");
  w->Text4->setText("0");
  w->Check4->setChecked(true);
  w->Check2->setChecked(true);
  w->Command9->click();
  EXPECT_EQ(Pool().PeriodNumber, 0);
  EXPECT_EQ(Pool().CurrentTime, 0);
  w->Check2->setChecked(false);
  w->Command3->click();
  EXPECT_EQ(Pool().PeriodNumber, 20);
  EXPECT_EQ(w->Text24->text().toStdString().substr(0, 4), "0,19");
  const double end = Pool().CurrentTime;
  w->Command3->click();
  w->Command4->click();
  EXPECT_EQ(Pool().CurrentTime, end);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, GraphFrameSetsTheSharedScale) {
  w->Command14->click();
  EXPECT_EQ(Pool().GraphScale, 0.125);
  EXPECT_EQ(w->Picture1->ScaleLeft(), -21);
  w->Text27->setText("zero");
  const QImage before = Image();
  w->Command14->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
  EXPECT_EQ(Image(), before);
  EXPECT_EQ(Pool().GraphScale, 0.125);
}

TEST_F(MediumWindow, MouseClickMarksThePoint) {
  w->Command14->click();
  const auto circles = w->Picture1->Counts().circles;
  w->Picture1->ClickAt(1, 0, 8);
  EXPECT_EQ(w->Picture1->Counts().circles, circles + 1);
  const QImage img = Image();
  const int px = static_cast<int>(w->Picture1->PixelX(0.2) + 0.5);
  const int py = static_cast<int>(w->Picture1->PixelY(8) + 0.5);
  EXPECT_EQ(img.pixel(px, py) & 0xFFFFFF, 0x010000u);
}

TEST_F(MediumWindow, DataFileAndGraphShowTheRunReadBackOrAfterASearch) {
  Quick();
  w->Command1->click();
  w->Command7->click();
  const QImage live = Image();
  w->Command18->click();
  const QImage liveComputed = Image();
  auto written = [&](const char* number) {
    w->Check3->setChecked(true);
    w->Text21->setText(number);
    w->Command6->click();
    std::ifstream in(dir / ("Velmor_" + std::string(number) + ".txt"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  const std::string file = written("3");
  // Read back from the file.
  w->Command5->click();
  w->Command7->click();
  EXPECT_EQ(Image(), live);
  w->Command18->click();
  EXPECT_EQ(Image(), liveComputed);
  // A search rewrites the shared speeds, velocities and clocks; the run's
  // graph and file stay those of the run.
  w->Check3->setChecked(false);
  w->Text3->setText("-5");
  w->Text12->setText("30");
  w->Text50->setText("1");
  w->Option6->click();
  w->Command13->click();
  w->Option5->click();
  ASSERT_NE(Pool().VX(1), 0);
  w->Command5->click();
  w->Command7->click();
  EXPECT_EQ(Image(), live);
  w->Command18->click();
  EXPECT_EQ(Image(), liveComputed);
  EXPECT_EQ(written("4"), file);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MediumWindow, BrokenOrMissingFileIsRefusedAndNothingChanges) {
  w->Check3->setChecked(true);
  w->Text21->setText("9");
  const QImage before = Image();
  const int period = Pool().PeriodNumber;
  w->Command7->click();
  w->Command18->click();
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Velmor5|Не могу найти файл Velmor_9.txt",
                                                      "Velmor5|Не могу найти файл Velmor_9.txt"}));
  std::ofstream(dir / "Velmor_9.txt") << "a\n1 2 3\nb\n00 1 2\n";
  w->Command7->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка чтения файла Velmor_9.txt"});
  EXPECT_EQ(Image(), before);
  EXPECT_EQ(Pool().PeriodNumber, period);
  w->Text21->setText("nine");
  w->Command7->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
}

TEST_F(MediumWindow, FailedWriteLeavesTheExistingFileIntact) {
  const std::string old = "an earlier experiment\n";
  std::ofstream(dir / "Velmor_1.txt") << old;
  auto content = [&] {
    std::ifstream in(dir / "Velmor_1.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  };
  // A receiver speed whose millionfold does not fit the file's numbers.
  w->Text3->setText("1E13");
  w->Check2->setChecked(true);
  w->Command1->click();
  ASSERT_TRUE(MessageTexts().empty());
  w->Check3->setChecked(true);
  w->Command6->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка записи в файл"});
  EXPECT_EQ(content(), old);
  // A folder of that name cannot be replaced either.
  fs::create_directory(dir / "Velmor_2.txt");
  w->Text3->setText("5");
  w->Command1->click();
  w->Text21->setText("2");
  w->Command6->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка записи в файл"});
  EXPECT_TRUE(fs::is_directory(dir / "Velmor_2.txt"));
  // A working directory that cannot be written.
  fs::current_path("/proc");
  w->Command6->click();
  fs::current_path(dir);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка записи в файл"});
}

TEST_F(MediumWindow, PictureSavedUnderTheTypedNumber) {
  w->Text21->setText("7");
  w->Command6->click();
  EXPECT_TRUE(fs::exists(dir / "Velmor7.bmp"));
  w->Text21->setText("../x");
  w->Command6->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка сохранения изображения"});
}

TEST_F(MediumWindow, DensityProfileOfAUniformMedium) {
  const auto lines = w->Picture1->Counts().lines;
  w->Command8->click();
  EXPECT_EQ(w->Picture1->Counts().lines, lines + 1);
  w->Text23->setText("0");
  w->Command8->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Ошибка рассчета"});
  w->Text23->setText("2000000");
  w->Command8->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
}

}  // namespace
}  // namespace velmor
