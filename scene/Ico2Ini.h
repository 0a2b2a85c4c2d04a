#pragma once
// The preview icon of a work file: a JPEG picture (quality 90) kept in the INI
// text as hexadecimal pieces, 100 bytes per key "1", "2", ..., with the number
// of pieces in key Lines of the section named with "Info" appended:
//
//   [Icon]            [IconInfo]
//   1=FFD8FFE0...     Lines=37
//
// The icon itself is the rendered picture stretched to 120 x 40 with the
// Lanczos3 filter (MakeWorkIcon). Errors are TWorkFileError (WorkFile.h).

#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/Picture.h"
#include "scene/Progress.h"

namespace vantrix {

inline constexpr int kWorkIconWidth = 120;
inline constexpr int kWorkIconHeight = 40;
inline constexpr int kWorkIconQuality = 90;
inline constexpr int kIconPieceBytes = 100;
// More pieces than any icon needs (400 KB of JPEG); the rest of a longer list
// is not read, which keeps a hostile count from making the reader crawl.
inline constexpr int kMaxIconPieces = 4096;

// The icon of a rendered picture: 120 x 40, 24 bits, proportions not kept.
// Empty when the picture is not larger than one pixel either way.
TPicture MakeWorkIcon(const TPicture& image);

// Replaces the section (erased whole first) with the picture's pieces and
// writes their count. progress, when given, goes 0..100 by bytes written.
// The file form saves the file and returns true.
void IconToIni(TIniFile& ini, std::string_view section, const TPicture& icon, TProgress* progress = nullptr);
bool IconToIni(const std::string& fileName, std::string_view section, const TPicture& icon,
               TProgress* progress = nullptr);

// False when there is no icon (count missing or not above 0); else true with
// the picture, 24 bits. A piece pair that is not hexadecimal throws
// "'$<pair>' is not a valid integer value", data that is no JPEG the decoder's
// error. A piece longer than 100 bytes counts with its first 100 only; a
// missing piece adds nothing. progress goes 0..100 by pieces read.
bool IniToIcon(const TIniFile& ini, std::string_view section, TPicture& icon, TProgress* progress = nullptr);
bool IniToIcon(const std::string& fileName, std::string_view section, TPicture& icon,
               TProgress* progress = nullptr);

}  // namespace vantrix
