// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/safe_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <system_error>

namespace velmor {

namespace {

namespace fs = std::filesystem;

struct CodeRange {
  char32_t first, last;
};

// Characters that are invisible or move text about: the C0 and C1 controls,
// the line and paragraph separators, and the format characters (soft hyphen,
// zero-width characters, bidirectional overrides and isolates, the byte order
// mark, tags …). A name holding one of them looks like another name.
constexpr CodeRange kHiddenCharacters[] = {
    {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},
    {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},
    {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool IsHidden(char32_t c) {
  for (const CodeRange& r : kHiddenCharacters) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

constexpr char32_t kMalformed = 0xFFFFFFFF;

// The code point that starts at text[i], advancing i past it; kMalformed for
// a sequence that is not well-formed UTF-8 (overlong, a surrogate, beyond
// U+10FFFF, cut short).
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t c = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, c = lead & 0x07, least = 0x10000;
  } else {
    return kMalformed;
  }
  for (; more > 0; --more) {
    if (i >= text.size()) return kMalformed;
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return kMalformed;
    c = (c << 6) | (next & 0x3F);
    ++i;
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kMalformed;
  return c;
}

// Short, so that every target name the file system accepts still works;
// hidden, so that a file cut short by a crash does not stand among the
// user's files under a name like theirs.
constexpr char kTempPrefix[] = ".velmor-";
constexpr int kTempLetters = 6;
constexpr int kTempAttempts = 64;

std::uint64_t Seed() {
  auto seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= static_cast<std::uint64_t>(::getpid()) << 40;
  try {
    std::random_device device;
    seed ^= (static_cast<std::uint64_t>(device()) << 32) | device();
  } catch (const std::exception&) {
    // The clock and the process number still make names unlikely to repeat;
    // the exclusive creation below is what makes it safe.
  }
  return seed;
}

// A new file of an unused name in `folder`, created exclusively and never
// through a link, so that nothing already there is written to. -1 on failure.
int CreateTempFile(const fs::path& folder, fs::path& name) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937_64 random(Seed());
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kLetters) - 2);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string leaf = kTempPrefix;
    for (int k = 0; k < kTempLetters; ++k) leaf += kLetters[pick(random)];
    name = folder / leaf;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool IsSafeNamePart(std::string_view typed) {
  if (typed.find("..") != std::string_view::npos) return false;
  for (std::size_t i = 0; i < typed.size();) {
    const char32_t c = NextCodePoint(typed, i);
    if (c == kMalformed || c == U'/' || c == U'\\' || IsHidden(c)) return false;
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
  std::error_code ec;
  const fs::path target(path);
  if (target.filename().empty() || fs::is_directory(target, ec)) return false;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  fs::path temp;
  const int fd = CreateTempFile(folder, temp);
  if (fd < 0) return false;
  // Flushed to the disk before the rename, so that a crash leaves either
  // the old file or the whole new one.
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (written && closed && std::rename(temp.c_str(), target.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

}  // namespace velmor
