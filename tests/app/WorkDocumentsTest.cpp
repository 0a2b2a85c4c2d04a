#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/logic/ProgramSettings.h"
#include "app/logic/WorkDocuments.h"
#include "platform/IniFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

using testing::TTempFolder;

TEST(WorkDocuments, DroppedFilesAreKnownByTheirExtensionInAnyCase) {
  using enum TDropKind;
  const std::pair<const char*, TDropKind> cases[] = {
      {"/w/Go.vtxs", Work},     {"/w/Default.DAT", Work}, {"/t/Pill.VTXM", Template}, {"/s/Star.vtxb", Shape},
      {"/p/wood.JPG", Picture}, {"/p/a.webp", Picture},   {"/p/a.png", Picture},      {"/p/notes.txt", None},
      {"/p/.vtxs", None},       {"/p/noextension", None}, {"/p.dir/file", None}};
  for (const auto& [path, kind] : cases) EXPECT_EQ(DropKindOf(path), kind) << path;
}

TEST(WorkDocuments, NamesAndExtensions) {
  struct Case {
    const char* name;
    const char* ext;
    const char* result;
  } cases[] = {
      {"/w/Go.txt", ".vtxm", "/w/Go.vtxm"},    {"/w/Go", ".vtxs", "/w/Go.vtxs"},
      {"/w.d/Go", ".vtxs", "/w.d/Go.vtxs"},    {"Untitled.vtxs", ".vtxs", "Untitled.vtxs"},
      {"/w/a.b.vtxs", ".vtxm", "/w/a.b.vtxm"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceExtension(c.name, c.ext), c.result) << c.name;
  EXPECT_EQ(FolderOf("/w/Go.vtxs"), "/w/");
  EXPECT_EQ(FolderOf("Go.vtxs"), "");
  EXPECT_EQ(FileNameOf("/w/Go.vtxs"), "Go.vtxs");
}

TEST(WorkDocuments, WelcomeDialogNamesTheFileToLoad) {
  const std::string app = "/app/", works = "/app/Works/", tpl = "/app/Templates/";
  struct Case {
    TWelcomeMode mode;
    const char* item;
    const char* file;
    bool made;
    const char* worksAfter;
  } cases[] = {
      {TWelcomeMode::New, "Go.vtxs", "/app/Default.dat", true, "/app/Works/"},
      {TWelcomeMode::Saved, "Go.vtxs", "/app/Works/Go.vtxs", true, "/app/Works/"},
      {TWelcomeMode::Saved, "", "/app/Default.dat", false, "/app/Works/"},
      {TWelcomeMode::Templates, "Web.vtxm", "/app/Templates/Web.vtxm", true, "/app/Works/"},
      {TWelcomeMode::Templates, "", "/app/Default.dat", false, "/app/Works/"},
  };
  for (const Case& c : cases) {
    const TWelcomeChoice w = WelcomeChoiceOf(c.mode, c.item, app, works, tpl);
    EXPECT_EQ(w.ChosenFile, c.file) << int(c.mode) << c.item;
    EXPECT_EQ(w.SelectionMade, c.made);
    EXPECT_EQ(w.WorksFolder, c.worksAfter);
  }
}

TEST(WorkDocuments, ListsPlainWorkFilesByName) {
  TTempFolder t;
  for (const char* name : {"b.vtxs", "A.VTXS", ".hidden.vtxs", "c.vtxm", "d.vtxs.bak"})
    testing::WriteFileBytes(t / name, "x");
  fs::create_directory(t.Path() + "folder.vtxs");
  EXPECT_EQ(ListWorkFiles(t.Path(), ".vtxs"), (std::vector<std::string>{"A.VTXS", "b.vtxs"}));
  EXPECT_EQ(ListWorkFiles(t.Path(), ".vtxm"), std::vector<std::string>{"c.vtxm"});
  EXPECT_TRUE(ListWorkFiles(t.Path() + "missing/", ".vtxs").empty());
  EXPECT_EQ(WorksFolderOfJob(t.Path() + "Go.vtxs", "/app/"), t.Path());
  EXPECT_EQ(WorksFolderOfJob(t.Path() + "gone/Go.vtxs", "/app"), "/app/Works/");
  EXPECT_EQ(WorksFolderOfJob("Untitled.vtxs", "/app/"), "/app/Works/");
}

TEST(ProgramSettings, FirstStartAndRoundTrip) {
  TTempFolder t;
  TProgramSettings s = ReadProgramSettings(t.Path());
  EXPECT_EQ(s.JobFile, "Untitled.vtxs");
  EXPECT_EQ(s.Saves, t.Path() + "Works/");
  EXPECT_EQ(s.Templates, t.Path() + "Templates/");
  s.CurPath = "/home/zoë/";
  s.JobFile = "/home/zoë/Works/Go.vtxs";
  s.TextureDir = "/tex/";
  s.TemplateFile = "/t/Web.vtxm";
  WriteProgramSettings(t.Path(), s);
  const TProgramSettings r = ReadProgramSettings(t.Path());
  EXPECT_EQ(r.CurPath, s.CurPath);
  EXPECT_EQ(r.JobFile, s.JobFile);
  EXPECT_EQ(r.TextureDir, s.TextureDir);
  EXPECT_EQ(r.Templates, s.Templates);
  EXPECT_EQ(r.Saves, s.Saves);
  EXPECT_EQ(r.TemplateFile, s.TemplateFile);
  EXPECT_TRUE(r.Recent.empty());
  EXPECT_EQ(
      TIniFile(t.Path() + "Vuzedav.ode").ReadSection("General"),
      (std::vector<std::string>{"CurPath", "JobFile", "TextureDir", "Templates", "Saves", "TemplateFile"}));
  fs::permissions(t.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (::geteuid() != 0) {
    EXPECT_THROW(WriteProgramSettings(t.Path(), s), TIniError);
  }
  fs::permissions(t.Path(), fs::perms::owner_all);
}

// The recent works: newest first, each once, ten at most, and kept in the
// settings file in that order.
TEST(ProgramSettings, RecentWorks) {
  TTempFolder t;
  TProgramSettings s = ReadProgramSettings(t.Path());
  for (int i = 1; i <= 12; ++i) AddRecentWork(s.Recent, "/w/" + std::to_string(i) + ".vtxs");
  AddRecentWork(s.Recent, "/w/5.vtxs");
  ASSERT_EQ(s.Recent.size(), kMaxRecentWorks);
  EXPECT_EQ(s.Recent.front(), "/w/5.vtxs");
  EXPECT_EQ(s.Recent[1], "/w/12.vtxs");
  EXPECT_EQ(s.Recent.back(), "/w/3.vtxs");
  EXPECT_EQ(std::count(s.Recent.begin(), s.Recent.end(), "/w/5.vtxs"), 1);
  WriteProgramSettings(t.Path(), s);
  EXPECT_EQ(ReadProgramSettings(t.Path()).Recent, s.Recent);
  s.Recent = {"/home/zoë/Go.vtxs"};
  WriteProgramSettings(t.Path(), s);  // a shorter list leaves no stale names behind
  EXPECT_EQ(ReadProgramSettings(t.Path()).Recent, s.Recent);
}

TEST(WorkDocuments, OnlySavedWorksAreSavedInPlace) {
  for (const char* own : {"/w/Go.vtxs", "/w/GO.VTXS", "Go.vtxs"}) EXPECT_TRUE(SavesInPlace(own)) << own;
  for (const char* other : {"/app/Default.dat", "/app/Templates/Web.vtxm", "", "/w/.vtxs", "/w/Go.vtxs.bak"})
    EXPECT_FALSE(SavesInPlace(other)) << other;
}

}  // namespace
}  // namespace vantrix
