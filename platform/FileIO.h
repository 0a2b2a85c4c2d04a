#pragma once
// Reading and writing whole files: the one way every file of the program is
// read into memory and saved.
//
// Reading takes the whole file, up to a limit the caller gives, so that a
// damaged or hostile file cannot make the program allocate without bound.
//
// Writing never changes the old file in place: the bytes go to a temporary
// file in the target's folder (a fresh name, created exclusively), which is
// synced and then renamed over the target; the folder is synced afterwards so
// that the rename survives a crash too. Until the rename the old file is
// untouched, and on any failure the temporary file is removed, so a failed
// save leaves the old file whole and nothing beside it.
//
// Every failure throws TFileError, which names the file and tells what went
// wrong; callers turn it into the message their users know.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

enum class TFileFault {
  Missing,   // the file or a folder on its path does not exist
  Folder,    // a folder where a file was to be read
  Open,      // the file exists but cannot be opened
  Read,      // reading failed
  TooLarge,  // larger than the caller's limit
  ReadOnly,  // the target may not be replaced: not a regular file, or read-only
  Create,    // no temporary file could be made beside the target
  Write,     // writing, syncing or moving the temporary file into place failed
};

class TFileError : public std::runtime_error {
 public:
  // err is the errno of the failing call, 0 when there is none.
  TFileError(TFileFault fault, const std::string& path, int err);

  TFileFault Fault() const { return fault_; }
  const std::string& Path() const { return path_; }
  int Errno() const { return errno_; }

 private:
  TFileFault fault_;
  std::string path_;
  int errno_;
};

// The whole file; TooLarge when it holds more than maxBytes. The file is read
// to its end rather than trusting its size, which may change meanwhile.
[[nodiscard]] std::vector<uint8_t> ReadFileLimited(const std::string& path, uint64_t maxBytes);
// At most the first maxBytes of the file; the rest is left unread.
[[nodiscard]] std::vector<uint8_t> ReadFileStart(const std::string& path, uint64_t maxBytes);

// Replaces (or creates) the file at path with bytes, as described above.
// Through a symbolic link the file it points at is replaced, not the link. An
// existing target that is not a regular file, has no write permission bit, or
// may not be written by this process is refused (ReadOnly): renaming over it
// would defeat its protection. The new file keeps the old one's permission
// bits and, where the process may, its owner.
void ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Copies the file `from` to `to` through a temporary file in the same way,
// but never replaces anything: false (and nothing written) when something
// named `to` exists or appears while copying. Faults of the source are
// reported with its path.
bool CopyFileIfAbsent(const std::string& from, const std::string& to);

}  // namespace vantrix
