// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <deque>

namespace velmor::ui {

namespace {

struct MessageState {
  bool scripted = false;
  std::deque<bool> answers;
  std::vector<MessageRecord> log;
  std::size_t shown = 0;
};

MessageState& State() {
  static MessageState s;
  return s;
}

}  // namespace

bool Messages::Show(const std::string& title, const std::string& text, MsgButtons buttons) {
  MessageState& s = State();
  ++s.shown;
  bool yes = true;
  if (s.scripted) {
    if (buttons == MsgButtons::YesNo && !s.answers.empty()) {
      yes = s.answers.front();
      s.answers.pop_front();
    }
  } else {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    if (buttons == MsgButtons::YesNo) {
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
    } else {
      box.setStandardButtons(QMessageBox::Ok);
    }
    const int r = box.exec();
    yes = buttons == MsgButtons::Ok || r == QMessageBox::Yes;
  }
  s.log.push_back({title, text, buttons, yes});
  if (s.log.size() > 10000) s.log.erase(s.log.begin(), s.log.begin() + 5000);
  return yes;
}

void Messages::SetScripted(bool on) {
  State().scripted = on;
}
bool Messages::Scripted() {
  return State().scripted;
}

void Messages::QueueAnswers(bool yes, int count) {
  for (int i = 0; i < count; ++i) State().answers.push_back(yes);
}

std::vector<MessageRecord> Messages::TakeLog() {
  std::vector<MessageRecord> out;
  out.swap(State().log);
  return out;
}

std::size_t Messages::Shown() {
  return State().shown;
}

}  // namespace velmor::ui
