#include "imaging/HTMLUnit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "imaging/Animation.h"
#include "imaging/ColorText.h"
#include "imaging/Export.h"
#include "platform/FileIO.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"

namespace vantrix {

namespace fs = std::filesystem;

namespace {

constexpr char kHtmlFolder[] = "html";

std::string ReasonOf(int err) {
  return std::strerror(err);
}

// The template as lines: CR, LF and CR LF all end a line, and a final line
// break adds no empty line. A UTF-8 byte-order mark is dropped.
std::vector<std::string> SplitLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == text.npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(1, '\n');
  return text;
}

std::string ReadTemplate(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) throw THtmlError("Cannot open file \"" + path + "\"");
  try {
    const std::vector<uint8_t> bytes = ReadFileLimited(path, kMaxTemplateSize);
    return std::string(bytes.begin(), bytes.end());
  } catch (const TFileError& e) {
    if (e.Fault() == TFileFault::TooLarge) throw THtmlError("Template too large: \"" + path + "\"");
    if (e.Fault() == TFileFault::Read) throw THtmlError("Error reading file \"" + path + "\"");
    throw THtmlError("Cannot open file \"" + path + "\": " + ReasonOf(e.Errno()));
  }
}

// A reader never sees half a page, and a failure leaves the old file.
void WriteFileReplacing(const std::string& path, const std::string& text) {
  try {
    ReplaceFileAtomically(path, text);
  } catch (const TFileError& e) {
    const char* what = e.Fault() == TFileFault::Create ? "Cannot create file \"" : "Cannot write file \"";
    throw THtmlError(what + path + "\": " + ReasonOf(e.Errno()));
  }
}

// An existing output file keeps its spelling, so "Preview.HTML" is replaced
// rather than joined by a second page.
std::string OutputPath(const std::string& templatePath, std::string_view name) {
  const std::string folder = fs::path(templatePath).parent_path().string() + "/";
  std::string found = FindFileNoCase(folder, name);
  std::error_code ec;
  if (!found.empty() && fs::is_regular_file(found, ec)) return found;
  return folder + std::string(name);
}

std::string FillLines(const std::string& templateText, const TOptionsList& variables) {
  return JoinLines(SplitLines(FillTemplate(JoinLines(SplitLines(templateText)), variables)));
}

// The folder part of a picture's path with its final separator, made
// absolute against the current folder when it is relative.
std::string AbsoluteFolderOf(const std::string& path) {
  std::string folder = StoredPathFolder(path);
  if (StoredPathIsAbsolute(folder)) return folder;
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  if (ec) return folder;
  return WithTrailingSlash(here.string()) + folder;
}

// ' srcset="a.png 1x, a@2x.png 2x"' for the pictures of `path` at every
// density, each name after `prefix` (attribute named `attribute`); nothing
// for one density unless `always`, so that such pages stay as they always were.
std::string SrcsetAttribute(const std::string& path, const std::vector<int>& scales,
                            const std::string& prefix, const char* attribute = "srcset",
                            bool always = false) {
  if (scales.size() < 2 && !always) return std::string();
  std::string list;
  for (int s : scales) {
    if (!list.empty()) list += ", ";
    list += prefix + UrlEncodePath(StoredPathFileName(ScaledExportName(path, s)));
    if (scales.size() > 1) list += " " + std::to_string(s) + "x";
  }
  return " " + std::string(attribute) + "=\"" + HtmlEscape(list) + "\"";
}

// "<picture>" and a <source> per offered format, for the pictures named as
// `path` with the format's extension; with `over` (a roll-over swapped by
// the script) each source also names its roll-over pictures. Empty without
// offered formats.
std::string PictureSources(const std::string& path, const std::string& over, const TExportSettings& settings,
                           const std::string& prefix) {
  const std::vector<TExportType> offered = settings.OfferedTypes();
  if (offered.empty()) return std::string();
  const std::vector<int> scales = settings.NormalizedScales();
  std::string out = "<picture>";
  for (TExportType type : offered) {
    out += "<source type=\"" + std::string(ExportMimeType(type)) + "\"" +
           SrcsetAttribute(SetExportExt(path, type), scales, prefix, "srcset", true);
    if (!over.empty())
      out += SrcsetAttribute(SetExportExt(over, type), scales, prefix, "data-over-srcset", true);
    out += ">";
  }
  return out;
}

