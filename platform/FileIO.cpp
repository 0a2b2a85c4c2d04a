#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <system_error>
#include <utility>

#include "platform/PathText.h"

namespace vantrix {
namespace {

std::string Describe(TFileFault fault, int err) {
  // In the order of TFileFault.
  static constexpr const char* kTexts[] = {
      "no such file",
      "a folder, not a file",
      "cannot open file",
      "cannot read file",
      "file too large",
      "file may not be replaced",
      "cannot create a temporary file beside it",
      "cannot write file",
  };
  static_assert(std::size(kTexts) == static_cast<size_t>(TFileFault::Write) + 1);
  std::string text = kTexts[static_cast<int>(fault)];
  if (err != 0) text += " (" + std::generic_category().message(err) + ")";
  return text;
}

class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Like read(2), but retried when a signal interrupts it.
ssize_t ReadSome(int fd, void* buf, size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd, buf, n);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::vector<uint8_t> ReadUpTo(const std::string& path, uint64_t maxBytes, bool refuseLarger) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    throw TFileError(err == ENOENT || err == ENOTDIR ? TFileFault::Missing : TFileFault::Open, path, err);
  }
  const TFd closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw TFileError(TFileFault::Read, path, errno);
  if (S_ISDIR(st.st_mode)) throw TFileError(TFileFault::Folder, path, 0);
  std::vector<uint8_t> bytes;
  if (S_ISREG(st.st_mode)) {
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (refuseLarger && size > maxBytes) throw TFileError(TFileFault::TooLarge, path, 0);
    bytes.reserve(static_cast<size_t>(std::min(size, maxBytes)));
  }
  constexpr size_t kChunk = 65536;
  for (;;) {
    const size_t at = bytes.size();
    if (at >= maxBytes) {
      if (!refuseLarger) return bytes;
      uint8_t probe = 0;
      const ssize_t n = ReadSome(fd, &probe, 1);
      if (n < 0) throw TFileError(TFileFault::Read, path, errno);
      if (n > 0) throw TFileError(TFileFault::TooLarge, path, 0);
      return bytes;
    }
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, maxBytes - at));
    bytes.resize(at + want);
    const ssize_t n = ReadSome(fd, bytes.data() + at, want);
    if (n < 0) throw TFileError(TFileFault::Read, path, errno);
    bytes.resize(at + static_cast<size_t>(n));
    if (n == 0) return bytes;
  }
}

// The path a save writes to: through a symbolic link, the file it points at.
std::string SaveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string target = real;
      std::free(real);
      return target;
    }
  }
  return path;
}

// Makes the rename itself durable. Best effort: the data is safe already.
void SyncFolder(const std::string& folder) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

// Whether anything, even a dangling link, has that name.
bool NameTaken(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A new file under a name of its own in the target's folder, removed again
// unless it was moved into place. Failures name the target, which is what
// the user asked to write.
class TTempFile {
 public:
  TTempFile(const std::string& target, const std::string& folder) : target_(target) {
    static std::atomic<unsigned> counter{0};
    const std::string prefix =
        folder + (folder.ends_with('/') ? "" : "/") + ".vantrix-" + std::to_string(::getpid()) + "-";
    int err = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = prefix + std::to_string(counter++) + ".tmp";
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      err = errno;
      if (fd_ < 0 && err != EEXIST) break;
    }
    if (fd_ < 0) throw TFileError(TFileFault::Create, target_, err);
  }
  ~TTempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!moved_) ::unlink(path_.c_str());
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }

  void Write(const uint8_t* data, size_t size) {
    if (!WriteAll(fd_, data, size)) throw TFileError(TFileFault::Write, target_, errno);
  }
  // The data on the disk before the name moves: a crash then leaves the old
  // file or the new one, never a short one.
  void SyncAndClose() {
    const int fd = std::exchange(fd_, -1);
    int err = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) throw TFileError(TFileFault::Write, target_, err);
  }
  void Moved() { moved_ = true; }

 private:
  std::string target_;
  std::string path_;
  int fd_ = -1;
  bool moved_ = false;
};

// Moves from to `to` unless `to` exists; true when it was moved.
bool MoveIntoPlaceNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS) {  // a file system without the flag
    if (!NameTaken(to) && ::rename(from.c_str(), to.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

TFileError::TFileError(TFileFault fault, const std::string& path, int err)
    : std::runtime_error(path + ": " + Describe(fault, err)), fault_(fault), path_(path), errno_(err) {}

std::vector<uint8_t> ReadFileLimited(const std::string& path, uint64_t maxBytes) {
  return ReadUpTo(path, maxBytes, true);
}

std::vector<uint8_t> ReadFileStart(const std::string& path, uint64_t maxBytes) {
  return ReadUpTo(path, maxBytes, false);
}

void ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  if (path.empty()) throw TFileError(TFileFault::Create, path, ENOENT);
  const std::string target = SaveTarget(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) throw TFileError(TFileFault::ReadOnly, path, EISDIR);
    if (!S_ISREG(st.st_mode)) throw TFileError(TFileFault::ReadOnly, path, EINVAL);
    // A file nobody may write is read-only on purpose, also for a user the
    // permissions do not stop.
    if ((st.st_mode & 0222) == 0) throw TFileError(TFileFault::ReadOnly, path, EACCES);
    if (::access(target.c_str(), W_OK) != 0) throw TFileError(TFileFault::ReadOnly, path, errno);
  }

  const std::string folder = OpenableFolderOf(target);
  TTempFile temp(path, folder);
  if (exists) {
    // Best effort: the new file keeps the old one's permissions and owner.
    (void)::fchmod(temp.Fd(), st.st_mode & 0777);
    // Only root may give a file away; otherwise the new file is simply ours.
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      [[maybe_unused]] const int refused = ::fchown(temp.Fd(), st.st_uid, st.st_gid);
    }
  }
  temp.Write(bytes.data(), bytes.size());
  temp.SyncAndClose();
  if (::rename(temp.Path().c_str(), target.c_str()) != 0) throw TFileError(TFileFault::Write, path, errno);
  temp.Moved();
  SyncFolder(folder);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  ReplaceFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

bool CopyFileIfAbsent(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    const int err = errno;
    throw TFileError(err == ENOENT || err == ENOTDIR ? TFileFault::Missing : TFileFault::Open, from, err);
  }
  const TFd closer(in);
  const std::string folder = OpenableFolderOf(to);
  TTempFile temp(to, folder);
  uint8_t buf[65536];
  for (;;) {
    const ssize_t n = ReadSome(in, buf, sizeof buf);
    if (n < 0) throw TFileError(TFileFault::Read, from, errno);
    if (n == 0) break;
    temp.Write(buf, static_cast<size_t>(n));
  }
  temp.SyncAndClose();
  if (!MoveIntoPlaceNoReplace(temp.Path(), to)) {
    const int err = errno;
    if (err == EEXIST || NameTaken(to)) return false;
    throw TFileError(TFileFault::Write, to, err);
  }
  temp.Moved();
  SyncFolder(folder);
  return true;
}

}  // namespace vantrix
