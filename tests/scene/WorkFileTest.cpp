#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <set>
#include <variant>

#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "scene/WorkFile.h"
#include "scene/WorkKeys.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

TFontSpec Font(std::string face, int size, int charset, bool bold, bool italic, bool underline) {
  TFontSpec f;
  f.FaceName = std::move(face);
  f.Size = size;
  f.Charset = charset;
  f.Bold = bold, f.Italic = italic, f.Underline = underline;
  return f;
}

// Every stored field set to a value of its own, none of them the start-up one,
// so that a key written under the wrong name or read into the wrong field shows.
void SetDistinctValues(TScene& s) {
  TParams& p = s.Params;
  TViewParams& v = p.ViewParams;
  p.SplPnt = 3, p.ButType = 16, p.TxtW = 11, p.ButW = 21, p.ButY = -120, p.TxtY = 77;
  p.GutLeft = 101, p.GutTop = 102, p.GutRight = 103, p.GutBottom = -5;
  p.TxtColors = {ColorFromValue(1), ColorFromValue(2), ColorFromValue(3), 150};
  p.ButColors = {ColorFromValue(4), ColorFromValue(5), ColorFromValue(6), 160};
  p.BkgColor = ColorFromValue(7), p.Distance = 1800, p.Bright = 33, p.Contrast = 34;
  p.ButTexFile = "/tex/b\xC3\xA9ton.jpg";  // é: a Windows-1252 character
  p.TxtTexFile = "/tex/lettres.gif";
  p.ButTexW = 2, p.ButTexH = 3.5f, p.TxtTexH = 4.25f, p.TxtTexW = 5;
  p.RDelay = 4, p.ExpWidth = 321, p.ExpHeight = 123, p.ViewSize = 65;
  p.HoldButtonSize = true, p.ButLeft = -900, p.ButTop = 400, p.ButRight = 901, p.ButBottom = -401;
  p.ButHoldRatio = true, p.TxtHoldRatio = true, p.EffectType = 2, p.ShapeName = "STAR.vtxb";
  v.CnX = 451.5f, v.CnZ = 452.25f;
  v.LightX = 0.125f, v.LightY = -0.25f, v.LightZ = -0.875f, v.LightLen = 0.5f;
  v.LightA1 = 1.1f, v.LightA2 = 0.7f, v.LoBright = 9, v.HiBright = 240,
  v.LightColor = ColorFromValue(0x00C0B0A0);
  v.Brightness = 180, v.TextAltitude = 12, v.ButtonAltitude = 44;
  v.Specular = 700, v.Gloss = 45, v.Fill = 300, p.TxtProfile = 2, p.ButProfile = 3, p.Kerning = true;
  p.View = {1.5f, 1800, -2.5f, 10, 20, 30, 0};
  s.Effect = {ColorFromValue(0x112233), ColorFromValue(0x445566), ColorFromValue(0x778899), -200, 250};
}

// Everything a save writes: equal texts mean equal stored values.
std::string WorkText(const TScene& s, const TCaption& c) {
  TIniFile ini;
  WriteWork(ini, s, c);
  return ini.ToText();
}

TEST(WorkFile, EveryParameterEffectAndLetterFontSurvivesSaveAndLoad) {
  TTempFolder dir;
  TScene saved;
  SetDistinctValues(saved);
  TCaption caption;
  caption.Append(U'A', Font("DejaVu Serif", 24, 0, true, true, false));
  caption.Append(U' ', Font("Arial", 18, 0, false, false, true));
  caption.Append(U'\u0416', Font("Liberation Sans", 30, 204, false, true, true));  // Cyrillic Zhe
  caption.Append(U'\u00E9', Font("Arial", 9, 0, false, false, false));
  saved.Params.EffectType = 1;  // effect keys are only written with an effect on
  SaveWork(saved, caption, dir / "w.vtxs");

  TScene loaded;
  TCaption back;
  back.Append(U'x', TFontSpec{});
  LoadWork(loaded, back, dir / "w.vtxs");
  EXPECT_EQ(WorkText(loaded, back), WorkText(saved, caption));
  // Field by field too: the written text cannot show a key that reads and
  // writes one field in place of another.
  EXPECT_TRUE(loaded.Params == saved.Params);
  EXPECT_TRUE(loaded.Effect == saved.Effect);
  EXPECT_EQ(back.TextUtf8(), caption.TextUtf8());
  EXPECT_FALSE(back.At(2).Font.Bold);
  EXPECT_TRUE(back.At(2).Font.Italic && back.At(2).Font.Underline);
  // On disk: Windows-1252 strings, the Cyrillic letter as its byte in its own set.
  const TIniFile ini(dir / "w.vtxs");
  EXPECT_EQ(ini.ReadString("Button", "TexFile", ""), "/tex/b\xE9ton.jpg");
  EXPECT_EQ(ini.ReadString("Letter 3", "Char", ""), "\xC6");  // 0xC6 in code page 1251
  EXPECT_EQ(ini.ReadString("Letter 2", "Char", "?"), "");     // a blank reads back empty
}