// The script lines that swap, besides the <img>'s src, its srcset (with
// several densities) and every <source> of its <picture> (with offered
// formats) to the roll-over pictures; `img` is the picture element in scope.
std::string SrcsetSwapLines() {
  return "\n    var normalSet = img.srcset, overSet = img.getAttribute(\"data-over-srcset\");"
         "\n    img.addEventListener(\"mouseover\", function () { img.srcset = overSet; });"
         "\n    img.addEventListener(\"mouseout\", function () { img.srcset = normalSet; });";
}
std::string SourceSwapLines() {
  return "\n    img.parentNode.querySelectorAll(\"source\").forEach(function (source) {"
         "\n      var normalSet = source.srcset, overSet = source.getAttribute(\"data-over-srcset\");"
         "\n      img.addEventListener(\"mouseover\", function () { source.srcset = overSet; });"
         "\n      img.addEventListener(\"mouseout\", function () { source.srcset = normalSet; });"
         "\n    });";
}

}  // namespace

std::string FindHtmlFile(const std::string& programFolder, std::string_view name) {
  const std::string base = WithTrailingSlash(programFolder);
  const std::string folder = FindFileNoCase(base, kHtmlFolder);
  std::string found = folder.empty() ? std::string() : FindFileNoCase(folder, name);
  if (!found.empty()) return found;
  return base + kHtmlFolder + "/" + std::string(name);
}

