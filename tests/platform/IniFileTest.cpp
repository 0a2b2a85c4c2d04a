#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;

using Names = std::vector<std::string>;

const char kWork[] =
    "[General]\r\n"
    "Version=1.3.5\r\n"
    "ExpWidth=160\r\n"
    "\r\n"
    "[Message]\r\n"
    "NLetters=5\r\n"
    "TxtW=10\r\n"
    "\r\n"
    "[Letter 1]\r\n"
    "Char=A\r\n";

// --- Writing keeps everything it does not write -------------------------------

TEST(IniWrite, ReplacesAValueInPlaceAndKeepsEverythingElse) {
  TIniFile ini = TIniFile::FromText(kWork);
  ini.WriteString("general", "VERSION", "1.7.0");
  ini.WriteInteger("Message", "NLetters", 3);
  std::string expected = kWork;
  expected.replace(expected.find("1.3.5"), 5, "1.7.0");
  expected.replace(expected.find("NLetters=5"), 10, "NLetters=3");
  EXPECT_EQ(ini.ToText(), expected);
  EXPECT_TRUE(ini.Modified());
}

TEST(IniWrite, NewKeyGoesAfterTheLastLineOfItsSectionAndNewSectionAtTheEnd) {
  TIniFile ini = TIniFile::FromText(kWork);
  ini.WriteBool("General", "HoldRatio", true);
  ini.WriteBool("Letter 1", "Bold", false);
  ini.WriteString("Effect", "Type", "0");
  EXPECT_EQ(ini.ToText(),
            "[General]\r\nVersion=1.3.5\r\nExpWidth=160\r\nHoldRatio=1\r\n\r\n"
            "[Message]\r\nNLetters=5\r\nTxtW=10\r\n\r\n"
            "[Letter 1]\r\nChar=A\r\nBold=0\r\n"
            "[Effect]\r\nType=0\r\n");
  EXPECT_EQ(ini.ReadSections(), (Names{"General", "Message", "Letter 1", "Effect"}));
  EXPECT_EQ(ini.ReadSection("general"), (Names{"Version", "ExpWidth", "HoldRatio"}));
}

TEST(IniWrite, LineBreaksInAValueCannotSplitTheLine) {
  TIniFile ini;
  ini.WriteString("S", "K", "one\r\ntwo\nthree");
  ini.WriteString("S", "Next", "x");
  const TIniFile back = TIniFile::FromText(ini.ToText());
  EXPECT_EQ(back.ReadString("S", "K", "?"), "one  two three");
  EXPECT_EQ(back.ReadString("S", "Next", "?"), "x");
  EXPECT_EQ(back.ReadSection("S").size(), 2u);
}

TEST(IniWrite, NamesThatWouldNotReadBackAreRefused) {
  TIniFile ini;
  for (const char* key : {"", "  ", "a=b", "[x", ";x", "a\nb"})
    EXPECT_THROW(ini.WriteString("S", key, "v"), std::invalid_argument) << key;
  for (const char* section : {"", "a]b", "a\rb"})
    EXPECT_THROW(ini.WriteString(section, "K", "v"), std::invalid_argument) << section;
  EXPECT_EQ(ini.ToText(), "");
}

TEST(IniWrite, EraseSectionRemovesEveryCopyAndDeleteKeyOnlyThatKey) {
  TIniFile ini = TIniFile::FromText("[Icon]\n1=AA\n2=BB\n[Other]\nk=1\n[icon]\n3=CC\n");
  ini.DeleteKey("ICON", "1");
  EXPECT_EQ(ini.ReadSection("Icon"), (Names{"2"}));
  ini.EraseSection("Icon");
  EXPECT_FALSE(ini.SectionExists("icon"));
  EXPECT_EQ(ini.ToText(), "[Other]\r\nk=1\r\n");
}

// --- Reading -------------------------------------------------------------------

TEST(IniRead, NamesMatchWithoutCaseAndTheFirstDuplicateWins) {
  const TIniFile ini = TIniFile::FromText(
      "[Light]\nColor=1\ncolor=2\n[ LIGHT ]\nColor=3\nExtra=4\n[Render]\n  Bright  =  32 \n");
  EXPECT_EQ(ini.ReadInteger("light", "COLOR", -1), 1);
  EXPECT_EQ(ini.ReadInteger("Light", "Extra", -1), -1);  // only the first [Light] is read
  EXPECT_EQ(ini.ReadInteger(" render ", "bright", -1), 32);
  EXPECT_EQ(ini.ReadSections(), (Names{"Light", "Render"}));
  EXPECT_EQ(ini.ReadSection("LIGHT"), (Names{"Color"}));
  EXPECT_TRUE(ini.ValueExists("Render", "Bright"));
  EXPECT_FALSE(ini.ValueExists("Render", "Contrast"));
  EXPECT_TRUE(ini.ReadSection("Nowhere").empty());
}