TEST(WorkFile, NewFileHoldsSectionsAndKeysInWriteOrder) {
  TScene s;
  TCaption caption;
  caption.SetText("Hi", TFontSpec{});
  TIniFile ini;
  WriteWork(ini, s, caption);
  using V = std::vector<std::string>;
  EXPECT_EQ(ini.ReadSections(),
            (V{"General", "Message", "Button", "Render", "Light", "Effect", "Letter 1", "Letter 2"}));
  EXPECT_EQ(ini.ReadSection("General"), (V{"Version", "FileID", "ExpWidth", "ExpHeight"}));
  EXPECT_EQ(ini.ReadSection("Message"),
            (V{"NLetters", "SplPnt", "TxtW", "TxtY", "TexW", "TexH", "HoldRatio", "TexFile", "GutLeft",
               "GutRight", "GutTop", "GutBottom", "DColor", "BColor", "MColor", "ColSplit", "Altitude"}));
  EXPECT_EQ(ini.ReadSection("Button"),
            (V{"Type", "ButW", "ButY", "TexW", "TexH", "HoldRatio", "TexFile", "BkgColor", "DColor", "BColor",
               "MColor", "ColSplit", "Altitude", "HoldButtonSize", "ButTop", "ButLeft", "ButRight",
               "ButBottom", "ShapeName"}));
  EXPECT_EQ(ini.ReadSection("Render"),
            (V{"Distance", "Bright", "Brightness", "Contrast", "ShadType", "RDelay", "ViewSize", "X", "Y",
               "Z", "Ax", "Ay", "Az", "CnX", "CnZ"}));
  EXPECT_EQ(ini.ReadSection("Light"), (V{"X", "Y", "Z", "A", "a1", "a2", "LoBright", "HiBright", "Color"}));
  EXPECT_EQ(ini.ReadSection("Effect"), (V{"Type"}));  // no effect: no value keys
  EXPECT_EQ(ini.ReadSection("Letter 2"),
            (V{"Char", "Name", "Size", "Charset", "Bold", "Italic", "Underline"}));
  EXPECT_EQ(ini.ReadString("General", "FileID", ""), "$010700FF");
  EXPECT_EQ(ini.ReadString("Message", "MColor", ""), "8454143");
  EXPECT_EQ(ini.ReadString("Render", "CnX", ""), "450000");
}

// Keys match without regard to case. A second row on a key, or on a field,
// would write one value twice or leave a field unstored.
TEST(WorkFile, EveryRowHasAKeyAFieldAndAnInfoNameOfItsOwn) {
  const auto check = [](auto keys, const auto& root) {
    std::set<std::string> stored, infos;
    std::set<const void*> fields;
    for (const auto& k : keys) {
      std::string name = std::string(k.Section) + "/" + std::string(k.Key);
      for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_TRUE(k.Key.empty() || stored.insert(name).second) << name;
      EXPECT_TRUE(infos.insert(std::string(k.Info)).second) << k.Info;
      const void* field = std::visit([](const auto* v) -> const void* { return v; }, k.Field.At(root));
      EXPECT_TRUE(fields.insert(field).second) << k.Info;
    }
  };
  check(ParamKeys(), TParams{});
  check(EffectKeys(), TPhase{});
  check(LetterKeys(), TFontSpec{});
}

