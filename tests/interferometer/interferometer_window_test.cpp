// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <cmath>

#include "reports/report_window.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "ui/ui_yield.h"
#include "yield_budget.h"

namespace velmor {
namespace {

using ui::FormRegistry;

// The shared readers, by the short names these tests use.
std::string T(const QLineEdit* f) {
  return testing::Text(f);
}
double N(const QLineEdit* f) {
  return testing::Number(f);
}
std::vector<std::string> TakeTexts() {
  return testing::TakeMessages();
}

class Form8Test : public testing::WindowTest<Form8, 8> {
 protected:
  void BeforeOpening() override { FormRegistry::Show(1); }
  Form8*& f = form;  // the window, by the name these tests use
  // The longest run here takes some 7 300 steps.
  testing_support::YieldBudget budget{40'000, "both beams"};
};

TEST_F(Form8Test, LoadRunsOneStoppedBatchAndDrawsTheScheme) {
  EXPECT_TRUE(TakeTexts().empty());
  EXPECT_EQ(T(f->Text17), "2E-05");  // 200 steps of 1E-7
  EXPECT_EQ(T(f->Text47), "10");
  EXPECT_EQ(T(f->Text48), "20");
  EXPECT_EQ(T(f->Text20), "0,01");
  EXPECT_EQ(f->EngineKind(), 1);
  EXPECT_EQ(f->DensityCoefficient(), 6e-5);
  EXPECT_EQ(f->Engine().stopFlag, 1);
  // The load's pool writes: the light speed and the source frequency.
  EXPECT_EQ(Pool().Vs, 20);
  EXPECT_EQ(Pool().v0, 10000);
  // Clear picture ran last: grid numbers, then the legend.
  const auto& texts = f->Picture1->Texts();
  ASSERT_EQ(texts.size(), 30u + 8u);
  EXPECT_EQ(texts[30].text.rfind(" 1- левое зеркало", 0), 0u);
  EXPECT_FALSE(f->Picture2->isVisibleTo(f));
  // It fits the screen.
  EXPECT_LE(f->width(), 1366);
  EXPECT_LE(f->height(), 768);
  // It opens at the size of its content, the hidden strips left out, with
  // its menu bar above, unless its screen has less room.
  const int menu = f->layout()->menuBar()->sizeHint().height();
  const QSize room = f->screen()->availableGeometry().size() - QSize(8, 32);
  EXPECT_EQ(f->size() - QSize(0, menu),
            (f->panel->sizeHint() + QSize(4, 4)).boundedTo(QSize(1366, 740)).boundedTo(room));
}

TEST_F(Form8Test, SetUpPresetsRelabelAndGuardTheRefractionCheck) {
  f->Check8->setChecked(true);
  f->Text3->setText("7");
  f->Option8->click();
  EXPECT_EQ(f->Label2->text().toStdString(), "X2");
  EXPECT_EQ(f->Label8->text().toStdString(), "Y6");
  EXPECT_FALSE(f->Check8->isChecked());
  EXPECT_FALSE(f->Check8->isEnabled());
  EXPECT_EQ(T(f->Text8), "1,1918");
  EXPECT_EQ(T(f->Text9), "0");
  EXPECT_EQ(T(f->Text4), "115");
  EXPECT_EQ(T(f->Text5), "65");
  EXPECT_EQ(T(f->Text30), "0");
  EXPECT_EQ(T(f->Text3), "7");  // set-up 3 leaves the plate alone
  EXPECT_EQ(T(f->Text11), "1,000005");
  f->Option2->click();
  EXPECT_EQ(f->Label2->text().toStdString(), "Y2");
  EXPECT_EQ(f->Label8->text().toStdString(), "X6");
  EXPECT_TRUE(f->Check8->isEnabled());
  EXPECT_FALSE(f->Check8->isChecked());
  EXPECT_EQ(T(f->Text3), "0,4");
  EXPECT_EQ(T(f->Text5), "1");
  EXPECT_EQ(T(f->Text8), "0,5");
}

TEST_F(Form8Test, AccuracyPresetsWriteLocaleNumbers) {
  f->Option7->click();
  EXPECT_EQ(T(f->Text27), "0,1");
  EXPECT_EQ(T(f->Text28), "0,01");
  EXPECT_EQ(T(f->Text3), "0,2");
  EXPECT_EQ(T(f->Text50), "30000");
  EXPECT_EQ(T(f->Text10), "200000");
  EXPECT_EQ(T(f->Text4), "90");
  EXPECT_EQ(T(f->Text5), "0,0008");
  EXPECT_EQ(T(f->Text18), "6E-07");
  EXPECT_EQ(T(f->Text12), "300000000");
  EXPECT_EQ(T(f->Text40), "1E-16");
  EXPECT_EQ(T(f->Text33), "500000000");
  EXPECT_EQ(T(f->Text38), "300000000");
  EXPECT_EQ(T(f->Text61), "0,292");
  EXPECT_EQ(T(f->Text62), "0,3");
  EXPECT_EQ(f->DensityCoefficient(), 6e-17);
  f->Option4->click();
  EXPECT_EQ(T(f->Text27), "0,8");
  EXPECT_EQ(T(f->Text50), "1");
  EXPECT_EQ(T(f->Text10), "20000");
  EXPECT_EQ(T(f->Text18), "0,002");
  EXPECT_EQ(T(f->Text40), "1E-8");
  EXPECT_EQ(T(f->Text33), "0,01");
  EXPECT_EQ(T(f->Text37), "20");
  EXPECT_EQ(T(f->Text62), "-1");
  EXPECT_EQ(f->DensityCoefficient(), 6e-5);
}

TEST_F(Form8Test, StartRefusesFieldsThatDoNotParse) {
  for (const char* bad : {"", "abc", "1E999", "1,2,3"}) {
    f->Text12->setText(bad);
    f->Command7->click();
    EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"}) << bad;
    EXPECT_EQ(T(f->Text17), "2E-05");
  }
  f->Text12->setText("20");
  f->Text10->setText("0");
  for (QPushButton* b : {f->Command7, f->Command3, f->Command4}) {
    b->click();
    EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
  }
  EXPECT_EQ(T(f->Text17), "2E-05");
}

TEST_F(Form8Test, DefaultTestRunArrivesAndMatchesItsCounts) {
  f->Option4->click();
  f->Command7->click();
  EXPECT_TRUE(TakeTexts().empty());
  EXPECT_EQ(T(f->Text47), "19");
  EXPECT_EQ(T(f->Text48), "29");
  const double T1 = N(f->Text31), T2 = N(f->Text32);
  EXPECT_NEAR(T1, 0.1474, 2e-3);
  EXPECT_NEAR(T2, 0.1473, 2e-3);
  EXPECT_EQ(N(f->Text17), std::max(T1, T2));
  EXPECT_NEAR(N(f->Text51), T1 * 1e4, 1e-6);
  EXPECT_NEAR(N(f->Text52), T2 * 1e4, 1e-6);
  EXPECT_EQ(T(f->Text33), "0,01");
  EXPECT_EQ(T(f->Text37), "20");
  EXPECT_EQ(Pool().Vs, 20);
  // "2- T1=T2" twice: the second adds nothing.
  f->Command8->click();
  const std::string N1 = T(f->Text51), N2 = T(f->Text52);
  EXPECT_EQ(T(f->Text31), "0");
  EXPECT_EQ(T(f->Text32), "0");
  EXPECT_NEAR(N(f->Text51), N(f->Text52), 1e-6);  // no Doppler: one frequency
  f->Command8->click();
  EXPECT_EQ(T(f->Text51), N1);
  EXPECT_EQ(T(f->Text52), N2);
  EXPECT_TRUE(TakeTexts().empty());
  f->Text34->setText("x");
  f->Command8->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
}

TEST_F(Form8Test, NC0StepsAfterAStopAndNC0ReadAgain) {
  const double t0 = N(f->Text17);
  f->Text10->setText("500");
  f->Command4->click();
  EXPECT_NEAR(N(f->Text17) - t0, 500 * 1e-7, 1e-15);
  f->Text10->setText("30");
  f->Command4->click();
  EXPECT_NEAR(N(f->Text17) - t0, 530 * 1e-7, 1e-15);
  EXPECT_EQ(T(f->Text47), "10");
  EXPECT_TRUE(TakeTexts().empty());
}

TEST_F(Form8Test, StopDuringARunAndContinueToTheEnd) {
  f->Text10->setText("1000");
  long long stopAt = ui::UiYieldCount() + 20;
  ui::SetYieldHook([&] {
    if (ui::UiYieldCount() == stopAt) f->Command2->click();
  });
  f->Command7->click();
  ui::SetYieldHook(nullptr);
  const double stopped = N(f->Text17);
  EXPECT_NEAR(stopped, 21000 * 1e-7, 1e-12);  // refreshes 1..21, stop seen at 21
  EXPECT_NE(T(f->Text48), "29");
  f->Command3->click();
  EXPECT_EQ(T(f->Text47), "19");
  EXPECT_EQ(T(f->Text48), "29");
}

TEST_F(Form8Test, RefractionFailureShowsTheSolveMessage) {
  f->Text22->setText("0,5");
  f->Command7->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка решения"});
  EXPECT_EQ(T(f->Text47), "10");
}

TEST_F(Form8Test, ClosingTheWindowDuringARunEndsItQuietly) {
  QPointer<Form8> guard(f);
  long long closeAt = ui::UiYieldCount() + 5;
  ui::SetYieldHook([&] {
    if (ui::UiYieldCount() == closeAt && guard) guard->close();
  });
  f->Command7->click();
  ui::SetYieldHook(nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
  EXPECT_TRUE(TakeTexts().empty());
  f = nullptr;
}

TEST_F(Form8Test, FringeWidthAndItsHalf) {
  f->Option4->click();  // A1 = 1, A2 = -1, 0,01 MHz, 20 m/s
  f->Text10->setText("1");
  f->Check1->setChecked(true);
  f->Command1->click();
  EXPECT_TRUE(TakeTexts().empty());
  const double w = 0.002 / (2 * std::sin(Pool().Pi / 180));
  EXPECT_NEAR(N(f->Text68), w * 1000, 1e-6);
  EXPECT_NEAR(N(f->Text68), 28.65 * 0.002 * 1000, 0.01);
  EXPECT_EQ(T(f->Text17), "1E-08");
  EXPECT_EQ(f->EngineKind(), 4);
  EXPECT_TRUE(f->Picture2->isVisibleTo(f));
  EXPECT_EQ(f->Picture5->Counts().lines, 7 + 551);
  f->Check12->setChecked(true);
  f->Command1->click();
  EXPECT_NEAR(N(f->Text68), w * 500, 1e-6);
  // Continue and NC0 steps re-enter no engine after the interference.
  const std::string t = T(f->Text17);
  f->Command3->click();
  f->Command4->click();
  EXPECT_EQ(T(f->Text17), t);
}

TEST_F(Form8Test, InterferenceRefusals) {
  f->Option4->click();
  f->Text10->setText("1");
  f->Check1->setChecked(true);
  f->Text69->setText("60");
  f->Command1->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{
                             "Velmor5|Ширина картинки не может быть\n     больше 32767 пикселей"});
  f->Text69->setText("59");
  f->Command1->click();
  EXPECT_TRUE(TakeTexts().empty());
  EXPECT_EQ(f->Picture5->width(), 550 * 59);
  EXPECT_EQ(f->HScroll1->maximum(), 550 * 59 - f->Picture2->width());
  f->HScroll1->setValue(1000);
  EXPECT_EQ(f->Picture5->x(), -1000);
  f->Text69->setText("1");
  for (const char* s : {"0", "4", "x", ""}) {
    f->Text64->setText(s);
    f->Command1->click();
    EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"}) << s;
  }
  f->Text64->setText("1");
  f->Text62->setText("1");  // A1 = A2: no fringes at all
  f->Command1->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка решения"});
  f->Text62->setText("-1");
  f->Text37->setText("0");
  f->Command1->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка решения"});
  f->Text37->setText("20");
  f->Text65->setText("0,05");
  f->Command1->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{
                             "Velmor5|Увеличьте ширину объектива\n(или углы падения лучей)"});
}

TEST_F(Form8Test, SavedFileNamesFollowTheLastOperation) {
  testing::TemporaryWorkingFolder here;
  f->Text21->setText("7");
  f->Command6->click();
  EXPECT_TRUE(QFile::exists("Velmor8_0_7.bmp"));
  f->Option4->click();
  f->Text10->setText("1");
  f->Check1->setChecked(true);
  f->Text64->setText("2");
  f->Command1->click();
  f->Command6->click();
  EXPECT_TRUE(QFile::exists("Velmor8_2_7.bmp"));
  EXPECT_TRUE(TakeTexts().empty());
  for (const char* bad : {"../x", "a/b", ""}) {
    f->Text21->setText(bad);
    f->Command6->click();
    if (std::string(bad).empty()) {
      EXPECT_TRUE(TakeTexts().empty());  // "Velmor8_2_.bmp" is a fine name
    } else {
      EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка записи в файл"}) << bad;
    }
  }
  // A name taken by a folder: the folder stays, the message shows.
  QDir(".").mkdir("Velmor8_2_9.bmp");
  f->Text21->setText("9");
  f->Command6->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка записи в файл"});
  EXPECT_TRUE(QFileInfo("Velmor8_2_9.bmp").isDir());
}

TEST_F(Form8Test, ReportWindowFollowsItsCheckBox) {
  f->Check5->click();
  ASSERT_NE(FormRegistry::Find(9), nullptr);
  EXPECT_TRUE(FormRegistry::Find(9)->isVisible());
  f->Command7->click();
  Form9* report = Form9::Get();
  EXPECT_EQ(report->picBox->ScaleTop(), 10.5);
  EXPECT_EQ(report->picBox->ScaleRight(), 30);
  const auto& texts = report->picBox->Texts();
  ASSERT_GT(texts.size(), 15u);
  EXPECT_EQ(texts[0].text,
            "ii = 10 и jj = 20 общий путь до стеклянной поверхности наклонного полупрозрачного "
            "зеркала");
  EXPECT_EQ(texts[0].y, 10.5);
  f->Check5->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(FormRegistry::Find(9), nullptr);
}

TEST_F(Form8Test, MouseMarksThePoint) {
  const auto before = f->Picture1->Counts().circles;
  f->Picture1->ClickAt(1, 3, 4);
  EXPECT_EQ(f->Picture1->Counts().circles, before + 1);
  EXPECT_TRUE(TakeTexts().empty());
}

TEST_F(Form8Test, ClearPictureRefusesBadFieldsAndKeepsThePicture) {
  f->Text19->setText("abc");
  const auto before = f->Picture1->Counts().lines;
  f->Command5->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Введите правильно данные"});
  EXPECT_EQ(f->Picture1->Counts().lines, before);
  f->Text19->setText("0");
  f->Command5->click();
  EXPECT_EQ(TakeTexts(), std::vector<std::string>{"Velmor5|Ошибка решения"});
}

}  // namespace
}  // namespace velmor
