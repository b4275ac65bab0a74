// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every message box of the program goes through here, so the automation
// driver and the tests can read and answer them.
#include <string>
#include <vector>

namespace velmor::ui {

// The program's fixed messages, each a window shows for a failing action.
namespace msg {
inline constexpr const char* kBadInput = "Введите правильно данные";
inline constexpr const char* kSolveFault = "Ошибка решения";
inline constexpr const char* kComputeFault = "Ошибка рассчета";
inline constexpr const char* kComputeFaultAlt = "Ошибка расчета";
inline constexpr const char* kReportFault = "Ошибка в отчете ";
inline constexpr const char* kPictureSaveFault = "Ошибка сохранения изображения";
inline constexpr const char* kFileWriteFault = "Ошибка записи в файл";
inline constexpr const char* kPointFault = "Не могу найти эту точку";
}  // namespace msg

enum class MsgButtons { Ok, YesNo };

struct MessageRecord {
  std::string title;
  std::string text;
  MsgButtons buttons;
  bool answerYes;  // OK counts as yes
};

class Messages {
 public:
  // Shows the box and returns true for Yes (and for OK).
  static bool Show(const std::string& title, const std::string& text, MsgButtons buttons);
  // The common cases: title "Velmor5".
  static void Error(const std::string& text) { Show("Velmor5", text, MsgButtons::Ok); }
  static bool Ask(const std::string& text) { return Show("Velmor5", text, MsgButtons::YesNo); }

  // Scripted mode: no box appears; Yes/No boxes take queued answers (Yes when
  // none is queued) and everything shown is logged.
  static void SetScripted(bool on);
  static bool Scripted();
  static void QueueAnswers(bool yes, int count);
  static std::vector<MessageRecord> TakeLog();
  static std::size_t Shown();  // boxes shown since the program started
};

}  // namespace velmor::ui
