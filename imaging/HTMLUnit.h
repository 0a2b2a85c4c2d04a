#pragma once
// The web page written after an export: html/preview.html shows the new
// button (with a mouse-over swap when a roll-over picture exists), and with a
// roll-over html/example.txt holds the snippet a user pastes into a page.
// Both come from the template files html/preview.tml, html/preview_ani.tml and
// html/example.tml in the program folder. A set of buttons gets a navigation
// page the same way, from html/nav.tml, html/navsnippet.tml and
// html/navbutton.tml (navbutton_ani.tml with roll-overs).
//
// Templates name variables between back-quotes: `ImageFileName`. Names
// compare without regard to case; an undefined name gives nothing; a
// reference still open at the end of the text is dropped; there is no escape
// for a literal back-quote.
//
// Text is UTF-8 throughout. Generated files end every line with '\n'. The
// html folder is found whatever the case of its name ("HTML/" serves too).
// Values that MakeHtml puts in the list are HTML-escaped (& < > " '), since
// every template is markup: a caption "Fish & Chips" must not break the page.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/ExportSettings.h"
#include "imaging/OptionsList.h"
#include "platform/Color.h"
#include "scene/Caption.h"
#include "scene/Scene.h"

namespace vantrix {

// A template that cannot be read or a page that cannot be written; the
// message names the file.
class THtmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Builds the variable list of one export and runs GenerateHtml. The image
// paths are the full names of the pictures written (the second one empty or
// unused without a roll-over); the sizes are their byte counts. Returns the
// path of the page written.
std::string MakeHtml(const std::string& programFolder, const std::string& firstImagePath,
                     const std::string& secondImagePath, const TExportSettings& settings, const TScene& scene,
                     const TCaption& caption, uint64_t imageFileSize, uint64_t phase2FileSize);

// The variables MakeHtml hands to GenerateHtml, in their order: IsAnimated,
// ImageFileName, ImageFileSize, Phase2FileName, Phase2FileSize, ImageFilePath,
// ImageWidth, ImageHeight, ImageDiffusion, BgColor, TargetURL, NumberOfColors,
// ButtonText; then the pictures as URLs (percent-encoded, UrlEncodePath):
// ImageURL, Phase2URL (file URLs for the preview page), ImageSrcset,
// Phase2Srcset (' srcset="... 1x, ...@2x... 2x"' with more than one density
// in the settings, else empty), ImageRef, Phase2Ref, ImageRefSrcset,
// Phase2RefSrcset (the same by bare name, for the snippet beside the
// pictures), Phase2SrcsetData, Phase2RefSrcsetData (the same lists as
// data-over-srcset) and SrcsetSwapScript (the script lines that swap them),
// LinkURL (TargetURL, "#" when empty) and Rollover ("js" or "css"). With
// offered formats (settings.AlsoOffer) ImageSources, Phase2Sources and their
// Ref forms open a <picture> with a <source type=... srcset=...> per format
// (ImageSources also names the roll-over pictures as data-over-srcset for
// the script), PictureEnd closes it and SourceSwapScript swaps the sources;
// all of them are empty without, as SrcsetSwapScript is with one density. A relative image path is taken from
// the current directory, so that the page finds the picture wherever it is opened from.
TOptionsList HtmlVariables(const std::string& firstImagePath, const std::string& secondImagePath,
                           const TExportSettings& settings, const TScene& scene, const TCaption& caption,
                           uint64_t imageFileSize, uint64_t phase2FileSize);

// Turns every backslash of the list into '/', adds a fresh UIN, reads the
// template(s) and writes html/preview.html and, when IsAnimated is "TRUE",
// html/example.txt (from preview_css.tml and example_css.tml when Rollover
// is "css"). Every template is read before anything is written, and
// each file is written under a temporary name and then renamed, so a failure
// leaves the old files as they were. Returns the path of preview.html.
std::string GenerateHtml(const std::string& programFolder, TOptionsList& variables);

// The file `name` of the program's html folder, both names matched whatever
// their case on disk ("HTML/About.html" serves for "about.html"); the
// lower-case path html/<name> when there is none.
std::string FindHtmlFile(const std::string& programFolder, std::string_view name);

// Replaces every variable reference of text.
std::string FillTemplate(std::string_view text, const TOptionsList& variables);

// One button of a set's navigation page.
struct TNavButton {
  std::string Link;        // where it leads; "#" for nowhere
  std::string FirstFile;   // picture names, relative to the page
  std::string SecondFile;  // empty without a roll-over picture
  std::string Caption;
};

// The templates of a set's navigation page, read before the set is made so
// that a missing one stops it before any picture is written.
struct TNavTemplates {
  std::string Page;     // nav.tml
  std::string Snippet;  // navsnippet.tml
  std::string Button;   // navbutton.tml, or navbutton_ani.tml for roll-overs
};

// Reads them from the program's html folder (FindHtmlFile); throws
// THtmlError naming the first that cannot be read. The CSS roll-over takes
// navsnippet_css.tml (no script) and, for roll-over pairs, navbutton_css.tml.
TNavTemplates ReadNavTemplates(const std::string& programFolder, bool rollovers,
                               TRollover rollover = TRollover::Script);

// The variables of one button, for the button template: LinkURL,
// ImageFileName, Phase2FileName (the first picture's without a roll-over),
// ImageWidth, ImageHeight and ButtonText; ImageSrcset, Phase2Srcset and
// Phase2SrcsetData with several densities in the settings, ImageSources,
// Phase2Sources and PictureEnd with offered formats, as HtmlVariables has them.
TOptionsList NavButtonVariables(const TNavButton& button, int width, int height,
                                const TExportSettings& settings = TExportSettings());

// Writes nav.html and nav.txt into `folder` and returns their paths, in that order.
// The snippet template gets ImageWidth, ImageHeight, BgColor, Buttons
// (every button's template filled, one after the other, each ending its
// line) and SwapScript (the script lines that swap srcsets and sources, empty
// when there are none); the page template gets the same and NavSnippet, the
// filled snippet. Throws THtmlError when a file cannot be written.
std::vector<std::string> WriteNavigation(const TNavTemplates& templates, const std::string& folder,
                                         const std::vector<TNavButton>& buttons, int width, int height,
                                         TColor background,
                                         const TExportSettings& settings = TExportSettings());

// "bt_" and a random number 0..99998 of at least six digits, drawn anew at
// every call.
std::string MakeUin();

// A byte count in kilobytes with at most one decimal, rounded half to even
// in tenths: 3500 gives "3.4", 2048 gives "2", 256 gives "0.2".
std::string FormatKilobytes(uint64_t bytes);

// A path as the path of a URL: bytes other than ASCII letters, digits,
// - . _ ~ / @ become %XX (so '#', '?', '%', blanks and UTF-8 letters survive
// the trip through a browser); a backslash counts as '/'.
std::string UrlEncodePath(std::string_view path);

// & < > " ' as character references.
std::string HtmlEscape(std::string_view text);

// Largest template read; a larger file is refused as damaged.
constexpr uint64_t kMaxTemplateSize = uint64_t{4} << 20;

}  // namespace vantrix