TEST(WorkFile, ScaledRealsRoundHalvesToEvenFromTheSinglePrecisionValue) {
  EXPECT_EQ(ScaledRealToInt(0.0625f), 62);
  EXPECT_EQ(ScaledRealToInt(0.1875f), 188);
  EXPECT_EQ(ScaledRealToInt(-0.0625f), -62);
  EXPECT_EQ(ScaledRealToInt(0.0005f), 1);  // a single holds slightly more than 0.0005
  EXPECT_EQ(ScaledRealToInt(std::nanf("")), 0);
}

TEST(WorkFile, OldVersionReadsRealsWithPointOrComma) {
  for (const char* cnx : {"450,5", "450.5", " 4.505E2"}) {
    TScene s;
    TCaption c;
    LoadWork(s, c,
             TIniFile::FromText(std::string("[General]\nVersion=1.3.5\n[Render]\nCnX=") + cnx +
                                "\nCnZ=1,5.0\nDistance=0x10\n[Light]\nLoBright=$10\n"));
    EXPECT_EQ(s.Params.ViewParams.CnX, 450.5f) << cnx;
    EXPECT_EQ(s.Params.ViewParams.CnZ, 450.0f);  // not a number: kept
    EXPECT_EQ(s.Params.Distance, 16);            // integer keys stay integers, hex included
    EXPECT_EQ(s.Params.ViewParams.LoBright, 16);
  }
  TScene s;
  TCaption c;
  LoadWork(s, c, TIniFile::FromText("[General]\nVersion=1.7.0\n[Render]\nCnX=450500\nCnZ=450,5\n"));
  EXPECT_EQ(s.Params.ViewParams.CnX, 450.5f);
  EXPECT_EQ(s.Params.ViewParams.CnZ, 450.0f);

  for (const char* bad : {"", "-", ".", "1e", "1.2.3", "1,2,3", "nan", "inf", "0x10", "1e39", "3e6", "1 000"})
    EXPECT_FALSE(ParseOldReal(bad).has_value()) << bad;
  EXPECT_EQ(ParseOldReal("-,25"), -0.25f);
  EXPECT_EQ(ParseOldReal("+7."), 7.0f);
}

TEST(WorkFile, RefusedFilesChangeNothing) {
  TTempFolder dir;
  WriteFileBytes(dir / "v171.vtxs", "[General]\nVersion=1.7.1\n[Message]\nNLetters=1\nTxtW=99\n");
  WriteFileBytes(dir / "none.vtxs", "[Message]\nTxtW=99\n");
  const std::pair<std::string, std::string> cases[] = {
      {dir / "v171.vtxs", "Invalid file version: 1.7.1"},
      {dir / "none.vtxs", "Invalid file version: "},
      {dir / "missing.vtxs", "Error loading file: " + dir / "missing.vtxs"},
  };
  for (const auto& [file, message] : cases) {
    TScene s;
    TCaption c;
    c.SetText("keep", TFontSpec{});
    try {
      LoadWork(s, c, file);
      ADD_FAILURE() << file;
    } catch (const TWorkFileError& e) {
      EXPECT_EQ(e.what(), message);
    }
    EXPECT_EQ(s.Params.TxtW, 10);
    EXPECT_EQ(c.TextUtf8(), "keep");
  }
}

TEST(WorkFile, MissingOrUnreadableKeysKeepTheCurrentValues) {
  TScene s;
  SetDistinctValues(s);
  s.Params.EffectType = 2;
  TScene before;
  SetDistinctValues(before);
  before.Params.EffectType = 2;
  before.Effect = before.SavePhase();  // no Effect section: the second image copies the first
  TCaption c;
  c.SetText("abc", TFontSpec{});
  LoadWork(s, c,
           TIniFile::FromText("[General]\nVersion=1.7.0\n[Message]\nTxtW=12abc\nTexW=\nGutLeft=0x\n"
                              "[Render]\nX=1.5\n[Light]\nColor=-\n"));
  EXPECT_TRUE(c.Empty());
  EXPECT_EQ(WorkText(s, c), WorkText(before, c));  // no NLetters: an empty caption
}

