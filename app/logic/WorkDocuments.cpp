#include "app/logic/WorkDocuments.h"

#include <algorithm>
#include <filesystem>

#include "app/logic/ShapeList.h"
#include "platform/PathText.h"
#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"

namespace vantrix {

std::string ReplaceExtension(const std::string& name, std::string_view ext) {
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? name.substr(0, dot) : name) + std::string(ext);
}

std::string WorksFolderOfJob(const std::string& jobFile, const std::string& programFolder) {
  const std::string folder = FolderOf(jobFile);
  std::error_code ec;
  if (!folder.empty() && std::filesystem::is_directory(folder, ec)) return folder;
  return WithTrailingSlash(programFolder) + "Works/";
}

TWelcomeChoice WelcomeChoiceOf(TWelcomeMode mode, const std::string& selectedItem,
                               const std::string& programFolder, const std::string& worksFolder,
                               const std::string& templatesFolder) {
  TWelcomeChoice c;
  c.ChosenFile = WithTrailingSlash(programFolder) + std::string(kDefaultWork);
  c.WorksFolder = worksFolder;
  if (mode == TWelcomeMode::New) {
    c.SelectionMade = true;
  } else if (!selectedItem.empty()) {
    c.ChosenFile = (mode == TWelcomeMode::Saved ? worksFolder : templatesFolder) + selectedItem;
    if (mode == TWelcomeMode::Saved) c.WorksFolder = FolderOf(c.ChosenFile);
    c.SelectionMade = true;
  }
  return c;
}

std::vector<std::string> ListWorkFiles(const std::string& folder, std::string_view ext) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
    if (EndsWithNoCase(name, ext)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool SavesInPlace(const std::string& openedFile) {
  return EndsWithNoCase(openedFile, kWorkExtension) && FileNameOf(openedFile).size() > kWorkExtension.size();
}

TDropKind DropKindOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return TDropKind::None;
  const std::string ext = LowerAscii(std::string_view(name).substr(dot));
  if (ext == kWorkExtension || ext == ".dat") return TDropKind::Work;
  if (ext == kTemplateExtension) return TDropKind::Template;
  if (ext == kShapeExtension) return TDropKind::Shape;
  if (PictureFormatFromExtension(ext, TExtensionCase::Exact) != TPictureFormat::Unknown)
    return TDropKind::Picture;
  return TDropKind::None;
}

}  // namespace vantrix
