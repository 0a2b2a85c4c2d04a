#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ProgramFolder.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

TEST(ProgramFolderSeed, CopiesWhatIsMissingAndNeverOverwrites) {
  TTempFolder installed, user;
  WriteFileBytes(installed / "Default.dat", "[General]\r\nVersion=1.7.0\r\n");
  WriteFileBytes(installed / "BShapes/STAR.vtxb", "star");
  WriteFileBytes(installed / "BShapes/ARROW.vtxb", "arrow");
  WriteFileBytes(installed / "html/preview.tml", "<html>");
  WriteFileBytes(user / "Default.dat", "the user's own default");
  WriteFileBytes(user / "BShapes/STAR.vtxb", "edited star");
  fs::create_directories(user / "html/preview.tml");  // a folder where the file would go

  EXPECT_EQ(SeedFolder(installed.Path(), user.Path()), 1u);
  EXPECT_EQ(ReadFileBytes(user / "Default.dat"), "the user's own default");
  EXPECT_EQ(ReadFileBytes(user / "BShapes/STAR.vtxb"), "edited star");
  EXPECT_EQ(ReadFileBytes(user / "BShapes/ARROW.vtxb"), "arrow");
  EXPECT_TRUE(fs::is_directory(user / "html/preview.tml"));

  // A later release adds a file: only that one arrives.
  WriteFileBytes(installed / "Textures/wood.jpg", "wood");
  EXPECT_EQ(SeedFolder(installed.Path(), user.Path()), 1u);
  EXPECT_EQ(ReadFileBytes(user / "Textures/wood.jpg"), "wood");
  EXPECT_EQ(SeedFolder(installed.Path(), user.Path()), 0u);
  // No temporary files were left anywhere.
  for (const auto& e : fs::recursive_directory_iterator(user.Path()))
    EXPECT_EQ(e.path().filename().string().find(".vantrix-"), std::string::npos) << e.path();
}

TEST(ProgramFolderSeed, MissingSourceCopiesNothing) {
  TTempFolder user;
  EXPECT_EQ(SeedFolder(user / "nowhere", user / "target"), 0u);
  EXPECT_FALSE(fs::exists(user / "target"));
}

TEST(ProgramFolderChoice, ExplicitThenBuildTreeThenSeededUserFolder) {
  TTempFolder root;
  fs::create_directories(root / "build/data");
  TProgramFolderCandidates places{root / "mine", root / "build/data", root / "share/data", root / "user"};
  TProgramFolderChoice choice = ChooseProgramFolder(places);
  EXPECT_EQ(choice.folder, root / "mine/");
  EXPECT_EQ(choice.seedFrom, "");

  places.explicitFolder.clear();
  choice = ChooseProgramFolder(places);
  EXPECT_EQ(choice.folder, root / "build/data/");
  EXPECT_EQ(choice.seedFrom, "");

  places.buildTreeData = root / "gone/data";  // a build tree that does not hold data/
  choice = ChooseProgramFolder(places);
  EXPECT_EQ(choice.folder, root / "user/");
  EXPECT_EQ(choice.seedFrom, root / "share/data/");
}

TEST(ProgramFolderChoice, RelativeFoldersBecomeAbsolute) {
  const TProgramFolderChoice choice = ChooseProgramFolder({"my data", "", "", ""});
  EXPECT_EQ(choice.folder, (fs::current_path() / "my data/").string());
}

#ifdef VANTRIX_BINARY_DIR
// The test program runs from the build tree, just as a freshly built program does.
TEST(ProgramFolderChoice, TheBuildTreeIsRecognised) {
  const TProgramFolderCandidates places = DefaultProgramFolderCandidates("");
  ASSERT_FALSE(places.buildTreeData.empty());
  EXPECT_TRUE(places.buildTreeData.ends_with("/data/"));
  EXPECT_TRUE(fs::equivalent(fs::path(places.buildTreeData).parent_path().parent_path(), VANTRIX_BINARY_DIR));
}
#endif

