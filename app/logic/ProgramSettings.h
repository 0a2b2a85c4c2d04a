#pragma once
// The program's own settings file in the program folder: the folders and file
// names of the last run (section General). A key that is missing keeps the
// default. Paths are UTF-8 here and Windows-1252 in the file, like work files.

#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

inline constexpr std::string_view kSettingsFileName = "Vuzedav.ode";
inline constexpr std::string_view kUntitledWork = "Untitled.vtxs";

struct TProgramSettings {
  std::string CurPath;              // current directory
  std::string JobFile;              // work last saved: the name Save proposes
  std::string TextureDir;           // first folder of the texture dialogs; never changed by the program
  std::string Templates;            // templates folder, ending with '/'
  std::string Saves;                // works folder, ending with '/'
  std::string TemplateFile;         // template last saved or chosen
  std::vector<std::string> Recent;  // works last opened or saved, the newest first
  bool LiveDrag = true;             // the preview follows a held slider or the dragged light
};

inline constexpr size_t kMaxRecentWorks = 10;

// path first in the list, once, and at most kMaxRecentWorks names kept.
void AddRecentWork(std::vector<std::string>& recent, const std::string& path);

// Defaults: the folders Templates/ and Works/ of the program folder, and
// "Untitled.vtxs" for an empty JobFile. The recent works are section Recent's
// keys Work1, Work2, ... in order; LiveDrag is section Preview's key of that name.
TProgramSettings ReadProgramSettings(const std::string& programFolder);
// Throws TIniError "Unable to write to <name>" when the file cannot be written.
void WriteProgramSettings(const std::string& programFolder, const TProgramSettings& settings);

}  // namespace vantrix
