#pragma once
// TIniFile: an INI text document ("[Section]" lines and "key=value" lines) that
// work files, templates and the settings file are stored in.
//
// Strings are bytes: section names, keys and values are Windows-1252 text, the
// code page the files are written in. Converting from and to UTF-8 is the
// caller's business (platform/CodePage.h).
//
// Behaviour the work-file format relies on:
// - Section and key names match without regard to ASCII case; names are taken
//   without surrounding blanks. With duplicates, the first section of a name is
//   the one read and written, and within it the first key of a name.
// - A value reads back without the blanks (spaces, tabs) around it, and at most
//   kMaxValueLength characters of it.
// - Writing a key replaces its value in place; a new key goes after the last
//   non-blank line of its section, a new section at the end of the document.
//   Nothing else is removed or reordered; comments (";" lines), blank lines and
//   lines that are neither sections nor keys are written back as they were.
// - CR, LF and NUL in a written value would break the line structure; each is
//   replaced by a blank. Invalid names (empty, with line breaks, a key holding
//   "=" or starting with "[" or ";", a section holding "]") throw
//   std::invalid_argument: they only ever come from a programming error.
//
// On disk: lines end in CRLF when written; LF, CRLF and lone CR are accepted
// when read, and a UTF-8 byte-order mark at the start is dropped. Files larger
// than kMaxFileSize are refused. UpdateFile() replaces the file as a whole
// (new file beside the old one, synced, then renamed over it), so a failed
// save leaves the old file as it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// A file that cannot be read or written; the message names the file.
class TIniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TIniFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;
  static constexpr size_t kMaxFileSize = 16u << 20;

  // An empty document with no file behind it.
  TIniFile() = default;
  // Reads the named file. A file that does not exist (or whose folder does not)
  // is an empty document that UpdateFile() will create. A file that exists but
  // cannot be read, or is larger than kMaxFileSize, throws TIniError
  // "Error loading file: <name> (<reason>)".
  explicit TIniFile(std::string fileName);
  // Parses text as the contents of a file named fileName (which may be empty).
  static TIniFile FromText(std::string_view text, std::string fileName = {});

  const std::string& FileName() const { return fileName_; }
  // True once anything was written, erased or deleted since the load or save.
  bool Modified() const { return modified_; }

  // The Try forms find the key once and say whether it was there (and, for
  // integers, whether it held one) instead of taking a default.
  std::optional<std::string> TryReadString(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, with an optional sign. After the sign, "$" or "0x"/"0X" followed by
  // at least one digit is hexadecimal: up to eight significant hex digits, taken
  // as a 32-bit pattern ("$FFFFFFFF" is -1) the way colour values are written
  // by hand. A decimal number outside the int32 range, more than eight hex
  // digits, or anything else that is not an integer gives nullopt (or def).
  std::optional<int32_t> TryReadInteger(std::string_view section, std::string_view key) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // An integer; non-zero is true. A value that is not an integer gives def.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Key names of the section in file order, as spelled in the file, each name
  // once. Empty when there is no such section.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // Section names in file order, as spelled in the file, each name once.
  std::vector<std::string> ReadSections() const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // Removes the key (all its duplicates) from the first section of that name.
  void DeleteKey(std::string_view section, std::string_view key);

  // The document as it will be written: every line followed by CRLF.
  std::string ToText() const;
  // Writes the document to FileName(). Throws TIniError "Unable to write to
  // <name>" when that fails; the old file is then untouched and no temporary
  // file is left behind. A file without any write permission bit counts as
  // read-only and is refused too, as is one the process may not write.
  void UpdateFile();
  void Save() { UpdateFile(); }

 private:
  struct TLine {
    std::string raw;     // the line as in the file, without its line ending
    std::string key;     // trimmed key name; empty for lines that are no key
    size_t valueAt = 0;  // offset of the value in raw (just after '=')
  };
  struct TSection {
    std::string header;  // the "[Name]" line as in the file
    std::string name;    // trimmed name between the brackets
    std::vector<TLine> lines;
  };

  void Parse(std::string_view text);
  const TSection* FindSection(std::string_view name) const;
  TSection* FindSection(std::string_view name);
  static constexpr size_t npos = static_cast<size_t>(-1);
  static size_t FindKey(const TSection& s, std::string_view key);  // line index or npos

  std::string fileName_;
  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<TSection> sections_;
  bool modified_ = false;
};

}  // namespace vantrix
