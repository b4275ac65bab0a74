// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/script_driver.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "shared/numbers.h"
#include "shared/safe_file.h"
#include "ui/experiment_menu.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "ui/notice.h"
#include "ui/picture_box.h"
#include "ui/ui_yield.h"

namespace velmor::ui {

namespace {

struct Pending {
  long long at;
  std::string command;
};

struct DriverState {
  std::vector<Pending> pending;
  ScriptDriver* driver = nullptr;
  std::ostream* err = nullptr;
  std::ostream* out = nullptr;
};

DriverState& Driver() {
  static DriverState s;
  return s;
}

std::string Escape(const std::string& s) {
  std::string o;
  o.reserve(s.size());
  for (char c : s) {
    if (c == '\\') {
      o += "\\\\";
    } else if (c == '\n') {
      o += "\\n";
    } else if (c == '\r') {
      o += "\\r";
    } else {
      o += c;
    }
  }
  return o;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// "FormN" -> N, or 0.
int FormNumber(const std::string& name) {
  if (name.size() != 5 || name.rfind("Form", 0) != 0) return 0;
  const char c = name[4];
  return c >= '1' && c <= '9' ? c - '0' : 0;
}

// Hook run at every yield: the commands whose turn has come.
void RunPending() {
  DriverState& s = Driver();
  if (s.pending.empty() || !s.driver) return;
  const long long now = UiYieldCount();
  for (std::size_t i = 0; i < s.pending.size();) {
    if (s.pending[i].at <= now) {
      const std::string cmd = s.pending[i].command;
      s.pending.erase(s.pending.begin() + static_cast<std::ptrdiff_t>(i));
      if (!s.driver->Execute(cmd)) {
        s.out->flush();
        s.err->flush();
        std::_Exit(2);
      }
      i = 0;
    } else {
      ++i;
    }
  }
}

// What a command's first argument names.
enum class Target {
  None,
  WindowName,  // FormN, open or not
  Window,      // FormN, open
  Control,     // FormN.Control of an open window
  Picture,     // FormN.Picture of an open window
};

// What follows the target. Values are checked before the target is looked
// up, a path after it.
enum class Rest {
  Own,    // the command reads it itself (or takes nothing)
  Text,   // the rest of the line as typed, after one separator
  Line,   // the rest of the line, trimmed
  Path,   // the rest of the line, trimmed, not empty
  Bit,    // 0 or 1
  Whole,  // a whole number
  Point,  // two numbers
};

// One command line as it is read: the arguments, then what they name.
struct Call {
  std::istringstream& in;
  const std::string& line;
  const std::string& name;
  std::ostream& out;
  std::ostream& err;
  std::string ref{};  // the target as written
  int number = 0;     // N of FormN
  Form* form = nullptr;
  QWidget* control = nullptr;
  PictureBox* picture = nullptr;
  std::string text{};
  bool bit = false;
  long long whole = 0;
  double x = 0, y = 0;

  bool Fail(const std::string& why) const {
    err << "velmor5-script: " << why << "\n";
    return false;
  }
};

struct Command {
  std::string_view name;
  Target target;
  Rest rest;
  bool (*run)(Call&);
};

std::string Str(const QString& s) {
  return s.toStdString();
}
std::string Bit(bool on) {
  return on ? "1" : "0";
}

// What the driver can do with a control of each kind: read it (`get`), type
// into it (`set`, text fields only), tick it (`check`, check boxes only).
struct ControlAccess {
  std::function<std::string()> read;
  std::function<void(const std::string&)> type;
  std::function<void(bool)> tick;
};

ControlAccess Reads(std::function<std::string()> read) {
  ControlAccess a;
  a.read = std::move(read);
  return a;
}

template <class Edit>
ControlAccess PlainText(Edit* e) {
  ControlAccess a = Reads([e] { return Str(e->toPlainText()); });
  a.type = [e](const std::string& t) { e->setPlainText(Q(t)); };
  return a;
}

ControlAccess AccessTo(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    ControlAccess a = Reads([e] { return Str(e->text()); });
    a.type = [e](const std::string& t) { e->setText(Q(t)); };
    return a;
  }
  if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return PlainText(p);
  if (auto* t = qobject_cast<QTextEdit*>(w)) return PlainText(t);
  if (auto* c = qobject_cast<QCheckBox*>(w)) {
    ControlAccess a = Reads([c] { return Bit(c->isChecked()); });
    // Through a click, so that the box's handler runs.
    a.tick = [c](bool on) {
      if (c->isChecked() != on) c->click();
    };
    return a;
  }
  if (auto* r = qobject_cast<QRadioButton*>(w)) return Reads([r] { return Bit(r->isChecked()); });
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return Reads([b] { return Str(b->text()); });
  if (auto* l = qobject_cast<QLabel*>(w)) return Reads([l] { return Str(l->text()); });
  if (auto* g = qobject_cast<QGroupBox*>(w)) return Reads([g] { return Str(g->title()); });
  if (auto* s = qobject_cast<QScrollBar*>(w)) {
    return Reads([s] { return std::to_string(s->value()); });
  }
  return {};
}

bool ReadValue(Rest rest, Call& c) {
  switch (rest) {
    case Rest::Own:
      return true;
    case Rest::Text: {
      const auto pos = c.line.find(c.ref) + c.ref.size();
      c.text = pos < c.line.size() ? c.line.substr(pos + 1) : "";
      return true;
    }
    case Rest::Line:
    case Rest::Path:
      std::getline(c.in, c.text);
      c.text = Trim(c.text);
      return true;
    case Rest::Bit: {
      std::string value;
      c.in >> value;
      c.bit = value == "1";
      return value == "0" || value == "1" || c.Fail(c.name + " takes 0 or 1");
    }
    case Rest::Whole:
      c.in >> c.whole;
      return !c.in.fail() || c.Fail(c.name + " takes a whole number");
    case Rest::Point: {
      std::string xs, ys;
      c.in >> xs >> ys;
      const auto x = ParseNumber(xs);
      const auto y = ParseNumber(ys);
      if (!x || !y) return c.Fail(c.name + " takes two numbers");
      c.x = *x;
      c.y = *y;
      return true;
    }
  }
  return true;
}

bool FindWindow(const std::string& name, Target target, Call& c) {
  c.number = FormNumber(name);
  if (c.number == 0) return c.Fail("unknown window " + name);
  if (target == Target::WindowName) return true;
  c.form = FormRegistry::Find(c.number);
  return c.form || c.Fail("window " + name + " is not open");
}

bool FindTarget(Target target, Call& c) {
  if (target == Target::None) return true;
  if (target == Target::WindowName || target == Target::Window) {
    return FindWindow(c.ref, target, c);
  }
  const auto dot = c.ref.find('.');
  if (dot == std::string::npos) return c.Fail("expected FormN.Control, got " + c.ref);
  if (!FindWindow(c.ref.substr(0, dot), Target::Window, c)) return false;
  c.control = c.form->findChild<QWidget*>(Q(c.ref.substr(dot + 1)));
  if (!c.control) return c.Fail("unknown control " + c.ref);
  if (target != Target::Picture) return true;
  c.picture = qobject_cast<PictureBox*>(c.control);
  return c.picture || c.Fail(c.ref + " is not a picture");
}

bool ReadArguments(const Command& command, Call& c) {
  if (command.target != Target::None) c.in >> c.ref;
  if (!ReadValue(command.rest, c) || !FindTarget(command.target, c)) return false;
  return command.rest != Rest::Path || !c.text.empty() || c.Fail(c.name + " needs a path");
}

bool Show(Call& c) {
  return FormRegistry::Show(c.number) || c.Fail("cannot create " + c.ref);
}

bool Activate(Call& c) {
  FormRegistry::Activated(c.form);
  return true;
}

// As the title bar's close button does.
bool Close(Call& c) {
  c.form->close();
  return true;
}

bool PrintState(Call& c) {
  const Form* f = FormRegistry::Find(c.number);
  c.out << c.ref << ": open=" << (f ? 1 : 0) << " visible=" << (f && f->isVisible() ? 1 : 0)
        << "\n";
  return true;
}

// A PNG of the whole window as it would appear on screen.
bool Snapshot(Call& c) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  return (c.form->grab().save(&buffer, "PNG") &&
          WriteFileReplacing(
              c.text, std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) ||
         c.Fail("cannot save " + c.text);
}

// The control with the keyboard focus, as the user would type into it next.
bool Focus(Call& c) {
  const QWidget* w = c.form->focusWidget();
  c.out << c.ref << ": focus=" << (w ? Str(w->objectName()) : "") << "\n";
  return true;
}

bool PrintNotices(Call& c) {
  for (const std::string& n : TakeNotices()) c.out << "NOTE " << Escape(n) << "\n";
  return true;
}

bool Set(Call& c) {
  const auto type = AccessTo(c.control).type;
  if (type) type(c.text);
  return type || c.Fail(c.ref + " is not a text field");
}

bool Get(Call& c) {
  const auto read = AccessTo(c.control).read;
  if (read) c.out << c.ref << "=" << Escape(read()) << "\n";
  return read || c.Fail(c.ref + " has no value to get");
}

bool Check(Call& c) {
  const auto tick = AccessTo(c.control).tick;
  if (tick) tick(c.bit);
  return tick || c.Fail(c.ref + " is not a check box");
}

bool Click(Call& c) {
  auto* b = qobject_cast<QAbstractButton*>(c.control);
  if (b) b->click();
  return b || c.Fail(c.ref + " cannot be clicked");
}

bool Scroll(Call& c) {
  auto* s = qobject_cast<QScrollBar*>(c.control);
  if (s) s->setValue(static_cast<int>(std::clamp<long long>(c.whole, s->minimum(), s->maximum())));
  return s || c.Fail(c.ref + " is not a scroll bar");
}

bool Mouse(Call& c) {
  c.picture->ClickAt(1, c.x, c.y);
  return true;
}

bool Answer(Call& c) {
  std::string yn;
  int count = 1;
  c.in >> yn;
  if (!(c.in >> count)) count = 1;
  if ((yn != "yes" && yn != "no") || count < 0) return c.Fail("answer yes|no [count]");
  Messages::QueueAnswers(yn == "yes", count);
  return true;
}

bool AtYield(Call& c) {
  long long n = 0;
  c.in >> n;
  if (c.in.fail() || n < 1) return c.Fail("at-yield takes a count of at least 1");
  std::string rest;
  std::getline(c.in, rest);
  rest = Trim(rest);
  if (rest.empty()) return c.Fail("at-yield needs a command");
  Driver().pending.push_back({UiYieldCount() + n, rest});
  return true;
}

bool PrintMessages(Call& c) {
  for (const auto& m : Messages::TakeLog()) {
    c.out << "MSG " << Escape(m.title) << "|" << Escape(m.text) << "|"
          << (m.buttons == MsgButtons::Ok ? "OK" : "YESNO") << "|"
          << (m.buttons == MsgButtons::Ok ? "OK" : (m.answerYes ? "YES" : "NO")) << "\n";
  }
  return true;
}

// menu FormN.Picture <action text>[|path]: a context-menu action, with the
// path a file dialog would have asked for.
bool Menu(Call& c) {
  const auto bar = c.text.find('|');
  const std::string action = Trim(c.text.substr(0, bar));
  const std::string path = bar == std::string::npos ? "" : Trim(c.text.substr(bar + 1));
  if (!c.picture->MenuActions().contains(Q(action))) {
    return c.Fail(c.ref + " has no menu action " + action);
  }
  c.out << c.ref << " menu " << action << ": "
        << (c.picture->RunMenuAction(Q(action), Q(path)) ? "done" : "failed") << "\n";
  return true;
}

bool Clipboard(Call& c) {
  const QString text = QGuiApplication::clipboard()->text();
  const QImage image = QGuiApplication::clipboard()->image();
  c.out << "clipboard: text " << text.size() << " characters, image " << image.width() << "x"
        << image.height() << "\n";
  return true;
}

bool Texts(Call& c) {
  c.picture->ForEachText([&c](const PictureBox::TextRecord& t) {
    c.out << DotForm(t.x) << "\t" << DotForm(t.y) << "\t" << Escape(t.text) << "\n";
  });
  return true;
}

bool Stats(Call& c) {
  const auto& n = c.picture->Counts();
  c.out << c.ref << ": lines=" << n.lines << " circles=" << n.circles << " points=" << n.points
        << " texts=" << n.texts << "\n";
  return true;
}

bool Save(Call& c) {
  return c.picture->SaveTo(Q(c.text)) || c.Fail("cannot save " + c.text);
}

// Experiment files, as the menu "Опыт" acts with the path its file dialog
// would have asked for; a refusal is a message like any other.
bool OpenExperimentFile(Call& c) {
  OpenExperiment(Q(c.text));
  return true;
}

bool SaveWindowExperiment(Call& c) {
  SaveExperiment(Q(c.text), {c.form});
  return true;
}

bool SaveAllExperiments(Call& c) {
  SaveAllWindows(Q(c.text));
  return true;
}

bool Defaults(Call& c) {
  RestoreDefaults(*c.form);
  return true;
}

// Every command (docs/driver.md describes them for the user).
constexpr Command kCommands[] = {
    {"show", Target::WindowName, Rest::Own, Show},
    {"activate", Target::Window, Rest::Own, Activate},
    {"close", Target::Window, Rest::Own, Close},
    {"state", Target::WindowName, Rest::Own, PrintState},
    {"snapshot", Target::Window, Rest::Path, Snapshot},
    {"set", Target::Control, Rest::Text, Set},
    {"get", Target::Control, Rest::Own, Get},
    {"check", Target::Control, Rest::Bit, Check},
    {"click", Target::Control, Rest::Own, Click},
    {"scroll", Target::Control, Rest::Whole, Scroll},
    {"mouse", Target::Picture, Rest::Point, Mouse},
    {"answer", Target::None, Rest::Own, Answer},
    {"at-yield", Target::None, Rest::Own, AtYield},
    {"messages", Target::None, Rest::Own, PrintMessages},
    {"notices", Target::None, Rest::Own, PrintNotices},
    {"focus", Target::Window, Rest::Own, Focus},
    {"menu", Target::Picture, Rest::Line, Menu},
    {"clipboard", Target::None, Rest::Own, Clipboard},
    {"texts", Target::Picture, Rest::Own, Texts},
    {"stats", Target::Picture, Rest::Own, Stats},
    {"save", Target::Picture, Rest::Path, Save},
    {"open-experiment", Target::None, Rest::Path, OpenExperimentFile},
    {"save-experiment", Target::Window, Rest::Path, SaveWindowExperiment},
    {"save-all-windows", Target::None, Rest::Path, SaveAllExperiments},
    {"defaults", Target::Window, Rest::Own, Defaults},
};

}  // namespace

ScriptDriver::ScriptDriver(std::ostream& out, std::ostream& err) : out_(out), err_(err) {
  DriverState& s = Driver();
  s.driver = this;
  s.out = &out;
  s.err = &err;
  SetYieldHook(RunPending);
}

int ScriptDriver::Run(std::istream& script) {
  std::string line;
  int lineNo = 0;
  while (std::getline(script, line)) {
    ++lineNo;
    if (!Execute(line)) {
      err_ << "line " << lineNo << ": " << line << "\n";
      out_.flush();
      return 2;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    out_.flush();
  }
  return 0;
}

bool ScriptDriver::Execute(const std::string& rawLine) {
  const std::string line = Trim(rawLine);
  if (line.empty() || line[0] == '#') return true;
  std::istringstream in(line);
  std::string name;
  in >> name;
  Call call{in, line, name, out_, err_};
  const auto* command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&](const Command& c) { return c.name == name; });
  if (command == std::end(kCommands)) return call.Fail("unknown command " + name);
  return ReadArguments(*command, call) && command->run(call);
}

}  // namespace velmor::ui
