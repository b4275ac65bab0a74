// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_log.h"

#include <algorithm>
#include <cstring>

namespace velmor::ui {

namespace {

// How far back a repeated stretch may start, in ids (a power of two), how
// many ids must match before a stretch counts as a repeat, and how far a
// match is followed back to choose between several places it could repeat.
constexpr std::uint64_t kRepeatWindow = std::uint64_t{1} << 15;
constexpr std::uint64_t kShortestRepeat = 8;
constexpr std::uint64_t kLongestLook = 256;
// Ids the groups may hold in all.
constexpr std::size_t kMostGroupTexts = std::size_t{1} << 20;

std::uint64_t Bits(double v) {
  std::uint64_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

}  // namespace

TextLog::Probe TextLog::SameText::Of(std::uint32_t id) const {
  const Record& r = (*all)[id];
  return {r.x, r.y, r.text};
}

std::size_t TextLog::SameText::Hash(const Probe& p) const {
  std::size_t h = std::hash<std::string_view>()(p.text);
  for (const std::uint64_t b : {Bits(p.x), Bits(p.y)}) h = (h ^ std::hash<std::uint64_t>()(b)) * 31;
  return h;
}

bool TextLog::SameText::Same(const Probe& a, const Probe& b) const {
  return Bits(a.x) == Bits(b.x) && Bits(a.y) == Bits(b.y) && a.text == b.text;
}

std::uint32_t TextLog::Id(double x, double y, std::string_view text) {
  if (const auto it = index_.find(Probe{x, y, text}); it != index_.end()) return *it;
  distinct_.push_back({x, y, std::string(text)});
  const auto id = static_cast<std::uint32_t>(distinct_.size() - 1);
  index_.insert(id);
  recent_.push_back({});
  return id;
}

std::uint32_t TextLog::Group(const std::vector<std::uint32_t>& ids) {
  if (ids.size() == 1) return ids[0];
  if (const auto it = groupIndex_.find(ids); it != groupIndex_.end()) return it->second;
  if (groupTexts_ + ids.size() > kMostGroupTexts) return kNoGroup;
  const auto id = static_cast<std::uint32_t>(groups_.size()) | kGroupBit;
  std::uint64_t texts = 0;
  for (const std::uint32_t in : ids) texts += in & kGroupBit ? groups_[in & ~kGroupBit].texts : 1;
  groups_.push_back({ids, texts});
  groupIndex_.emplace(ids, id);
  groupRecent_.push_back({});
  groupTexts_ += ids.size();
  return id;
}

std::uint32_t TextLog::At(std::uint64_t position) const {
  return window_[position & (kRepeatWindow - 1)];
}

void TextLog::Push(std::uint32_t id) {
  window_[count_ & (kRepeatWindow - 1)] = id;
  auto& latest = Recent(id);
  // Moved one by one: std::copy_backward calls memmove for these few.
  for (std::size_t i = latest.size() - 1; i > 0; --i) latest[i] = latest[i - 1];
  latest[0] = count_ + 1;
  ++count_;
  texts_ += id & kGroupBit ? groups_[id & ~kGroupBit].texts : 1;
}

void TextLog::AddId(std::uint32_t id) {
  if (window_.empty()) window_.assign(kRepeatWindow, 0);
  const std::uint64_t n = count_;
  if (!pieces_.empty() && pieces_.back().offset != 0) {
    Piece& same = pieces_.back();
    if (At(n - same.offset) == id) {
      ++same.length;
      Push(id);
      return;
    }
  }
  if (pieces_.empty() || pieces_.back().offset != 0) pieces_.push_back({0, 0, ids_.size()});
  ids_.push_back(id);
  ++pieces_.back().length;
  // Does the print order from here back repeat what came some ids earlier?
  // Of the places this id was added last, take the one whose match reaches
  // furthest back.
  std::uint64_t bestOffset = 0;
  std::uint64_t bestMatch = 0;
  for (const std::uint64_t before : Recent(id)) {
    if (before == 0) break;
    const std::uint64_t offset = n - (before - 1);
    if (offset >= kRepeatWindow - kLongestLook) break;
    std::uint64_t match = 1;
    while (match < kLongestLook && match + offset <= n && At(n - match) == At(n - offset - match)) {
      ++match;
    }
    if (match > bestMatch) {
      bestMatch = match;
      bestOffset = offset;
    }
  }
  Push(id);
  if (bestMatch < kShortestRepeat) return;
  Piece& plain = pieces_.back();
  const std::uint64_t moved = std::min(bestMatch, plain.length);
  plain.length -= moved;
  ids_.resize(ids_.size() - moved);
  if (plain.length == 0) pieces_.pop_back();
  pieces_.push_back({bestOffset, moved, 0});
}

void TextLog::Clear() {
  distinct_.clear();
  index_.clear();
  groups_.clear();
  groupIndex_.clear();
  groupTexts_ = 0;
  recent_.clear();
  groupRecent_.clear();
  ids_.clear();
  pieces_.clear();
  count_ = 0;
  texts_ = 0;
  ++generation_;
}

template <class Visit>
void TextLog::Texts(std::uint32_t id, const Visit& visit) const {
  if (!(id & kGroupBit)) {
    visit(distinct_[id]);
    return;
  }
  for (const std::uint32_t in : groups_[id & ~kGroupBit].ids) Texts(in, visit);
}

void TextLog::ForEach(const std::function<void(const Record&)>& visit) const {
  if (count_ == 0) return;
  std::vector<std::uint32_t> latest(kRepeatWindow);
  std::uint64_t n = 0;
  auto next = [&](std::uint32_t id) {
    latest[n & (kRepeatWindow - 1)] = id;
    ++n;
    Texts(id, visit);
  };
  for (const Piece& piece : pieces_) {
    for (std::uint64_t i = 0; i < piece.length; ++i) {
      next(piece.offset == 0 ? ids_[piece.first + i]
                             : latest[(n - piece.offset) & (kRepeatWindow - 1)]);
    }
  }
}

}  // namespace velmor::ui
