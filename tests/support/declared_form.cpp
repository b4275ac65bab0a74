// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/declared_form.h"

#include <QFile>
#include <QXmlStreamReader>
#include <stdexcept>
#include <vector>

#include "shared/numbers.h"

namespace velmor::testing {

DeclaredForm::DeclaredForm(const std::string& form) {
  const QString path = QStringLiteral(VELMOR_SOURCE_DIR "/src/") + QString::fromStdString(form);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("no form " + path.toStdString());
  QXmlStreamReader xml(&file);
  // The widgets enclosing the current element; a property belongs to the
  // innermost one.
  std::vector<std::string> widgets;
  std::string property;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == u"widget") {
        widgets.push_back(xml.attributes().value(QStringLiteral("name")).toString().toStdString());
        texts_.emplace(widgets.back(), std::string());  // a field declared empty
      } else if (xml.name() == u"property") {
        property = xml.attributes().value(QStringLiteral("name")).toString().toStdString();
      } else if (!widgets.empty() && (property == "text" || property == "checked")) {
        const std::string value = xml.readElementText().toStdString();
        if (property == "text") {
          texts_[widgets.back()] = value;
        } else {
          checked_[widgets.back()] = value == "true";
        }
        property.clear();
      }
    } else if (xml.isEndElement()) {
      if (xml.name() == u"widget") widgets.pop_back();
      if (xml.name() == u"property") property.clear();
    }
  }
  if (xml.hasError()) throw std::runtime_error("bad form " + path.toStdString());
}

const std::string& DeclaredForm::Text(const std::string& name) const {
  const auto it = texts_.find(name);
  if (it == texts_.end()) throw std::out_of_range("no declared control " + name);
  return it->second;
}

double DeclaredForm::Number(const std::string& name) const {
  const auto value = ParseNumber(Text(name));
  if (!value) throw std::invalid_argument("declared text of " + name + " is not a number");
  return *value;
}

int DeclaredForm::Whole(const std::string& name) const {
  const auto value = ParseWhole(Text(name));
  if (!value) throw std::invalid_argument("declared text of " + name + " is not a whole number");
  return *value;
}

bool DeclaredForm::Checked(const std::string& name) const {
  const auto it = checked_.find(name);
  return it != checked_.end() && it->second;
}

}  // namespace velmor::testing
