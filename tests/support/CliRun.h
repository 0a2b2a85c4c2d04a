#pragma once
// Running vantrix-cli from a test: the command through the shell, its exit
// status and output, the build tree's program folder and a temporary folder.

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TempFolder.h"

namespace vantrix {

struct TRun {
  int Status = -1;
  std::string Output;  // stdout and stderr together
};

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline TRun Cli(const std::string& args) {
  const std::string cmd = Quote(VANTRIX_CLI) + " " + args + " 2>&1";
  TRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Output.append(buf, n);
  const int st = pclose(p);
  r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

inline std::string Data() {
  return std::string(VANTRIX_BINARY_DIR) + "/data/";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace vantrix
