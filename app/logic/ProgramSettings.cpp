#include "app/logic/ProgramSettings.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

namespace vantrix {

namespace {

constexpr std::string_view kSection = "General";
constexpr std::string_view kRecentSection = "Recent";
constexpr std::string_view kPreviewSection = "Preview";

std::string SettingsPath(const std::string& programFolder) {
  return WithTrailingSlash(programFolder) + std::string(kSettingsFileName);
}

void Read(const TIniFile& ini, std::string_view key, std::string& value) {
  value = Cp1252ToUtf8(ini.ReadString(kSection, key, Utf8ToCp1252(value)));
}

}  // namespace

TProgramSettings ReadProgramSettings(const std::string& programFolder) {
  const std::string folder = WithTrailingSlash(programFolder);
  TProgramSettings s;
  s.Templates = folder + "Templates/";
  s.Saves = folder + "Works/";
  TIniFile ini;
  try {
    ini = TIniFile(SettingsPath(folder));
  } catch (const TIniError&) {
    // An unreadable settings file is a first start: the defaults stand.
  }
  Read(ini, "CurPath", s.CurPath);
  Read(ini, "JobFile", s.JobFile);
  Read(ini, "TextureDir", s.TextureDir);
  Read(ini, "Templates", s.Templates);
  Read(ini, "Saves", s.Saves);
  Read(ini, "TemplateFile", s.TemplateFile);
  if (s.JobFile.empty()) s.JobFile = kUntitledWork;
  for (size_t i = 1; i <= kMaxRecentWorks; ++i) {
    const std::string path = Cp1252ToUtf8(ini.ReadString(kRecentSection, "Work" + std::to_string(i), ""));
    if (!path.empty() && std::find(s.Recent.begin(), s.Recent.end(), path) == s.Recent.end())
      s.Recent.push_back(path);
  }
  s.LiveDrag = ini.ReadInteger(kPreviewSection, "LiveDrag", 1) != 0;
  return s;
}

void WriteProgramSettings(const std::string& programFolder, const TProgramSettings& s) {
  TIniFile ini(SettingsPath(programFolder));
  ini.WriteString(kSection, "CurPath", Utf8ToCp1252(s.CurPath));
  ini.WriteString(kSection, "JobFile", Utf8ToCp1252(s.JobFile));
  ini.WriteString(kSection, "TextureDir", Utf8ToCp1252(s.TextureDir));
  ini.WriteString(kSection, "Templates", Utf8ToCp1252(s.Templates));
  ini.WriteString(kSection, "Saves", Utf8ToCp1252(s.Saves));
  ini.WriteString(kSection, "TemplateFile", Utf8ToCp1252(s.TemplateFile));
  ini.EraseSection(kRecentSection);
  for (size_t i = 0; i < s.Recent.size() && i < kMaxRecentWorks; ++i)
    ini.WriteString(kRecentSection, "Work" + std::to_string(i + 1), Utf8ToCp1252(s.Recent[i]));
  ini.WriteInteger(kPreviewSection, "LiveDrag", s.LiveDrag ? 1 : 0);
  ini.UpdateFile();
}

void AddRecentWork(std::vector<std::string>& recent, const std::string& path) {
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kMaxRecentWorks) recent.resize(kMaxRecentWorks);
}

}  // namespace vantrix
