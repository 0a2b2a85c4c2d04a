#pragma once
// The document rules of the main window and the welcome dialog that need no
// widget: which folder works are listed from, which file a closed welcome
// dialog names, the extension a saved name gets, and the files a list shows.
// Folders end with '/'.

#include <string>
#include <string_view>
#include <vector>

#include "platform/PathText.h"  // FolderOf, FileNameOf

namespace vantrix {

inline constexpr std::string_view kWorkExtension = ".vtxs";
inline constexpr std::string_view kTemplateExtension = ".vtxm";
inline constexpr std::string_view kDefaultWork = "Default.dat";

// What a file dropped on the window is, by its extension in any case: a
// work (".vtxs", ".dat") or template opens, a shape file sets the button's
// outline, a picture a texture.
enum class TDropKind { None, Work, Template, Shape, Picture };
TDropKind DropKindOf(const std::string& path);

// Whether Save may write a work back to the file it was opened from: a saved
// work (".vtxs"), not a template nor the default work, which only Save As
// replaces.
bool SavesInPlace(const std::string& openedFile);
// name with its extension (if any) replaced by ext (".vtxs").
std::string ReplaceExtension(const std::string& name, std::string_view ext);

// The works folder at each showing of the welcome dialog: the folder of the
// work last saved when it exists, else the program folder's Works/.
std::string WorksFolderOfJob(const std::string& jobFile, const std::string& programFolder);

enum class TWelcomeMode { New = 1, Saved = 2, Templates = 3 };

struct TWelcomeChoice {
  std::string ChosenFile;
  bool SelectionMade = false;
  std::string WorksFolder;  // follows a chosen saved work
};

// What the closing dialog names: New takes the default work; Saved and
// Templates the selected item of their folder; without a selection the
// default work with no selection made.
TWelcomeChoice WelcomeChoiceOf(TWelcomeMode mode, const std::string& selectedItem,
                               const std::string& programFolder, const std::string& worksFolder,
                               const std::string& templatesFolder);

// Plain files of folder whose names end in ext (case ignored), hidden files
// left out, sorted by name: what the welcome dialog lists.
std::vector<std::string> ListWorkFiles(const std::string& folder, std::string_view ext);

}  // namespace vantrix
