// Guards finding plug-ins where this system's hosts look: a name through the folders the environment lists,
// subfolders after their folder and four levels down but never hidden ones, each file listed once, names in any
// script, the folders in the order hosts search them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/system_calls.h"
#include "plugin_search.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

void SetVariable(const char* Name, const std::string& Value) {
#if defined(_WIN32)
  _putenv_s(Name, Value.c_str());
#else
  setenv(Name, Value.c_str(), 1);
#endif
}

class TPluginSearch : public test::TToolTest {
 protected:
  void SetUp() override {
    TToolTest::SetUp();
    FSavedPath = Environment("VST_PATH");
    SetVariable("VST_PATH", Path("plugins"));
    for (const char* folder : {"plugins", "plugins/Vorda", "plugins/Vorda/x64"}) ASSERT_EQ(MakeFolder(Path(folder)), 0);
  }
  void TearDown() override {
    SetVariable("VST_PATH", FSavedPath);
    TToolTest::TearDown();
  }
  void Touch(const std::string& Name) { std::ofstream(test::FsPath(Path(Name))) << "a library"; }
  std::string FSavedPath;
};

TEST_F(TPluginSearch, FindsANameBelowTheFoldersTheEnvironmentNames) {
  const std::string name = "Плагин 🎸";
  Touch("plugins/Vorda/x64/" + name + kPluginExtension);
  Touch("plugins/Vorda/notes.txt");
  const std::string found = FindPlugin(name, HostPluginFolders());
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(SameFile(found, Path("plugins/Vorda/x64/" + name + kPluginExtension))) << found;
  EXPECT_TRUE(SameFile(FindPlugin(name + kPluginExtension, HostPluginFolders()), found));
  EXPECT_EQ(FindPlugin("Missing", HostPluginFolders()), "");
}

TEST_F(TPluginSearch, ListsEachFileOnceAndAFolderBeforeItsSubfolders) {
  Touch(std::string("plugins/Vorda/x64/b") + kPluginExtension);
  Touch(std::string("plugins/a") + kPluginExtension);
  Touch(std::string("plugins/Vorda/c") + kPluginExtension);
  std::vector<std::string> folders = HostPluginFolders();
  folders.push_back(Path("plugins/Vorda"));  // the same files again
  const std::vector<std::string> files = ListPluginFiles(folders);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_TRUE(SameFile(files[0], Path(std::string("plugins/a") + kPluginExtension))) << files[0];
  EXPECT_TRUE(SameFile(files[1], Path(std::string("plugins/Vorda/c") + kPluginExtension))) << files[1];
  EXPECT_TRUE(SameFile(files[2], Path(std::string("plugins/Vorda/x64/b") + kPluginExtension))) << files[2];
}

// Packages put plug-ins a few folders down; hidden folders hold caches.
TEST_F(TPluginSearch, SearchesFourLevelsBelowAFolderAndNoHiddenOne) {
  for (const char* folder :
       {"plugins/Vorda/x64/a", "plugins/Vorda/x64/a/b", "plugins/Vorda/x64/a/b/c", "plugins/.cache"})
    ASSERT_EQ(MakeFolder(Path(folder)), 0);
  Touch(std::string("plugins/Vorda/x64/a/b/deep") + kPluginExtension);
  Touch(std::string("plugins/Vorda/x64/a/b/c/deeper") + kPluginExtension);
  Touch(std::string("plugins/.cache/hidden") + kPluginExtension);
  EXPECT_TRUE(SameFile(FindPlugin("deep", {Path("plugins")}),
                       Path(std::string("plugins/Vorda/x64/a/b/deep") + kPluginExtension)));
  EXPECT_EQ(FindPlugin("deeper", {Path("plugins")}), "");
  EXPECT_EQ(FindPlugin("hidden", {Path("plugins")}), "");
  EXPECT_EQ(ListPluginFiles({Path("plugins")}).size(), 1u);
}

#if !defined(_WIN32)
// $LXVST_PATH comes before $VST_PATH; a folder loses its trailing slashes
// but the root stays.
TEST(PluginFolders, FollowTheOrderHostsSearch) {
  const std::vector<std::string> folders = PluginFolders("/opt/lxvst//:/", "/opt/vst", "/home/u");
  ASSERT_GE(folders.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(folders.begin(), folders.begin() + 5),
            (std::vector<std::string>{"/opt/lxvst", "/", "/opt/vst", "/home/u/.vst", "/home/u/.lxvst"}));
}
#endif

}  // namespace
}  // namespace vb
