// Fills arbitrary bytes as a page template, through the files the program
// reads and writes. Whatever the template, the page written holds no
// back-quote (no value holds one), no CR, and ends with a line break unless
// it is empty. The first byte chooses the still or the roll-over page.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "imaging/HTMLUnit.h"

using namespace vantrix;
using vantrix::fuzz::Check;

namespace {

std::string g_folder;

void RemoveFolder() {
  std::error_code ec;
  std::filesystem::remove_all(g_folder, ec);
}

void WriteBytes(const std::string& path, const char* data, size_t size) {
  std::ofstream(path, std::ios::binary).write(data, static_cast<std::streamsize>(size));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void CheckPage(const std::string& text) {
  Check(text.find('`') == std::string::npos);
  Check(text.find('\r') == std::string::npos);
  Check(text.empty() || text.back() == '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  if (g_folder.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrix-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 0;
    g_folder = pattern + "/";
    std::filesystem::create_directories(g_folder + "html");
    atexit(RemoveFolder);
  }
  const bool animated = data[0] & 1;
  const char* text = reinterpret_cast<const char*>(data + 1);
  const std::string html = g_folder + "html/";
  WriteBytes(html + (animated ? "preview_ani.tml" : "preview.tml"), text, size - 1);
  WriteBytes(html + "example.tml", text, size - 1);

  TOptionsList vars;
  vars.PutBoolean("IsAnimated", animated);
  vars.PutString("ImageFileName", "Go.gif");
  vars.PutString("ImageFilePath", "C:\\Site\\img\\");
  vars.PutString("ButtonText", "Fish &amp; Chips");
  vars.PutString("TargetURL", "http://example.org/?a=b");
  GenerateHtml(g_folder, vars);
  CheckPage(ReadBytes(html + "preview.html"));
  if (animated) CheckPage(ReadBytes(html + "example.txt"));
  return 0;
}
