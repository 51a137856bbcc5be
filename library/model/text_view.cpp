#include "model/text_view.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "orlendo/mapped_reads.h"
#include "orlendo/profile_file.h"

namespace orlendo {

namespace {

std::atomic<bool> gMapAllowed{false};

// Below this a read costs less than setting up a mapping.
constexpr off_t kMapFrom = 64 * 1024;

// The file's size when it is a regular file worth mapping, else 0. A missing
// file or any doubt gives 0 too: the ordinary read then answers for it.
std::size_t mappableSize(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kMapFrom) return 0;
  return static_cast<std::size_t>(st.st_size);
}

}  // namespace

void allowMappedReads(bool allowed) noexcept { gMapAllowed = allowed; }

TextFileView::~TextFileView() {
  if (map_) ::munmap(map_, mapped_);
}

void TextFileView::release(std::size_t offset) {
  if (!map_) return;
  const char* const start = static_cast<const char*>(map_);
  const std::size_t end = std::min(offset, text_.size()) + static_cast<std::size_t>(text_.data() - start);
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t whole = end / page * page;
  if (whole <= released_) return;
  ::madvise(static_cast<char*>(map_) + released_, whole - released_, MADV_DONTNEED);
  released_ = whole;
}

bool TextFileView::read(const std::string& path) {
  const int fd = gMapAllowed ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
  if (fd >= 0) {
    const std::size_t size = mappableSize(fd);
    void* map = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (map != MAP_FAILED) {
      // Read front to back once: the kernel may read ahead and map in large steps.
      ::madvise(map, size, MADV_SEQUENTIAL);
      std::string_view text(static_cast<const char*>(map), size);
      if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
      if (isValidUtf8(text)) {
        map_ = map;
        mapped_ = size;
        text_ = text;
        return true;
      }
      ::munmap(map, size);
    }
  }
  if (!readTextFile(path, copy_)) return false;
  text_ = copy_;
  return true;
}

}  // namespace orlendo
