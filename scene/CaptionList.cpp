#include "scene/CaptionList.h"

#include <cstdio>

#include "platform/FileIO.h"
#include "scene/Caption.h"

namespace vantrix {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Why a field cannot be used, empty when it can. Decoding with a replacement
// that no valid text holds tells malformed bytes from a typed U+FFFF.
std::string FieldError(std::string_view field, const char* what) {
  constexpr char32_t kBad = 0xFFFFFFFF;
  for (char32_t c : DecodeUtf8(field, kBad)) {
    if (c == kBad) return std::string(what) + " is not valid UTF-8";
    if (c < 0x20 || c == 0x7F) return std::string(what) + " holds a control character";
  }
  return {};
}

TCaptionListError TooLarge(const std::string& name) {
  return TCaptionListError(name + ": larger than " + std::to_string(kMaxCaptionListBytes >> 20) +
                           " MiB, not a list of captions");
}

TCaptionLine ParseLine(int number, std::string_view line) {
  TCaptionLine out;
  out.Line = number;
  if (line.size() > kMaxCaptionLineBytes) {
    out.Error = "longer than " + std::to_string(kMaxCaptionLineBytes) + " bytes";
    return out;
  }
  const size_t tab = line.find('\t');
  const std::string_view text = TrimBlanks(line.substr(0, tab));
  const std::string_view link =
      tab == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(tab + 1));
  out.Text = std::string(text);
  out.Link = std::string(link);
  out.Error = text.empty() ? "a link without a caption" : FieldError(text, "the caption");
  if (out.Error.empty()) out.Error = FieldError(link, "the link");
  if (out.Error.empty()) {
    const size_t n = DecodeUtf8(text).size();
    if (n > static_cast<size_t>(TCaption::kMaxChars))
      out.Error =
          std::to_string(n) + " characters; a caption holds at most " + std::to_string(TCaption::kMaxChars);
  }
  // Nothing of a line that cannot be used is kept: it may be anything.
  if (!out.Error.empty()) out.Text.clear(), out.Link.clear();
  return out;
}

}  // namespace

std::vector<TCaptionLine> ParseCaptionList(std::string_view text, const std::string& name) {
  if (text.size() > kMaxCaptionListBytes) throw TooLarge(name);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<TCaptionLine> captions;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    ++number;
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    if (TrimBlanks(line).empty()) continue;
    if (captions.size() == kMaxCaptionLines)
      throw TCaptionListError(name + ": more than " + std::to_string(kMaxCaptionLines) + " captions");
    captions.push_back(ParseLine(number, line));
  }
  if (captions.empty()) throw TCaptionListError(name + ": holds no caption");
  return captions;
}

std::vector<TCaptionLine> ReadCaptionList(const std::string& path) {
  std::string text;
  if (path == "-") {
    // One byte more than the limit is enough to refuse the list.
    char buffer[65536];
    size_t n;
    while (text.size() <= kMaxCaptionListBytes && (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
      text.append(buffer, n);
    if (std::ferror(stdin)) throw TCaptionListError("standard input: cannot be read");
    return ParseCaptionList(text, "standard input");
  }
  try {
    const std::vector<uint8_t> bytes = ReadFileLimited(path, kMaxCaptionListBytes);
    text.assign(bytes.begin(), bytes.end());
  } catch (const TFileError& e) {
    if (e.Fault() == TFileFault::TooLarge) throw TooLarge(path);
    throw TCaptionListError(std::string(e.what()));
  }
  return ParseCaptionList(text, path);
}

}  // namespace vantrix
