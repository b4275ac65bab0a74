// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/experiment_file.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <set>

#include "velmor_version.h"

namespace velmor::ui {

namespace {

constexpr char kFormatMarker[] = "velmor5-experiment";
constexpr char kNotAnExperiment[] = "это не файл опыта Velmor5";

struct Declared {
  std::function<std::vector<DeclaredInput>()> declare;
  std::optional<std::vector<DeclaredInput>> inputs;
};

std::map<int, Declared>& Declarations() {
  static std::map<int, Declared> d;
  return d;
}

QString Quoted(const QString& s) {
  return QStringLiteral("«") + s + QStringLiteral("»");
}

QString WindowKey(int number) {
  return QStringLiteral("Form%1").arg(number);
}

int WindowNumber(const QString& key) {
  for (int n : ExperimentWindowNumbers()) {
    if (key == WindowKey(n)) return n;
  }
  return 0;
}

const DeclaredInput* FindInput(const std::vector<DeclaredInput>& inputs, const QString& name) {
  const auto it = std::find_if(inputs.begin(), inputs.end(),
                               [&](const DeclaredInput& i) { return i.control.name == name; });
  return it == inputs.end() ? nullptr : &*it;
}

bool IsText(const QByteArray& bytes) {
  if (bytes.contains('\0')) return false;
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8.decode(bytes);
  return !utf8.hasError();
}

// A text the file may give a control or describe itself with.
QString TextFault(const QString& what, const QString& text) {
  if (text.size() > kMaxExperimentText) {
    return QStringLiteral("текст %1 длиннее %2 знаков").arg(what).arg(kMaxExperimentText);
  }
  if (HasHiddenCharacters(text))
    return QStringLiteral("текст %1 содержит управляющие знаки").arg(what);
  return {};
}

QString ValueFault(const DeclaredInput& input, const QString& ref, const QJsonValue& v,
                   QString& value) {
  if (input.control.kind == Form::ControlKind::Field) {
    if (!v.isString())
      return QStringLiteral("%1 — поле, его значение должно быть текстом").arg(ref);
    value = v.toString();
    return TextFault(ref, value);
  }
  if (!v.isBool()) {
    return QStringLiteral("%1 — %2, его значение должно быть true или false")
        .arg(ref, input.control.kind == Form::ControlKind::Check ? QStringLiteral("флажок")
                                                                 : QStringLiteral("переключатель"));
  }
  value = v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
  return {};
}

// Every option's state once the set-up is applied over the declaration: an
// option the set-up selects clears the others of its frame. A frame left with
// two options selected, or with none where the declaration selects one, is
// refused.
QString SelectOptions(const std::vector<DeclaredInput>& inputs, const WindowSetUp& s,
                      std::map<QString, bool>& on) {
  std::map<QString, std::vector<QString>> selected;
  std::set<QString> declaredSelection;
  for (const DeclaredInput& i : inputs) {
    if (i.control.kind != Form::ControlKind::Option) continue;
    const auto it = s.values.find(i.control.name);
    if (it != s.values.end() && it->second == QStringLiteral("1")) {
      selected[i.frame].push_back(i.control.name);
    }
    if (i.control.declared == QStringLiteral("1")) declaredSelection.insert(i.frame);
  }
  for (const DeclaredInput& i : inputs) {
    if (i.control.kind != Form::ControlKind::Option) continue;
    const auto& chosen = selected[i.frame];
    const auto it = s.values.find(i.control.name);
    on[i.control.name] = chosen.empty() ? (it == s.values.end() ? i.control.declared
                                                                : it->second) == QStringLiteral("1")
                                        : chosen.front() == i.control.name;
  }
  for (const QString& frame : declaredSelection) {
    const QString ref = Quoted(WindowKey(s.number) + QStringLiteral(".") + frame);
    const auto& chosen = selected[frame];
    if (chosen.size() > 1) {
      return QStringLiteral("в рамке %1 выбраны сразу %2 и %3")
          .arg(ref, Quoted(chosen[0]), Quoted(chosen[1]));
    }
    const bool any = std::any_of(inputs.begin(), inputs.end(), [&](const DeclaredInput& i) {
      return i.frame == frame && on[i.control.name];
    });
    if (!any) return QStringLiteral("в рамке %1 не выбран ни один переключатель").arg(ref);
  }
  return {};
}

QString WindowFault(int number, const QJsonObject& controls, WindowSetUp& s) {
  const auto& inputs = *DeclaredInputs(number);
  s.number = number;
  for (auto it = controls.begin(); it != controls.end(); ++it) {
    const QString ref = Quoted(WindowKey(number) + QStringLiteral(".") + it.key());
    const DeclaredInput* input = FindInput(inputs, it.key());
    if (!input) return QStringLiteral("в окне нет элемента %1").arg(ref);
    QString value;
    const QString fault = ValueFault(*input, ref, it.value(), value);
    if (!fault.isEmpty()) return fault;
    s.values[it.key()] = value;
  }
  std::map<QString, bool> on;
  return SelectOptions(inputs, s, on);
}

QString HeaderFault(const QJsonObject& root, Experiment& e) {
  if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormatMarker)) {
    return QString::fromUtf8(kNotAnExperiment);
  }
  const QJsonValue version = root.value(QStringLiteral("formatVersion"));
  const double v = version.toDouble(-1);
  if (!version.isDouble() || v < 1 || v != std::floor(v) || v > 1e9) {
    return QStringLiteral("неверная версия формата");
  }
  if (v > kExperimentFormatVersion) {
    return QStringLiteral(
               "файл записан более новой версией программы (формат %1, эта версия читает "
               "формат %2)")
        .arg(static_cast<long long>(v))
        .arg(kExperimentFormatVersion);
  }
  static const std::set<QString> kKeys{QStringLiteral("format"), QStringLiteral("formatVersion"),
                                       QStringLiteral("program"), QStringLiteral("description"),
                                       QStringLiteral("windows")};
  for (const QString& key : root.keys()) {
    if (!kKeys.count(key)) return QStringLiteral("неизвестный ключ %1").arg(Quoted(key));
  }
  for (const char* key : {"program", "description"}) {
    const QJsonValue value = root.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isString()) {
      return QStringLiteral("значение ключа %1 должно быть текстом").arg(Quoted(key));
    }
  }
  e.description = root.value(QStringLiteral("description")).toString();
  return TextFault(QStringLiteral("описания"), e.description);
}

