// Parses arbitrary bytes as an INI document, reads and writes keys the way the
// work-file code does, and checks that what is written parses back the same.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "platform/IniFile.h"

using vantrix::TIniFile;
using vantrix::fuzz::Check;

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A document that starts with bytes looking like a byte-order mark loses them
// on every parse, so only such documents may change on a round trip.
bool StartsLikeBom(const std::string& text) {
  return text.starts_with("\xEF\xBB\xBF");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  TIniFile ini = TIniFile::FromText(input, "fuzz.vtxs");

  const std::string text = ini.ToText();
  if (!StartsLikeBom(text)) Check(TIniFile::FromText(text).ToText() == text);

  int sections = 0;
  for (const std::string& section : ini.ReadSections()) {
    if (++sections > 16) break;
    Check(ini.SectionExists(section));
    int keys = 0;
    for (const std::string& key : ini.ReadSection(section)) {
      if (++keys > 16) break;
      Check(ini.ValueExists(section, key));
      Check(ini.ReadString(section, key, "").size() <= TIniFile::kMaxValueLength);
      (void)ini.ReadInteger(section, key, 0);
      (void)ini.ReadBool(section, key, false);
    }
  }
  (void)ini.ReadInteger("General", "ExpWidth", 160);
  (void)ini.ReadString("Letter 1", "Char", " ");

  // Writes: a fixed key, and a value taken from the input itself.
  const std::string value(input.substr(0, 300));
  ini.WriteString("General", "Version", "1.7.0");
  ini.WriteInteger("Message", "NLetters", static_cast<int32_t>(size));
  ini.WriteString("Letter 1", "Char", value);
  for (const std::string& section : ini.ReadSections()) {
    try {
      ini.WriteBool(section, "Bold", true);
    } catch (const std::invalid_argument&) {
      // A name from the file that could not be written back, such as "[]".
    }
    break;
  }
  ini.DeleteKey("General", "FileID");
  ini.EraseSection("Icon");

  const std::string written = ini.ToText();
  if (StartsLikeBom(written)) return 0;
  const TIniFile back = TIniFile::FromText(written);
  Check(back.ToText() == written);
  Check(back.ReadString("General", "Version", "") == "1.7.0");
  Check(back.ReadInteger("Message", "NLetters", -1) == static_cast<int32_t>(size));
  Check(!back.SectionExists("Icon"));
  std::string clean = value;
  for (char& c : clean)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  const std::string_view expected = TrimBlanks(clean).substr(0, TIniFile::kMaxValueLength);
  Check(back.ReadString("Letter 1", "Char", "?") == expected);
  return 0;
}