TEST(ProgramFolderChoice, PreparingCreatesWorksAndTemplatesAndSeeds) {
  TTempFolder root;
  WriteFileBytes(root / "share/data/Templates/Gold.vtxm", "gold");
  WriteFileBytes(root / "share/data/Default.dat", "default");
  const std::string folder = OpenProgramFolder({"", "", root / "share/data", root / "home/Vantrix"});
  EXPECT_EQ(folder, root / "home/Vantrix/");
  EXPECT_TRUE(fs::is_directory(folder + "Works"));
  EXPECT_EQ(ReadFileBytes(folder + "Templates/Gold.vtxm"), "gold");
  EXPECT_EQ(ReadFileBytes(folder + "Default.dat"), "default");

  WriteFileBytes(root / "file", "x");
  EXPECT_THROW(OpenProgramFolder({root / "file/sub", "", "", ""}), TProgramFolderError);
}

TEST(ProgramFolderChoice, UserFolderFollowsTheXdgRules) {
  EXPECT_EQ(UserDataFolder("/data/home", "/home/ann"), "/data/home/Vantrix/");
  EXPECT_EQ(UserDataFolder("/data/home/", "/home/ann"), "/data/home/Vantrix/");
  EXPECT_EQ(UserDataFolder("relative/path", "/home/ann"), "/home/ann/.local/share/Vantrix/");
  EXPECT_EQ(UserDataFolder("", "/home/ann/"), "/home/ann/.local/share/Vantrix/");
  EXPECT_EQ(UserDataFolder(nullptr, "/home/ann"), "/home/ann/.local/share/Vantrix/");
  EXPECT_EQ(UserStateFolder("/state", "/home/ann"), "/state/Vantrix/");
  EXPECT_EQ(UserStateFolder("relative", "/home/ann"), "/home/ann/.local/state/Vantrix/");
  const std::string fallback = UserDataFolder(nullptr, nullptr);
  EXPECT_TRUE(fallback.ends_with("/.local/share/Vantrix/")) << fallback;
}

TEST(ProgramFolderFiles, FindsANameWhateverItsCase) {
  TTempFolder dir;
  WriteFileBytes(dir / "STAR.VTXB", "1");
  WriteFileBytes(dir / "star.vtxb", "2");
  WriteFileBytes(dir / "Wood.JPG", "3");
  WriteFileBytes(dir / "Arrow.vtxb", "4");
  EXPECT_EQ(FindFileNoCase(dir.Path(), "star.vtxb"), dir / "star.vtxb");  // exact name first
  EXPECT_EQ(FindFileNoCase(dir.Path(), "Star.vtxb"), dir / "STAR.VTXB");  // else first in byte order
  EXPECT_EQ(FindFileNoCase(dir.Path(), "wood.jpg"), dir / "Wood.JPG");
  std::string noSlash = dir.Path();
  noSlash.pop_back();
  EXPECT_EQ(FindFileNoCase(noSlash, "ARROW.VTXB"), dir / "Arrow.vtxb");
  EXPECT_EQ(FindFileNoCase(dir.Path(), "missing.vtxb"), "");
  EXPECT_EQ(FindFileNoCase(dir / "nowhere", "star.vtxb"), "");
  for (const char* bad : {"", ".", "..", "../STAR.VTXB", "sub/star.vtxb"})
    EXPECT_EQ(FindFileNoCase(dir.Path(), bad), "") << bad;
}

TEST(ProgramFolderFiles, StoredWindowsPathsGiveTheirFileName) {
  EXPECT_EQ(StoredPathFileName("C:\\Program Files\\Vantrix\\Textures\\Wood.jpg"), "Wood.jpg");
  EXPECT_EQ(StoredPathFileName("/home/ann/Textures/wood.gif"), "wood.gif");
  EXPECT_EQ(StoredPathFileName("D:marble.bmp"), "marble.bmp");
  EXPECT_EQ(StoredPathFileName("plain.jpg"), "plain.jpg");
  EXPECT_EQ(StoredPathFileName("C:\\Textures\\"), "");
  EXPECT_EQ(StoredPathFileName(""), "");
}

}  // namespace
}  // namespace vantrix
