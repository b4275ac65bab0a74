// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1 … Form9: created on first use, shown, activated and closed here.
#include <functional>

namespace velmor::ui {

class Form;

class FormRegistry {
 public:
  using Factory = std::function<Form*()>;
  static constexpr int kForms = 9;

  static void Register(int number, Factory factory);
  // The open window, or nullptr.
  static Form* Find(int number);
  // The open window, created (and loaded) without being shown if needed.
  static Form* Load(int number);
  template <class T>
  static T* LoadAs(int number) {
    return static_cast<T*>(Load(number));
  }
  // Creates if needed, shows without making it modal, and activates it.
  static Form* Show(int number);
  // The program's own activation bookkeeping: the window's OnActivate runs
  // when it becomes active coming from another window of this program (not
  // from a message box or another application).
  static void Activated(Form* form);
  // "Выход": every stop flag set, then Form1 … Form9 closed in this order.
  static void CloseAll();
  // Asked at every step of a run: answered from the last look at the
  // windows for as long as none has come, closed or gone since.
  static bool AnyOpen() { return countedAt_ == changes_ ? anyOpen_ : CountOpen(); }
  // Called by a window that closes, and by every window that goes.
  static void Forget(Form* form);
  // A window begins to close: it counts as open no longer.
  static void Changed() { ++changes_; }

 private:
  static bool CountOpen();
  static inline unsigned long long changes_ = 0;
  static inline unsigned long long countedAt_ = ~0ULL;
  static inline bool anyOpen_ = false;
};

}  // namespace velmor::ui
