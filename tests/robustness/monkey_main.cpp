// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded random user for every window: it opens windows, types hostile
// values, ticks boxes, selects options, presses every button (also stop,
// continue and step buttons in the middle of runs), clicks on pictures,
// scrolls and closes windows mid-run. After every action it checks that no
// field shows NaN or infinity and that every message box is one of the
// program's own. Runs are bounded: a loop that goes on past its step budget
// is stopped with the window's stop button, as a user would.
//
//   velmor5-monkey [--seed N] [--actions N] [--forms 1,3,8] [--budget N]
//
// A failure prints the seed and the last actions; the same seed replays them.
// It runs in a temporary working folder of its own, so that what the windows
// save (pictures, data files) is not left where it was started; a failure
// keeps the folder and names it.
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/register_forms.h"
#include "shared/shared_pool.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/picture_box.h"
#include "ui/ui_yield.h"

namespace {

using velmor::ui::Form;
using velmor::ui::FormRegistry;
using velmor::ui::Messages;

struct Options {
  unsigned long long seed = 1;
  long long actions = 2000;
  std::vector<int> forms = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  long long budget = 3000;  // yields a run may take before it is stopped
  std::string allowedMessages;
  // Instead of random actions: every field of every window gets this text,
  // then every button of the window is pressed once.
  bool sweep = false;
  std::string sweepValue;
};

std::mt19937_64 g_rng;
Options g_opt;
std::string g_workDir;
std::deque<std::string> g_log;  // the last actions, for a failure report
std::set<std::string> g_allowed;
// Messages that end in a value (a file name, a time): allowed by their start.
std::vector<std::string> g_allowedPrefixes;

bool Allowed(const std::string& key) {
  if (g_allowed.count(key)) return true;
  for (const auto& p : g_allowedPrefixes) {
    if (key.compare(0, p.size(), p) == 0) return true;
  }
  return false;
}
long long g_yieldsThisAction = 0;
int g_nesting = 0;
long long g_actionsDone = 0;
volatile sig_atomic_t g_progress = 0;

void Log(const std::string& s) {
  g_log.push_back(s);
  if (g_log.size() > 40) g_log.pop_front();
}

[[noreturn]] void Fail(const std::string& why) {
  std::cerr << "velmor5-monkey: FAILED (seed " << g_opt.seed << ", action " << g_actionsDone
            << "): " << why << "\nlast actions:\n";
  for (const auto& s : g_log) std::cerr << "  " << s << "\n";
  std::cerr << "what the windows saved is in " << g_workDir << "\n";
  std::cerr.flush();
  std::_Exit(1);
}

void OnAlarm(int) {
  if (g_progress == 0) {
    const char msg[] = "velmor5-monkey: FAILED: no progress for 60 s (a hang)\n";
    (void)!write(2, msg, sizeof msg - 1);
    std::_Exit(1);
  }
  g_progress = 0;
  alarm(60);
}

int Pick(int n) {
  return n <= 1 ? 0 : static_cast<int>(g_rng() % static_cast<unsigned>(n));
}
bool Chance(int percent) {
  return Pick(100) < percent;
}

const std::vector<std::string>& Hostile() {
  static const std::vector<std::string> v = {"",
                                             " ",
                                             "abc",
                                             "1,2,3",
                                             "1E308",
                                             "-1E308",
                                             "1E-320",
                                             "0",
                                             "-1",
                                             "-5,5",
                                             "2147483648",
                                             "-2147483649",
                                             "NaN",
                                             "inf",
                                             "-inf",
                                             "1e",
                                             "0,0000001",
                                             "1E15",
                                             "65535",
                                             "3",
                                             "20",
                                             "0,5",
                                             "1",
                                             "100",
                                             "-100",
                                             "1E-3",
                                             "90",
                                             "180",
                                             "45",
                                             "0,999999",
                                             "1,0000001",
                                             "5",
                                             ",",
                                             "..",
                                             "../x",
                                             "a/b",
                                             std::string(1000, '9')};
  return v;
}

std::vector<Form*> OpenForms() {
  std::vector<Form*> out;
  for (int n : g_opt.forms) {
    if (Form* f = FormRegistry::Find(n)) out.push_back(f);
  }
  return out;
}

template <class T>
std::vector<T*> Controls(Form* f) {
  std::vector<T*> out;
  for (T* w : f->findChildren<T*>()) {
    if (w->isEnabled() && !w->objectName().isEmpty()) out.push_back(w);
  }
  return out;
}

std::string Name(QObject* o) {
  QObject* p = o;
  while (p && !qobject_cast<Form*>(p)) p = p->parent();
  return (p ? p->objectName().toStdString() + "." : std::string()) + o->objectName().toStdString();
}

// Fields the program writes are not always read-only; a number it writes must
// never be NaN or infinite, so every field is checked for the words the
// number text would use for them, unless the monkey typed them itself.
std::set<const QLineEdit*> g_typedHostile;

void CheckAllFields() {
  for (Form* f : OpenForms()) {
    for (QLineEdit* e : f->findChildren<QLineEdit*>()) {
      if (g_typedHostile.count(e)) continue;
      const QString t = e->text();
      if (t == QStringLiteral("NaN") || t.contains(QStringLiteral("Infinity")) ||
          t.contains(QStringLiteral("nan")) || t.contains(QStringLiteral("inf"))) {
        Fail("field " + Name(e) + " shows " + t.toStdString());
      }
    }
  }
}

long long g_messagesSeen = 0;

void CheckMessages() {
  for (const auto& m : Messages::TakeLog()) {
    ++g_messagesSeen;
    const std::string key = m.title + "|" + m.text;
    if (!g_allowed.empty() && !Allowed(key)) {
      Fail("unexpected message box: " + key);
    }
    if (m.text.find("nan") != std::string::npos || m.text.find("inf") != std::string::npos) {
      Fail("message shows a non-number: " + m.text);
    }
  }
}

void RandomAction(bool insideLoop);

// Every yield: now and then act as a user would during a run; past the
// budget, stop the run with the stop buttons.
void OnYield() {
  g_progress = 1;
  ++g_yieldsThisAction;
  if (g_yieldsThisAction > g_opt.budget) {
    velmor::Pool().StopFlag = 1;
    for (Form* f : OpenForms()) {
      for (QAbstractButton* b : Controls<QAbstractButton>(f)) {
        if (b->text() == QString::fromUtf8("Остановить")) b->click();
      }
      f->StopAll();
    }
    if (g_yieldsThisAction > g_opt.budget * 20 + 100000) {
      Fail("a run does not stop after its stop button");
    }
    return;
  }
  if (g_nesting < 2 && Chance(1)) {
    ++g_nesting;
    RandomAction(true);
    --g_nesting;
  }
}

void RandomAction(bool insideLoop) {
  std::vector<Form*> forms = OpenForms();
  const int kind = Pick(100);
  if (forms.empty() || kind < 4) {
    const int n = g_opt.forms[Pick(static_cast<int>(g_opt.forms.size()))];
    Log("show Form" + std::to_string(n));
    FormRegistry::Show(n);
    return;
  }
  Form* f = forms[Pick(static_cast<int>(forms.size()))];
  if (kind < 35) {
    auto fields = Controls<QLineEdit>(f);
    if (fields.empty()) return;
    QLineEdit* e = fields[Pick(static_cast<int>(fields.size()))];
    if (e->isReadOnly()) return;
    const auto& values = Hostile();
    const std::string v = values[Pick(static_cast<int>(values.size()))];
    Log("set " + Name(e) + " " + (v.size() > 20 ? v.substr(0, 20) + "…" : v));
    e->setText(QString::fromStdString(v));
    const QString low = e->text().toLower();
    if (low.contains(QStringLiteral("nan")) || low.contains(QStringLiteral("inf"))) {
      g_typedHostile.insert(e);
    } else {
      g_typedHostile.erase(e);
    }
    return;
  }
  if (kind < 75) {
    auto buttons = Controls<QAbstractButton>(f);
    if (buttons.empty()) return;
    QAbstractButton* b = buttons[Pick(static_cast<int>(buttons.size()))];
    // Leaving the program is rare, so that the windows get used.
    if (b->text() == QString::fromUtf8("Выход") && !Chance(5)) return;
    Log(std::string("click ") + Name(b) + (insideLoop ? " (during a run)" : ""));
    b->click();
    return;
  }
  if (kind < 82) {
    auto bars = Controls<QScrollBar>(f);
    if (bars.empty()) return;
    QScrollBar* s = bars[Pick(static_cast<int>(bars.size()))];
    const int v = s->minimum() + Pick(s->maximum() - s->minimum() + 1);
    Log("scroll " + Name(s) + " " + std::to_string(v));
    s->setValue(v);
    return;
  }
  if (kind < 92) {
    auto pictures = Controls<velmor::ui::PictureBox>(f);
    if (pictures.empty()) return;
    velmor::ui::PictureBox* p = pictures[Pick(static_cast<int>(pictures.size()))];
    const double x = p->UserX(Pick(p->width() + 40) - 20.0);
    const double y = p->UserY(Pick(p->height() + 40) - 20.0);
    Log("mouse " + Name(p) + " " + std::to_string(x) + " " + std::to_string(y));
    p->ClickAt(1 + Pick(2), x, y);
    return;
  }
  if (kind < 96) {
    Log("activate " + f->objectName().toStdString());
    FormRegistry::Activated(f);
    return;
  }
  Log(std::string("close ") + f->objectName().toStdString() +
      (insideLoop ? " (during a run)" : ""));
  QPointer<Form> guard(f);
  f->close();
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i], v = argv[i + 1];
    if (k == "--seed") o.seed = std::stoull(v);
    if (k == "--actions") o.actions = std::stoll(v);
    if (k == "--budget") o.budget = std::stoll(v);
    if (k == "--messages") o.allowedMessages = v;
    if (k == "--all-fields") {
      o.sweep = true;
      o.sweepValue = v;
    }
    if (k == "--forms") {
      o.forms.clear();
      std::stringstream ss(v);
      std::string item;
      while (std::getline(ss, item, ',')) o.forms.push_back(std::stoi(item));
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QApplication app(argc, argv);
  g_opt = Parse(argc, argv);
  g_rng.seed(g_opt.seed);
  if (!g_opt.allowedMessages.empty()) {
    std::ifstream in(g_opt.allowedMessages);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      std::string unescaped;
      for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
          unescaped += '\n';
          ++i;
        } else {
          unescaped += line[i];
        }
      }
      if (!unescaped.empty() && unescaped.back() == '*') {
        unescaped.pop_back();
        g_allowedPrefixes.push_back(unescaped);
      } else {
        g_allowed.insert(unescaped);
      }
    }
  }
  QTemporaryDir work(QDir::temp().filePath(QStringLiteral("velmor5-monkey-XXXXXX")));
  if (!work.isValid() || !QDir::setCurrent(work.path())) {
    std::cerr << "velmor5-monkey: cannot make a working folder\n";
    return 1;
  }
  g_workDir = work.path().toStdString();
  Messages::SetScripted(true);
  velmor::RegisterForms();
  velmor::ui::SetYieldHook(OnYield);
  std::signal(SIGALRM, OnAlarm);
  alarm(60);
  FormRegistry::Show(1);
  if (g_opt.sweep) {
    // Every window in turn: all its fields, then each of its buttons.
    for (int n : g_opt.forms) {
      Form* f = FormRegistry::Show(n);
      if (!f) continue;
      QPointer<Form> form(f);
      for (QLineEdit* e : Controls<QLineEdit>(f)) {
        if (e->isReadOnly()) continue;
        e->setText(QString::fromStdString(g_opt.sweepValue));
        g_typedHostile.insert(e);
      }
      const auto buttons = Controls<QAbstractButton>(f);
      std::vector<QPointer<QAbstractButton>> guarded(buttons.begin(), buttons.end());
      for (const auto& b : guarded) {
        if (!form || !b || b->text() == QString::fromUtf8("Выход")) continue;
        g_yieldsThisAction = 0;
        ++g_actionsDone;
        Log("click " + Name(b) + " with every field " + g_opt.sweepValue);
        b->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CheckMessages();
        CheckAllFields();
      }
      if (form) form->close();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      g_typedHostile.clear();
      if (!FormRegistry::Find(1)) FormRegistry::Show(1);
    }
    std::cout << "velmor5-monkey: every field \"" << g_opt.sweepValue << "\": " << g_actionsDone
              << " buttons pressed, " << g_messagesSeen << " message boxes, no fault\n";
    return 0;
  }
  for (g_actionsDone = 0; g_actionsDone < g_opt.actions; ++g_actionsDone) {
    g_progress = 1;
    g_yieldsThisAction = 0;
    if (Chance(30)) Messages::QueueAnswers(Chance(50), 1 + Pick(3));
    RandomAction(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CheckMessages();
    CheckAllFields();
    if (!FormRegistry::Find(1) && Chance(50)) FormRegistry::Show(1);
  }
  std::cout << "velmor5-monkey: seed " << g_opt.seed << ": " << g_opt.actions << " actions, "
            << velmor::ui::UiYieldCount() << " loop steps, " << g_messagesSeen
            << " message boxes, no fault\n";
  return 0;
}
