// A sectioned key/value text file ("[Section]" lines and "Key=Value" lines)
// and a file-existence helper: the storage components behind the investor
// data file and the program's settings file.
//
// Sections and keys match without regard to ASCII letter case, with blanks
// around them trimmed. A value is everything after the first "=" up to the
// line end, kept as written. Files are written in UTF-8 with CR LF line
// ends; reading also takes LF and lone CR line ends, a UTF-8 byte-order
// mark, and Windows-1252 text for files that are not valid UTF-8. A line
// break inside a value is written as a blank, so what is written reads
// back as the same lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orlendo {

class ProfileFile {
 public:
  enum class Mode {
    WriteThrough,  // every WriteString replaces the file at once
    Deferred,      // writes stay in memory until Commit()
  };

  explicit ProfileFile(Mode mode = Mode::WriteThrough) : mode_(mode) {}

  // Binds to a file and reads it. A missing file reads as empty; a file that
  // exists but cannot be read (a folder, no permission, an I/O error) fails.
  void FileName(std::string_view name);
  // Binds to a file without reading it: the content starts empty.
  void BindEmpty(std::string_view name);
  const std::string& FileName() const noexcept { return fileName_; }
  // True when the file last read holds something besides blanks and line
  // ends but no line of it is a section header: not a sectioned file at all.
  bool NoSectionHeader() const noexcept { return noSectionHeader_; }

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
  // A decimal integer with optional blanks and sign. Type mismatch when the
  // stored text is not such an integer, overflow beyond the 32-bit range.
  std::int32_t GetLong(std::string_view section, std::string_view key, std::int32_t def) const;

  // Writes the whole content to the bound file atomically: a temporary file
  // in the same folder, flushed, then renamed over the old one.
  void Commit() const;

  // The file content as it would be written.
  std::string Render() const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> position in entries

    Entry* findKey(std::string_view key);
    void add(std::string key, std::string value);
  };

  const Entry* find(std::string_view section, std::string_view key) const;
  Section& sectionFor(std::string_view name);
  void parse(const std::string& text);

  Mode mode_;
  std::string fileName_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> position in sections_
  bool noSectionHeader_ = false;
};

class FileHelper {
 public:
  // True when `name` names an existing regular file (the exact path, no patterns).
  static bool PathExists(std::string_view name);
};

// The permission bits of a file written atomically.
enum class FilePermissions {
  KeepExisting,  // those of the file replaced; a new file gets the default
  Default,       // always those of a newly created file (0644 less the umask)
};

// Writes `content` to `path` atomically: the temporary file `path` + ".tmp"
// in the same folder (any file of that name is replaced), written, flushed
// (fsync), renamed over `path`, and the folder flushed. On failure the old
// file is untouched, the temporary file is removed, and an error is raised
// (a full disk or a file-size limit: DiskFull). A kill at any moment leaves
// the old or the new file and at most that one temporary file, which the
// next write replaces.
//
// A symbolic link that leads to an existing file is kept: the file it leads
// to is replaced (in that file's folder). A link that leads nowhere is
// itself replaced by the new file; its target is never created.
void writeFileAtomically(const std::string& path, std::string_view content,
                         FilePermissions permissions = FilePermissions::KeepExisting);

// Removes what a killed atomic write of `path` may have left behind.
void discardTemporaryFile(const std::string& path);

// Reads a whole file's bytes as they are. A missing file gives `false`; any
// other failure (a folder, no permission, an I/O error) raises an error.
bool readFileBytes(const std::string& path, std::string& out);

// Reads a whole text file as UTF-8 (a Windows-1252 file is converted, a
// UTF-8 byte-order mark dropped). Missing file and failures as readFileBytes.
bool readTextFile(const std::string& path, std::string& out);

}  // namespace orlendo