TEST(WorkFile, LetterKeysDefaultToTheEditorFont) {
  TScene s;
  TCaption c;
  const TFontSpec editor = Font("Editor Face", 20, 0, true, false, true);
  LoadWork(
      s, c,
      TIniFile::FromText("[General]\nVersion=1.7.0\n[Message]\nNLetters=3\n[Letter 1]\nChar=  Q  \nItalic=1\n"
                         "Bold=0\n[Letter 3]\nChar=\x80xyz\nName=\nSize=0\nCharset=256\n"),
      editor);
  ASSERT_EQ(c.Length(), 3);
  EXPECT_EQ(c.At(0).Char, U'Q');
  EXPECT_EQ(std::tie(c.At(0).Font.FaceName, c.At(0).Font.Bold, c.At(0).Font.Italic, c.At(0).Font.Underline),
            std::make_tuple(std::string("Editor Face"), false, true, true));
  EXPECT_EQ(c.At(1).Char, U' ');  // no section at all: a blank in the editor font
  EXPECT_EQ(c.At(1).Font.Size, 20);
  EXPECT_EQ(c.At(2).Char, U'\u20AC');  // first byte only, read as Windows-1252
  EXPECT_EQ(std::tie(c.At(2).Font.FaceName, c.At(2).Font.Size, c.At(2).Font.Charset),
            std::make_tuple(std::string("Editor Face"), 20, 0));
}

TEST(WorkFile, HostileValuesAreHeldToUsableRanges) {
  TScene s;
  TCaption c;
  LoadWork(
      s, c,
      TIniFile::FromText("[General]\nVersion=1.7.0\nExpWidth=-4\n[Message]\nNLetters=1000000\nTxtY=-50\n"
                         "TexW=0\nTexH=2000000\nGutLeft=2147483647\nAltitude=100000\nMColor=$FF0000FF\n"
                         "Profile=9\n[Button]\nButY=500\nTexW=-3000\nProfile=-1\n[Render]\nBrightness=0\n"
                         "RDelay=0\nViewSize=1000\n[Light]\nSpecular=5000\nGloss=0\nFill=-7\n[Effect]\nType="
                         "2\nButY=-100000\nTxtY=100000\n[Letter 1]\nSize=-12\n"
                         "[Letter 2]\nSize=2147483647\n"));
  const TParams& p = s.Params;
  EXPECT_EQ(c.Length(), TCaption::kMaxChars);
  EXPECT_EQ(c.At(0).Font.Size, 18);
  EXPECT_EQ(c.At(1).Font.Size, 1638);
  EXPECT_EQ(std::tie(p.ExpWidth, p.TxtY, p.GutLeft, p.ButY), std::make_tuple(1, 10, 65535, 0));
  EXPECT_EQ(std::tie(p.TxtTexW, p.TxtTexH, p.ButTexW), std::make_tuple(1.0f, 10.0f, 1.0f));
  EXPECT_EQ(p.ViewParams.TextAltitude, 100);
  EXPECT_EQ(p.TxtColors.MColor, MakeColor(255, 0, 0));
  EXPECT_EQ(std::tie(p.ViewParams.Brightness, p.RDelay, p.ViewSize), std::make_tuple(1, 1, 90));
  EXPECT_EQ(std::tie(s.Effect.ButY, s.Effect.TxtY), std::make_tuple(-300, 310));
  EXPECT_EQ(std::tie(p.TxtProfile, p.ButProfile), std::make_tuple(3, 0));
  EXPECT_EQ(std::tie(p.ViewParams.Specular, p.ViewParams.Gloss, p.ViewParams.Fill),
            std::make_tuple(1000, 1, 0));
}

TEST(WorkFile, SavingAShorterCaptionOverALongerOneKeepsTheOldLetters) {
  TTempFolder dir;
  TScene s;
  TCaption five, three;
  five.SetText("Hello", TFontSpec{});
  three.SetText("Bye", TFontSpec{});
  s.Params.EffectType = 1;
  SaveWork(s, five, dir / "w.vtxs");
  s.Params.EffectType = 0;
  SaveWork(s, three, dir / "w.vtxs");

  const TIniFile ini(dir / "w.vtxs");
  EXPECT_EQ(ini.ReadString("Letter 4", "Char", ""), "l");
  EXPECT_EQ(ini.ReadString("Letter 5", "Char", ""), "o");
  EXPECT_TRUE(ini.ValueExists("Effect", "TColor"));  // left from the first save, ignored on reading
  TCaption back;
  LoadWork(s, back, dir / "w.vtxs");
  EXPECT_EQ(back.TextUtf8(), "Bye");
}

