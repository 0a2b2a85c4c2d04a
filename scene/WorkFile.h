#pragma once
// Work files: the scene parameters, the roll-over values and the caption with
// its per-letter fonts, stored as an INI text file (templates and the default
// work use the same layout). The preview icon inside them is Ico2Ini.h's.
//
// Encodings on disk: integers are decimal text (read also as "$1F" or "0x1F"),
// booleans "1"/"0", colours the decimal TColor value, and the single-precision
// parameters as round(value * 1000), halves to even, formed exactly from the
// float. Strings are Windows-1252 on disk and UTF-8 in the model (a character
// 1252 lacks is saved as '?'). A caption character is saved as the one byte
// its glyph is fetched by, in its letter's own character set
// (TCaption::ByteCode), and read back through that set: the loaded caption
// draws what the saved one drew, and a character the set cannot express,
// drawn as '?', is saved as '?' with the character itself in the letter's
// "Unicode" key (its code point in decimal), which this reader prefers and
// older readers skip.
//
// Reading keeps the current value for every key that is missing or cannot be
// read, so a load over a fresh scene falls back to the start-up values.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/GlyphSource.h"
#include "platform/IniFile.h"
#include "platform/Picture.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

// Every problem with a work file; the text is what the user is shown:
// "Invalid file version: 1.7.1", "Unable to write to <name>",
// "Error loading file: <name>", "'$G0' is not a valid integer value",
// "JPEG error #<n>".
class TWorkFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kWorkFileVersion = "1.7.0";
inline constexpr std::string_view kOldWorkFileVersion = "1.3.5";

// Writes every key of the scene and the caption's letter sections into the
// file, keeping whatever else the file holds (letter sections beyond the
// caption, effect colours of an earlier save, the icon). With an icon that is
// not empty, and a caption that is not empty, the icon replaces the stored
// one. The file is replaced as a whole, so a failed save leaves it as it was
// and throws "Unable to write to <name>".
void SaveWork(TScene& scene, const TCaption& caption, const std::string& fileName,
              const TPicture* icon = nullptr);

// Whether a work file has the key: a key of the key tables, General's
// Version and FileID, Message's NLetters, or a key of a "Letter N" section.
// Sections and keys compare without regard to case, as the file reader does.
bool IsWorkFileKey(std::string_view section, std::string_view key);

// Reads the file into the scene's Params and Effect and replaces the caption.
// editorFont is the caption editor's own font, the default of the letter keys.
// A file that does not exist throws "Error loading file: <name>"; a version
// other than "1.7.0" or "1.3.5" throws "Invalid file version: <version>". On
// any error scene and caption are untouched. Textures, ramps and the light
// vector are not applied here: that is the caller's next step.
void LoadWork(TScene& scene, TCaption& caption, const std::string& fileName,
              const TFontSpec& editorFont = TFontSpec{});
// The same from a document already read (the fuzz target and tests use it).
void LoadWork(TScene& scene, TCaption& caption, const TIniFile& ini,
              const TFontSpec& editorFont = TFontSpec{});
// Writes the keys into a document without saving it.
void WriteWork(TIniFile& ini, const TScene& scene, const TCaption& caption);

// round(value * 1000), halves to even. The product of a float and 1000 needs at
// most 34 significant bits, so forming it in double is exact.
int32_t ScaledRealToInt(float value);
// A real written by a version "1.3.5" program: decimal point or comma, an
// optional exponent; nullopt for anything else or a value outside the float
// range.
std::optional<float> ParseOldReal(std::string_view text);

}  // namespace vantrix