// With `whole` false only the header and the window names are read: the
// set-ups themselves need every window's declaration built to be checked.
QString ExperimentFault(const QJsonObject& root, Experiment& e, bool whole) {
  QString fault = HeaderFault(root, e);
  if (!fault.isEmpty()) return fault;
  const QJsonObject windows = root.value(QStringLiteral("windows")).toObject();
  if (windows.isEmpty()) return QStringLiteral("в файле нет ни одного окна");
  for (auto it = windows.begin(); it != windows.end(); ++it) {
    const int number = WindowNumber(it.key());
    if (number == 0) return QStringLiteral("неизвестное окно %1").arg(Quoted(it.key()));
    if (!it.value().isObject()) {
      return QStringLiteral("окно %1 записано не как набор элементов").arg(Quoted(it.key()));
    }
    WindowSetUp s;
    s.number = number;
    if (whole) fault = WindowFault(number, it.value().toObject(), s);
    if (!fault.isEmpty()) return fault;
    e.windows.push_back(std::move(s));
  }
  std::sort(e.windows.begin(), e.windows.end(),
            [](const WindowSetUp& a, const WindowSetUp& b) { return a.number < b.number; });
  return {};
}

Decoded Refused(const QString& fault) {
  return {std::nullopt, fault};
}

}  // namespace

std::vector<DeclaredInput> DeclaredInputsOf(const QWidget& root) {
  std::vector<DeclaredInput> inputs;
  for (const Form::Control& c : Form::ControlsOf(root)) {
    QString frame;
    if (c.kind == Form::ControlKind::Option) {
      frame = root.findChild<QWidget*>(c.name)->parentWidget()->objectName();
    }
    inputs.push_back({c, frame});
  }
  return inputs;
}

void DeclareExperimentWindow(int number, std::function<std::vector<DeclaredInput>()> declare) {
  Declarations()[number] = {std::move(declare), std::nullopt};
}

const std::vector<DeclaredInput>* DeclaredInputs(int number) {
  auto it = Declarations().find(number);
  if (it == Declarations().end()) return nullptr;
  if (!it->second.inputs) it->second.inputs = it->second.declare();
  return &*it->second.inputs;
}

bool KeepsSetUp(int number) {
  return Declarations().count(number) > 0;
}

std::vector<int> ExperimentWindowNumbers() {
  std::vector<int> numbers;
  for (const auto& [n, d] : Declarations()) numbers.push_back(n);
  return numbers;
}

bool HasHiddenCharacters(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) {
    const auto cat = c.category();
    return cat == QChar::Other_Control || cat == QChar::Other_Format ||
           cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph;
  });
}

QString ShownFileName(const QString& path) {
  QString name = QFileInfo(path).fileName();
  for (QChar& c : name) {
    if (HasHiddenCharacters(QString(c))) c = QChar(0xFFFD);
  }
  return name;
}

