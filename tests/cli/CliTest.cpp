// vantrix-cli end to end: the default work and every template against their
// golden pictures, work-file round trips through the command line, and the
// command line's error contract.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/PictureFile.h"
#include "tests/support/CliRun.h"

namespace fs = std::filesystem;

namespace vantrix {
namespace {

std::vector<std::string> Works() {
  std::vector<std::string> works = {"Default.dat"};
  for (const auto& e : fs::directory_iterator(Data() + "Templates"))
    if (e.path().extension() == ".vtxm") works.push_back("Templates/" + e.path().filename().string());
  std::sort(works.begin(), works.end());
  return works;
}

std::string GoldenName(const std::string& work) {
  return fs::path(work).stem().string() + ".bmp";
}

// How far a picture is from its golden. Fonts and their versions may move a
// few edge pixels by a lot; a change of shading moves many pixels a little.
struct TGoldenDistance {
  double MeanError = 0;  // mean absolute difference per channel, in levels
  int Moved = 0;         // pixels with a channel more than 2 levels off
  int Far = 0;           // pixels with a channel more than 24 levels off
};

TGoldenDistance Distance(const TPicture& got, const TPicture& want) {
  TGoldenDistance d;
  double sum = 0;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x) {
      const TPixel a = got.PixelAt(x, y), b = want.PixelAt(x, y);
      const int dr = std::abs(PixelRed(a) - PixelRed(b)), dg = std::abs(PixelGreen(a) - PixelGreen(b));
      const int db = std::abs(PixelBlue(a) - PixelBlue(b));
      sum += dr + dg + db;
      const int most = std::max({dr, dg, db});
      d.Moved += most > 2;
      d.Far += most > 24;
    }
  d.MeanError = sum / (3.0 * got.Width() * got.Height());
  return d;
}

// Empty when the picture passes for its golden, else what is off.
std::string GoldenMismatch(const TPicture& got, const TPicture& want) {
  if (got.Width() != want.Width() || got.Height() != want.Height()) return "size differs";
  const TGoldenDistance d = Distance(got, want);
  const int pixels = got.Width() * got.Height();
  std::string why;
  if (d.MeanError > 0.5) why += " mean error " + std::to_string(d.MeanError);
  if (d.Moved > pixels / 20) why += " moved pixels " + std::to_string(d.Moved);
  if (d.Far > pixels / 100) why += " far pixels " + std::to_string(d.Far);
  return why;
}

TPicture Golden(const std::string& work) {
  return LoadPictureFile(std::string(VANTRIX_SOURCE_DIR) + "/tests/golden/" + GoldenName(work));
}

TEST(CliGolden, DefaultWorkAndEveryTemplateMatchTheirGoldens) {
  testing::TTempFolder tmp;
  const auto works = Works();
  ASSERT_GE(works.size(), 7u);
  for (const std::string& w : works) {
    SCOPED_TRACE(w);
    const TRun r = Cli("render " + Quote(Data() + w) + " -o " + Quote(tmp / "out.bmp"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    EXPECT_EQ(GoldenMismatch(LoadPictureFile(tmp / "out.bmp"), Golden(w)), "");
  }
}

// The limits above must be tight enough to catch a shading change that moves
// every pixel a little, and a damaged patch that moves a few pixels a lot.
TEST(CliGolden, ComparisonCatchesAUniformShiftAndADamagedPatch) {
  const TPicture golden = Golden("Default.dat");
  TPicture shifted = golden, patched = golden;
  for (int y = 0; y < golden.Height(); ++y)
    for (int x = 0; x < golden.Width(); ++x) {
      const TPixel p = golden.PixelAt(x, y);
      auto up = [](int v) { return static_cast<uint8_t>(std::min(255, v + 20)); };
      auto down = [](int v) { return static_cast<uint8_t>(std::max(0, v - 20)); };
      const bool dark = PixelRed(p) + PixelGreen(p) + PixelBlue(p) > 384;
      shifted.SetPixelAt(x, y,
                         dark ? MakePixel(down(PixelRed(p)), down(PixelGreen(p)), down(PixelBlue(p)))
                              : MakePixel(up(PixelRed(p)), up(PixelGreen(p)), up(PixelBlue(p))));
      if (x < golden.Width() / 8 && y < golden.Height() / 8) patched.SetPixelAt(x, y, p ^ 0x808080u);
    }
  EXPECT_EQ(GoldenMismatch(golden, golden), "");
  EXPECT_NE(GoldenMismatch(shifted, golden), "");
  EXPECT_NE(GoldenMismatch(patched, golden), "");
}

TEST(CliRender, FullSizeMaskAndExplicitSize) {
  testing::TTempFolder tmp;
  TRun r = Cli("render " + Quote(Data() + "Default.dat") + " -o " + Quote(tmp / "full.bmp") +
               " --full --mask " + Quote(tmp / "mask.bmp"));
  ASSERT_EQ(r.Status, 0) << r.Output;
  const TPicture full = LoadPictureFile(tmp / "full.bmp");
  const TPicture mask = LoadPictureFile(tmp / "mask.bmp");
  EXPECT_GT(full.Width(), 400);
  EXPECT_EQ(mask.Width(), full.Width());
  EXPECT_EQ(mask.PixelAt(full.Width() / 2, full.Height() / 2), 0xFFFFFFu);  // the button is drawn
  EXPECT_EQ(mask.PixelAt(0, full.Height() - 1), 0u);                        // the corner is background
  r = Cli("render " + Quote(Data() + "Default.dat") + " -o " + Quote(tmp / "s.jpg") + " --size 200x50");
  ASSERT_EQ(r.Status, 0) << r.Output;
  const TPicture small = LoadPictureFile(tmp / "s.jpg");
  EXPECT_EQ(small.Width(), 200);
  EXPECT_EQ(small.Height(), 50);
}

// render writes PNG and WebP with alpha too: the same bytes as the export's
// first picture at the same size, which is drawn the same way.
TEST(CliRender, PngAndWebpAreTheExportsPicture) {
  testing::TTempFolder tmp;
  for (const std::string ext : {"png", "webp"}) {
    TRun r = Cli("render " + Quote(Data() + "Default.dat") + " -o " + Quote(tmp / ("r." + ext)) +
                 " --size 160x40 --set Effect.Type=0");
    ASSERT_EQ(r.Status, 0) << r.Output;
    r = Cli("export " + Quote(Data() + "Default.dat") + " -o " + Quote(tmp / ("e." + ext)) + " --format " +
            ext + " --size 160x40 --set Effect.Type=0");
    ASSERT_EQ(r.Status, 0) << r.Output;
    EXPECT_EQ(testing::ReadFileBytes(tmp / ("r." + ext)), testing::ReadFileBytes(tmp / ("e." + ext))) << ext;
  }
}

TEST(CliRender, CaptionAndKeyOverridesAreParsedLikeTheFile) {
  testing::TTempFolder tmp;
  const TRun r = Cli("info " + Quote(Data() + "Default.dat") +
                     " --caption 'Hé' --set Button.Type=1 --set Render.ShadType=0 --set Render.CnX=450500"
                     " --set Message.TxtY=0x20");
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("\"ButType\": 1,"), std::string::npos);
  EXPECT_NE(r.Output.find("\"Smooth\": 0"), std::string::npos);
  EXPECT_NE(r.Output.find("\"CnX\": 450.5,"), std::string::npos);
  EXPECT_NE(r.Output.find("\"TxtY\": 32,"), std::string::npos);
  EXPECT_NE(r.Output.find("\"Caption\": \"Hé\""), std::string::npos);
  EXPECT_NE(r.Output.find("\"Name\": \"Arial\""), std::string::npos);  // the first letter's font
}

TEST(CliWorkFiles, EveryTemplateSurvivesASaveAndLoad) {
  testing::TTempFolder tmp;
  for (const std::string& w : Works()) {
    SCOPED_TRACE(w);
    const TRun before = Cli("info " + Quote(Data() + w));
    ASSERT_EQ(before.Status, 0) << before.Output;
    ASSERT_EQ(Cli("resave " + Quote(Data() + w) + " " + Quote(tmp / "copy.vtxs")).Status, 0);
    const TRun after = Cli("info " + Quote(tmp / "copy.vtxs"));
    EXPECT_EQ(after.Output, before.Output);
    EXPECT_NE(ReadFile(tmp / "copy.vtxs").find("[IconInfo]"), std::string::npos);
    fs::remove(tmp / "copy.vtxs");
  }
}

TEST(CliWorkFiles, ShapedCaptionAndKerningSurviveASave) {
  // The caption stays in the order it was typed; the glyphs list it right to left.
  testing::TTempFolder tmp;
  ASSERT_EQ(Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "plain.vtxs")).Status, 0);
  EXPECT_EQ(ReadFile(tmp / "plain.vtxs").find("Kerning"), std::string::npos);  // unset: not written
  ASSERT_EQ(Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "ar.vtxs") +
                " --caption 'مرحبا' --set Message.Kerning=1")
                .Status,
            0);
  EXPECT_NE(ReadFile(tmp / "ar.vtxs").find("Kerning=1"), std::string::npos);
  const TRun r = Cli("info " + Quote(tmp / "ar.vtxs"));
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("\"Caption\": \"مرحبا\""), std::string::npos);
  EXPECT_NE(r.Output.find("\"Kerning\": true"), std::string::npos);
  const size_t first = r.Output.find("\"Chars\": \"ا\""), last = r.Output.find("\"Chars\": \"م\"");
  ASSERT_NE(first, std::string::npos) << r.Output;
  EXPECT_LT(first, last);
}

