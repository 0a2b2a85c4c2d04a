#pragma once
// How the scene tells the user about a problem it goes on after (a glyph that
// cannot be fetched, a texture that cannot be loaded). The desktop program shows
// a modal box; the command line prints to stderr.

#include <string>
#include <vector>

namespace vantrix {

class TMessageSink {
 public:
  virtual ~TMessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // What the scene did instead of what was asked, and went on (a character
  // drawn from another font than its own). Dropped unless a sink shows it.
  virtual void ShowNote(const std::string& text) { (void)text; }
};

// Keeps what a scene on a worker thread reports, to be shown later by the
// thread that owns the sink.
class TMessageLog : public TMessageSink {
 public:
  struct TEntry {
    bool Note = false;
    std::string Text;
  };
  void ShowMessage(const std::string& text) override { Entries.push_back({false, text}); }
  void ShowNote(const std::string& text) override { Entries.push_back({true, text}); }
  void Replay(TMessageSink& sink) const {
    for (const TEntry& e : Entries) e.Note ? sink.ShowNote(e.Text) : sink.ShowMessage(e.Text);
  }
  std::vector<TEntry> Entries;
};

}  // namespace vantrix
