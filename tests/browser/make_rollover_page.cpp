// Makes a program folder with a roll-over page for the browser test:
//   make_rollover_page <template folder> <program folder> [css]
// copies the page templates into <program folder>/html/, writes two distinct
// pictures Images/Go.bmp and Images/Go_2.bmp and generates the page (with
// "css", the roll-over without a script). Prints the page's path.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "imaging/HTMLUnit.h"
#include "platform/PictureFile.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
  using namespace vantrix;
  namespace fs = std::filesystem;
  if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "css")) {
    std::fprintf(stderr, "usage: make_rollover_page <template folder> <program folder> [css]\n");
    return 2;
  }
  try {
    const fs::path templates = argv[1];
    const std::string folder = WithTrailingSlash(fs::absolute(argv[2]).string());
    fs::create_directories(folder + "html");
    fs::create_directories(folder + "Images");
    for (const char* name :
         {"preview.tml", "preview_ani.tml", "example.tml", "preview_css.tml", "example_css.tml"})
      fs::copy_file(templates / name, folder + "html/" + name, fs::copy_options::overwrite_existing);

    constexpr int kWidth = 64, kHeight = 24;
    TPicture normal(kWidth, kHeight, 24), over(kWidth, kHeight, 24);
    normal.Fill(MakePixel(200, 40, 40));
    over.Fill(MakePixel(40, 40, 200));
    const std::string first = folder + "Images/Go.bmp", second = folder + "Images/Go_2.bmp";
    SaveBmpFile(first, normal);
    SaveBmpFile(second, over);

    TExportSettings settings;
    settings.Type = kExportBmp;
    settings.ExportWidth = kWidth;
    settings.ExportHeight = kHeight;
    if (argc == 4) settings.Rollover = TRollover::Css;
    TScene scene;
    scene.Params.EffectType = 1;
    scene.Params.BkgColor = MakeColor(230, 240, 250);
    TCaption caption;
    caption.SetText("Go", TFontSpec{});
    std::printf("%s\n", MakeHtml(folder, first, second, settings, scene, caption, fs::file_size(first),
                                 fs::file_size(second))
                            .c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_rollover_page: %s\n", e.what());
    return 1;
  }
}