// The look keys, set on the command line: saved under their sections,
// listed by info, held to their ranges, and read back by a resave.
TEST(CliWorkFiles, LookKeysSurviveASaveAndShowInInfo) {
  testing::TTempFolder tmp;
  ASSERT_EQ(Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "look.vtxs") +
                " --set Message.Profile=1 --set Button.Profile=7 --set Light.Specular=640 --set Light.Gloss=0"
                " --set Light.Fill=350")
                .Status,
            0);
  ASSERT_EQ(Cli("resave " + Quote(tmp / "look.vtxs") + " " + Quote(tmp / "again.vtxs")).Status, 0);
  const std::string file = ReadFile(tmp / "again.vtxs");
  const TRun r = Cli("info " + Quote(tmp / "again.vtxs"));
  ASSERT_EQ(r.Status, 0) << r.Output;
  for (const char* line : {"Profile=1", "Profile=3", "Specular=640", "Gloss=1", "Fill=350"})
    EXPECT_NE(file.find(line), std::string::npos) << line;
  for (const char* item :
       {"\"TxtProfile\": 1", "\"ButProfile\": 3", "\"Specular\": 640", "\"Gloss\": 1", "\"Fill\": 350"})
    EXPECT_NE(r.Output.find(item), std::string::npos) << item;
}

