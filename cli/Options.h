#pragma once
// The command line of vantrix-cli, parsed into one record.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantrix {

struct TCliOptions {
  std::string Command;                 // render, info, resave, export, batch
  std::vector<std::string> Arguments;  // positional
  std::string Output;                  // -o
  bool Full = false;
  std::optional<std::pair<int, int>> Size;  // --size WxH
  std::string MaskFile;
  std::optional<std::string> Caption;
  std::vector<std::string> Sets;  // Section.Key=VALUE
  std::string ProgramFolder;
  // Export settings (vantrix-cli export).
  std::string Format;  // gif, jpg, bmp, png, png8, webp, avif; or several: avif,webp,png
  std::optional<int> Palette, Colors, Dither, Quality;
  bool NoTransparency = false;
  std::string Preset;
  std::string Link;
  bool Html = false;
  std::vector<int> Scales;  // --scale 1,2,3
  std::string Rollover;     // --rollover css|js
  std::string Animate;      // --animate swing|light|pulse
  std::optional<int> Frames, Fps;
  // A set of buttons (vantrix-cli batch): the caption list, "-" for standard input.
  std::string Captions;
  std::optional<int> Jobs;
};

class TUsageError : public std::exception {
 public:
  explicit TUsageError(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string what_;
};

// Throws TUsageError for anything it does not understand.
TCliOptions ParseCommandLine(int argc, char** argv);
extern const char* const kUsage;

}  // namespace vantrix
