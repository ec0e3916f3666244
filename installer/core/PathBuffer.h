#pragma once
// A path in a fixed buffer of MAX_PATH characters (terminating zero
// included), built by plain concatenation. Every append checks the room
// left: a piece that does not fit is refused and the buffer keeps its
// previous content, so no path can ever run past the end of the buffer.
#include <windows.h>

#include <cstring>
#include <string>

namespace installer {

class PathBuffer {
 public:
  static constexpr size_t kCapacity = MAX_PATH;  // characters, zero included

  PathBuffer() { text_[0] = '\0'; }
  explicit PathBuffer(const char* text) : PathBuffer() { assign(text); }

  // Replaces the content; false (and an empty buffer) when it does not fit.
  bool assign(const char* text) {
    clear();
    return append(text);
  }

  // Appends the pieces in order; all or nothing.
  template <typename... Pieces>
  bool append(const char* first, Pieces... rest) {
    const size_t oldLength = length_;
    if (appendOne(first) && append(rest...)) return true;
    truncate(oldLength);
    return false;
  }
  bool append(const std::string& piece) { return append(piece.c_str()); }
  bool append() { return true; }

  void clear() { truncate(0); }
  void truncate(size_t length) {
    if (length > length_) return;
    length_ = length;
    text_[length_] = '\0';
  }

  // Reads the process's current directory; false (and an empty buffer)
  // when it is longer than the buffer can hold.
  bool assignCurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(static_cast<DWORD>(kCapacity), text_);
    if (needed == 0 || needed >= kCapacity) {
      clear();
      return false;
    }
    length_ = needed;
    return true;
  }

  const char* c_str() const { return text_; }
  size_t length() const { return length_; }
  bool empty() const { return length_ == 0; }
  std::string str() const { return std::string(text_, length_); }

 private:
  bool appendOne(const char* piece) {
    const size_t pieceLength = std::strlen(piece);
    if (pieceLength >= kCapacity - length_) return false;  // keep room for the zero
    std::memcpy(text_ + length_, piece, pieceLength + 1);
    length_ += pieceLength;
    return true;
  }

  char text_[kCapacity];
  size_t length_ = 0;
};

}  // namespace installer
