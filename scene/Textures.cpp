#include "scene/Textures.h"

#include <cstdio>
#include <filesystem>

#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"

namespace vantrix {

namespace {

TPictureFormat FormatOfName(const std::string& path) {
  const std::string name = StoredPathFileName(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return TPictureFormat::Unknown;
  return PictureFormatFromExtension(std::string_view(name).substr(dot), TExtensionCase::Exact);
}

void ShowMessage(TScene& scene, const std::string& text) {
  if (scene.Messages)
    scene.Messages->ShowMessage(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

void LoadTexture(TScene& scene, bool button) {
  std::string& path = button ? scene.Params.ButTexFile : scene.Params.TxtTexFile;
  bool& textured = button ? scene.View3D.ButtonTextured : scene.View3D.TextTextured;
  textured = false;
  if (path.empty()) return;

  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    const std::string name = StoredPathFileName(path);
    const std::string found =
        name.empty() ? std::string() : FindFileNoCase(WithTrailingSlash(scene.AppPath) + "Textures/", name);
    if (found.empty()) {
      // The work still opens, in its plain colour; the user learns which file is missing.
      if (scene.Messages)
        scene.Messages->ShowNote("Texture not found: " + path + " (the plain colour is drawn)");
      return;
    }
    path = found;
  }

  TPicture picture;
  const TPictureFormat format = FormatOfName(path);
  if (format != TPictureFormat::Unknown) {
    try {
      picture = LoadPictureFile(path, format);
    } catch (const TPictureError&) {
      // Reported below with the one message the user sees for any unusable file.
    }
  }
  if (button)
    scene.View3D.SetButtonTexture(picture);
  else
    scene.View3D.SetTextTexture(picture);
  if (!textured) ShowMessage(scene, "Error loading file: " + path);
}

}  // namespace

void LoadButtonTexture(TScene& scene) {
  LoadTexture(scene, true);
}
void LoadCaptionTexture(TScene& scene) {
  LoadTexture(scene, false);
}

}  // namespace vantrix
