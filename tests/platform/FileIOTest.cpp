#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/PictureFile.h"
#include "tests/support/TempFolder.h"

namespace vantrix {
namespace {

using testing::ReadFileBytes;
using testing::TTempFolder;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

std::set<std::string> Listing(const TTempFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir.Path()))
    names.insert(fs::relative(e.path(), dir.Path()).string());
  return names;
}

// The bytes of a file; a folder or nothing at all reads as empty.
std::string Contents(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) ? ReadFileBytes(path) : std::string();
}

// Writing a file beyond `bytes` fails with EFBIG while this lives. Unlike
// permissions, the limit stops root too, so the failure comes half-way
// through the data wherever the tests run.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);  // the write reports the error instead
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

constexpr rlim_t kLimit = 4096;

// A picture and a work file, each far larger than kLimit when written.
void SavePicture(const std::string& path) {
  TPicture p(200, 100, 24);
  p.FillRect(0, 0, 100, 100, MakePixel(200, 40, 10));
  SaveBmpFile(path, p);
}

void SaveWork(const std::string& path) {
  TIniFile ini = TIniFile::FromText("", path);
  for (int i = 0; i < 8; ++i) ini.WriteString("Message", "Line" + std::to_string(i), std::string(1000, 'x'));
  ini.UpdateFile();
}

// Every way a save can fail leaves the old file byte for byte and nothing
// beside it, and reports the message the writer always gave.
TEST(FileReplace, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  struct TWriter {
    const char* name;
    std::function<void(const std::string&)> save;
    std::function<std::string(const std::string&)> message;
  };
  const TWriter writers[] = {
      {"picture", SavePicture, [](const std::string& p) { return p + ": cannot write file"; }},
      {"work file", SaveWork, [](const std::string& p) { return "Unable to write to " + p; }},
  };
  struct TFailure {
    const char* name;
    std::function<std::string(const TTempFolder&)> prepare;  // gives the target
    bool halfWay;
  };
  const TFailure failures[] = {
      {"the disk fills half-way",
       [](const TTempFolder& dir) {
         WriteFileBytes(dir / "old.bmp", "the old file, shorter than the limit");
         return dir / "old.bmp";
       },
       true},
      {"a folder holds the name",
       [](const TTempFolder& dir) {
         WriteFileBytes(dir / "old.bmp/keep", "x");
         return dir / "old.bmp";
       },
       false},
      {"the folder is a file",
       [](const TTempFolder& dir) {
         WriteFileBytes(dir / "plain", "not a folder");
         return dir / "plain/old.bmp";
       },
       false},
  };
  for (const TWriter& writer : writers) {
    for (const TFailure& failure : failures) {
      SCOPED_TRACE(std::string(writer.name) + ", " + failure.name);
      TTempFolder dir;
      const std::string target = failure.prepare(dir);
      const std::string before = Contents(target);
      const std::set<std::string> names = Listing(dir);
      std::string error = "no error";
      {
        const TFileSizeLimit limit(failure.halfWay ? kLimit : RLIM_INFINITY);
        try {
          writer.save(target);
        } catch (const std::exception& e) {
          error = e.what();
        }
      }
      EXPECT_EQ(error, writer.message(target));
      EXPECT_EQ(Contents(target), before);
      EXPECT_EQ(Listing(dir), names);
      // Without the limit the same save goes through: it did fail half-way.
      if (failure.halfWay) {
        writer.save(target);
        EXPECT_GT(fs::file_size(target), kLimit);
        EXPECT_EQ(Listing(dir), names);
      }
    }
  }
}

TEST(FileReplace, TheNewFileKeepsTheOldPermissions) {
  TTempFolder dir;
  WriteFileBytes(dir / "page.html", "old");
  ASSERT_EQ(::chmod((dir / "page.html").c_str(), 0640), 0);
  ReplaceFileAtomically(dir / "page.html", std::string_view("new"));
  EXPECT_EQ(ReadFileBytes(dir / "page.html"), "new");
  EXPECT_EQ(fs::status(dir / "page.html").permissions(), fs::perms(0640));
  EXPECT_EQ(Listing(dir), std::set<std::string>{"page.html"});
}

TEST(FileRead, LimitsAndFaultsNameTheFile) {
  TTempFolder dir;
  WriteFileBytes(dir / "ten.txt", "0123456789");
  WriteFileBytes(dir / "plain", "not a folder");
  struct TCase {
    std::string path;
    uint64_t limit;
    TFileFault fault;
  } cases[] = {
      {dir / "missing.txt", 100, TFileFault::Missing}, {dir / "plain/ten.txt", 100, TFileFault::Missing},
      {dir.Path(), 100, TFileFault::Folder},           {dir / "ten.txt", 9, TFileFault::TooLarge},
      {dir / "ten.txt", 0, TFileFault::TooLarge},
  };
  for (const TCase& c : cases) {
    try {
      (void)ReadFileLimited(c.path, c.limit);
      ADD_FAILURE() << "read " << c.path;
    } catch (const TFileError& e) {
      EXPECT_EQ(e.Fault(), c.fault) << c.path;
      EXPECT_EQ(std::string(e.what()).rfind(c.path + ": ", 0), 0u) << e.what();
    }
  }
  const auto text = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
  EXPECT_EQ(text(ReadFileLimited(dir / "ten.txt", 10)), "0123456789");  // exactly the limit
  EXPECT_EQ(text(ReadFileStart(dir / "ten.txt", 4)), "0123");
  EXPECT_EQ(text(ReadFileStart(dir / "ten.txt", 100)), "0123456789");
}

}  // namespace
}  // namespace vantrix
