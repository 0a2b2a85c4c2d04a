// vantrix-cli: the build-and-render pipeline without a window.

#include <cstdio>
#include <exception>

#include "Commands.h"
#include "Options.h"

int main(int argc, char** argv) {
  using namespace vantrix;
  TCliOptions options;
  try {
    options = ParseCommandLine(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "vantrix-cli: %s\n%s", e.what(), kUsage);
    return 2;
  }
  try {
    return RunCommand(options);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "vantrix-cli: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
