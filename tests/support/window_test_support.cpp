// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/window_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <limits>

#include "shared/numbers.h"
#include "ui/form.h"
#include "ui/messages.h"
#include "ui/ui_yield.h"

namespace velmor::testing {

std::string Text(const QLineEdit* field) {
  return field->text().toStdString();
}

Strings Texts(std::initializer_list<const QLineEdit*> fields) {
  Strings out;
  for (const QLineEdit* f : fields) out.push_back(Text(f));
  return out;
}

double Number(const QLineEdit* field) {
  const auto value = ParseNumber(Text(field));
  if (value) return *value;
  ADD_FAILURE() << field->objectName().toStdString() << " holds no number: " << Text(field);
  return std::numeric_limits<double>::quiet_NaN();
}

std::vector<std::string> TakeMessages() {
  std::vector<std::string> out;
  for (const auto& m : ui::Messages::TakeLog()) out.push_back(m.title + "|" + m.text);
  return out;
}

std::vector<std::string> TakeMessageTexts() {
  std::vector<std::string> out;
  for (const auto& m : ui::Messages::TakeLog()) {
    EXPECT_EQ(m.title, "Velmor5");
    out.push_back(m.text);
  }
  return out;
}

std::string TakeMessage() {
  const auto texts = TakeMessageTexts();
  EXPECT_LE(texts.size(), 1u);
  return texts.empty() ? "" : texts.back();
}

void DeleteClosed() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CloseWindows(std::initializer_list<int> numbers) {
  for (int n : numbers) {
    if (ui::Form* f = ui::FormRegistry::Find(n)) f->close();
  }
  DeleteClosed();
}

void EndWindowTest() {
  ui::SetYieldHook(nullptr);
  ui::FormRegistry::CloseAll();
  DeleteClosed();
  ui::Messages::TakeLog();
}

void AtYield(long long n, std::function<void()> action) {
  const long long at = ui::UiYieldCount() + n;
  ui::SetYieldHook([at, action = std::move(action)]() mutable {
    if (action && ui::UiYieldCount() >= at) {
      auto a = std::move(action);
      action = nullptr;
      a();
    }
  });
}

TemporaryWorkingFolder::TemporaryWorkingFolder() : old_(std::filesystem::current_path()) {
  EXPECT_TRUE(dir_.isValid() && QDir::setCurrent(dir_.path())) << "no temporary working folder";
}

TemporaryWorkingFolder::~TemporaryWorkingFolder() {
  std::error_code gone;  // the old folder removed meanwhile: stay where we are
  std::filesystem::current_path(old_, gone);
}

}  // namespace velmor::testing
