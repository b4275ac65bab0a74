// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window test suites share: reading fields, the message boxes shown,
// a window opened anew for every test and everything closed after it, and a
// working folder of a test's own.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ui/form_registry.h"

namespace velmor::testing {

// A field's text, and its number in the program's conventions (NaN, and a
// test failure, when it does not parse).
std::string Text(const QLineEdit* field);
double Number(const QLineEdit* field);
// Several fields' texts at once, to compare with a list.
using Strings = std::vector<std::string>;
Strings Texts(std::initializer_list<const QLineEdit*> fields);

// The message boxes shown since the last call, as "title|text".
std::vector<std::string> TakeMessages();
// Their texts alone, each box checked to carry the program's title.
std::vector<std::string> TakeMessageTexts();
// The one message text shown since the last call, or "" when none was; more
// than one fails the test.
std::string TakeMessage();

// Deletes the windows closed so far, as the event loop would.
void DeleteClosed();
// Closes the windows given, in that order, and deletes them.
void CloseWindows(std::initializer_list<int> numbers);
// The end of every window test: no yield hook left behind, every window
// closed as "Выход" closes them and deleted, the message log empty.
void EndWindowTest();

// Runs `action` once, at the n-th yield of the loops from now.
void AtYield(long long n, std::function<void()> action);

// The fixture of a suite on one window: after what `BeforeOpening` needs,
// the message log emptied and the window built anew and shown, so that a
// test sees what its loading showed.
template <class Window, int kNumber>
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BeforeOpening();
    TakeMessages();
    CloseWindows({kNumber});
    form = static_cast<Window*>(ui::FormRegistry::Show(kNumber));
    ASSERT_NE(form, nullptr);
  }
  void TearDown() override { EndWindowTest(); }
  virtual void BeforeOpening() {}

  Window* form = nullptr;
};

// For its lifetime the working folder is a new, empty one; the old one comes
// back afterwards, and the new one is removed with what was saved in it.
class TemporaryWorkingFolder {
 public:
  TemporaryWorkingFolder();
  ~TemporaryWorkingFolder();
  TemporaryWorkingFolder(const TemporaryWorkingFolder&) = delete;
  TemporaryWorkingFolder& operator=(const TemporaryWorkingFolder&) = delete;

  std::filesystem::path Path() const { return dir_.path().toStdString(); }

 private:
  std::filesystem::path old_;
  QTemporaryDir dir_;
};

}  // namespace velmor::testing