std::string UrlEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (char ch : path) {
    const auto c = static_cast<unsigned char>(ch == '\\' ? '/' : ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == '@';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FormatKilobytes(uint64_t bytes) {
  const int32_t tenths = RoundInt(static_cast<double>(bytes) * 10.0 / 1024.0);
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text;
}

std::string MakeUin() {
  // Seeded once from the system's entropy and the clock; every call draws anew.
  thread_local std::mt19937 engine = [] {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
    return std::mt19937(seed);
  }();
  std::uniform_int_distribution<int> draw(0, 99998);
  char text[16];
  std::snprintf(text, sizeof text, "bt_%.6d", draw(engine));
  return text;
}

std::string FillTemplate(std::string_view text, const TOptionsList& variables) {
  std::string out;
  out.reserve(text.size());
  std::string name;
  bool inside = false;
  for (char c : text) {
    if (c == '`') {
      if (inside) out += variables.GetString(name);
      name.clear();
      inside = !inside;
    } else if (inside) {
      name += c;
    } else {
      out += c;
    }
  }
  return out;
}

std::string GenerateHtml(const std::string& programFolder, TOptionsList& variables) {
  for (int i = 0; i < variables.Count(); ++i) {
    std::string line = variables.Line(i);
    std::replace(line.begin(), line.end(), '\\', '/');
    variables.SetLine(i, std::move(line));
  }
  variables.PutString("UIN", MakeUin());

  const std::string folder = WithTrailingSlash(programFolder);
  const bool animated = variables.GetString("IsAnimated") == "TRUE";
  const bool css = variables.GetString("Rollover") == "css";
  const std::string pagePath = FindHtmlFile(folder, !animated ? "preview.tml"
                                                    : css     ? "preview_css.tml"
                                                              : "preview_ani.tml");
  const std::string page = FillLines(ReadTemplate(pagePath), variables);
  std::string snippetPath, snippet;
  if (animated) {
    snippetPath = FindHtmlFile(folder, css ? "example_css.tml" : "example.tml");
    snippet = FillLines(ReadTemplate(snippetPath), variables);
  }

  std::string pageOut = OutputPath(pagePath, "preview.html");
  WriteFileReplacing(pageOut, page);
  if (animated) WriteFileReplacing(OutputPath(snippetPath, "example.txt"), snippet);
  return pageOut;
}

TNavTemplates ReadNavTemplates(const std::string& programFolder, bool rollovers, TRollover rollover) {
  const bool css = rollover == TRollover::Css;
  TNavTemplates t;
  t.Page = ReadTemplate(FindHtmlFile(programFolder, "nav.tml"));
  t.Snippet = ReadTemplate(FindHtmlFile(programFolder, css ? "navsnippet_css.tml" : "navsnippet.tml"));
  t.Button = ReadTemplate(FindHtmlFile(programFolder, !rollovers ? "navbutton.tml"
                                                      : css      ? "navbutton_css.tml"
                                                                 : "navbutton_ani.tml"));
  return t;
}

TOptionsList NavButtonVariables(const TNavButton& button, int width, int height,
                                const TExportSettings& settings) {
  const std::string& second = button.SecondFile.empty() ? button.FirstFile : button.SecondFile;
  const bool script = !button.SecondFile.empty() && settings.Rollover == TRollover::Script;
  const std::vector<int> scales = settings.NormalizedScales();
  TOptionsList v;
  v.PutString("LinkURL", HtmlEscape(button.Link));
  // File names in any script reach the page as URLs.
  v.PutString("ImageFileName", HtmlEscape(UrlEncodePath(button.FirstFile)));
  v.PutString("Phase2FileName", HtmlEscape(UrlEncodePath(second)));
  v.PutInteger("ImageWidth", width);
  v.PutInteger("ImageHeight", height);
  v.PutString("ButtonText", HtmlEscape(button.Caption));
  v.PutString("ImageSrcset", SrcsetAttribute(button.FirstFile, scales, ""));
  v.PutString("Phase2Srcset", SrcsetAttribute(second, scales, ""));
  v.PutString("Phase2SrcsetData", SrcsetAttribute(second, scales, "", "data-over-srcset"));
  v.PutString("ImageSources",
              PictureSources(button.FirstFile, script ? second : std::string(), settings, ""));
  v.PutString("Phase2Sources", PictureSources(second, std::string(), settings, ""));
  v.PutString("PictureEnd", settings.OfferedTypes().empty() ? "" : "</picture>");
  return v;
}

std::vector<std::string> WriteNavigation(const TNavTemplates& templates, const std::string& folder,
                                         const std::vector<TNavButton>& buttons, int width, int height,
                                         TColor background, const TExportSettings& settings) {
  TOptionsList variables;
  variables.PutInteger("ImageWidth", width);
  variables.PutInteger("ImageHeight", height);
  variables.PutString("BgColor", "#" + ColorToHex(background));
  std::string swap;
  if (settings.NormalizedScales().size() > 1) swap += SrcsetSwapLines();
  if (!settings.OfferedTypes().empty()) swap += SourceSwapLines();
  variables.PutString("SwapScript", swap);
  std::string lines;
  for (const TNavButton& b : buttons)
    lines += FillLines(templates.Button, NavButtonVariables(b, width, height, settings));
  variables.PutString("Buttons", lines);
  const std::string snippet = FillLines(templates.Snippet, variables);
  variables.PutString("NavSnippet", snippet);
  const std::string page = FillLines(templates.Page, variables);

  const std::string base = WithTrailingSlash(folder);
  WriteFileReplacing(base + "nav.html", page);
  WriteFileReplacing(base + "nav.txt", snippet);
  return {base + "nav.html", base + "nav.txt"};
}

TOptionsList HtmlVariables(const std::string& firstImagePath, const std::string& secondImagePath,
                           const TExportSettings& settings, const TScene& scene, const TCaption& caption,
                           uint64_t imageFileSize, uint64_t phase2FileSize) {
  const std::string& second = secondImagePath.empty() ? firstImagePath : secondImagePath;
  const bool animated = scene.Params.EffectType > 0;
  TOptionsList v;
  v.PutBoolean("IsAnimated", animated);
  v.PutString("ImageFileName", HtmlEscape(StoredPathFileName(firstImagePath)));
  v.PutString("ImageFileSize", FormatKilobytes(imageFileSize));
  v.PutString("Phase2FileName", HtmlEscape(StoredPathFileName(animated ? second : firstImagePath)));
  v.PutString("Phase2FileSize", FormatKilobytes(phase2FileSize));
  v.PutString("ImageFilePath", HtmlEscape(AbsoluteFolderOf(firstImagePath)));
  v.PutInteger("ImageWidth", settings.ExportWidth);
  v.PutInteger("ImageHeight", settings.ExportHeight);
  // The indexed PNG has lists of its own; RGBA pictures keep every colour.
  const bool indexedPng = settings.Type == kExportPng && settings.PngIndexed;
  const int dither = settings.HasAlpha() ? (indexedPng ? settings.PngDither : 0) : settings.Dither;
  v.PutString("ImageDiffusion", HtmlEscape(kDitherNames[std::clamp(dither, 0, 6)]));
  v.PutString("BgColor", "#" + ColorToHex(scene.Params.BkgColor));
  v.PutString("TargetURL", HtmlEscape(settings.TargetURL));
  v.PutString(
      "NumberOfColors",
      settings.HasAlpha() && !indexedPng
          ? " 16.7 million"
          : HtmlEscape(
                kColorNames[std::clamp(indexedPng ? settings.PngColorIndex : settings.ColorIndex, 0, 5)]));
  v.PutString("ButtonText", HtmlEscape(caption.TextUtf8()));

  // Where the pictures are, as URLs: absolute file URLs for the preview page,
  // the bare names for the snippet that sits beside them.
  const std::string folder = AbsoluteFolderOf(firstImagePath);
  const std::string& phase2 = animated ? second : firstImagePath;
  const std::vector<int> scales = settings.NormalizedScales();
  auto srcset = [&](const std::string& path, const std::string& prefix, const char* attribute = "srcset") {
    return SrcsetAttribute(path, scales, prefix, attribute);
  };
  const std::string fileUrl = "file://" + UrlEncodePath(folder);
  v.PutString("ImageURL", HtmlEscape(fileUrl + UrlEncodePath(StoredPathFileName(firstImagePath))));
  v.PutString("Phase2URL", HtmlEscape(fileUrl + UrlEncodePath(StoredPathFileName(phase2))));
  v.PutString("ImageSrcset", srcset(firstImagePath, fileUrl));
  v.PutString("Phase2Srcset", srcset(phase2, fileUrl));
  v.PutString("ImageRef", HtmlEscape(UrlEncodePath(StoredPathFileName(firstImagePath))));
  v.PutString("Phase2Ref", HtmlEscape(UrlEncodePath(StoredPathFileName(phase2))));
  v.PutString("ImageRefSrcset", srcset(firstImagePath, ""));
  v.PutString("Phase2RefSrcset", srcset(phase2, ""));
  // The script roll-over swaps src; with densities the browser shows the
  // srcset's pick, so that is swapped as well.
  v.PutString("Phase2SrcsetData", srcset(phase2, fileUrl, "data-over-srcset"));
  v.PutString("Phase2RefSrcsetData", srcset(phase2, "", "data-over-srcset"));
  v.PutString("SrcsetSwapScript", scales.size() < 2 ? "" : SrcsetSwapLines());
  // Offered formats: each picture becomes a <picture> whose sources come
  // first; the script swaps them too, the CSS page has a <picture> per phase.
  const bool script = animated && settings.Rollover == TRollover::Script;
  const std::string overForScript = script ? phase2 : std::string();
  const bool offered = !settings.OfferedTypes().empty();
  if (settings.Animate != TAnimation::None) {
    // An animation: readers who ask for less motion get its still picture.
    auto still = [&](const std::string& prefix) {
      return "<picture><source media=\"(prefers-reduced-motion: reduce)\" srcset=\"" +
             HtmlEscape(prefix + UrlEncodePath(StoredPathFileName(StillFrameName(firstImagePath)))) + "\">";
    };
    v.PutString("ImageSources", still(fileUrl));
    v.PutString("ImageRefSources", still(""));
    v.PutString("PictureEnd", "</picture>");
  } else {
    v.PutString("ImageSources", PictureSources(firstImagePath, overForScript, settings, fileUrl));
    v.PutString("Phase2Sources", PictureSources(phase2, std::string(), settings, fileUrl));
    v.PutString("ImageRefSources", PictureSources(firstImagePath, overForScript, settings, ""));
    v.PutString("Phase2RefSources", PictureSources(phase2, std::string(), settings, ""));
    v.PutString("PictureEnd", offered ? "</picture>" : "");
  }
  v.PutString("SourceSwapScript", offered && script ? SourceSwapLines() : "");
  v.PutString("LinkURL", settings.TargetURL.empty() ? "#" : HtmlEscape(settings.TargetURL));
  v.PutString("Rollover", settings.Rollover == TRollover::Css ? "css" : "js");
  return v;
}

std::string MakeHtml(const std::string& programFolder, const std::string& firstImagePath,
                     const std::string& secondImagePath, const TExportSettings& settings, const TScene& scene,
                     const TCaption& caption, uint64_t imageFileSize, uint64_t phase2FileSize) {
  TOptionsList variables =
      HtmlVariables(firstImagePath, secondImagePath, settings, scene, caption, imageFileSize, phase2FileSize);
  return GenerateHtml(programFolder, variables);
}

}  // namespace vantrix
