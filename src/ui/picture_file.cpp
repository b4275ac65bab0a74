// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include "shared/safe_file.h"
#include "ui/notice.h"
#include "ui/picture_box.h"

namespace velmor::ui {

std::string EncodePicture(const PictureBox& picture, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QImage image = qstrcmp(format, "BMP") == 0
                           ? picture.Image().convertToFormat(QImage::Format_RGB888)
                           : picture.Image();
  if (!image.save(&buffer, format)) return {};
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool SavePictureAsBmp(const PictureBox& picture, const std::string& prefix,
                      const std::string& typed) {
  const std::string name = SafeFileName(prefix, typed, ".bmp");
  if (name.empty()) return false;
  const std::string bytes = EncodePicture(picture, "BMP");
  if (bytes.empty() || !WriteFileReplacing(name, bytes)) return false;
  NotifySaved(&picture, QString::fromStdString(name));
  return true;
}

QString WithFilterExtension(const QString& path, const QString& filter) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  const QRegularExpressionMatch pattern =
      QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(filter);
  return pattern.hasMatch() ? path + pattern.captured(1) : path;
}

}  // namespace velmor::ui
