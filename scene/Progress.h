#pragma once
// How the pipeline reports its stage: a status text (" Rendering scene ..."),
// a progress position 0..100, and whether the caller still wants the result.
// The desktop program and the command line each implement it; a null pointer
// reports nothing. The pipeline may run on a worker thread: an implementation
// passes its reports on, it never runs a message loop.

#include <string>

namespace vantrix {

class TProgress {
 public:
  virtual ~TProgress() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetPosition(int position) = 0;
  // True once a newer request has made this run's result useless.
  virtual bool Stopped() const { return false; }
};

}  // namespace vantrix