TEST(CliWorkFiles, OldVersionWithDecimalCommasLoads) {
  testing::TTempFolder tmp;
  std::ofstream(tmp / "old.vtxs")
      << "[General]\r\nVersion=1.3.5\r\n[Render]\r\nCnX=512,5\r\n"
      << "[Message]\r\nNLetters=2\r\n[Letter 1]\r\nChar=O\r\n[Letter 2]\r\nChar=k\r\n";
  const TRun r = Cli("info " + Quote(tmp / "old.vtxs"));
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_NE(r.Output.find("\"CnX\": 512.5,"), std::string::npos);
  EXPECT_NE(r.Output.find("\"Caption\": \"Ok\""), std::string::npos);
}

TEST(CliWorkFiles, ShorterCaptionKeepsTheOldLetterSections) {
  testing::TTempFolder tmp;
  ASSERT_EQ(Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "w.vtxs") + " --caption Hello")
                .Status,
            0);
  ASSERT_EQ(Cli("resave " + Quote(tmp / "w.vtxs") + " " + Quote(tmp / "w.vtxs") + " --caption abc").Status,
            0);
  const std::string text = ReadFile(tmp / "w.vtxs");
  EXPECT_NE(text.find("[Letter 5]"), std::string::npos);
  EXPECT_NE(text.find("NLetters=3"), std::string::npos);
  const TRun r = Cli("info " + Quote(tmp / "w.vtxs"));
  EXPECT_NE(r.Output.find("\"Caption\": \"abc\""), std::string::npos);
}

TEST(CliWorkFiles, FailedSaveReportsAndLeavesTheOldFile) {
  testing::TTempFolder tmp;
  ASSERT_EQ(Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "ro.vtxs")).Status, 0);
  const std::string before = ReadFile(tmp / "ro.vtxs");
  chmod((tmp / "ro.vtxs").c_str(), 0444);
  const TRun r = Cli("resave " + Quote(Data() + "Templates/Wood Sign.vtxm") + " " + Quote(tmp / "ro.vtxs"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Output.find("Unable to write to " + (tmp / "ro.vtxs")), std::string::npos) << r.Output;
  EXPECT_EQ(ReadFile(tmp / "ro.vtxs"), before);
  // A folder that does not exist.
  const TRun r2 = Cli("resave " + Quote(Data() + "Default.dat") + " " + Quote(tmp / "no/such/dir/x.vtxs"));
  EXPECT_EQ(r2.Status, 1);
  EXPECT_NE(r2.Output.find("Unable to write to"), std::string::npos);
}