TEST(IniRead, ValuesLoseSurroundingBlanksAndStopAt2047Characters) {
  const std::string longValue(3000, 'x');
  const TIniFile ini = TIniFile::FromText(
      "[Letter 2]\nChar= \nName= \t Times New Roman\t \nLong=" + longValue + "\nEmpty=\nTwo==b\n");
  EXPECT_EQ(ini.ReadString("Letter 2", "Char", "default"), "");  // a blank letter reads back empty
  EXPECT_EQ(ini.ReadString("Letter 2", "Name", ""), "Times New Roman");
  EXPECT_EQ(ini.ReadString("Letter 2", "Long", ""), std::string(2047, 'x'));
  EXPECT_EQ(ini.ReadString("Letter 2", "Empty", "default"), "");
  EXPECT_EQ(ini.ReadString("Letter 2", "Two", ""), "=b");
  EXPECT_EQ(ini.ReadString("Letter 2", "Missing", "default"), "default");
}

TEST(IniRead, IntegerSyntax) {
  const struct {
    const char* text;
    int32_t value;  // kDef when the text is no integer
  } kCases[] = {
      {"12", 12},
      {"-12", -12},
      {"+7", 7},
      {"007", 7},
      {"0", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"0x1F", 31},
      {"0XfF", 255},
      {"$10", 16},
      {"$010700FF", 17236223},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"$000000000001", 1},
      {"2147483648", -99},
      {"-2147483649", -99},
      {"99999999999999999999", -99},
      {"$100000000", -99},
      {"0x", -99},
      {"$", -99},
      {"0xG", -99},
      {"12abc", -99},
      {"1.5", -99},
      {"", -99},
      {"-", -99},
      {"1 2", -99},
      {"- 1", -99},
      {"0x-1", -99},
      {"true", -99},
  };
  for (const auto& c : kCases) {
    const TIniFile ini = TIniFile::FromText(std::string("[S]\nK=  ") + c.text + " \n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.value) << '"' << c.text << '"';
    EXPECT_EQ(ini.TryReadInteger("S", "K"), c.value == -99 ? std::nullopt : std::optional(c.value)) << c.text;
  }
  const TIniFile empty = TIniFile::FromText("[S]\nK=\n");
  EXPECT_EQ(empty.TryReadString("S", "K"), "");
  EXPECT_EQ(empty.TryReadString("S", "Missing"), std::nullopt);
  EXPECT_EQ(empty.TryReadInteger("Missing", "K"), std::nullopt);
}

TEST(IniRead, BooleansAreIntegersAndNonZeroIsTrue) {
  const TIniFile ini = TIniFile::FromText("[S]\nOne=1\nZero=0\nTwo=2\nWord=yes\n");
  EXPECT_TRUE(ini.ReadBool("S", "One", false));
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));  // not an integer: the default
  EXPECT_FALSE(ini.ReadBool("S", "Word", false));
  EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

// --- Text layer ----------------------------------------------------------------

TEST(IniText, CommentsAndUnknownLinesSurviveARoundTrip) {
  const std::string text =
      "; written by hand\r\n"
      "stray=before any section\r\n"
      "[General]\r\n"
      "  ; indented comment with = sign\r\n"
      "no equals sign here\r\n"
      "Version = 1.7.0\r\n"
      "=value without key\r\n"
      "\t\r\n"
      "[Broken section\r\n"
      "Key=v\r\n";
  TIniFile ini = TIniFile::FromText(text);
  EXPECT_EQ(ini.ToText(), text);
  EXPECT_EQ(ini.ReadString("General", "Version", ""), "1.7.0");
  EXPECT_EQ(ini.ReadString("Broken section", "Key", ""), "v");
  EXPECT_EQ(ini.ReadSection("General"), (Names{"Version"}));
  EXPECT_FALSE(ini.ValueExists("General", "; indented comment with"));
  ini.WriteString("General", "Version", "1.7.0");
  EXPECT_EQ(ini.ToText().size(), text.size() - 2);  // only "Version = 1.7.0" lost its blanks
}

TEST(IniText, AcceptsLfCrAndBomAndWritesCrlf) {
  const TIniFile ini = TIniFile::FromText("\xEF\xBB\xBF[A]\nx=1\r\ny=2\rz=3");
  EXPECT_EQ(ini.ReadSections(), (Names{"A"}));
  EXPECT_EQ(ini.ReadSection("A"), (Names{"x", "y", "z"}));
  EXPECT_EQ(ini.ToText(), "[A]\r\nx=1\r\ny=2\r\nz=3\r\n");
}

