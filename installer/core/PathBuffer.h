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
  explicit PathBuffer(const char* text) : PathBuffer() { Assign(text); }

  // Replaces the content; false (and an empty buffer) when it does not fit.
  bool Assign(const char* text) {
    Clear();
    return Append(text);
  }

  // Appends the pieces in order; all or nothing.
  template <typename... Pieces>
  bool Append(const char* first, Pieces... rest) {
    const size_t oldLength = length_;
    if (AppendOne(first) && Append(rest...)) return true;
    Truncate(oldLength);
    return false;
  }
  bool Append(const std::string& piece) { return Append(piece.c_str()); }
  bool Append() { return true; }

  void Clear() { Truncate(0); }
  void Truncate(size_t length) {
    if (length > length_) return;
    length_ = length;
    text_[length_] = '\0';
  }

  // Reads the process's current directory; false (and an empty buffer)
  // when it is longer than the buffer can hold.
  bool AssignCurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(static_cast<DWORD>(kCapacity), text_);
    if (needed == 0 || needed >= kCapacity) {
      Clear();
      return false;
    }
    length_ = needed;
    return true;
  }

  const char* Get() const { return text_; }
  size_t Length() const { return length_; }
  bool IsEmpty() const { return length_ == 0; }
  std::string Text() const { return std::string(text_, length_); }

 private:
  bool AppendOne(const char* piece) {
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