TEST(CliErrors, OneLineAndTheRightExitStatus) {
  testing::TTempFolder tmp;
  std::ofstream(tmp / "v.vtxs") << "[General]\r\nVersion=1.7.1\r\n";
  TRun r = Cli("info " + Quote(tmp / "v.vtxs"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Output, "Invalid file version: 1.7.1\n");
  r = Cli("render " + Quote(tmp / "missing.vtxs") + " -o " + Quote(tmp / "x.bmp"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Output.find("does not exist"), std::string::npos);
  // A mistyped key is no silent no-op.
  r = Cli("info " + Quote(Data() + "Default.dat") + " --set Message.Profil=1");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Output.find("Message.Profil"), std::string::npos) << r.Output;
  EXPECT_EQ(Cli("info " + Quote(Data() + "Default.dat") + " --set message.txty=40 --set \"Letter 1.Bold=1\"")
                .Status,
            0);
  for (const char* bad : {"", "frobnicate x", "render x.vtxs", "render a b -o c.bmp", "info x --size 3"}) {
    r = Cli(bad);
    EXPECT_EQ(r.Status, 2) << bad;
    EXPECT_NE(r.Output.find("usage:"), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

// An independent decoder (Python's imaging library, from Debian's python3-pil)
// must read what export writes, at the size asked for.
TEST(CliExport, FilesDecodeInAnIndependentDecoder) {
  if (system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-pil is not installed";
  testing::TTempFolder tmp;
  for (const char* format : {"gif", "jpg", "bmp"}) {
    SCOPED_TRACE(format);
    const TRun r = Cli("export " + Quote(Data() + "Templates/Green Pill.vtxm") + " -o " +
                       Quote(tmp / "pill") + " --format " + format + " --size 150x40 --dither 1");
    ASSERT_EQ(r.Status, 0) << r.Output;
    for (const char* n : {"_1", "_2"}) {
      const std::string file = tmp / (std::string("pill") + n + "." + format);
      EXPECT_NE(r.Output.find(file), std::string::npos) << r.Output;
      const std::string cmd =
          "/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
          "im.load(); print(im.size[0], im.size[1], im.info.get('transparency'))\" " +
          Quote(file);
      FILE* p = popen(cmd.c_str(), "r");
      ASSERT_NE(p, nullptr);
      char line[128] = {};
      ASSERT_NE(fgets(line, sizeof line, p), nullptr);
      pclose(p);
      EXPECT_EQ(std::string(line).substr(0, 7), "150 40 ") << line;
      if (std::string(format) == "gif") {
        EXPECT_EQ(std::string(line).find("None"), std::string::npos) << "no transparent index";
      }
    }
  }
}

TEST(CliExport, DefaultNamesGoToTheImagesFolder) {
  testing::TTempFolder tmp;
  fs::copy(Data(), tmp / "prog", fs::copy_options::recursive);
  const TRun r = Cli("export " + Quote(tmp / "prog/Default.dat") + " --program-folder " +
                     Quote(tmp / "prog") + " --preset fast --format jpg");
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(r.Output, tmp / "prog/Images/ClickHere.jpg\n");
  const TRun bad = Cli("export " + Quote(tmp / "prog/Default.dat") + " --colors 100");
  EXPECT_EQ(bad.Status, 2);
}

// Densities and roll-over: each phase at each density, the 1x pair first.
TEST(CliExport, RollOverAtTwoDensitiesNamesEveryFile) {
  testing::TTempFolder tmp;
  const TRun r = Cli("export " + Quote(Data() + "Templates/Green Pill.vtxm") + " -o " +
                     Quote(tmp / "pill.png") + " --format png8 --scale 1,2 --rollover css --size 90x30");
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(r.Output,
            tmp / "pill_1.png\n" + tmp / "pill_2.png\n" + tmp / "pill_1@2x.png\n" + tmp / "pill_2@2x.png\n");
}

TEST(CliExport, WebOptionsOutsideTheirListsAreUsageErrors) {
  const std::string work = Quote(Data() + "Default.dat");
  for (const char* bad :
       {"--format png16", "--format PNG", "--scale 2,1", "--scale 0", "--scale 1,,2", "--scale 5",
        "--rollover hover", "--format avif,,png", "--format webp,webp", "--format png,png8", "--format avif,",
        "--animate spin", "--frames 24", "--animate swing --format jpg", "--animate swing --format avif,png",
        "--animate swing --scale 1,2", "--animate pulse --frames 1", "--animate light --fps 0"}) {
    const TRun r = Cli("export " + work + " -o /nonexistent/x " + bad);
    EXPECT_EQ(r.Status, 2) << bad << ": " << r.Output;
  }
  // A set of buttons does not animate.
  EXPECT_EQ(Cli("batch " + work + " --captions /nonexistent/list --animate swing").Status, 2);
}

}  // namespace
}  // namespace vantrix
