// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/safe_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace velmor {

bool IsSafeNamePart(std::string_view typed) {
  if (typed.find("..") != std::string_view::npos) return false;
  for (const char c : typed) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

std::string SafeFileName(std::string_view prefix, std::string_view typed,
                         std::string_view extension) {
  if (!IsSafeNamePart(typed)) return "";
  std::string name;
  name.append(prefix).append(typed).append(extension);
  return name;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(path);
  if (fs::is_directory(target, ec)) return false;
  fs::path temp = target;
  temp += ".velmor-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace velmor
