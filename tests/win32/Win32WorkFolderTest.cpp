#include "platform/win32/Win32WorkFolder.h"

#include "platform/win32/Win32Platform.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A program folder and a data root of its own under the temporary folder.
class Win32WorkFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("pestrel-work-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root_ / "app");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string program() const { return (root_ / "app" / "pestrel.exe").string(); }
    std::string dataRoot() const { return (root_ / "data" / "Pestrel").string(); }

    fs::path root_;
};

TEST_F(Win32WorkFolder, APortableCopyWritesBesideItselfAnInstalledOneInItsDataFolder) {
    EXPECT_EQ(ChooseWin32WorkFolder(program(), dataRoot()), (root_ / "app").string() + "\\");
    EXPECT_FALSE(fs::exists(dataRoot()));

    WriteBytes(root_ / "app" / kUninstallerName, "MZ");
    fs::create_directories(root_ / "data");
    EXPECT_EQ(ChooseWin32WorkFolder(program(), dataRoot()), dataRoot() + "\\");
    EXPECT_TRUE(fs::is_directory(dataRoot()));
    // Nothing was left behind by the look at whether the program's folder can be written.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "app"), fs::directory_iterator()), 1);
}

TEST_F(Win32WorkFolder, NoFolderWhenTheDataFolderCannotBeMade) {
    WriteBytes(root_ / "app" / kUninstallerName, "MZ");
    EXPECT_EQ(ChooseWin32WorkFolder(program(), (root_ / "missing" / "Pestrel").string()), "");
}

TEST_F(Win32WorkFolder, TheInstalledHelpIsCopiedWhereTheWorkingFilesAre) {
    WriteBytes(root_ / "app" / "Readme.txt", "帮助");
    WriteBytes(root_ / "app" / "Readme.en.txt", "help");
    fs::create_directories(root_ / "data");
    const std::string work = (root_ / "data").string() + "\\";
    WriteBytes(root_ / "data" / "Readme.en.txt", "an older help");

    CopyInstalledReadme(program(), work);
    EXPECT_EQ(ReadBytes(root_ / "data" / "Readme.txt"), "帮助");
    EXPECT_EQ(ReadBytes(root_ / "data" / "Readme.en.txt"), "help");
    // And the engine finds them there: the platform's program file lies in the work folder.
    EXPECT_EQ(Win32Platform("kernel32.dll", work + "pestrel.exe").programFile(),
              work + "pestrel.exe");
}

} // namespace
} // namespace pestrel
