#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FileIO.h"

namespace vantrix {
namespace fs = std::filesystem;
namespace {

// Seeding follows links in the installed data; this bounds a link loop.
constexpr int kMaxSeedDepth = 16;

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

// Whether anything, even a dangling link, already has that name.
bool NameTaken(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void MakeFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (!IsDirectory(path)) throw TProgramFolderError("Unable to create folder " + path);
}

// Copies one file that `dest` lacks; false when dest turned up meanwhile.
bool CopyNewFile(const std::string& src, const std::string& dest) {
  try {
    return CopyFileIfAbsent(src, dest);
  } catch (const TFileError&) {
    throw TProgramFolderError("Unable to copy " + src + " to " + dest);
  }
}

size_t SeedRecursive(const std::string& from, const std::string& to, int depth) {
  if (depth > kMaxSeedDepth) return 0;
  std::error_code ec;
  fs::directory_iterator it(from, ec);
  if (ec) return 0;
  std::vector<std::string> names;
  for (const fs::directory_entry& e : it) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());  // a deterministic order for the count and the errors

  size_t copied = 0;
  for (const std::string& name : names) {
    const std::string src = from + name;
    const std::string dest = to + name;
    const fs::file_status st = fs::status(src, ec);
    if (fs::is_directory(st)) {
      if (!NameTaken(dest)) MakeFolder(dest);
      if (IsDirectory(dest)) copied += SeedRecursive(src + "/", dest + "/", depth + 1);
    } else if (fs::is_regular_file(st) && !NameTaken(dest)) {
      if (CopyNewFile(src, dest)) ++copied;
    }
  }
  return copied;
}

}  // namespace

// The program may change its current directory (the CurPath setting), so the
// folders it keeps must not be relative.
static std::string AbsoluteFolder(const std::string& path) {
  if (path.empty()) return {};
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return WithTrailingSlash(ec ? path : absolute.string());
}

TProgramFolderChoice ChooseProgramFolder(const TProgramFolderCandidates& places) {
  if (!places.explicitFolder.empty()) return {AbsoluteFolder(places.explicitFolder), {}};
  if (IsDirectory(places.buildTreeData)) return {AbsoluteFolder(places.buildTreeData), {}};
  if (places.userFolder.empty()) throw TProgramFolderError("No folder for the program's data");
  return {AbsoluteFolder(places.userFolder), AbsoluteFolder(places.installedData)};
}

std::string PrepareProgramFolder(const TProgramFolderChoice& choice) {
  std::string folder = WithTrailingSlash(choice.folder);
  MakeFolder(folder);
  if (!choice.seedFrom.empty()) SeedFolder(choice.seedFrom, folder);
  MakeFolder(folder + "Works/");
  MakeFolder(folder + "Templates/");
  return folder;
}

std::string OpenProgramFolder(const TProgramFolderCandidates& places) {
  return PrepareProgramFolder(ChooseProgramFolder(places));
}

std::string ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return {};
  return WithTrailingSlash(exe.parent_path().string());
}

TProgramFolderCandidates DefaultProgramFolderCandidates(const std::string& explicitFolder) {
  TProgramFolderCandidates places;
  places.explicitFolder = explicitFolder;
  places.userFolder = UserDataFolder();
  const std::string exeFolder = ExecutableFolder();
  if (exeFolder.empty()) return places;
  fs::path dir = fs::path(exeFolder).parent_path();  // drop the trailing '/'
  for (int up = 0; up < 3 && !dir.empty(); ++up, dir = dir.parent_path()) {
    std::error_code ec;
    if (fs::exists(dir / "CMakeCache.txt", ec)) {
      places.buildTreeData = WithTrailingSlash((dir / "data").string());
      break;
    }
    if (dir == dir.root_path()) break;
  }
  places.installedData = WithTrailingSlash(
      (fs::path(exeFolder) / ".." / "share" / "vantrix" / "data").lexically_normal().string());
  return places;
}

namespace {

// An XDG base folder's Vantrix/: the variable's value, else the home's default.
std::string XdgFolder(const char* xdgValue, const char* home, const char* homeDefault) {
  // Relative values of the XDG variables are to be ignored.
  if (xdgValue != nullptr && xdgValue[0] == '/') return WithTrailingSlash(xdgValue) + "Vantrix/";
  std::string base = home != nullptr ? home : "";
  if (base.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) base = pw->pw_dir;
  }
  if (base.empty()) base = "/tmp";
  return WithTrailingSlash(base) + homeDefault + "Vantrix/";
}

}  // namespace

std::string UserDataFolder(const char* xdgDataHome, const char* home) {
  return XdgFolder(xdgDataHome, home, ".local/share/");
}

std::string UserStateFolder(const char* xdgStateHome, const char* home) {
  return XdgFolder(xdgStateHome, home, ".local/state/");
}

std::string UserStateFolder() {
  return UserStateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

std::string UserDataFolder() {
  return UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

size_t SeedFolder(const std::string& from, const std::string& to) {
  if (!IsDirectory(from)) return 0;
  MakeFolder(to);
  return SeedRecursive(WithTrailingSlash(from), WithTrailingSlash(to), 0);
}

std::string FindFileNoCase(const std::string& folder, std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != name.npos ||
      name.find('\0') != name.npos)
    return {};
  const std::string dir = WithTrailingSlash(folder.empty() ? std::string("./") : folder);
  std::string exact = dir + std::string(name);
  if (NameTaken(exact)) return exact;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return {};
  std::string best;
  bool found = false;
  for (const fs::directory_entry& e : it) {
    std::string entry = e.path().filename().string();
    if (EqualsNoCase(entry, name) && (!found || entry < best)) {
      best = std::move(entry);
      found = true;
    }
  }
  return found ? dir + best : std::string();
}

}  // namespace vantrix
