#include "app/logic/ShapeList.h"

#include <algorithm>
#include <filesystem>

#include "platform/FileIO.h"
#include "platform/JpegCodec.h"
#include "platform/PathText.h"
#include "scene/BShape.h"

namespace vantrix {

namespace {

// Previews are small; this only keeps a stray huge file from being read whole.
constexpr uint64_t kMaxShapeFileBytes = uint64_t{64} << 20;

bool HasShapeExtension(const std::string& name) {
  return name.size() > std::string_view(kShapeExtension).size() && EndsWithNoCase(name, kShapeExtension);
}

}  // namespace

std::string ShapeCaption(const std::string& path) {
  return UpperAscii(std::filesystem::path(path).stem().string());
}

std::vector<TShapeEntry> ListShapes(const std::string& folder, bool sorted) {
  std::vector<TShapeEntry> entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
    if (HasShapeExtension(name)) entries.push_back({it->path().string(), ShapeCaption(name)});
  }
  if (sorted)
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TShapeEntry& a, const TShapeEntry& b) { return a.Caption < b.Caption; });
  return entries;
}

std::string ChosenShapeFile(const std::string& shapesFolder, const std::string& caption) {
  return shapesFolder + caption + kShapeExtension;
}

TPicture ReadShapePreview(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadFileLimited(path, kMaxShapeFileBytes);
  } catch (const TFileError&) {
    return {};  // an unreadable file is listed with the placeholder
  }
  const std::span<const uint8_t> preview = ShapePreviewBytes(bytes);
  if (preview.empty()) return {};
  return DecodeJpeg(preview);
}

}  // namespace vantrix
