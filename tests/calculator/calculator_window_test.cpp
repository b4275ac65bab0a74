// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator window as a user sees it: fields, messages, the picture and
// where it sits in its viewport.
#include "calculator/calculator_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"

namespace velmor {
namespace {

using testing::Text;
using ui::FormRegistry;

constexpr const char* kBadInput = "Введите правильно данные";
constexpr const char* kSolveFault = "Ошибка решения";
constexpr const char* kGraphFault = "Ошибка расчета";

class CalculatorWindow : public testing::WindowTest<Form5, 5> {
 protected:
  void BeforeOpening() override { FormRegistry::Show(1); }  // the constants of the pool

  // The texts of the message boxes shown since the last call.
  static std::vector<std::string> Shown() { return testing::TakeMessageTexts(); }
  static std::vector<std::string> One(const char* text) { return {text}; }
  static void Type(QLineEdit* e, const char* text) { e->setText(QString::fromUtf8(text)); }

  Form5*& f = form;  // the window, by the name these tests use
};

TEST_F(CalculatorWindow, OpensWithTheEmptyGraph) {
  EXPECT_EQ(f->windowTitle().toStdString(),
            "Эксперименты с Мессбауэровскими центрифугами и встречными лазерами   Velmor5");
  // The theory and the moving part are separate groups.
  f->Option4->click();
  EXPECT_TRUE(f->Option1->isChecked());
  f->Option5->click();
  EXPECT_TRUE(f->Option4->isChecked());
  EXPECT_FALSE(f->Option1->isChecked());

  EXPECT_EQ(f->Picture2->size(), QSize(609, 401));
  // 21 cells of 24,91 units: 523 pixels each way, at the viewport's corner.
  EXPECT_EQ(f->Picture4->geometry(), QRect(0, 0, 523, 523));
  EXPECT_EQ(f->Picture4->Image().size(), QSize(523, 523));
  EXPECT_EQ(f->Graph().NX, 20);
  EXPECT_EQ(f->Graph().NY, 20);
  EXPECT_EQ(f->Picture4->Counts().lines, 44);
  EXPECT_EQ(f->Picture4->Counts().texts, 43);
  EXPECT_TRUE(Shown().empty());
  // The grid is grey, the axis darker.
  const int axisRow = static_cast<int>(std::lround(f->Picture4->PixelY(0)));
  EXPECT_EQ(f->Picture4->Image().pixel(300, axisRow), qRgb(100, 100, 100));
  EXPECT_EQ(f->Picture4->Image().pixel(300, axisRow + 3), qRgb(255, 255, 255));
}

TEST_F(CalculatorWindow, ScrollBarsMoveThePictureInItsViewport) {
  f->VScroll1->setValue(100);
  // The lower edge 4 units above the viewport's.
  EXPECT_EQ(f->Picture4->y(), -126);
  EXPECT_EQ(f->Picture4->geometry().bottom() + 1, 401 - 4);
  f->HScroll1->setValue(100);
  // The picture is narrower than the viewport: the right edges meet.
  EXPECT_EQ(f->Picture4->x(), 86);
  EXPECT_EQ(f->Picture4->geometry().right() + 1, 609);
  f->VScroll1->setValue(50);
  EXPECT_EQ(f->Picture4->y(), -63);

  // A wider graph goes the other way; a redrawn frame keeps the bars.
  Type(f->Text1, "600");
  f->Command16->click();
  EXPECT_EQ(f->Picture4->width(), 1021);  // 41 · 24,91
  EXPECT_EQ(f->Picture4->x(), 609 - 1021);
  EXPECT_EQ(f->Picture4->y(), -63);
  f->HScroll1->setValue(0);
  EXPECT_EQ(f->Picture4->x(), 0);

  // The search picture fits the viewport's height.
  f->VScroll1->setValue(100);
  f->HScroll1->setValue(100);
  f->Command4->click();
  f->Command5->click();
  EXPECT_EQ(f->Picture4->size(), QSize(523, 398));
  EXPECT_EQ(f->Picture4->pos(), QPoint(86, 401 - 398 - 4));
}

TEST_F(CalculatorWindow, RefusedRangeKeepsTheGraphAsItWas) {
  const QImage before = f->Picture4->Image().copy();
  const ShiftGraph g = f->Graph();
  // Valid numbers whose grid no picture can show are told apart from bad
  // input: the user has to change a range, not fix a typing error.
  const char* tooLarge =
      "Сетка графика не может быть больше 160 клеток по оси:\n"
      "уменьшите Vmax / MV или 2 * dv/v max / Mdv/v";
  struct Bad {
    QLineEdit* field;
    const char* text;
    const char* message;
  };
  const Bad bads[] = {
      {f->Text1, "", kBadInput},      {f->Text1, "abc", kBadInput},    {f->Text1, "0", kBadInput},
      {f->Text1, "-300", kBadInput},  {f->Text1, "1E308", tooLarge},   {f->Text3, "0", kBadInput},
      {f->Text4, "0", kBadInput},     {f->Text4, "-1E-13", kBadInput}, {f->Text2, "1E-9", tooLarge},
      {f->Text2, "1,2.3", kBadInput}, {f->Text3, "1E-300", tooLarge}};
  for (const Bad& b : bads) {
    const QString old = b.field->text();
    Type(b.field, b.text);
    f->Command16->click();
    EXPECT_EQ(Shown(), One(b.message)) << b.field->objectName().toStdString() << " " << b.text;
    b.field->setText(old);
  }
  EXPECT_EQ(f->Picture4->Image(), before);
  EXPECT_EQ(f->Graph().NX, g.NX);
  EXPECT_EQ(f->Graph().Mdv, g.Mdv);
  // A large but allowed grid draws.
  Type(f->Text1, "2400");
  f->Command16->click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(f->Graph().NX, 160);
}

TEST_F(CalculatorWindow, CurveUsesTheRangeOfTheLastFrame) {
  Type(f->Text1, "600");
  f->Command1->click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(f->Picture4->Counts().points, 5000);
  EXPECT_EQ(Pool().V1, 300);  // the old Vmax
  // Near its end, at V/MV = 19,6 (294 m/s), the curve is 0,5·b²/Mdv = 4,8 cells
  // up, in red.
  const QImage& img = f->Picture4->Image();
  const double b = 294 / 299790000.0;
  const int x = static_cast<int>(std::lround(f->Picture4->PixelX(19.6)));
  const int y = static_cast<int>(std::lround(f->Picture4->PixelY(0.5 * b * b / 1e-13)));
  EXPECT_EQ(img.pixel(x, y), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(x, y - 3), qRgb(255, 255, 255));

  f->Command16->click();
  f->Command1->click();
  EXPECT_EQ(Pool().V1, 600);
  EXPECT_EQ(f->Picture4->Counts().points, 5000);
}

TEST_F(CalculatorWindow, CurveAndPointFaults) {
  Type(f->Text5, "");
  f->Command1->click();
  EXPECT_EQ(Shown(), One(kBadInput));
  Type(f->Text5, "zwei");
  f->Command1->click();
  EXPECT_EQ(Shown(), One(kBadInput));
  EXPECT_EQ(f->Picture4->Counts().points, 0);
  // A coefficient that overflows the picture ends the sweep with its message.
  Type(f->Text5, "1E308");
  f->Command1->click();
  EXPECT_EQ(Shown(), One(kGraphFault));

  f->Command3->click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(f->Picture4->Counts().circles, 1);
  Type(f->Text7, "");
  f->Command3->click();
  EXPECT_EQ(Shown(), One(kBadInput));
  Type(f->Text7, "150");
  Type(f->Text8, "1E308");
  f->Command3->click();
  EXPECT_EQ(Shown(), One(kGraphFault));
  EXPECT_EQ(f->Picture4->Counts().circles, 1);
}

TEST_F(CalculatorWindow, SavesThePictureInTheCurrentFolder) {
  testing::TemporaryWorkingFolder here;
  f->Command2->click();
  EXPECT_TRUE(Shown().empty());
  QImage saved("Velmor20.bmp", "BMP");
  EXPECT_EQ(saved.size(), QSize(523, 523));
  for (const char* bad : {"../x", "a/b", ""}) {
    Type(f->Text6, bad);
    f->Command2->click();
    if (std::string(bad).empty()) {
      // "Velmor.bmp" is a plain name.
      EXPECT_TRUE(Shown().empty());
    } else {
      EXPECT_EQ(Shown(), One("Ошибка сохранения изображения")) << bad;
    }
  }
  EXPECT_FALSE(QFile::exists("../x.bmp"));
}

TEST_F(CalculatorWindow, LaserFrequenciesAndBeamSearch) {
  f->Command4->click();
  EXPECT_EQ(Text(f->Text11), "776,896210251501");
  EXPECT_EQ(Text(f->Text12), "384,383625699921");
  EXPECT_EQ(Pool().v0, 1e12 * 546.467);

  Type(f->Text10, "1");
  f->Command4->click();
  EXPECT_EQ(Shown(), One(kSolveFault));
  EXPECT_EQ(Text(f->Text11), "776,896210251501");
  Type(f->Text10, "x");
  f->Command4->click();
  EXPECT_EQ(Shown(), One(kBadInput));
  Type(f->Text10, "0,338");

  // The search takes over the main window's flag, scale and frequency.
  Pool().StopFlag = 0;
  Pool().GraphScale = 0.5;
  Pool().v0 = 0.2;
  f->Command5->click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Pool().StopFlag, 1);
  EXPECT_EQ(Pool().GraphScale, 0.25);
  EXPECT_EQ(Pool().v0, 1e12 * 546.467);
  EXPECT_EQ(f->Picture4->Counts().points, 2 * 19999);
  EXPECT_EQ(f->Picture4->Texts()[19].text, "V/Vsv=  0,338");

