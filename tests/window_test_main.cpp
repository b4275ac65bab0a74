// SPDX-License-Identifier: GPL-3.0-or-later
// Window tests run the real windows offscreen, with message boxes answered
// by the scripted message service.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "app/register_forms.h"
#include "ui/messages.h"
#include "yield_budget.h"

namespace {

// Every window test runs to a budget of loop steps, some four times what
// the longest of them takes (the main window's default run, 230 000); a
// window's own tests may set a tighter one.
class BudgetForEveryTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    budget_ = std::make_unique<velmor::testing_support::YieldBudget>(
        1'000'000, "the fronts, rays or beams of the run");
  }
  void OnTestEnd(const ::testing::TestInfo&) override { budget_.reset(); }
  std::unique_ptr<velmor::testing_support::YieldBudget> budget_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new BudgetForEveryTest);
  return RUN_ALL_TESTS();
}
