// Runs the inputs kept beside the fuzz targets through the same functions the libFuzzer
// programs call: the inputs that once made a target fail (fuzz/regressions/<target>/) and the
// seed corpora (fuzz/corpus/<target>/). A failed check is reported with the input's name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "fuzz/targets.h"

namespace sw::fuzz {
namespace {

namespace fs = std::filesystem;

struct CheckFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void throwOnFailure(const char* check, const char* file, int line) {
  throw CheckFailed(std::string(file) + ":" + std::to_string(line) + ": " + check);
}

// Installs the throwing handler for the life of a test.
class FuzzInputsTest : public testing::Test {
 protected:
  void SetUp() override { setFailureHandler(throwOnFailure); }
  void TearDown() override { setFailureHandler(nullptr); }

  // Every folder under root must be named after a target and hold at least one input.
  static void runFolders(const fs::path& root) {
    ASSERT_TRUE(fs::is_directory(root)) << root;
    bool any = false;
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
      if (!folder.is_directory()) continue;
      const std::string name = folder.path().filename().string();
      const Target* target = nullptr;
      for (const Target& t : targets()) {
        if (name == t.name) target = &t;
      }
      if (target == nullptr) {
        ADD_FAILURE() << "no fuzz target is named " << name;
        continue;
      }
      bool ran = false;
      for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
        if (!file.is_regular_file()) continue;
        std::ifstream in(file.path(), std::ios::binary);
        ASSERT_TRUE(in.is_open()) << file.path();
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        try {
          target->entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        } catch (const CheckFailed& e) {
          ADD_FAILURE() << file.path().string() << ": " << e.what();
        }
        ran = true;
      }
      EXPECT_TRUE(ran) << "no input in " << folder.path();
      any = true;
    }
    EXPECT_TRUE(any) << "no target folder in " << root;
  }
};

TEST_F(FuzzInputsTest, RegressionInputsPassEveryCheck) {
  runFolders(fs::path(SW_FUZZ_DIR) / "regressions");
}

TEST_F(FuzzInputsTest, SeedInputsPassEveryCheck) {
  runFolders(fs::path(SW_FUZZ_DIR) / "corpus");
}

}  // namespace
}  // namespace sw::fuzz
