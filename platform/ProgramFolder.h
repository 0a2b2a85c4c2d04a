#pragma once
// The program folder: the one folder that holds BShapes/, html/, Templates/,
// Textures/, Works/, Images/, Default.dat and the settings file.
//
// Where it is, in order of precedence:
// 1. a folder named on the command line;
// 2. run from the build tree, the build's copy of data/ (<build>/data);
// 3. installed, a per-user folder under the XDG data home
//    ($XDG_DATA_HOME/Vantrix/, by default ~/.local/share/Vantrix/), seeded from
//    the installed data folder (<prefix>/share/vantrix/data) by copying what is
//    missing, so later releases add new shapes and templates without ever
//    overwriting what the user changed.
// Works/ and Templates/ are created in it when missing.
//
// Folder paths returned by these functions end with '/'. Names compare
// without regard to ASCII case only where a function says so.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/PathText.h"  // WithTrailingSlash, StoredPathFileName: the folder helpers use them

namespace vantrix {

// A folder that cannot be created or seeded; the message names the path.
class TProgramFolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TProgramFolderCandidates {
  std::string explicitFolder;  // from the command line; empty when not given
  std::string buildTreeData;   // <build>/data; empty when not run from a build tree
  std::string installedData;   // <prefix>/share/vantrix/data
  std::string userFolder;      // UserDataFolder()
};

struct TProgramFolderChoice {
  std::string folder;    // the program folder, ending with '/'
  std::string seedFrom;  // folder to copy missing files from; empty for none
};

// Decides between the candidates; touches nothing but existence checks.
// Relative candidates are made absolute against the current directory.
TProgramFolderChoice ChooseProgramFolder(const TProgramFolderCandidates& places);
// Creates the folder, seeds it, creates Works/ and Templates/; returns the folder.
std::string PrepareProgramFolder(const TProgramFolderChoice& choice);
// ChooseProgramFolder and PrepareProgramFolder together.
std::string OpenProgramFolder(const TProgramFolderCandidates& places);

// The usual candidates for this process: the build tree is recognised by a
// CMakeCache.txt in the executable's folder or one of its two parents, the
// installed data by <exe folder>/../share/vantrix/data.
TProgramFolderCandidates DefaultProgramFolderCandidates(const std::string& explicitFolder);
// Folder of the running executable, ending with '/'; empty if unknown.
std::string ExecutableFolder();

// $XDG_DATA_HOME/Vantrix/ when that variable holds an absolute path, else
// <home>/.local/share/Vantrix/. Null or empty arguments count as unset; a
// missing home falls back to the password database, then to "/tmp".
std::string UserDataFolder(const char* xdgDataHome, const char* home);
std::string UserDataFolder();  // from the environment
// The same for what a run leaves for the next (recovery copies):
// $XDG_STATE_HOME/Vantrix/, else ~/.local/state/Vantrix/.
std::string UserStateFolder(const char* xdgStateHome, const char* home);
std::string UserStateFolder();

// Copies into `to`, recursively, every regular file and folder of `from` that
// `to` lacks (by exact name); existing files are never touched. Each file is
// copied under a temporary name and then moved into place, so an interrupted
// copy never leaves a half file that would then count as present. Returns the
// number of files copied. A missing `from` copies nothing.
size_t SeedFolder(const std::string& from, const std::string& to);

// Path of the file `name` in `folder` whatever the case of its name on disk:
// the exact name when it exists, else the first case-insensitive match in byte
// order of the names. Empty when there is none, or when name holds a '/' or is
// "." or "..".
std::string FindFileNoCase(const std::string& folder, std::string_view name);

}  // namespace vantrix
