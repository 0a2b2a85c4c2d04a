#pragma once
// How the scene tells the user about a problem it goes on after (a glyph that
// cannot be fetched, a texture that cannot be loaded). The desktop program shows
// a modal box; the command line prints to stderr.

#include <string>

namespace vantrix {

class TMessageSink {
 public:
  virtual ~TMessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // What the scene did instead of what was asked, and went on (a character
  // drawn from another font than its own). Dropped unless a sink shows it.
  virtual void ShowNote(const std::string& text) { (void)text; }
};

}  // namespace vantrix
