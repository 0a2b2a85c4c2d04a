#pragma once
// Progress of the pipeline on stderr: a bar with the stage text when stderr
// is a terminal, nothing otherwise (so that logs and pipes stay clean).

#include <cstdio>
#include <string>

#include "scene/Messages.h"
#include "scene/Progress.h"

namespace vantrix {

class TTerminalProgress : public TProgress {
 public:
  TTerminalProgress();
  ~TTerminalProgress() override;
  void SetStatus(const std::string& text) override;
  void SetPosition(int position) override;
  // Ends the bar's line so that what follows starts on a fresh one.
  void Finish();

 private:
  void Draw();
  bool enabled_ = false;
  bool drawn_ = false;
  std::string status_;
  int position_ = 0;
};

// Messages of the pipeline (glyph and texture errors) and its notes (a glyph
// drawn from another font) go to stderr, one line each, and the work goes on.
class TStderrMessages : public TMessageSink {
 public:
  explicit TStderrMessages(TTerminalProgress* progress) : progress_(progress) {}
  void ShowMessage(const std::string& text) override;
  void ShowNote(const std::string& text) override { ShowMessage(text); }

 private:
  TTerminalProgress* progress_;
};

}  // namespace vantrix
