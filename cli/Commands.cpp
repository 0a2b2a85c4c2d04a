#include "Commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "InfoJson.h"
#include "TerminalProgress.h"
#include "imaging/Resample.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"
#include "scene/Ico2Ini.h"
#include "scene/Scene.h"
#include "scene/Textures.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Extension(const std::string& path) { return Lower(std::filesystem::path(path).extension().string()); }

// The work as the program would hold it after opening the file: parameters,
// caption, light, ramps and textures.
struct TLoadedWork {
  TScene Scene;
  TCaption Caption;
  TTerminalProgress Progress;
  TStderrMessages Messages{&Progress};
};

void ApplySets(TIniFile& ini, const std::vector<std::string>& sets) {
  for (const std::string& s : sets) {
    const size_t dot = s.find('.');
    const size_t eq = s.find('=');
    if (dot == std::string::npos || eq == std::string::npos || dot == 0 || eq < dot + 2)
      throw TUsageError("--set needs Section.Key=VALUE, not '" + s + "'");
    ini.WriteString(Utf8ToCp1252(s.substr(0, dot)), Utf8ToCp1252(s.substr(dot + 1, eq - dot - 1)),
                    Utf8ToCp1252(s.substr(eq + 1)));
  }
}

void Load(TLoadedWork& w, const TCliOptions& o, const std::string& file) {
  w.Scene.Messages = &w.Messages;
  w.Scene.AppPath = OpenProgramFolder(DefaultProgramFolderCandidates(o.ProgramFolder));
  struct stat st;
  if (stat(file.c_str(), &st) != 0) throw std::runtime_error("Error loading file: " + file + " (the file does not exist)");
  TIniFile ini(file);
  ApplySets(ini, o.Sets);
  LoadWork(w.Scene, w.Caption, ini);
  if (o.Caption) {
    // Every letter takes the first letter's font.
    const TFontSpec font = w.Caption.Empty() ? TFontSpec{} : w.Caption.At(0).Font;
    w.Caption.SetText(*o.Caption, font);
  }
  PrepareLoadedWork(w.Scene);
}

// The size the main window derives after a rebuild: 160 wide for a long
// picture, else 40 high, the other side in proportion.
std::pair<int, int> DefaultExportSize(const TPicture& image) {
  const double w = std::max(image.Width(), 1), h = std::max(image.Height(), 1);
  if (w / h >= 4) return {160, std::max(RoundInt(160 * h / w), 1)};
  return {std::max(RoundInt(40 * w / h), 1), 40};
}

TPicture Reduce(const TPicture& picture, std::pair<int, int> size) {
  TPicture source = picture;
  TPicture out(size.first, size.second, 24);
  ResampleBitmap(source, out, Lanczos3Filter, 3);
  return out;
}

void WritePicture(const std::string& path, const TPicture& picture) {
  const std::string ext = Extension(path);
  if (ext == ".bmp")
    SaveBmpFile(path, picture);
  else if (ext == ".jpg" || ext == ".jpeg")
    SaveJpegFile(path, picture, 90);
  else
    throw TUsageError("cannot tell the picture format from '" + path + "' (use .bmp or .jpg)");
}

int Render(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  w.Scene.Build(w.Caption, &w.Progress);
  w.Scene.Render(true, true, &w.Progress);
  w.Progress.SetPosition(100);
  w.Progress.Finish();
  TPicture image = w.Scene.Image.Converted(24);
  TPicture mask = w.Scene.Mask.Converted(24);
  if (!o.Full) {
    const auto size = o.Size ? *o.Size : DefaultExportSize(image);
    image = Reduce(image, size);
    if (!o.MaskFile.empty()) mask = Reduce(mask, size);
  }
  WritePicture(o.Output, image);
  if (!o.MaskFile.empty()) WritePicture(o.MaskFile, mask);
  std::printf("%s\n", o.Output.c_str());
  if (!o.MaskFile.empty()) std::printf("%s\n", o.MaskFile.c_str());
  return 0;
}

int Info(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  std::fputs(WorkToJson(w.Scene, w.Caption).c_str(), stdout);
  return 0;
}

// Saves as the program does: the work is rendered for its preview icon first.
int Resave(const TCliOptions& o) {
  TLoadedWork w;
  Load(w, o, o.Arguments[0]);
  TPicture icon;
  if (!w.Caption.Empty()) {
    w.Scene.Build(w.Caption, &w.Progress);
    w.Scene.Render(false, true, &w.Progress);
    w.Progress.Finish();
    icon = MakeWorkIcon(w.Scene.Image);
  }
  SaveWork(w.Scene, w.Caption, o.Arguments[1], &icon);
  std::printf("%s\n", o.Arguments[1].c_str());
  return 0;
}

}  // namespace

int RunCommand(const TCliOptions& o) {
  if (o.Command == "render") return Render(o);
  if (o.Command == "info") return Info(o);
  if (o.Command == "resave") return Resave(o);
  throw TUsageError("the export command comes with the export library");
}

}  // namespace vantrix
