#include "platform/FontLocator.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

#include "platform/PathText.h"

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

namespace {

// Fontconfig's configuration is one per process, shared by every scene. Its
// own locking differs between versions, and scenes on worker threads (a set
// export) would otherwise meet in it; lookups are cached per glyph source,
// so taking turns costs little.
std::mutex& FontconfigMutex() {
  static std::mutex mutex;
  return mutex;
}

using TPattern = std::unique_ptr<FcPattern, TPatternDeleter>;

// A request for an outline face of the family, weight and slant, with the
// configuration's substitutes applied; null when fontconfig cannot start.
TPattern MakePattern(const std::string& family, bool bold, bool italic,
                     void (*extra)(FcPattern*, const void*), const void* extraData) {
  if (!FcInit()) return nullptr;
  TPattern pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  FcPattern* p = pattern.get();
  if (!family.empty()) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(p, FC_SCALABLE, FcTrue);
  FcPatternAddBool(p, FC_OUTLINE, FcTrue);
  if (extra) extra(p, extraData);
  FcConfigSubstitute(nullptr, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  return pattern;
}

// The sorted set holds the faces' own properties (a single match would come back
// edited by the synthetic-style rules of the configuration).
std::unique_ptr<FcFontSet, TFontSetDeleter> SortedFaces(FcPattern* p) {
  FcResult result = FcResultNoMatch;
  return std::unique_ptr<FcFontSet, TFontSetDeleter>(FcFontSort(nullptr, p, FcTrue, nullptr, &result));
}

// nullopt for a bitmap face or one without a file.
std::optional<TFaceLocation> LocationOf(FcPattern* font, const std::string& family) {
  FcBool outline = FcFalse;
  if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) return std::nullopt;
  TFaceLocation face;
  face.File = StringOf(font, FC_FILE);
  if (face.File.empty()) return std::nullopt;
  int index = 0;
  if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) face.Index = index;
  face.Family = StringOf(font, FC_FAMILY);
  face.Style = StringOf(font, FC_STYLE);
  face.Substituted = !family.empty();
  for (int n = 0; face.Substituted; ++n) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, n, &name) != FcResultMatch) break;
    if (EqualsNoCase(reinterpret_cast<const char*>(name), family)) face.Substituted = false;
  }
  return face;
}

}  // namespace

std::vector<TFaceLocation> LocateFaces(const std::string& family, bool bold, bool italic, int charset,
                                       size_t limit) {
  std::vector<TFaceLocation> faces;
  const std::lock_guard<std::mutex> lock(FontconfigMutex());
  const char* lang = LanguageOfCharset(charset);
  const TPattern pattern = MakePattern(
      family, bold, italic,
      [](FcPattern* p, const void* data) {
        if (data) FcPatternAddString(p, FC_LANG, static_cast<const FcChar8*>(data));
      },
      lang);
  if (!pattern) return faces;
  const auto set = SortedFaces(pattern.get());
  if (!set) return faces;
  for (int i = 0; i < set->nfont && faces.size() < limit; ++i)
    if (auto face = LocationOf(set->fonts[i], family)) faces.push_back(std::move(*face));
  return faces;
}

std::optional<TFaceLocation> LocateFaceForChar(char32_t ch, const std::string& family, bool bold,
                                               bool italic) {
  const TPattern pattern = MakePattern(
      family, bold, italic,
      [](FcPattern* p, const void* data) {
        FcCharSet* wanted = FcCharSetCreate();
        if (!wanted) return;
        FcCharSetAddChar(wanted, *static_cast<const char32_t*>(data));
        FcPatternAddCharSet(p, FC_CHARSET, wanted);
        FcCharSetDestroy(wanted);
      },
      &ch);
  if (!pattern) return std::nullopt;
  const auto set = SortedFaces(pattern.get());
  if (!set) return std::nullopt;
  // The sort ranks coverage of the request first, but a face that lacks the
  // character may still come early when nothing has it.
  for (int i = 0; i < set->nfont; ++i) {
    FcCharSet* has = nullptr;
    if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch ||
        !FcCharSetHasChar(has, ch))
      continue;
    if (auto face = LocationOf(set->fonts[i], family)) return face;
  }
  return std::nullopt;
}

}  // namespace vantrix
