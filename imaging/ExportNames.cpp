#include "imaging/ExportNames.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "platform/PathText.h"
#include "platform/Rounding.h"
#include "platform/TextShaper.h"

namespace vantrix {

namespace {

constexpr const char* kImagesFolder = "Images/";

// Where the extension starts: the last dot after the last folder separator.
size_t ExtensionStart(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name.size();
  return dot;
}

}  // namespace

std::string ExportFolder(const std::string& programFolder) {
  return WithTrailingSlash(programFolder) + kImagesFolder;
}

std::string MakeExportFolder(const std::string& programFolder) {
  std::string folder = ExportFolder(programFolder);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw std::runtime_error(folder + ": cannot create the folder (" + ec.message() + ")");
  return folder;
}

std::pair<int32_t, int32_t> DefaultExportSize(int32_t width, int32_t height) {
  const double w = std::max(width, 1), h = std::max(height, 1);
  if (w / h >= 4) return {160, std::max(RoundInt(160 * h / w), 1)};
  return {std::max(RoundInt(40 * w / h), 1), 40};
}

std::string DefaultExportName(const TCaption& caption) {
  std::string name;
  for (const TCaptionChar& c : caption.Chars())
    if (c.Char >= 65 && c.Char <= 126) name.push_back(static_cast<char>(c.Char));
  return name;
}

std::string SetExportExt(const std::string& name, TExportType type) {
  return name.substr(0, ExtensionStart(name)) + "." + ExportExtension(type);
}

std::string AddNameSuffix(const std::string& name, const std::string& suffix) {
  const size_t at = ExtensionStart(name);
  return name.substr(0, at) + suffix + name.substr(at);
}

std::string ScaledExportName(const std::string& name, int scale) {
  return scale == 1 ? name : AddNameSuffix(name, "@" + std::to_string(scale) + "x");
}

std::vector<std::string> UniqueExportNames(const std::vector<TCaptionLine>& captions, const TFontSpec& font) {
  std::set<std::string> used;
  std::vector<std::string> names;
  for (const TCaptionLine& line : captions) {
    if (!line.Error.empty()) {
      names.emplace_back();
      continue;
    }
    TCaption caption;
    caption.SetText(line.Text, font);
    std::string base = DefaultExportName(caption);
    // A caption in another script is named in its own letters.
    if (base.empty()) base = EncodeUtf8(ComposedLetters(std::u32string_view(DecodeUtf8(line.Text))));
    if (base.empty()) base = "Button_" + std::to_string(line.Line);
    std::string name = base;
    for (int n = 2; used.contains(LowerAscii(name)); ++n) name = base + "_" + std::to_string(n);
    used.insert(LowerAscii(name));
    names.push_back(name);
  }
  return names;
}

}  // namespace vantrix
