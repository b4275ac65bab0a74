// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture_file.h"

#include <QBuffer>
#include <QImage>

#include "shared/safe_file.h"
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
  if (bytes.empty()) return false;
  return WriteFileReplacing(name, bytes);
}

}  // namespace velmor::ui
