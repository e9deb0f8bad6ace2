#include "engine/WorkFiles.h"
#include "platform/posix/PosixPlatform.h"
#include "tests/support/HeldPath.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pestrel {
namespace {

TEST(PosixFiles, TellFilesFromFolders) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    const std::string dir = machine.root() + "dir";
    const std::string file = machine.root() + "file.exe";
    test::WriteFile(file, "new");
    test::WriteFile(machine.root() + "copy.exe", "old and longer");

    EXPECT_TRUE(test::MakeFolder(platform, dir));
    EXPECT_FALSE(test::MakeFolder(platform, dir));
    EXPECT_TRUE(test::IsFolder(platform, dir + "/"));
    EXPECT_FALSE(RegularFileAt(platform, dir));
    EXPECT_TRUE(RegularFileAt(platform, file));
    EXPECT_FALSE(test::IsFolder(platform, file));
    EXPECT_FALSE(test::DeleteAt(platform, dir)) << "folders are not deleted as files";

    EXPECT_TRUE(test::DeleteAt(platform, file));
    EXPECT_FALSE(RegularFileAt(platform, file));
    EXPECT_FALSE(test::DeleteAt(platform, file));
}

TEST(PosixFiles, RewritesKeepTheModeAndCopiesAreNewPrivateFilesNeverWrittenThrough) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    const auto mode = [](const std::string& path) {
        struct stat info;
        return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    };
    const std::string list = machine.context().AppPath + "VirusList.txt";
    test::WriteFile(list, "a\r\n");
    ::chmod(list.c_str(), 0640);
    EXPECT_TRUE(SaveVirusList(machine.context(), {"a", "b"}));
    EXPECT_EQ(mode(list), 0640u);

    // A copy is a new private file that replaces whatever was at its name, never writes through.
    const std::string program = machine.root() + "evil.exe", copy = machine.root() + "copy.exe";
    const std::string target = machine.root() + "target";
    test::WriteFile(program, "program");
    test::WriteFile(target, "target");
    ::chmod(program.c_str(), 04755);
    std::filesystem::create_symlink(target, copy);
    std::filesystem::create_symlink(program, program + "-link");
    const auto root = platform.holdFolder(machine.root());
    ASSERT_TRUE(root);
    const FileIdentity identity = root->fileIdentity("evil.exe").value();
    EXPECT_TRUE(root->copyFile("evil.exe", identity, *root, "copy.exe"));
    EXPECT_EQ(test::ReadFile(copy), "program");
    EXPECT_EQ(mode(copy), 0600u);
    EXPECT_EQ(test::ReadFile(target), "target");
    EXPECT_FALSE(root->fileIdentity("evil.exe-link")) << "a link is no file";
    EXPECT_FALSE(root->copyFile("evil.exe-link", identity, *root, "x")) << "linked source";
    EXPECT_FALSE(root->copyFile("copy.exe", identity, *root, "x")) << "another file";
    EXPECT_FALSE(root->deleteFile("copy.exe", identity)) << "another file";
    EXPECT_FALSE(root->linkFile("evil.exe", *root, "target")) << "never over an entry";
    EXPECT_FALSE(root->restoreFile(*root, "evil.exe", "target", {}));
    EXPECT_EQ(root->fileDigest("copy.exe")->sha256,
              "1310ca2c8932dbd118668bd97442558a3e1f546b5e15c69699dfbd6024f548d8");
    // Read up to a limit: the file's own size is within it, a byte less is not.
    EXPECT_TRUE(root->fileDigest("copy.exe", 7));
    EXPECT_FALSE(root->fileDigest("copy.exe", 6));
}

