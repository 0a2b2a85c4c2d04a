#include "Options.h"

#include <cstdlib>
#include <cstring>

namespace vantrix {

const char* const kUsage =
    "usage: vantrix-cli render WORK -o OUT [--full] [--size WxH] [--mask FILE]\n"
    "                         [--caption TEXT] [--set Section.Key=VALUE]... [--program-folder DIR]\n"
    "       vantrix-cli info WORK [--caption TEXT] [--set Section.Key=VALUE]... [--program-folder DIR]\n"
    "       vantrix-cli resave IN OUT [--caption TEXT] [--set Section.Key=VALUE]... [--program-folder DIR]\n"
    "       vantrix-cli export WORK [-o NAME] [--format gif|jpg|bmp|png|png8|webp|avif[,...]] [--size WxH]\n"
    "                         [--palette N] [--colors N] [--dither N] [--no-transparency] [--quality Q]\n"
    "                         [--preset fast|medium|high] [--scale 1,2,3] [--rollover css|js]\n"
    "                         [--link URL] [--html] [--program-folder DIR]\n"
    "                         [--animate swing|light|pulse [--frames N] [--fps F] [--jobs N]]\n"
    "       vantrix-cli batch WORK --captions FILE|- [-o FOLDER] [--jobs N] [export options] [--html]\n"
    "TEXT and the caption list are UTF-8.\n"
    "OUT's extension picks the picture format (.bmp, .jpg, .gif; .png, .webp and .avif with alpha).\n";

namespace {

int ParseInt(const std::string& option, const char* text) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (!*text || *end || errno != 0 || v < -1000000000L || v > 1000000000L)
    throw TUsageError(option + " needs a whole number, not '" + text + "'");
  return static_cast<int>(v);
}

std::pair<int, int> ParseSize(const char* text) {
  const char* x = std::strchr(text, 'x');
  if (!x) throw TUsageError(std::string("--size needs WxH, not '") + text + "'");
  const int w = ParseInt("--size", std::string(text, x).c_str());
  const int h = ParseInt("--size", x + 1);
  if (w < 1 || h < 1 || w > 16384 || h > 16384)
    throw TUsageError("--size must be between 1x1 and 16384x16384");
  return {w, h};
}

// "1,2,3": each a density 1..4, ascending, without repeats.
std::vector<int> ParseScales(const char* text) {
  std::vector<int> scales;
  std::string item;
  const std::string all = std::string(text) + ",";
  for (char c : all) {
    if (c != ',') {
      item += c;
      continue;
    }
    const int s = ParseInt("--scale", item.c_str());
    if (s < 1 || s > 4) throw TUsageError("--scale takes densities 1 to 4, not '" + item + "'");
    if (!scales.empty() && s <= scales.back())
      throw TUsageError("--scale needs ascending densities, as 1,2,3");
    scales.push_back(s);
    item.clear();
  }
  return scales;
}

}  // namespace

TCliOptions ParseCommandLine(int argc, char** argv) {
  TCliOptions o;
  if (argc < 2) throw TUsageError("no command given");
  o.Command = argv[1];
  if (o.Command != "render" && o.Command != "info" && o.Command != "resave" && o.Command != "export" &&
      o.Command != "batch")
    throw TUsageError("unknown command '" + o.Command + "'");
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) throw TUsageError(a + " needs a value");
      return argv[++i];
    };
    if (a == "-o")
      o.Output = value();
    else if (a == "--full")
      o.Full = true;
    else if (a == "--size")
      o.Size = ParseSize(value());
    else if (a == "--mask")
      o.MaskFile = value();
    else if (a == "--caption")
      o.Caption = value();
    else if (a == "--set")
      o.Sets.push_back(value());
    else if (a == "--program-folder")
      o.ProgramFolder = value();
    else if (a == "--format")
      o.Format = value();
    else if (a == "--palette")
      o.Palette = ParseInt(a, value());
    else if (a == "--colors")
      o.Colors = ParseInt(a, value());
    else if (a == "--dither")
      o.Dither = ParseInt(a, value());
    else if (a == "--quality")
      o.Quality = ParseInt(a, value());
    else if (a == "--no-transparency")
      o.NoTransparency = true;
    else if (a == "--preset")
      o.Preset = value();
    else if (a == "--link")
      o.Link = value();
    else if (a == "--html")
      o.Html = true;
    else if (a == "--scale")
      o.Scales = ParseScales(value());
    else if (a == "--rollover")
      o.Rollover = value();
    else if (a == "--animate")
      o.Animate = value();
    else if (a == "--frames")
      o.Frames = ParseInt(a, value());
    else if (a == "--fps")
      o.Fps = ParseInt(a, value());
    else if (a == "--captions")
      o.Captions = value();
    else if (a == "--jobs")
      o.Jobs = ParseInt(a, value());
    else if (a.size() > 1 && a[0] == '-')
      throw TUsageError("unknown option '" + a + "'");
    else
      o.Arguments.push_back(a);
  }
  const size_t want = o.Command == "resave" ? 2 : 1;
  if (o.Arguments.size() != want)
    throw TUsageError(o.Command + " takes " + std::to_string(want) + " file name(s)");
  if (o.Command == "render" && o.Output.empty()) throw TUsageError("render needs -o OUT");
  if (o.Command == "batch" && o.Captions.empty()) throw TUsageError("batch needs --captions FILE");
  if (o.Jobs && (*o.Jobs < 1 || *o.Jobs > 256)) throw TUsageError("--jobs is 1..256");
  if ((!o.Animate.empty() || o.Frames || o.Fps) && o.Command != "export")
    throw TUsageError("--animate, --frames and --fps are options of export");
  return o;
}

}  // namespace vantrix
