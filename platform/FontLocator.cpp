#include "platform/FontLocator.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <memory>

namespace vantrix {
namespace {

// A language whose script the character set writes, so that a fallback face covers it.
const char* LanguageOfCharset(int charset) {
  switch (charset) {
    case 238:
      return "pl";
    case 204:
      return "ru";
    case 161:
      return "el";
    case 162:
      return "tr";
    case 177:
      return "he";
    case 178:
      return "ar";
    case 186:
      return "lt";
    case 163:
      return "vi";
    case 222:
      return "th";
    default:
      return nullptr;
  }
}

std::string StringOf(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, n, &s) != FcResultMatch || s == nullptr) return {};
  return reinterpret_cast<const char*>(s);
}

struct TPatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct TFontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

}  // namespace

// Fontconfig loses a few hundred bytes while parsing its configuration files, once
// per process; in sanitizer builds that is not reported as ours.
#if defined(__SANITIZE_ADDRESS__)
#define VANTRIX_LSAN_HOOK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTRIX_LSAN_HOOK 1
#endif
#endif
#ifdef VANTRIX_LSAN_HOOK
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif

std::vector<TFaceLocation> LocateFaces(const std::string& family, bool bold, bool italic, int charset,
                                       size_t limit) {
  std::vector<TFaceLocation> faces;
  if (!FcInit()) return faces;
  std::unique_ptr<FcPattern, TPatternDeleter> pattern(FcPatternCreate());
  if (!pattern) return faces;
  FcPattern* p = pattern.get();
  if (!family.empty()) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(p, FC_SCALABLE, FcTrue);
  FcPatternAddBool(p, FC_OUTLINE, FcTrue);
  if (const char* lang = LanguageOfCharset(charset)) {
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  }
  FcConfigSubstitute(nullptr, p, FcMatchPattern);
  FcDefaultSubstitute(p);

  // The sorted set holds the faces' own properties (a single match would come back
  // edited by the synthetic-style rules of the configuration).
  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcFontSet, TFontSetDeleter> set(FcFontSort(nullptr, p, FcTrue, nullptr, &result));
  if (!set) return faces;
  for (int i = 0; i < set->nfont && faces.size() < limit; ++i) {
    FcPattern* font = set->fonts[i];
    FcBool outline = FcFalse;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) continue;
    TFaceLocation face;
    face.File = StringOf(font, FC_FILE);
    if (face.File.empty()) continue;
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) face.Index = index;
    face.Family = StringOf(font, FC_FAMILY);
    face.Style = StringOf(font, FC_STYLE);
    face.Substituted = !family.empty();
    for (int n = 0; face.Substituted; ++n) {
      FcChar8* name = nullptr;
      if (FcPatternGetString(font, FC_FAMILY, n, &name) != FcResultMatch) break;
      if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) face.Substituted = false;
    }
    faces.push_back(std::move(face));
  }
  return faces;
}

}  // namespace vantrix