// --- Files ---------------------------------------------------------------------

TEST(IniFileOnDisk, MissingFileIsEmptyAndSavingCreatesIt) {
  TTempFolder dir;
  const std::string name = dir / "Vuzedav.ode";
  TIniFile ini(name);
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_FALSE(ini.Modified());
  ini.WriteString("General", "JobFile", "Untitled.vtxs");
  ini.UpdateFile();
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(ReadFileBytes(name), "[General]\r\nJobFile=Untitled.vtxs\r\n");
  EXPECT_EQ(TIniFile(name).ReadString("General", "JobFile", ""), "Untitled.vtxs");
}

TEST(IniFileOnDisk, SavingOverAFileKeepsItsPermissionsAndWhatWasNotWritten) {
  TTempFolder dir;
  const std::string name = dir / "work.vtxs";
  WriteFileBytes(name, kWork);
  ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
  TIniFile ini(name);
  ini.WriteString("General", "Version", "1.7.0");
  ini.UpdateFile();
  struct stat st {};
  ASSERT_EQ(::stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  const TIniFile back(name);
  EXPECT_EQ(back.ReadString("General", "Version", ""), "1.7.0");
  EXPECT_EQ(back.ReadString("Letter 1", "Char", ""), "A");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFileOnDisk, SavingThroughALinkUpdatesTheLinkedFile) {
  TTempFolder dir;
  WriteFileBytes(dir / "real.ode", "[General]\r\nSaves=old\r\n");
  ASSERT_EQ(::symlink((dir / "real.ode").c_str(), (dir / "link.ode").c_str()), 0);
  TIniFile ini(dir / "link.ode");
  ini.WriteString("General", "Saves", "new");
  ini.UpdateFile();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ode"));
  EXPECT_EQ(TIniFile(dir / "real.ode").ReadString("General", "Saves", ""), "new");
}

// Every way a save can fail reports the same message and leaves the old file.
TEST(IniFileOnDisk, FailedSaveReportsTheNameAndLeavesTheOldFile) {
  TTempFolder dir;
  WriteFileBytes(dir / "plain.txt", "not a folder");
  WriteFileBytes(dir / "ro/kept.vtxs", kWork);
  WriteFileBytes(dir / "locked.vtxs", kWork);
  ASSERT_EQ(::chmod((dir / "locked.vtxs").c_str(), 0444), 0);

  std::vector<std::string> names = {dir / "missing/folder/work.vtxs", dir / "plain.txt/work.vtxs",
                                    dir / "locked.vtxs", "/proc/vantrix-test.vtxs"};
  // Permissions do not stop root, so the read-only folder only counts for others.
  if (!testing::RunningAsRoot()) {
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
    names.push_back(dir / "ro/kept.vtxs");
  }
  for (const std::string& name : names) {
    const std::string before = ReadFileBytes(name);
    TIniFile ini(name);
    ini.WriteString("General", "Version", "1.7.0");
    try {
      ini.UpdateFile();
      ADD_FAILURE() << "saved " << name;
    } catch (const TIniError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + name);
    }
    EXPECT_EQ(ReadFileBytes(name), before) << name;
    EXPECT_TRUE(ini.Modified());
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "ro"), {}), 1);
}

TEST(IniFileOnDisk, UnreadableOrHugeFilesAreErrorsNamingTheFile) {
  TTempFolder dir;
  const std::string huge = dir / "huge.vtxs";
  WriteFileBytes(huge, "[A]\r\n");
  std::filesystem::resize_file(huge, TIniFile::kMaxFileSize + 1);
  std::vector<std::string> names = {huge, dir.Path()};
  if (!testing::RunningAsRoot()) {
    WriteFileBytes(dir / "secret.vtxs", kWork);
    ASSERT_EQ(::chmod((dir / "secret.vtxs").c_str(), 0), 0);
    names.push_back(dir / "secret.vtxs");
  }
  for (const std::string& name : names) {
    try {
      TIniFile ini(name);
      ADD_FAILURE() << "loaded " << name;
    } catch (const TIniError& e) {
      EXPECT_NE(std::string(e.what()).find("Error loading file: " + name), std::string::npos) << e.what();
    }
  }
  // Exactly the limit is still read.
  std::filesystem::resize_file(huge, TIniFile::kMaxFileSize);
  EXPECT_EQ(TIniFile(huge).ReadSections(), (Names{"A"}));
}

}  // namespace
}  // namespace vantrix
