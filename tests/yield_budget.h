// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' run loops go on until their beams, fronts or rays arrive. A
// window test gets a budget of loop steps (yields): once it is spent, the
// running loop is ended the way "Выход" ends it and the test fails with a
// message, instead of running until the time limit.
#include <gtest/gtest.h>

#include <QObject>
#include <QTimerEvent>
#include <string>

#include "ui/ui_yield.h"

namespace velmor::testing_support {

class YieldBudget : public QObject {
 public:
  YieldBudget(long long steps, std::string what)
      : last_(ui::UiYieldCount() + steps), steps_(steps), what_(std::move(what)) {
    // The loops process events while they run, so a timer sees the count
    // without taking the yield hook the tests use themselves.
    startTimer(50);
  }
  ~YieldBudget() override {
    if (spent_) ui::SetQuitting(false);
  }

 protected:
  void timerEvent(QTimerEvent*) override {
    if (spent_ || ui::UiYieldCount() <= last_) return;
    spent_ = true;
    ui::SetQuitting(true);
    ADD_FAILURE() << what_ << " did not arrive within " << steps_ << " steps";
  }

 private:
  long long last_;
  long long steps_;
  std::string what_;
  bool spent_ = false;
};

}  // namespace velmor::testing_support
