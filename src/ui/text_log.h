// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace velmor::ui {

// The texts printed on a picture since it was last cleared, in print order.
// A picture redrawn at every refresh prints the same texts again and again:
// each distinct text (place and words) is kept once, and a stretch that
// repeats what was printed shortly before is kept as "the same again", so
// what is kept follows what the picture shows, not how often it was redrawn.
class TextLog {
 public:
  struct Record {
    double x;
    double y;
    std::string text;
  };
  // What Group gives when it keeps no more groups.
  static constexpr std::uint32_t kNoGroup = ~std::uint32_t{0};

  TextLog() = default;
  TextLog(const TextLog&) = delete;
  TextLog& operator=(const TextLog&) = delete;

  void Add(double x, double y, std::string_view text) { AddId(Id(x, y, text)); }
  // A text known by its id (from Id or Group, since the last Clear): a
  // drawing laid down again adds its texts without hashing their words once
  // more.
  std::uint32_t Id(double x, double y, std::string_view text);
  // Texts always printed together (ids from Id or Group), known by one id,
  // so that printing them again adds one entry to the print order, not one
  // a text. kNoGroup once the groups kept hold a million ids.
  std::uint32_t Group(const std::vector<std::uint32_t>& ids);
  void AddId(std::uint32_t id);
  // Changes at every Clear, which forgets every id.
  std::uint64_t Generation() const { return generation_; }
  void Clear();
  // How many texts were printed, repeats included.
  std::uint64_t Size() const { return texts_; }
  // Every text in print order, repeats included.
  void ForEach(const std::function<void(const Record&)>& visit) const;
  // Entries actually kept (distinct texts, groups and pieces of the print
  // order).
  std::size_t Kept() const { return distinct_.size() + groupTexts_ + ids_.size() + pieces_.size(); }

 private:
  static constexpr std::uint32_t kGroupBit = std::uint32_t{1} << 31;
  // A piece of the print order: `length` ids, either ids_[first …] as they
  // are (offset 0) or each the same as the id `offset` places earlier.
  struct Piece {
    std::uint64_t offset;
    std::uint64_t length;
    std::size_t first;
  };
  // A text looked for, by place and words, without a copy of the words.
  struct Probe {
    double x;
    double y;
    std::string_view text;
  };
  struct SameText {
    using is_transparent = void;
    const std::vector<Record>* all;
    Probe Of(std::uint32_t id) const;
    static Probe Of(const Probe& p) { return p; }
    std::size_t Hash(const Probe& p) const;
    bool Same(const Probe& a, const Probe& b) const;
    template <class A>
    std::size_t operator()(const A& a) const {
      return Hash(Of(a));
    }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return Same(Of(a), Of(b));
    }
  };
  std::uint32_t At(std::uint64_t position) const;
  void Push(std::uint32_t id);
  std::array<std::uint64_t, 4>& Recent(std::uint32_t id) {
    return id & kGroupBit ? groupRecent_[id & ~kGroupBit] : recent_[id];
  }
  template <class Visit>
  void Texts(std::uint32_t id, const Visit& visit) const;

  std::vector<Record> distinct_;
  std::unordered_set<std::uint32_t, SameText, SameText> index_{16, SameText{&distinct_},
                                                               SameText{&distinct_}};
  struct Grouped {
    std::vector<std::uint32_t> ids;
    std::uint64_t texts;  // they stand for
  };
  std::vector<Grouped> groups_;
  std::map<std::vector<std::uint32_t>, std::uint32_t> groupIndex_;
  std::size_t groupTexts_ = 0;
  // The latest positions (plus one, 0 for none) of each distinct text and
  // group.
  std::vector<std::array<std::uint64_t, 4>> recent_;
  std::vector<std::array<std::uint64_t, 4>> groupRecent_;
  std::vector<std::uint32_t> ids_;
  std::vector<Piece> pieces_;
  // The latest ids, by position modulo its size.
  std::vector<std::uint32_t> window_;
  std::uint64_t count_ = 0;  // ids added
  std::uint64_t texts_ = 0;  // texts they stand for
  std::uint64_t generation_ = 0;
};

}  // namespace velmor::ui