  // A measured pair asked for with an unreadable speed changes nothing.
  const QImage before = f->Picture4->Image().copy();
  Pool().StopFlag = 5;
  Pool().GraphScale = 0.5;
  f->Check2->click();
  Type(f->Text10, "");
  f->Command5->click();
  EXPECT_EQ(Shown(), One(kBadInput));
  EXPECT_EQ(Pool().StopFlag, 5);
  EXPECT_EQ(Pool().GraphScale, 0.5);
  EXPECT_EQ(f->Picture4->Image(), before);
  Type(f->Text10, "0,338");
  f->Command5->click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(f->Picture4->Texts()[22].text, "vp=  777,21");

  f->Check2->click();
  Type(f->Text12, "0");
  f->Command5->click();
  EXPECT_EQ(Shown(), One(kSolveFault));
}

TEST_F(CalculatorWindow, BeamSearchBeforeAnyFrequencies) {
  Pool().StopFlag = 3;
  const QImage before = f->Picture4->Image().copy();
  f->Command5->click();  // vp and va are still empty
  EXPECT_EQ(Shown(), One(kBadInput));
  EXPECT_EQ(Pool().StopFlag, 3);
  EXPECT_EQ(f->Picture4->Image(), before);
}

TEST_F(CalculatorWindow, ResizedPictureKeepsWhatIsDrawn) {
  ui::PictureBox& p = *f->Picture4;
  p.SetScale(0, 0, 100, 100);
  p.PSet(10, 10, RGB(0, 0, 255));
  const QPoint at(static_cast<int>(std::lround(p.PixelX(10))),
                  static_cast<int>(std::lround(p.PixelY(10))));
  p.SetSizeTwips(15 * 700, 15 * 600);
  EXPECT_EQ(p.Image().size(), QSize(700, 600));
  EXPECT_EQ(p.Image().pixel(at), qRgb(0, 0, 255));
  EXPECT_EQ(p.Image().pixel(650, 580), qRgb(255, 255, 255));
  // The scale now spans the new size.
  EXPECT_DOUBLE_EQ(p.PixelX(100), 700);
  EXPECT_DOUBLE_EQ(p.PixelY(100), 600);
}

}  // namespace
}  // namespace velmor
