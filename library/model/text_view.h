// A text file's content as UTF-8 without a copy of it where none is needed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orlendo {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s);

// The text readTextFile gives, read in place: where allowMappedReads
// allows it, a large file that is UTF-8 already is mapped and viewed
// (without its byte-order mark); any other is read and converted as
// readTextFile does. The text lives as long as the
// object.
class TextFileView {
 public:
  TextFileView() = default;
  ~TextFileView();
  TextFileView(const TextFileView&) = delete;
  TextFileView& operator=(const TextFileView&) = delete;

  // Missing file and failures as readTextFile.
  bool read(const std::string& path);
  std::string_view text() const { return text_; }
  // The text before `offset` is no longer read: a mapped file gives back its
  // pages (read again from the file should anything still look there).
  void release(std::size_t offset);

 private:
  void* map_ = nullptr;
  std::size_t mapped_ = 0;
  std::size_t released_ = 0;  // bytes from the mapping's start
  std::string copy_;
  std::string_view text_;
};

}  // namespace orlendo
