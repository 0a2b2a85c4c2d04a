#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace vantrix {
namespace {

namespace fs = std::filesystem;

// Help › Help opens this page from the program folder: every picture and link it names
// must be delivered with it, and every jump inside it must land on an id.
TEST(HelpPage, EveryLocalLinkAndAnchorResolves) {
  const fs::path data = fs::path(VANTRIX_SOURCE_DIR) / "data";
  std::ifstream in(data / "Zuvedev.oru");
  ASSERT_TRUE(in) << "the help page is missing";
  std::stringstream text;
  text << in.rdbuf();
  const std::string page = text.str();

  std::set<std::string> ids;
  const std::regex id(R"re(\sid="([^"]+)")re");
  for (std::sregex_iterator it(page.begin(), page.end(), id), end; it != end; ++it) ids.insert((*it)[1]);

  int pictures = 0;
  const std::regex ref(R"re(\s(src|href)="([^"]*)")re");
  for (std::sregex_iterator it(page.begin(), page.end(), ref), end; it != end; ++it) {
    const std::string target = (*it)[2];
    if (target.find(':') != std::string::npos) continue;  // another site, mail
    if (target.empty() || target[0] == '#') {
      EXPECT_TRUE(ids.count(target.empty() ? "" : target.substr(1))) << "no id for '" << target << "'";
      continue;
    }
    if ((*it)[1] == "src") ++pictures;
    const std::string file = target.substr(0, target.find('#'));
    EXPECT_TRUE(fs::is_regular_file(data / file)) << "the help names a missing file '" << file << "'";
  }
  EXPECT_GT(pictures, 0) << "the help shows no pictures";
}

}  // namespace
}  // namespace vantrix
