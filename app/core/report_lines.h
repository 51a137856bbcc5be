// The text of a report window as lines. The window keeps the report as the
// builders made it (one UTF-8 string, CR LF line ends) with the offsets
// where its lines start, so that a report of megabytes is shown, found in
// and copied from without being copied or laid out as a whole.
#pragma once

#include <algorithm>
#include <compare>
#include <cstring>
#include <type_traits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tvx {

// A place in the text: a line, and a byte offset into it that always starts
// a character.
struct TextPlace {
  std::size_t line = 0;
  std::size_t column = 0;
  friend auto operator<=>(const TextPlace&, const TextPlace&) = default;
};

struct TextSpan {
  TextPlace from;
  TextPlace to;
};

// Places of memory that grow at their end without being copied: one
// anonymous mapping reserved large and filled as it grows, on huge pages
// where the system offers them, so that megabytes cost a few page faults
// rather than thousands. Growing past the reservation moves the pages to a
// larger one; the contents are not copied.
class GrowingMapping {
 public:
  GrowingMapping() = default;
  ~GrowingMapping();
  GrowingMapping(const GrowingMapping&) = delete;
  GrowingMapping& operator=(const GrowingMapping&) = delete;
  // Room for at least `bytes`, keeping what the mapping holds.
  void reserve(std::size_t bytes);
  char* data() const { return data_; }
  std::size_t capacity() const { return capacity_; }

 private:
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

// A growing array of trivially copyable values in such a mapping.
template <class T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  void append(const T* values, std::size_t n) {
    if (n > room()) map_.reserve(std::max(2 * size_, size_ + n) * sizeof(T));
    if (n > 0) std::memcpy(data() + size_, values, n * sizeof(T));
    size_ += n;
  }
  void push_back(T value) { append(&value, 1); }
  void clear() { size_ = 0; }
  std::size_t size() const { return size_; }
  const T* data() const { return reinterpret_cast<const T*>(map_.data()); }
  const T& operator[](std::size_t i) const { return data()[i]; }
  const T& back() const { return data()[size_ - 1]; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }

 private:
  T* data() { return reinterpret_cast<T*>(map_.data()); }
  std::size_t room() const { return map_.capacity() / sizeof(T) - size_; }
  GrowingMapping map_;
  std::size_t size_ = 0;
};

class ReportLines {
 public:
  void assign(std::string_view text);
  void append(std::string_view text);

  // The text as given.
  std::string_view text() const { return {text_.data(), text_.size()}; }
  // Lines are ended by a line feed; the text after the last one is the last
  // line (empty when the text ends with a line end).
  std::size_t count() const { return starts_.size(); }
  ReportLines() { starts_.push_back(0); }
  // Line `i` without its line end.
  std::string_view line(std::size_t i) const;
  // The characters of the longest line.
  std::size_t widest() const { return widest_; }

  // The place after the last character.
  TextPlace end() const;
  // `p` moved onto the text: its line made an existing one, its column a
  // character's start within that line.
  TextPlace clamp(TextPlace p) const;
  // One character on or back, over line ends; the text's ends stay put.
  TextPlace next(TextPlace p) const;
  TextPlace previous(TextPlace p) const;
  // The column of the `n`th character of line `line` (its end when shorter).
  std::size_t columnOf(std::size_t line, std::size_t n) const;

  // The first place of `wanted` at or after `from`, else the first from the
  // top; letters compare without regard to case. Nothing when the text
  // holds none (or `wanted` is empty).
  std::optional<TextSpan> find(std::string_view wanted, TextPlace from) const;
  // The text between two places (in either order), each line end a single
  // line feed.
  std::string between(TextPlace a, TextPlace b) const;

 private:
  std::size_t offset(TextPlace p) const;
  TextPlace placeOf(std::size_t offset) const;
  void index(std::size_t from);

  GrowingArray<char> text_;
  GrowingArray<std::size_t> starts_;  // where each line starts in text_
  std::size_t widest_ = 0;
};

}  // namespace tvx
