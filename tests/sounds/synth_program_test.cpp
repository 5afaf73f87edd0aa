// Runs wavorin_synth as the build does and checks its output against the
// committed sounds, so a change to the synthesiser cannot silently leave the
// shipped files stale.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wavorin::test {
namespace {

const std::filesystem::path assets_dir = WAVORIN_ASSETS_DIR;
const std::string synth_program = WAVORIN_SYNTH_PROGRAM;

std::vector<char> bytes_of(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Exit status of the synthesiser run with `arguments` (already quoted), or -1.
int run_synth(const std::string& arguments) {
  const std::string command = "'" + synth_program + "' " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());  // NOLINT(cert-env33-c): a test harness
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SynthProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "wavorin_synth_XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::filesystem::path folder_;
};

TEST_F(SynthProgram, RemakesTheCommittedSoundsByteForByte) {
  ASSERT_EQ(run_synth("'" + (folder_ / "out").string() + "'"), 0);
  for (const char* name : {"click.wav", "dummy.wav", "sample1.wav"}) {
    const std::vector<char> committed = bytes_of(assets_dir / name);
    const std::vector<char> made = bytes_of(folder_ / "out" / name);
    ASSERT_FALSE(committed.empty()) << name;
    EXPECT_EQ(made.size(), committed.size()) << name;
    EXPECT_TRUE(made == committed) << name << " differs: run the wavorin_synth_assets target";
  }
}

TEST_F(SynthProgram, FailsWithoutAFolderArgument) { EXPECT_EQ(run_synth(""), 2); }

TEST_F(SynthProgram, FailsWhenTheFolderCannotBeMade) {
  const std::filesystem::path blocker = folder_ / "a_file";
  std::ofstream(blocker) << "not a folder";
  EXPECT_EQ(run_synth("'" + (blocker / "sounds").string() + "'"), 1);
}

}  // namespace
}  // namespace wavorin::test