QByteArray EncodeExperiment(const Experiment& experiment) {
  QJsonObject windows;
  for (const WindowSetUp& s : experiment.windows) {
    const auto* inputs = DeclaredInputs(s.number);
    if (!inputs) continue;
    QJsonObject controls;
    for (const auto& [name, value] : s.values) {
      const DeclaredInput* input = FindInput(*inputs, name);
      if (!input) continue;
      if (input->control.kind == Form::ControlKind::Field) {
        controls.insert(name, value);
      } else {
        controls.insert(name, value == QStringLiteral("1"));
      }
    }
    windows.insert(WindowKey(s.number), controls);
  }
  QJsonObject root{{QStringLiteral("format"), QLatin1String(kFormatMarker)},
                   {QStringLiteral("formatVersion"), kExperimentFormatVersion},
                   {QStringLiteral("program"), QStringLiteral(VELMOR_VERSION)},
                   {QStringLiteral("windows"), windows}};
  if (!experiment.description.isEmpty()) {
    root.insert(QStringLiteral("description"), experiment.description);
  }
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

namespace {

Decoded Decode(const QByteArray& bytes, bool whole) {
  if (bytes.trimmed().isEmpty()) return Refused(QStringLiteral("файл пуст"));
  if (!IsText(bytes)) return Refused(QStringLiteral("это не текст в кодировке UTF-8"));
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError) {
    return Refused(
        QStringLiteral("текст поврежден или обрезан (ошибка в знаке %1)").arg(error.offset + 1));
  }
  if (!doc.isObject()) return Refused(QString::fromUtf8(kNotAnExperiment));
  Experiment e;
  const QString fault = ExperimentFault(doc.object(), e, whole);
  if (!fault.isEmpty()) return Refused(fault);
  return {std::move(e), {}};
}

Decoded Read(const QString& path, bool whole) {
  const QString name = ShownFileName(path);
  const auto refuse = [&](const QString& why) {
    return Refused(QStringLiteral("Не удалось открыть опыт %1:\n%2").arg(Quoted(name), why));
  };
  const QFileInfo info(path);
  if (HasHiddenCharacters(info.fileName())) {
    return refuse(QStringLiteral("в имени файла есть управляющие знаки"));
  }
  if (!info.exists()) return refuse(QStringLiteral("файл не найден"));
  if (info.isDir()) return refuse(QStringLiteral("это папка, а не файл"));
  if (!info.isFile()) return refuse(QStringLiteral("это не обычный файл"));
  const QString tooLarge = QStringLiteral("файл больше %1 КБ").arg(kMaxExperimentBytes / 1024);
  if (info.size() > kMaxExperimentBytes) return refuse(tooLarge);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return refuse(QStringLiteral("нет доступа к файлу"));
  // It may have grown since it was measured.
  const QByteArray bytes = file.read(kMaxExperimentBytes + 1);
  if (bytes.size() > kMaxExperimentBytes) return refuse(tooLarge);
  Decoded d = Decode(bytes, whole);
  if (!d.experiment) d.fault = refuse(d.fault).fault;
  return d;
}

}  // namespace

Decoded DecodeExperiment(const QByteArray& bytes) {
  return Decode(bytes, true);
}

Decoded ReadExperimentFile(const QString& path) {
  return Read(path, true);
}

Decoded ReadExperimentHeader(const QString& path) {
  return Read(path, false);
}

WindowSetUp CurrentSetUp(const Form& form) {
  WindowSetUp s;
  s.number = form.Number();
  const auto* inputs = DeclaredInputs(form.Number());
  if (!inputs) return s;
  for (const DeclaredInput& i : *inputs) {
    QWidget* w = form.findChild<QWidget*>(i.control.name);
    if (auto* field = qobject_cast<QLineEdit*>(w)) {
      s.values[i.control.name] = field->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      s.values[i.control.name] = button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
  }
  return s;
}

void ApplySetUp(Form& form, const WindowSetUp& setUp) {
  const auto* inputs = DeclaredInputs(form.Number());
  if (!inputs) return;
  std::map<QString, bool> optionOn;
  SelectOptions(*inputs, setUp, optionOn);
  std::vector<std::pair<QCheckBox*, bool>> checks;
  for (const DeclaredInput& i : *inputs) {
    QWidget* w = form.findChild<QWidget*>(i.control.name);
    const auto it = setUp.values.find(i.control.name);
    const QString& value = it == setUp.values.end() ? i.control.declared : it->second;
    if (auto* field = qobject_cast<QLineEdit*>(w)) {
      field->setText(value);
    } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
      if (option->isChecked() == optionOn[i.control.name]) continue;
      // Selecting one option clears the others of its group; clearing the
      // selected one needs the group's exclusivity lifted for a moment.
      QButtonGroup* group = option->group();
      if (group) group->setExclusive(optionOn[i.control.name]);
      option->setChecked(optionOn[i.control.name]);
      if (group) group->setExclusive(true);
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
      checks.emplace_back(check, value == QStringLiteral("1"));
    }
  }
  form.RefreshFromControls();
  // Boxes cleared before boxes ticked: a click that clears the others of a
  // set of boxes cannot undo a box the set-up ticks.
  for (const bool on : {false, true}) {
    for (auto [check, want] : checks) {
      if (want == on && check->isChecked() != want && check->isEnabled()) check->click();
    }
  }
}

}  // namespace velmor::ui
