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
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "shared/numbers.h"
#include "shared/safe_file.h"
#include "ui/fields.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
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

DriverState& State() {
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
  DriverState& s = State();
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

}  // namespace

ScriptDriver::ScriptDriver(std::ostream& out, std::ostream& err) : out_(out), err_(err) {
  DriverState& s = State();
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
  std::string cmd;
  in >> cmd;

  auto fail = [&](const std::string& why) {
    err_ << "velmor5-script: " << why << "\n";
    return false;
  };
  auto openForm = [&](const std::string& name, Form** form) {
    const int n = FormNumber(name);
    if (n == 0) return fail("unknown window " + name);
    *form = FormRegistry::Find(n);
    if (!*form) return fail("window " + name + " is not open");
    return true;
  };
  // "FormN.Control" -> the control.
  auto control = [&](const std::string& ref, QWidget** w) {
    const auto dot = ref.find('.');
    if (dot == std::string::npos) return fail("expected FormN.Control, got " + ref);
    Form* form = nullptr;
    if (!openForm(ref.substr(0, dot), &form)) return false;
    const QString name = Q(ref.substr(dot + 1));
    *w = form->findChild<QWidget*>(name);
    if (!*w) return fail("unknown control " + ref);
    return true;
  };

  if (cmd == "snapshot") {
    // A PNG of the whole window as it would appear on screen.
    std::string name, path;
    in >> name;
    std::getline(in, path);
    path = Trim(path);
    Form* f = nullptr;
    if (!openForm(name, &f)) return false;
    if (path.empty()) return fail("snapshot needs a path");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!f->grab().save(&buffer, "PNG") ||
        !WriteFileReplacing(
            path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
      return fail("cannot save " + path);
    }
    return true;
  }
  if (cmd == "show" || cmd == "activate" || cmd == "state" || cmd == "close") {
    std::string name;
    in >> name;
    const int n = FormNumber(name);
    if (n == 0) return fail("unknown window " + name);
    if (cmd == "show") {
      if (!FormRegistry::Show(n)) return fail("cannot create " + name);
    } else if (cmd == "activate") {
      Form* f = nullptr;
      if (!openForm(name, &f)) return false;
      FormRegistry::Activated(f);
    } else if (cmd == "close") {
      // As the title bar's close button does.
      Form* f = nullptr;
      if (!openForm(name, &f)) return false;
      f->close();
    } else {
      Form* f = FormRegistry::Find(n);
      out_ << name << ": open=" << (f ? 1 : 0) << " visible=" << (f && f->isVisible() ? 1 : 0)
           << "\n";
    }
    return true;
  }
  if (cmd == "set") {
    std::string ref;
    in >> ref;
    const auto pos = line.find(ref) + ref.size();
    std::string text = pos < line.size() ? line.substr(pos + 1) : "";
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      e->setText(Q(text));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
      p->setPlainText(Q(text));
    } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
      t->setPlainText(Q(text));
    } else {
      return fail(ref + " is not a text field");
    }
    return true;
  }
  if (cmd == "click") {
    std::string ref;
    in >> ref;
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (!b) return fail(ref + " cannot be clicked");
    b->click();
    return true;
  }
  if (cmd == "check") {
    std::string ref, value;
    in >> ref >> value;
    if (value != "0" && value != "1") return fail("check takes 0 or 1");
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* c = qobject_cast<QCheckBox*>(w);
    if (!c) return fail(ref + " is not a check box");
    if (c->isChecked() != (value == "1")) c->click();
    return true;
  }
  if (cmd == "scroll") {
    std::string ref;
    long long value = 0;
    in >> ref >> value;
    if (in.fail()) return fail("scroll takes a whole number");
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* s = qobject_cast<QScrollBar*>(w);
    if (!s) return fail(ref + " is not a scroll bar");
    s->setValue(static_cast<int>(std::clamp<long long>(value, s->minimum(), s->maximum())));
    return true;
  }
  if (cmd == "mouse") {
    std::string ref, xs, ys;
    in >> ref >> xs >> ys;
    const auto x = ParseNumber(xs);
    const auto y = ParseNumber(ys);
    if (!x || !y) return fail("mouse takes two numbers");
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* p = qobject_cast<PictureBox*>(w);
    if (!p) return fail(ref + " is not a picture");
    p->ClickAt(1, *x, *y);
    return true;
  }
  if (cmd == "answer") {
    std::string yn;
    int count = 1;
    in >> yn;
    if (!(in >> count)) count = 1;
    if ((yn != "yes" && yn != "no") || count < 0) return fail("answer yes|no [count]");
    Messages::QueueAnswers(yn == "yes", count);
    return true;
  }
  if (cmd == "at-yield") {
    long long n = 0;
    in >> n;
    if (in.fail() || n < 1) return fail("at-yield takes a count of at least 1");
    std::string rest;
    std::getline(in, rest);
    rest = Trim(rest);
    if (rest.empty()) return fail("at-yield needs a command");
    State().pending.push_back({UiYieldCount() + n, rest});
    return true;
  }
  if (cmd == "get") {
    std::string ref;
    in >> ref;
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    std::string value;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      value = e->text().toStdString();
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
      value = p->toPlainText().toStdString();
    } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
      value = t->toPlainText().toStdString();
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
      value = c->isChecked() ? "1" : "0";
    } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
      value = r->isChecked() ? "1" : "0";
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      value = b->text().toStdString();
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
      value = l->text().toStdString();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      value = g->title().toStdString();
    } else if (auto* s = qobject_cast<QScrollBar*>(w)) {
      value = std::to_string(s->value());
    } else {
      return fail(ref + " has no value to get");
    }
    out_ << ref << "=" << Escape(value) << "\n";
    return true;
  }
  if (cmd == "messages") {
    for (const auto& m : Messages::TakeLog()) {
      out_ << "MSG " << Escape(m.title) << "|" << Escape(m.text) << "|"
           << (m.buttons == MsgButtons::Ok ? "OK" : "YESNO") << "|"
           << (m.buttons == MsgButtons::Ok ? "OK" : (m.answerYes ? "YES" : "NO")) << "\n";
    }
    return true;
  }
  if (cmd == "menu") {
    // menu FormN.Picture <action text>[|path]: a context-menu action, with
    // the path a file dialog would have asked for.
    std::string ref, rest;
    in >> ref;
    std::getline(in, rest);
    rest = Trim(rest);
    const auto bar = rest.find('|');
    const std::string action = Trim(rest.substr(0, bar));
    const std::string path = bar == std::string::npos ? "" : Trim(rest.substr(bar + 1));
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* p = qobject_cast<PictureBox*>(w);
    if (!p) return fail(ref + " is not a picture");
    if (!p->MenuActions().contains(Q(action))) return fail(ref + " has no menu action " + action);
    out_ << ref << " menu " << action << ": "
         << (p->RunMenuAction(Q(action), Q(path)) ? "done" : "failed") << "\n";
    return true;
  }
  if (cmd == "clipboard") {
    const QString text = QGuiApplication::clipboard()->text();
    const QImage image = QGuiApplication::clipboard()->image();
    out_ << "clipboard: text " << text.size() << " characters, image " << image.width() << "x"
         << image.height() << "\n";
    return true;
  }
  if (cmd == "texts" || cmd == "stats" || cmd == "save") {
    std::string ref;
    in >> ref;
    QWidget* w = nullptr;
    if (!control(ref, &w)) return false;
    auto* p = qobject_cast<PictureBox*>(w);
    if (!p) return fail(ref + " is not a picture");
    if (cmd == "texts") {
      p->ForEachText([this](const PictureBox::TextRecord& t) {
        out_ << DotForm(t.x) << "\t" << DotForm(t.y) << "\t" << Escape(t.text) << "\n";
      });
    } else if (cmd == "stats") {
      const auto& c = p->Counts();
      out_ << ref << ": lines=" << c.lines << " circles=" << c.circles << " points=" << c.points
           << " texts=" << c.texts << "\n";
    } else {
      std::string path;
      std::getline(in, path);
      path = Trim(path);
      if (path.empty()) return fail("save needs a path");
      if (!p->SaveTo(Q(path))) return fail("cannot save " + path);
    }
    return true;
  }
  return fail("unknown command " + cmd);
}

}  // namespace velmor::ui
