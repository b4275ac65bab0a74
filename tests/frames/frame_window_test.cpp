// SPDX-License-Identifier: GPL-3.0-or-later
// The frame window and its scheme, run offscreen as a user would.
#include "frames/frame_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <cmath>
#include <string>

#include "frames/scheme_window.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"

namespace velmor {
namespace {

using testing::Strings;
using testing::Text;
using testing::Texts;
using ui::FormRegistry;

class FrameWindowTest : public testing::WindowTest<Form6, 6> {
 protected:
  static std::string Message() { return testing::TakeMessage(); }
  long long Lines() const { return form->Picture1->Counts().lines; }
};

TEST_F(FrameWindowTest, LoadSetsTheConstantsAndDrawsTheGrid) {
  form->close();
  QApplication::processEvents();
  Pool().Pi = 3.14159265358979;
  Pool().DegPerRad = 1;
  Pool().Million = 0;
  form = static_cast<Form6*>(FormRegistry::Show(6));
  EXPECT_EQ(Pool().Pi, 3.141592654);
  EXPECT_EQ(Pool().DegPerRad, 180 / 3.141592654);
  EXPECT_EQ(Pool().Million, 1000000);
  EXPECT_EQ(Lines(), 35);
  EXPECT_EQ(form->Picture1->Texts().size(), 2u);
  EXPECT_EQ(form->windowTitle().toStdString(), "ASO_ISO   Velmor5    form6");
}

TEST_F(FrameWindowTest, FitsTheScreen) {
  // The window fits a 1366 x 768 screen.
  const QSize size = form->sizeHint();
  EXPECT_LE(size.width(), 1366);
  EXPECT_LE(size.height(), 740);
}

TEST_F(FrameWindowTest, CalculationWithTheDefaults) {
  form->Command1->click();
  EXPECT_EQ(Message(), "");
  // (4-5) at the delayed source position, worked out independently.
  const double t = (120 + std::sqrt(65600.0)) / 512;
  const double c = std::cos(std::atan2(5, 5 + 12 * t));
  const double want = (1 - 16 * c / 20) * 0.8 / (1 - 12 * c / 20) / 0.6;
  EXPECT_NEAR(*ParseNumber(Text(form->Text7)), want, 1e-14);
  EXPECT_EQ(Texts({form->Text4, form->Text5, form->Text34, form->Text40, form->Text45, form->Text59,
                   form->Text33}),
            (Strings{"16", "12", "4", "0", "6", "0", "1"}));
  // Drawn over the grid: two circles, three lines.
  EXPECT_EQ(form->Picture1->Counts().circles, 2);
  EXPECT_EQ(Lines(), 35 + 3);
  // A second calculation overlays the first; clearing leaves the grid.
  form->Check2->click();
  form->Command1->click();
  EXPECT_EQ(form->Picture1->Counts().circles, 6);
  form->Command3->click();
  EXPECT_EQ(form->Picture1->Counts().circles, 0);
  EXPECT_EQ(Lines(), 35);
}

TEST_F(FrameWindowTest, BadInputOfEveryKindIsRefusedAndKeepsEverything) {
  form->Command1->click();
  const std::string ratio = Text(form->Text7);
  const long long lines = Lines();
  for (QLineEdit* f : {form->Text22, form->Text24, form->Text23, form->Text25, form->Text14,
                       form->Text18, form->Text15, form->Text19, form->Text65, form->Text3,
                       form->Text47, form->Text8, form->Text6, form->Text35}) {
    const QString kept = f->text();
    for (const char* bad : {"", "abc", "1,2,3", "1E999"}) {
      f->setText(QString::fromUtf8(bad));
      form->Command1->click();
      EXPECT_EQ(Message(), "Введите правильно данные") << f->objectName().toStdString() << bad;
      EXPECT_EQ(Text(form->Text7), ratio);
    }
    f->setText(kept);
  }
  EXPECT_EQ(Lines(), lines);
}

TEST_F(FrameWindowTest, FaultsShowTheMessageAndDrawNothing) {
  const long long lines = Lines();
  for (const char* u : {"20", "-20", "25"}) {
    form->Text3->setText(u);
    form->Command1->click();
    EXPECT_EQ(Message(), "Введите правильно данные") << u;
    EXPECT_EQ(Lines(), lines);
    EXPECT_EQ(Text(form->Text7), "");
  }
  form->Text3->setText("0");
  form->Text6->setText("0");  // picture scale 0
  form->Command1->click();
  EXPECT_EQ(Message(), "Введите правильно данные");
  EXPECT_EQ(Lines(), lines);
  EXPECT_FALSE(Text(form->Text7).empty());  // computed before the drawing failed
  form->Text6->setText("2");
  form->Text22->setText("1E308");
  form->Text3->setText("19");
  form->Command1->click();
  EXPECT_EQ(Message(), "Введите правильно данные");
  form->Text22->setText("6");
  form->Text8->setText("0");
  form->Command1->click();
  EXPECT_EQ(Message(), "Введите правильно данные");
  EXPECT_EQ(Lines(), lines);
  // Nothing shown is ever a NaN or an infinity.
  for (QLineEdit* f : form->findChildren<QLineEdit*>()) {
    const std::string s = Text(f);
    EXPECT_EQ(s.find("inf"), std::string::npos) << f->objectName().toStdString();
    EXPECT_EQ(s.find("nan"), std::string::npos) << f->objectName().toStdString();
  }
}

TEST_F(FrameWindowTest, OptionsReachTheCalculation) {
  form->Option9->click();  // "4-1": the source at rest
  form->Command1->click();
  EXPECT_EQ(Texts({form->Text5, form->Text32, form->Text59}), (Strings{"0", "0", "12"}));
  form->Option1->click();  // "4-3": the receiver at rest
  form->Command1->click();
  EXPECT_EQ(Texts({form->Text4, form->Text59}), (Strings{"0", "16"}));
  // Classical with the third frame: only the X velocities move.
  form->Option2->click();
  form->Option6->click();  // no delay
  form->Check1->click();
  form->Text47->setText("3");
  form->Text3->setText("2");
  form->Command1->click();
  EXPECT_EQ(
      Texts({form->Text16, form->Text17, form->Text26, form->Text59, form->Text55, form->Text48}),
      (Strings{"11", "7", "6", "3", "0", "0"}));
  // Synchronisation at the origin's time.
  form->Option10->click();
  form->Option11->click();
  form->Text65->setText("1");
  form->Text3->setText("5");
  form->Command1->click();
  EXPECT_EQ(Texts({form->Text38, form->Text39}), (Strings{"0", "0"}));
  EXPECT_EQ(Message(), "");
}

TEST_F(FrameWindowTest, SavingThePicture) {
  testing::TemporaryWorkingFolder here;
  form->Text60->setText("7");
  form->Command5->click();
  EXPECT_EQ(Message(), "");
  EXPECT_TRUE(QFile::exists("Velmor_7.bmp"));
  form->Text60->setText("../escape");
  form->Command5->click();
  EXPECT_EQ(Message(), "Ошибка сохранения изображения");
  EXPECT_FALSE(QFile::exists("../Velmor_../escape.bmp"));
}

TEST_F(FrameWindowTest, SchemeAndClosing) {
  form->Command4->click();
  auto* scheme = static_cast<Form7*>(FormRegistry::Find(7));
  ASSERT_NE(scheme, nullptr);
  EXPECT_TRUE(scheme->isVisible());
  EXPECT_EQ(scheme->Picture1->Image().width(), 581);
  EXPECT_EQ(scheme->Picture1->Image().height(), 376);
  EXPECT_GT(scheme->Picture1->Counts().lines, 50);
  EXPECT_EQ(scheme->windowTitle().toStdString(), "ASO_ISO  Схема   Velmor5   Form7");
  // Closing the frame window closes only itself.
  form->Command2->click();
  QApplication::processEvents();
  EXPECT_EQ(FormRegistry::Find(6), nullptr);
  EXPECT_NE(FormRegistry::Find(7), nullptr);
}

}  // namespace
}  // namespace velmor
