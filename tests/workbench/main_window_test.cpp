// SPDX-License-Identifier: GPL-3.0-or-later
// The main window through its real handlers, offscreen.
#include "workbench/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>

#include "shared/shared_pool.h"
#include "support/window_test_support.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/ui_yield.h"

namespace velmor {
namespace {

using ui::FormRegistry;

using MainWindowTest = testing::WindowTest<Form1, 1>;

TEST_F(MainWindowTest, ActivationFromAnotherWindowResetsTheFrequency) {
  Pool().v0 = 7;
  // Focus coming back from a message box or another program: no change.
  FormRegistry::Activated(form);
  EXPECT_EQ(Pool().v0, 7);
  ui::Form* help = FormRegistry::Show(2);
  EXPECT_EQ(Pool().v0, 7);
  FormRegistry::Activated(form);
  EXPECT_EQ(Pool().v0, 0.2);
  Pool().v0 = 7;
  help->close();
  FormRegistry::Activated(form);
  EXPECT_EQ(Pool().v0, 7);
}

TEST_F(MainWindowTest, LoadSetsTheConstants) {
  EXPECT_EQ(Pool().Pi, 3.14159265358979);
  EXPECT_EQ(Pool().DegPerRad, 180 / 3.14159265358979);
  EXPECT_EQ(Pool().LightSpeed, 299790000);
  EXPECT_EQ(Pool().Million, 1000000);
  EXPECT_EQ(Pool().ElementaryCharge, 1e-19 * 1.60218);
  EXPECT_EQ(form->Picture1->width(), 11805 / 15);
  EXPECT_EQ(form->Picture1->height(), 5130 / 15);
}

TEST_F(MainWindowTest, ClosingTheMainWindowDuringARunEndsItLikeExit) {
  form->Command13->click();
  QPointer<Form1> watch(form);
  long long yields = 0;
  ui::SetYieldHook([&] {
    if (++yields == 300 && watch) watch->close();
  });
  form->Command1->click();
  ui::SetYieldHook(nullptr);
  EXPECT_LE(yields, 302);  // the loop ended right after the close
  EXPECT_EQ(FormRegistry::Find(1), nullptr);
  EXPECT_TRUE(ui::Quitting());
  // Nothing was shown for the interrupted run.
  EXPECT_TRUE(ui::Messages::TakeLog().empty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watch.isNull());
}

TEST_F(MainWindowTest, ClosingAnotherWindowDuringARunLetsItGoOn) {
  form->Command13->click();
  FormRegistry::Show(3);
  long long yields = 0;
  ui::SetYieldHook([&] {
    ++yields;
    if (yields == 100) {
      if (ui::Form* f = FormRegistry::Find(3)) f->close();
    }
    if (yields == 1000) form->Command2->click();
  });
  form->Command1->click();
  EXPECT_EQ(yields, 1000);
  EXPECT_EQ(FormRegistry::Find(3), nullptr);
  EXPECT_NE(FormRegistry::Find(1), nullptr);
  EXPECT_EQ(form->Text17->text(), QString::fromUtf8("1"));
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

TEST(HelpWindow, ComposesTheTextEachTimeItOpens) {
  ui::FormRegistry::Show(1);
  Pool().ReportText = "x";
  ui::Form* help = ui::FormRegistry::Show(2);
  const std::string first = Pool().ReportText;
  EXPECT_EQ(first.rfind("                 ОПИСАНИЕ", 0), 0u);
  help->close();
  Pool().ReportText = "y";
  ui::FormRegistry::Show(2);
  EXPECT_EQ(Pool().ReportText, first);
  ui::FormRegistry::CloseAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace velmor
