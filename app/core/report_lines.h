// The text of a report window as lines. The window keeps the report as the
// builders made it (one UTF-8 string, CR LF line ends) with the offsets
// where its lines start, so that a report of megabytes is shown, found in
// and copied from without being copied or laid out as a whole.
#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Bytes that grow at their end without being copied: one anonymous mapping
// reserved large and filled as the text grows, on huge pages where the
// system offers them, so that megabytes of report cost a few page faults
// rather than thousands. A text longer than the reservation moves to a
// larger one (the pages move, the bytes are not copied).
class GrowingBytes {
 public:
  GrowingBytes() = default;
  ~GrowingBytes();
  GrowingBytes(const GrowingBytes&) = delete;
  GrowingBytes& operator=(const GrowingBytes&) = delete;

  void append(std::string_view bytes);
  void clear() { size_ = 0; }
  std::string_view view() const { return {data_, size_}; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class ReportLines {
 public:
  void assign(std::string_view text);
  void append(std::string_view text);

  // The text as given.
  std::string_view text() const { return text_.view(); }
  // Lines are ended by a line feed; the text after the last one is the last
  // line (empty when the text ends with a line end).
  std::size_t count() const { return starts_.size(); }
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

  GrowingBytes text_;
  std::vector<std::size_t> starts_{0};  // where each line starts in text_
  std::size_t widest_ = 0;
};

}  // namespace tvx
