#include "core/report_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>

#include <sys/mman.h>

#include "core/report_text.h"
#include "orlendo/ascii.h"

namespace tvx {

namespace {

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

struct FoldedHash {
  std::size_t operator()(char c) const { return std::hash<char>{}(orlendo::foldAscii(c)); }
};
struct FoldedEqual {
  bool operator()(char a, char b) const { return orlendo::foldAscii(a) == orlendo::foldAscii(b); }
};

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kFirstReservation = std::size_t{64} << 20;

void* mapHugeAligned(std::size_t size) {
  // Mapped a huge page larger, then cut to a huge page boundary at both ends.
  void* map = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (map == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(map);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(map, aligned - start);
  const std::size_t tail = kHugePage - (aligned - start);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

GrowingMapping::~GrowingMapping() {
  if (data_) ::munmap(data_, capacity_);
}

void GrowingMapping::reserve(std::size_t bytes) {
  if (bytes <= capacity_) return;
  const std::size_t wanted = std::max({bytes, 2 * capacity_, kFirstReservation});
  const std::size_t capacity = (wanted + kHugePage - 1) & ~(kHugePage - 1);
  if (!data_) {
    data_ = static_cast<char*>(mapHugeAligned(capacity));
  } else {
    void* moved = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(moved);
    ::madvise(data_, capacity, MADV_HUGEPAGE);
  }
  capacity_ = capacity;
}

void ReportLines::assign(std::string_view text) {
  text_.clear();
  starts_.clear();
  starts_.push_back(0);
  widest_ = 0;
  append(text);
}

void ReportLines::append(std::string_view text) {
  const std::size_t last = starts_.back();  // the last line may go on
  text_.append(text.data(), text.size());
  index(last);
}

void ReportLines::index(std::size_t from) {
  for (;;) {
    const std::size_t lineEnd = this->text().find('\n', from);
    if (lineEnd == std::string::npos) break;
    widest_ = std::max(widest_, charCount(line(starts_.size() - 1)));
    from = lineEnd + 1;
    starts_.push_back(from);
  }
  widest_ = std::max(widest_, charCount(line(starts_.size() - 1)));
}

std::string_view ReportLines::line(std::size_t i) const {
  const std::string_view all = text();
  const std::size_t begin = starts_[i];
  std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] - 1 : all.find('\n', begin);
  if (end == std::string::npos) end = all.size();
  if (end > begin && all[end - 1] == '\r') --end;
  return all.substr(begin, end - begin);
}

TextPlace ReportLines::end() const { return {count() - 1, line(count() - 1).size()}; }

TextPlace ReportLines::clamp(TextPlace p) const {
  p.line = std::min(p.line, count() - 1);
  const std::string_view l = line(p.line);
  p.column = std::min(p.column, l.size());
  while (p.column > 0 && p.column < l.size() && continues(l[p.column])) --p.column;
  return p;
}

TextPlace ReportLines::next(TextPlace p) const {
  p = clamp(p);
  const std::string_view l = line(p.line);
  if (p.column < l.size()) {
    ++p.column;
    while (p.column < l.size() && continues(l[p.column])) ++p.column;
  } else if (p.line + 1 < count()) {
    p = {p.line + 1, 0};
  }
  return p;
}

TextPlace ReportLines::previous(TextPlace p) const {
  p = clamp(p);
  if (p.column > 0) {
    const std::string_view l = line(p.line);
    --p.column;
    while (p.column > 0 && continues(l[p.column])) --p.column;
  } else if (p.line > 0) {
    p = {p.line - 1, line(p.line - 1).size()};
  }
  return p;
}

std::size_t ReportLines::columnOf(std::size_t lineNumber, std::size_t n) const {
  return leftChars(line(std::min(lineNumber, count() - 1)), n).size();
}

std::size_t ReportLines::offset(TextPlace p) const {
  p = clamp(p);
  return starts_[p.line] + p.column;
}

TextPlace ReportLines::placeOf(std::size_t at) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), at);
  const std::size_t lineNumber = static_cast<std::size_t>(after - starts_.begin()) - 1;
  return clamp({lineNumber, at - starts_[lineNumber]});
}

std::optional<TextSpan> ReportLines::find(std::string_view wanted, TextPlace from) const {
  if (wanted.empty()) return std::nullopt;
  const std::boyer_moore_horspool_searcher searcher(wanted.begin(), wanted.end(), FoldedHash{}, FoldedEqual{});
  const std::string_view all = text();
  auto found = std::search(all.begin() + static_cast<std::ptrdiff_t>(offset(from)), all.end(), searcher);
  if (found == all.end()) found = std::search(all.begin(), all.end(), searcher);  // from the top
  if (found == all.end()) return std::nullopt;
  const std::size_t at = static_cast<std::size_t>(found - all.begin());
  return TextSpan{placeOf(at), placeOf(at + wanted.size())};
}

std::string ReportLines::between(TextPlace a, TextPlace b) const {
  const std::string_view all = text();
  std::size_t from = offset(a);
  std::size_t to = offset(b);
  if (to < from) std::swap(from, to);
  std::string out;
  out.reserve(to - from);
  for (std::size_t i = from; i < to; ++i)
    if (!(all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n')) out += all[i];
  return out;
}

}  // namespace tvx
