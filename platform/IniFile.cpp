#include "platform/IniFile.h"

#include <algorithm>
#include <climits>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "platform/FileIO.h"
#include "platform/PathText.h"

namespace vantrix {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

std::string_view CheckedSection(std::string_view section) {
  section = Trim(section);
  if (section.empty() || HasLineBreakOrNul(section) || section.find(']') != section.npos)
    throw std::invalid_argument("invalid INI section name: " + std::string(section));
  return section;
}

std::string_view CheckedKey(std::string_view key) {
  key = Trim(key);
  if (key.empty() || HasLineBreakOrNul(key) || key.find('=') != key.npos || key[0] == '[' || key[0] == ';')
    throw std::invalid_argument("invalid INI key name: " + std::string(key));
  return key;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The integer syntax of ReadInteger; false when s is no integer or out of range.
bool ParseInteger(std::string_view s, int32_t& out) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  std::string_view hex;
  bool isHex = false;
  if (!s.empty() && s[0] == '$') {
    hex = s.substr(1);
    isHex = true;
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = s.substr(2);
    isHex = true;
  }
  if (isHex) {
    if (hex.empty()) return false;
    uint32_t v = 0;
    int significant = 0;
    for (char c : hex) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      if (v == 0 && d == 0) continue;  // leading zeros do not count
      if (++significant > 8) return false;
      v = (v << 4) | static_cast<uint32_t>(d);
    }
    if (negative) v = 0u - v;
    out = static_cast<int32_t>(v);  // modular since C++20
    return true;
  }
  if (s.empty()) return false;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > int64_t{1} << 31) return false;  // keeps v small; exact limits below
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

std::string ErrnoText(int err) {
  return std::generic_category().message(err);
}

[[noreturn]] void ThrowLoadError(const std::string& name, const std::string& reason) {
  throw TIniError("Error loading file: " + name + " (" + reason + ")");
}

[[noreturn]] void ThrowWriteError(const std::string& name) {
  throw TIniError("Unable to write to " + name);
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (fileName_.empty()) return;
  std::vector<uint8_t> text;
  try {
    text = ReadFileLimited(fileName_, kMaxFileSize);
  } catch (const TFileError& e) {
    // Like a profile file that is not there yet: reads give defaults, a save creates it.
    if (e.Fault() == TFileFault::Missing) return;
    if (e.Fault() == TFileFault::Folder) ThrowLoadError(fileName_, "a folder, not a file");
    if (e.Fault() == TFileFault::TooLarge) ThrowLoadError(fileName_, "larger than 16 MiB");
    ThrowLoadError(fileName_, ErrnoText(e.Errno()));
  }
  Parse(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

TIniFile TIniFile::FromText(std::string_view text, std::string fileName) {
  TIniFile ini;
  ini.fileName_ = std::move(fileName);
  if (text.size() > kMaxFileSize) ThrowLoadError(ini.fileName_, "larger than 16 MiB");
  ini.Parse(text);
  return ini;
}

void TIniFile::Parse(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    std::string_view raw = text.substr(pos, end == text.npos ? text.npos : end - pos);
    if (end == text.npos) {
      pos = text.size();
    } else {
      pos = end + 1;
      if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }

    const std::string_view t = Trim(raw);
    if (!t.empty() && t[0] == '[') {
      const size_t close = t.find(']');
      const std::string_view name = t.substr(1, close == t.npos ? t.npos : close - 1);
      sections_.push_back(TSection{std::string(raw), std::string(Trim(name)), {}});
      continue;
    }
    if (sections_.empty()) {
      preamble_.emplace_back(raw);
      continue;
    }
    TLine line{std::string(raw), {}, 0};
    const size_t eq = raw.find('=');
    if (eq != raw.npos && !t.starts_with(';')) {
      line.key = std::string(Trim(raw.substr(0, eq)));
      line.valueAt = eq + 1;
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
  name = Trim(name);
  for (const TSection& s : sections_)
    if (EqualsNoCase(s.name, name)) return &s;
  return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

size_t TIniFile::FindKey(const TSection& s, std::string_view key) {
  key = Trim(key);
  if (key.empty()) return npos;
  for (size_t i = 0; i < s.lines.size(); ++i)
    if (EqualsNoCase(s.lines[i].key, key)) return i;
  return npos;
}

std::optional<std::string> TIniFile::TryReadString(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  const size_t i = FindKey(*s, key);
  if (i == npos) return std::nullopt;
  const TLine& line = s->lines[i];
  std::string_view v = Trim(std::string_view(line.raw).substr(line.valueAt));
  return std::string(v.substr(0, kMaxValueLength));
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  std::optional<std::string> v = TryReadString(section, key);
  return v ? std::move(*v) : std::string(def);
}

std::optional<int32_t> TIniFile::TryReadInteger(std::string_view section, std::string_view key) const {
  int32_t v = 0;
  const std::optional<std::string> text = TryReadString(section, key);
  if (!text || !ParseInteger(*text, v)) return std::nullopt;
  return v;
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  return TryReadInteger(section, key).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  return s != nullptr && FindKey(*s, key) != npos;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  const TSection* s = FindSection(section);
  if (s == nullptr) return keys;
  std::unordered_set<std::string> seen;
  for (const TLine& line : s->lines)
    if (!line.key.empty() && seen.insert(LowerAscii(line.key)).second) keys.push_back(line.key);
  return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const TSection& s : sections_)
    if (seen.insert(LowerAscii(s.name)).second) names.push_back(s.name);
  return names;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  section = CheckedSection(section);
  key = CheckedKey(key);
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';

  TSection* s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back(TSection{"[" + std::string(section) + "]", std::string(section), {}});
    s = &sections_.back();
  }
  const size_t i = FindKey(*s, key);
  if (i != npos) {
    TLine& line = s->lines[i];  // keeps the key's spelling in the file
    line.raw = line.key + "=" + clean;
    line.valueAt = line.key.size() + 1;
  } else {
    // After the last non-blank line, so that a blank line before the next
    // section stays where it is.
    size_t at = s->lines.size();
    while (at > 0 && Trim(s->lines[at - 1].raw).empty()) --at;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at),
                    TLine{std::string(key) + "=" + clean, std::string(key), key.size() + 1});
  }
  modified_ = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
  section = Trim(section);
  std::erase_if(sections_, [&](const TSection& s) { return EqualsNoCase(s.name, section); });
  modified_ = true;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  TSection* s = FindSection(section);
  if (s != nullptr) {
    key = Trim(key);
    std::erase_if(s->lines, [&](const TLine& l) { return !l.key.empty() && EqualsNoCase(l.key, key); });
  }
  modified_ = true;
}

std::string TIniFile::ToText() const {
  std::string text;
  const auto put = [&text](const std::string& line) {
    text += line;
    text += "\r\n";
  };
  for (const std::string& line : preamble_) put(line);
  for (const TSection& s : sections_) {
    put(s.header);
    for (const TLine& line : s.lines) put(line.raw);
  }
  return text;
}

void TIniFile::UpdateFile() {
  if (fileName_.empty()) ThrowWriteError(fileName_);
  try {
    ReplaceFileAtomically(fileName_, ToText());
  } catch (const TFileError&) {
    ThrowWriteError(fileName_);
  }
  modified_ = false;
}

}  // namespace vantrix
