#include "scene/Ico2Ini.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/CodePage.h"
#include "platform/JpegCodec.h"
#include "resample/Resample.h"
#include "scene/WorkFile.h"

namespace vantrix {

namespace {

std::string InfoSection(std::string_view section) {
  return std::string(section) + "Info";
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendPiece(std::string_view text, std::vector<uint8_t>& out) {
  text = text.substr(0, 2 * static_cast<size_t>(kIconPieceBytes));
  for (size_t i = 0; i + 1 < text.size(); i += 2) {  // a lone last digit is ignored
    const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
    if (hi < 0 || lo < 0)
      throw TWorkFileError("'$" + Cp1252ToUtf8(text.substr(i, 2)) + "' is not a valid integer value");
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
}

}  // namespace

TPicture MakeWorkIcon(const TPicture& image) {
  if (image.Width() <= 1 || image.Height() <= 1) return {};
  return ResizedPicture(image, kWorkIconWidth, kWorkIconHeight, Lanczos3Filter, 3);
}

void IconToIni(TIniFile& ini, std::string_view section, const TPicture& icon, TProgress* progress) {
  std::vector<uint8_t> jpeg;
  try {
    jpeg = EncodeJpeg(icon, kWorkIconQuality);
  } catch (const TPictureError& e) {
    throw TWorkFileError(e.what());
  }
  if (ini.SectionExists(section)) ini.EraseSection(section);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  int pieces = 0;
  for (size_t at = 0; at < jpeg.size(); at += kIconPieceBytes) {
    const size_t end = std::min(jpeg.size(), at + kIconPieceBytes);
    std::string hex;
    hex.reserve(2 * (end - at));
    for (size_t i = at; i < end; ++i) {
      hex += kDigits[jpeg[i] >> 4];
      hex += kDigits[jpeg[i] & 15];
    }
    ini.WriteString(section, std::to_string(++pieces), hex);
    if (progress) progress->SetPosition(static_cast<int>(end * 100 / jpeg.size()));
  }
  ini.WriteInteger(InfoSection(section), "Lines", pieces);
}

bool IconToIni(const std::string& fileName, std::string_view section, const TPicture& icon,
               TProgress* progress) {
  try {
    TIniFile ini(fileName);
    IconToIni(ini, section, icon, progress);
    ini.UpdateFile();
  } catch (const TIniError& e) {
    throw TWorkFileError(e.what());
  }
  return true;
}

bool IniToIcon(const TIniFile& ini, std::string_view section, TPicture& icon, TProgress* progress) {
  const int32_t lines = ini.ReadInteger(InfoSection(section), "Lines", 0);
  if (lines <= 0) return false;
  const int32_t read = std::min(lines, kMaxIconPieces);
  std::vector<uint8_t> jpeg;
  for (int32_t k = 1; k <= read; ++k) {
    AppendPiece(ini.ReadString(section, std::to_string(k), {}), jpeg);
    if (progress) progress->SetPosition(static_cast<int>(int64_t{k} * 100 / lines));
  }
  try {
    icon = DecodeJpeg(jpeg);
  } catch (const TPictureError& e) {
    throw TWorkFileError(e.what());
  }
  return true;
}

bool IniToIcon(const std::string& fileName, std::string_view section, TPicture& icon, TProgress* progress) {
  try {
    const TIniFile ini(fileName);
    return IniToIcon(ini, section, icon, progress);
  } catch (const TIniError& e) {
    throw TWorkFileError(e.what());
  }
}

}  // namespace vantrix
