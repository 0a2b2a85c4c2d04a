#pragma once
// Paths and ASCII text, answered the same way for every layer: the folder of
// a path, the file name a work file stores, names compared without case.
//
// Case is folded in ASCII only. Names on disk and keys in work files are
// compared byte for byte otherwise, so a UTF-8 name never changes meaning with
// the locale the program runs in.

#include <string>
#include <string_view>

namespace vantrix {

constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// The folder part of a path with its final '/': "/w/Go.vtxs" gives "/w/",
// "/Go.vtxs" gives "/", and a bare "Go.vtxs" gives "" (the current folder).
std::string FolderOf(std::string_view path);
// What follows the last '/': "/w/Go.vtxs" gives "Go.vtxs".
std::string FileNameOf(std::string_view path);
// The folder to open for a path's folder: FolderOf, or "." for a bare name.
std::string OpenableFolderOf(std::string_view path);
// folder with a '/' appended when it does not end in one ("" stays "").
std::string WithTrailingSlash(std::string folder);

// The file name of a stored path that may use Windows separators:
// "C:\Vantrix\Textures\Wood.jpg" gives "Wood.jpg"; '\', '/' and a drive colon
// all end a folder part.
std::string StoredPathFileName(std::string_view storedPath);
// What precedes StoredPathFileName, its separator included ("C:\Vantrix\").
std::string StoredPathFolder(std::string_view storedPath);
// Whether a stored path starts at a root: '/', '\' or a drive letter.
bool StoredPathIsAbsolute(std::string_view storedPath);

}  // namespace vantrix
