#include "app/logic/Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/PathText.h"
#include "scene/WorkFile.h"

namespace vantrix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSection = "Recovery";
constexpr std::string_view kCopyExtension = ".vtxs";

// The copy's lock, locked: -1 when another program holds it (or it cannot be opened).
int LockOf(const std::string& copy) {
  const int fd = ::open((copy + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
}

}  // namespace

TRecovery::TRecovery(std::string folder) : folder_(WithTrailingSlash(std::move(folder))) {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  // One name per recovery of this process: tests run several in one.
  static std::atomic<int> serial{0};
  copy_ = folder_ + "work-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
          std::string(kCopyExtension);
  if (!ec) lockFd_ = LockOf(copy_);
}

TRecovery::~TRecovery() {
  for (int fd : orphanLocks_) ::close(fd);
  if (lockFd_ >= 0) {
    // The lock file goes only when no copy is left, so that a copy is never without one to take.
    std::error_code ec;
    if (!fs::exists(copy_, ec)) RemoveQuietly(copy_ + ".lock");
    ::close(lockFd_);
  }
}

void TRecovery::Write(TScene& scene, const TCaption& caption, const std::string& workFile) {
  if (!Enabled()) return;
  written_ = true;  // before the write: a failed one may still leave a file
  SaveWork(scene, caption, copy_);
  TIniFile ini(copy_);
  ini.WriteString(kSection, "WorkFile", Utf8ToCp1252(workFile));
  ini.UpdateFile();
}

void TRecovery::Discard() {
  if (!written_) return;
  RemoveQuietly(copy_);
  written_ = false;
}

std::vector<TRecovered> TRecovery::Orphans() {
  std::vector<TRecovered> found;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
    const std::string path = e.path().string();
    if (path == copy_ || !EndsWithNoCase(path, kCopyExtension) || !e.is_regular_file(ec)) continue;
    const int fd = LockOf(path);
    if (fd < 0) continue;  // its program still runs, or another start took it
    orphanLocks_.push_back(fd);
    std::string workFile;
    try {
      workFile = Cp1252ToUtf8(TIniFile(path).ReadString(kSection, "WorkFile", ""));
    } catch (const std::exception&) {
      // A damaged copy is still offered; opening it will say what is wrong.
    }
    found.push_back({path, workFile});
  }
  return found;
}

void TRecovery::Drop(const TRecovered& orphan) {
  RemoveQuietly(orphan.Copy);
  RemoveQuietly(orphan.Copy + ".lock");
}

}  // namespace vantrix
