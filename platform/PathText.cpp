#include "platform/PathText.h"

#include <algorithm>

namespace vantrix {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == path.npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == path.npos ? path : path.substr(slash + 1));
}

std::string OpenableFolderOf(std::string_view path) {
  std::string folder = FolderOf(path);
  return folder.empty() ? std::string(".") : folder;
}

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string StoredPathFileName(std::string_view storedPath) {
  const size_t cut = storedPath.find_last_of("\\/:");
  return std::string(cut == storedPath.npos ? storedPath : storedPath.substr(cut + 1));
}

std::string StoredPathFolder(std::string_view storedPath) {
  return std::string(storedPath.substr(0, storedPath.size() - StoredPathFileName(storedPath).size()));
}

bool StoredPathIsAbsolute(std::string_view storedPath) {
  if (storedPath.starts_with('/') || storedPath.starts_with('\\')) return true;
  const char drive = storedPath.empty() ? '\0' : LowerAscii(storedPath[0]);
  return storedPath.size() >= 2 && storedPath[1] == ':' && drive >= 'a' && drive <= 'z';
}

}  // namespace vantrix
