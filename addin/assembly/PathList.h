#pragma once
// The file paths an assembly command works through: in the order they were
// appended, each path once (exact comparison of the characters, case
// included). Membership is a hash lookup, so listing a tree of a hundred
// thousand components stays linear. Each command owns its own list.
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>

namespace zelm {

class PathList {
 public:
  PathList() = default;
  PathList(const PathList&) = delete;
  PathList& operator=(const PathList&) = delete;
  // Moving keeps the elements where they are, so the views stay valid.
  PathList(PathList&&) = default;
  PathList& operator=(PathList&&) = default;

  bool Contains(std::wstring_view path) const { return index_.count(path) != 0; }
  // Appends a path not yet listed.
  void Append(std::wstring path) {
    paths_.push_back(std::move(path));
    index_.insert(paths_.back());
  }
  size_t Count() const noexcept { return paths_.size(); }
  const std::wstring& operator[](size_t i) const { return paths_[i]; }

 private:
  std::deque<std::wstring> paths_;               // a deque never moves its elements,
  std::unordered_set<std::wstring_view> index_;  // so the views stay valid
};

}  // namespace zelm
