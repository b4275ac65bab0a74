// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a picture under a name built from a fixed prefix and the text typed
// beside the save button, in the current directory.
#include <QString>
#include <string>

namespace velmor::ui {

class PictureBox;

// Saves the displayed image as a 24-bit BMP named prefix + typed + ".bmp".
// False (and nothing changed on disk) when the typed text would leave the
// current directory or the file cannot be written.
bool SavePictureAsBmp(const PictureBox& picture, const std::string& prefix,
                      const std::string& typed);

// A name typed in a save dialog without an extension gets the one of the
// chosen filter ("Текст (*.txt)"): a file the user can open by its name.
QString WithFilterExtension(const QString& path, const QString& filter);

// The image encoded as a 24-bit BMP or a PNG (by the extension).
std::string EncodePicture(const PictureBox& picture, const char* format);

}  // namespace velmor::ui
