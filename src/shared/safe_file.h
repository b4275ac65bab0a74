// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files the program writes: only in the current directory, and never
// destroying an existing file when the new one cannot be written.
#include <string>
#include <string_view>

namespace velmor {

// The text a user typed beside a save button may become part of a file name
// only when it stays in the current directory and reads as what it is: well-
// formed UTF-8 with no path separator, no "..", no control, format or
// line-separating character.
bool IsSafeNamePart(std::string_view typed);

// prefix + typed + extension, or "" when the typed part is refused.
std::string SafeFileName(std::string_view prefix, std::string_view typed,
                         std::string_view extension);

// Writes the bytes to a new temporary file of a short unique name in the same
// folder (created exclusively, never through a link) and then renames it over
// `path`; on any failure the temporary file is removed, `path` is left as it
// was and false returned.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace velmor
