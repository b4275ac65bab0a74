// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every window FormN: its number and caption, the activation
// that the program reacts to, and closing that is safe while one of the
// window's own loops is running.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QScrollArea;
class QScrollBar;

namespace velmor::ui {

class Form : public QWidget {
  Q_OBJECT

 public:
  // A window declared in a Qt Designer form takes its caption from there.
  explicit Form(int number, const QString& caption = {});
  // However it goes, the registry no longer counts it open.
  ~Form() override;
  int Number() const { return number_; }

  // An input control as the window declares it: a field's text, or "1"/"0"
  // for a check box or an option button.
  enum class ControlKind { Field, Check, Option };
  struct Control {
    QString name;
    ControlKind kind;
    QString declared;
  };
  // Every field the user can type into, every check box and option button,
  // in the order of the declaration.
  const std::vector<Control>& Controls() const { return controls_; }
  // The same of any widget tree, e.g. a declaration built without its window.
  static std::vector<Control> ControlsOf(const QWidget& root);

  // After an experiment file or the defaults set the controls without their
  // click handlers: whatever the window derives from its options.
  virtual void RefreshFromControls() {}
  // Whether a loop of any window is running now.
  static bool AnyBusy();

  // Once closed, a window is never used again; a loop of the window ends at
  // its next yield.
  bool Closing() const { return closing_; }

  // The window became the active window coming from another window of this
  // program.
  virtual void OnActivate() {}
  // "Выход": set this window's own stop flags.
  virtual void StopAll() {}

  // After the window is built: every button's description from the help
  // text as its tooltip, Esc for "Остановить" and Ctrl+S for the window's
  // picture saving button.
  void AddConveniences();

  // What a picture or report page on the window shows scrolls with the mouse
  // wheel over `page` and with PgUp, PgDn, Home and End.
  void ScrollPageWith(QScrollBar* bar, QWidget* page);

  // Marks a loop of this window as running; deletion of a closed window waits
  // until the last one has returned. A run that ends while the window is
  // shown, neither stopped nor a limited stretch of steps the user asked for,
  // marks the caption until the next run starts.
  class Busy {
   public:
    explicit Busy(Form* form);
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    Form* form_;
  };

 protected:
  // Builds the window from its declaration (`Ui` is the class uic makes of
  // the window's .ui file) and notes the declared state of its inputs.
  template <class Ui>
  void SetUp(Ui& declaration) {
    declaration.setupUi(this);
    NoteDeclaredControls();
    ScrollWhenSmall();
  }

  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  // Closing by the title bar or close(): before the window goes.
  virtual void OnClosing() {}

 private:
  void NoteDeclaredControls();
  // The declared content goes into a scroll area, so the window can be made
  // smaller than its layout (a small screen, a projector) and everything
  // stays reachable; a window whose content already scrolls keeps its own.
  void ScrollWhenSmall();
  void OpenAtContentSize();
  void OrderTabStops();

  void RunStarts();
  void RunEnds();

  int number_;
  QScrollArea* scroll_ = nullptr;
  QString caption_;
  // "Остановить" or "Сделать NC0 шагов" pressed for the run going.
  bool endAsked_ = false;
  std::vector<Control> controls_;
  bool closing_ = false;
  bool tabOrderSet_ = false;
  int busy_ = 0;
};

// Every frame's option buttons become one exclusive group of their own.
void GroupOptionsByFrame(QWidget* window);

// A lock on state shared by several loops: the experiment state of the pool
// (main and medium windows) or a window's own engine. A run never starts
// while another run on the same state is going; the window whose click was
// refused says which run that is.
class RunLock {
 public:
  bool Busy() const { return busy_; }

  class Hold {
   public:
    Hold(RunLock& lock, Form* form);
    ~Hold() {
      if (lock_) lock_->busy_ = false;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    explicit operator bool() const { return lock_ != nullptr; }

   private:
    RunLock* lock_;
  };

 private:
  bool busy_ = false;
  QPointer<Form> owner_;
};

// The lock of the experiment state in the shared pool.
RunLock& EngineRunLock();

}  // namespace velmor::ui