// A link at any step of a folder's path refuses the folder: the walk never follows one.
TEST(PosixFiles, SmallFilesAreReadIntoMemorySoThatShorteningThemCannotFaultTheReader) {
    test::TestMachine machine;
    const std::string small = "small.desktop", large = "large.exe";
    test::WriteFile(machine.root() + small, "[Desktop Entry]");
    test::WriteFile(machine.root() + large, "");
    std::filesystem::resize_file(machine.root() + large, 9u << 20);
    const auto root = machine.platform().holdFolder(machine.root());
    ASSERT_TRUE(root);
    const auto read = root->mapFile(small, *root->fileIdentity(small));
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->mayFault());
    std::filesystem::resize_file(machine.root() + small, 0);
    EXPECT_EQ(read->bytes(), "[Desktop Entry]");
    const auto mapped = root->mapFile(large, *root->fileIdentity(large));
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(mapped->mayFault());
    EXPECT_EQ(mapped->bytes().size(), 9u << 20);
}

TEST(PosixFiles, HeldFoldersRefuseALinkAtEveryStep) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    const std::string root = machine.root();
    std::filesystem::create_directories(root + "a/b/c");
    ASSERT_TRUE(platform.holdFolder(root + "a/b/c"));
    ASSERT_TRUE(platform.holdFolder(root + "a/b/c/"));
    for (const char* linked : {"a", "a/b", "a/b/c"}) {
        const std::string real = root + linked + ".real";
        std::filesystem::rename(root + linked, real);
        std::filesystem::create_directory_symlink(real, root + linked);
        EXPECT_FALSE(platform.holdFolder(root + "a/b/c")) << "a link at " << linked;
        EXPECT_FALSE(RegularFileAt(platform, root + "a/b/c/x")) << linked;
        std::filesystem::remove(root + linked);
        std::filesystem::rename(real, root + linked);
    }
    const auto held = platform.holdFolder(root + "a/b");
    ASSERT_TRUE(held);
    // Held, the folder is reached whatever is put at its path afterwards.
    std::filesystem::rename(root + "a/b", root + "a/moved");
    std::filesystem::create_directory_symlink(root + "a/moved", root + "a/b");
    test::WriteFile(root + "a/moved/c/../file", "x");
    EXPECT_TRUE(held->fileIdentity("file"));
    EXPECT_EQ(held->folder("c", false)->path(), root + "a/b/c/");
    EXPECT_FALSE(held->folder("..", false));
}

TEST(PosixFiles, ReadOnlyIsTheOwnerWriteBitAndUnreadableAttributesAreInvalid) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    const std::string file = machine.root() + "a.dll";
    test::WriteFile(file, "x");
    EXPECT_EQ(test::Attributes(platform, file), 0u);
    EXPECT_TRUE(
        test::SetAttributes(platform, file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(test::Attributes(platform, file), FileAttribute::ReadOnly);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
    EXPECT_TRUE(test::SetAttributes(platform, file, 0));
    EXPECT_EQ(test::Attributes(platform, file), 0u);
    EXPECT_EQ(test::Attributes(platform, machine.root() + "missing"), FileAttribute::Invalid);
    EXPECT_FALSE(test::SetAttributes(platform, machine.root() + "missing", 0));
}

TEST(PosixFolders, StandInFoldersLiveUnderTheDataRoot) {
    test::TestMachine machine;
    const std::string data = machine.root() + "data";
    PosixPlatform platform(data, "/opt/tool/pestrel");
    EXPECT_EQ(platform.windowsFolder(), data + "/Windows");
    EXPECT_EQ(platform.systemFolder(), data + "/Windows/System32");
    EXPECT_TRUE(test::IsFolder(platform, data + "/Windows/System32"));
    EXPECT_TRUE(test::IsFolder(platform, data + "/Registry"));
    EXPECT_EQ(platform.programFile(), "/opt/tool/pestrel");
    EXPECT_FALSE(PosixPlatform(data).programFile().empty());
}

TEST(PosixFolders, DefaultRootFollowsXdgDataHomeThenHome) {
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";

    ::setenv("XDG_DATA_HOME", "/data/x", 1);
    EXPECT_EQ(PosixPlatform::DefaultDataRoot(), "/data/x/pestrel");
    ::setenv("XDG_DATA_HOME", "", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(PosixPlatform::DefaultDataRoot(), "/home/someone/.local/share/pestrel");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(PosixPlatform::DefaultDataRoot(), "/home/someone/.local/share/pestrel");

    savedXdg ? ::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

} // namespace
} // namespace pestrel
