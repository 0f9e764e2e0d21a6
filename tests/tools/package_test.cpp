// Guards the Debian package: the files it installs and where, its computed dependencies, that the tools it installs
// find the plug-in it installs, that each manual page says what the tool's --help says, that no maintainer script
// runs ldconfig, and (where lintian is installed) that lintian --pedantic finds no error or warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::TRun;

class TDebianPackage : public test::TToolTest {
 protected:
  void SetUp() override {
    for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps"})
      if (std::system(("command -v " + std::string(tool) + " >/dev/null").c_str()) != 0)
        GTEST_SKIP() << tool << " is not installed";
    if (!test::Exists(VB_BINARY_DIR "/VordaBrasswick.so") || !test::Exists(test::kRenderProgram))
      GTEST_SKIP() << "the plug-in or vst-render is not built";
    TToolTest::SetUp();
  }
  // Runs a shell command; its standard output, with the exit status checked.
  std::string Shell(const std::string& Command) {
    TRun r = RunProgram("sh", "-c \"" + Command + "\"");
    EXPECT_EQ(r.Code, 0) << Command << "\n" << r.Err;
    return r.Out;
  }
};

TEST_F(TDebianPackage, InstallsThePluginToolsAndCopyrightWhereDebianKeepsThem) {
  Shell("cpack --config '" VB_BINARY_DIR "/CPackConfig.cmake' -G DEB -B '" + Path("pkg") + "' >/dev/null");
  const std::string deb = Shell("ls '" + Path("pkg") + "'/*.deb");
  ASSERT_NE(deb.find("vorda-brasswick_"), std::string::npos) << deb;
  const std::string debPath = deb.substr(0, deb.find('\n'));

  // Regular files only (lines that start with '-'), as paths.
  std::istringstream listing(Shell("dpkg-deb -c '" + debPath + "' | awk '/^-/ {print \\$6}'"));
  std::vector<std::string> files;
  for (std::string line; std::getline(listing, line);) files.push_back(line);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{
                       "./usr/bin/png-tool", "./usr/bin/vst-render", "./usr/lib/vst/VordaBrasswick.so",
                       "./usr/share/doc/vorda-brasswick/changelog.gz", "./usr/share/doc/vorda-brasswick/copyright",
                       "./usr/share/man/man1/png-tool.1.gz", "./usr/share/man/man1/vst-render.1.gz"}));
  // The plug-in lies below /usr/lib, but in no folder ldconfig reads.
  EXPECT_EQ(Shell("dpkg-deb -I '" + debPath + "' | grep -c -E 'postinst|postrm' || true"), "0\n");
  const std::string depends = Shell("dpkg-deb -f '" + debPath + "' Depends");
  for (const char* lib : {"libc6", "libsndfile1", "libxcb1", "libfreetype6"})
    EXPECT_NE(depends.find(lib), std::string::npos) << lib << " missing from: " << depends;

  // Unpacked under a temporary root, the installed vst-render finds the
  // installed plug-in by its bare name.
  Shell("dpkg-deb -x '" + debPath + "' '" + Path("root") + "'");
  TRun r = RunProgram(Path("root/usr/bin/vst-render"), "-p VordaBrasswick --info",
                      "LXVST_PATH='" + Path("root/usr/lib/vst") + "' VST_PATH= HOME=/nonexistent");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Out.find("Plug-in:         " + Path("root/usr/lib/vst/VordaBrasswick.so")), std::string::npos) << r.Out;

  // Each manual page holds every line of its tool's --help, as man shows it.
  for (const char* tool : {"vst-render", "png-tool"}) {
    const std::string page = Shell("zcat '" + Path("root/usr/share/man/man1/") + tool + ".1.gz'");
    std::string shown = page;
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"\\-", "-"}, {"\\e", "\\"}, {"\\&", ""}})
      for (size_t at; (at = shown.find(from)) != std::string::npos;) shown.replace(at, from.size(), to);
    std::istringstream help(RunProgram(Path(std::string("root/usr/bin/") + tool), "--help").Out);
    for (std::string line; std::getline(help, line);)
      EXPECT_NE(shown.find(line + "\n"), std::string::npos) << tool << ": '" << line << "' is not in the manual page";
  }
  if (std::system("command -v lintian >/dev/null") != 0) return;
  const std::string report = Shell("lintian --pedantic '" + debPath + "' 2>/dev/null | grep -E '^(E|W):' || true");
  EXPECT_EQ(report, "") << "lintian:\n" << report;
}

}  // namespace
}  // namespace vb
