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
#include <span>
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
  // A file this object creates gets the bits 0600 (a settings file may hold
  // the names of a user's files); an existing file keeps its bits.
  void CreatePrivate() noexcept { private_ = true; }

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
  bool private_ = false;
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

// How a file written atomically is written.
enum class FilePermissions {
  KeepExisting,  // those of the file replaced; a new file gets 0644 less the umask
  Private,       // those of the file replaced; a new file gets 0600
  Explicit,      // WriteOptions::mode, whatever was there
};

struct WriteOptions {
  FilePermissions permissions = FilePermissions::KeepExisting;
  unsigned mode = 0;          // the bits for FilePermissions::Explicit
  bool followLinks = true;    // false: a link at the name is replaced by the file itself
  bool ownFileOnly = false;   // refuse to replace a file (or link) of another user
};

// A file written under its temporary name in the same folder and put in
// place later, so that several files can be replaced together:
//
//   1. the constructor checks the name and writes the temporary file;
//   2. place() puts it in place; the file it replaces is kept aside under
//      the temporary name (the two names are exchanged);
//   3. keep() drops the replaced file, or revert() puts it back.
//
// The destructor removes an unplaced temporary file and reverts a placed
// file that was not kept. On a file system that cannot exchange names the
// file is renamed over the old one and revert() cannot bring it back.
//
// The name may be a symbolic link to a regular file (followed unless
// WriteOptions::followLinks is false; the file it leads to is replaced in
// its own folder), a link that leads nowhere (itself replaced; its target
// is never created), a regular file or a new name. Anything else (a folder,
// a FIFO, a device, a socket) is refused with a message naming it before
// anything is written, and so is a file without write permission for its
// owner when the caller owns it (also for the superuser). Failures raise
// an Error (a full disk or a file-size limit: DiskFull) and leave the old
// file and no temporary file.
//
// The temporary name is `path` + ".tmp", or, for a name too long for that,
// a shortened name fixed for that file, so that a killed write leaves at
// most one temporary file per file, which the next write replaces.
class StagedFile {
 public:
  StagedFile(const std::string& path, std::string_view content, const WriteOptions& options = {});
  ~StagedFile();
  StagedFile(StagedFile&& other) noexcept;
  StagedFile& operator=(StagedFile&&) = delete;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  const std::string& target() const noexcept { return target_; }
  const std::string& temporaryName() const noexcept { return temp_; }

  void place();
  void revert() noexcept;
  void keep() noexcept;

 private:
  enum class State { Staged, Placed, Done };
  std::string target_;
  std::string temp_;
  State state_ = State::Staged;
  bool nameTaken_ = false;  // something was at the target name
  bool exchanged_ = false;  // the replaced file is under temp_
};

// Places every file in order and keeps them all; when one cannot be placed,
// those placed before it are reverted and the failure raised.
void placeTogether(std::span<StagedFile> files);

// Writes `content` to `path` atomically (a StagedFile placed and kept): a
// kill at any moment leaves the old or the new file and at most the one
// temporary file, which the next write replaces.
void writeFileAtomically(const std::string& path, std::string_view content, const WriteOptions& options = {});

// Removes what a killed atomic write of `path` may have left behind.
void discardTemporaryFile(const std::string& path);

// Reads a whole file's bytes as they are. A missing file gives `false`; any
// other failure (a folder, no permission, an I/O error) raises an error.
bool readFileBytes(const std::string& path, std::string& out);

// Reads a whole text file as UTF-8 (a Windows-1252 file is converted, a
// UTF-8 byte-order mark dropped). Missing file and failures as readFileBytes.
bool readTextFile(const std::string& path, std::string& out);

}  // namespace orlendo
