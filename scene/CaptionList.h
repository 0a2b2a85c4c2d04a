#pragma once
// A list of captions for a set of similar buttons: UTF-8 text, one caption a
// line, optionally followed by a tab and the button's link. CR, LF and CR LF
// end a line; a leading byte-order mark and the blanks around each field are
// dropped; empty lines are skipped (line numbers still count them).
//
// A line that cannot be a caption (malformed UTF-8, a control character, more
// than 32 characters, an overlong line) is kept with its error, so that the
// caller can report it by number and go on with the others. Only a list that
// is too large or holds no caption at all is refused as a whole.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

class TCaptionListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TCaptionLine {
  int Line = 0;       // 1-based
  std::string Text;   // UTF-8, at most 32 characters
  std::string Link;   // empty when the line names none
  std::string Error;  // empty for a usable caption
};

constexpr size_t kMaxCaptionListBytes = size_t{1} << 20;
constexpr size_t kMaxCaptionLineBytes = 4096;
constexpr size_t kMaxCaptionLines = 1000;  // captions, not counting empty lines

// Throws TCaptionListError, its text prefixed by `name`, for a refused list.
std::vector<TCaptionLine> ParseCaptionList(std::string_view text, const std::string& name);

// Reads and parses a file, or standard input for "-"; the errors name the file.
std::vector<TCaptionLine> ReadCaptionList(const std::string& path);

}  // namespace vantrix
