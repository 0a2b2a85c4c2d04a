#pragma once
// Finding font files for a family name, weight and slant through fontconfig.
//
// Fontconfig's substitutes apply, so a Windows family name finds its
// metric-compatible stand-in where one is installed, and a family that is not
// installed at all finds fontconfig's best match. Only outline fonts are offered.

#include <optional>
#include <string>
#include <vector>

namespace vantrix {

struct TFaceLocation {
  std::string File;
  int Index = 0;       // face index within the file, as fontconfig gives it
  std::string Family;  // the face's own family and style names (first of each)
  std::string Style;
  bool Substituted = false;  // the requested family is none of the face's family names
};

// Faces for the request, best first (at most `limit`); empty when fontconfig finds none.
// `charset` (a Windows character set number) makes faces that cover its script
// preferable among equally good family matches.
std::vector<TFaceLocation> LocateFaces(const std::string& family, bool bold, bool italic, int charset,
                                       size_t limit = 4);

// The best outline face that has a glyph for `ch`, nearest to the family, weight and
// slant asked for; nullopt when no installed face has one.
std::optional<TFaceLocation> LocateFaceForChar(char32_t ch, const std::string& family, bool bold,
                                               bool italic);

}  // namespace vantrix
