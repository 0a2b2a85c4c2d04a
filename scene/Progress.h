#pragma once
// How the pipeline reports its stage: a status text (" Rendering scene ..."),
// a progress position 0..100, and a chance for the caller's message loop to
// run so that both are painted. The desktop program and the command line each
// implement it; a null pointer reports nothing.

#include <string>

namespace vantrix {

class TProgress {
 public:
  virtual ~TProgress() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void LetMessagesRun() {}
};

}  // namespace vantrix
