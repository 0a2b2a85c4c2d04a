#include "TerminalProgress.h"

#include <unistd.h>

#include <algorithm>

namespace vantrix {

TTerminalProgress::TTerminalProgress() : enabled_(isatty(STDERR_FILENO) != 0) {}

TTerminalProgress::~TTerminalProgress() {
  Finish();
}

void TTerminalProgress::SetStatus(const std::string& text) {
  status_ = text;
  Draw();
}

void TTerminalProgress::SetPosition(int position) {
  position_ = std::clamp(position, 0, 100);
  Draw();
}

void TTerminalProgress::Draw() {
  if (!enabled_) return;
  constexpr int kWidth = 30;
  const int filled = position_ * kWidth / 100;
  std::fprintf(stderr, "\r[%s%s] %3d%%%-32s", std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), position_, status_.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void TTerminalProgress::Finish() {
  if (drawn_) std::fputc('\n', stderr);
  drawn_ = false;
}

void TStderrMessages::ShowMessage(const std::string& text) {
  if (progress_) progress_->Finish();
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace vantrix