TEST(WorkFile, FailedSaveReportsTheFileAndLeavesTheOldOneAlone) {
  TTempFolder dir;
  TScene s;
  TCaption c;
  c.SetText("A", TFontSpec{});
  WriteFileBytes(dir / "plain", "x");
  const std::string underFile = dir / "plain/w.vtxs";
  try {
    SaveWork(s, c, underFile);
    ADD_FAILURE();
  } catch (const TWorkFileError& e) {
    EXPECT_EQ(e.what(), "Unable to write to " + underFile);
  }

  const std::string old = "[General]\r\nVersion=1.7.0\r\n[Message]\r\nNLetters=0\r\n";
  WriteFileBytes(dir / "ro.vtxs", old);
  std::filesystem::permissions(dir / "ro.vtxs", std::filesystem::perms::owner_read);
  EXPECT_THROW(SaveWork(s, c, dir / "ro.vtxs"), TWorkFileError);
  EXPECT_EQ(ReadFileBytes(dir / "ro.vtxs"), old);
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

TEST(WorkFileUnicode, EveryCharacterSurvivesAndOlderReadersStillSeeTheByte) {
  // Per letter: the character, its set, the byte older readers see, and
  // whether a Unicode key is written.
  const struct {
    char32_t Ch;
    int Charset;
    char Byte;
    bool Key;
  } cases[] = {
      {U'A', 0, 'A', false},      {U'é', 0, '\xE9', false},      {U'Ω', 0, '?', true},
      {U'Ω', 161, '\xD9', false}, {U'中', 0, '?', true},         {U'✓', 204, '?', true},
      {U'?', 0, '?', false},      {U'\U0001F600', 0, '?', true}, {kSymbolBase + 'a', 2, 'a', false},
  };
  TCaption caption;
  for (const auto& c : cases) caption.Append(c.Ch, Font("Arial", 18, c.Charset, false, false, false));
  TScene scene;
  TIniFile ini;
  WriteWork(ini, scene, caption);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string section = "Letter " + std::to_string(i + 1);
    EXPECT_EQ(ini.ReadString(section, "Char", ""), std::string(1, cases[i].Byte)) << i;
    EXPECT_EQ(ini.ValueExists(section, "Unicode"), cases[i].Key) << i;
  }
  TScene loadedScene;
  TCaption loaded;
  LoadWork(loadedScene, loaded, ini);
  EXPECT_EQ(loaded.TextUtf8(), caption.TextUtf8());

  // A representable character saved over a wide one drops the old key.
  TCaption plain;
  plain.Append(U'A', Font("Arial", 18, 0, false, false, false));
  WriteWork(ini, scene, plain);
  EXPECT_FALSE(ini.ValueExists("Letter 1", "Unicode"));
}

TEST(WorkFileUnicode, KeyCountsOnlyWhileCharStillHoldsItsByte) {
  const struct {
    const char* Char;
    const char* Unicode;
    const char* Expected;  // UTF-8
  } cases[] = {
      {"?", "937", "Ω"},     {"B", "937", "B"},  // an older program changed the letter and kept the key
      {"?", "65", "?"},                          // a character the set holds needs no key
      {"?", "55296", "?"},                       // a surrogate
      {"?", "1114112", "?"},                     // past U+10FFFF
      {"?", "-1", "?"},                          // garbage
      {"?", "x", "?"},
  };
  for (const auto& c : cases) {
    TIniFile ini = TIniFile::FromText(std::string("[General]\nVersion=1.7.0\n[Message]\nNLetters=1\n"
                                                  "[Letter 1]\nChar=") +
                                          c.Char + "\nUnicode=" + c.Unicode + "\n",
                                      "t.vtxs");
    TScene scene;
    TCaption caption;
    LoadWork(scene, caption, ini);
    EXPECT_EQ(caption.TextUtf8(), c.Expected) << c.Char << " " << c.Unicode;
  }
}

}  // namespace
}  // namespace vantrix
