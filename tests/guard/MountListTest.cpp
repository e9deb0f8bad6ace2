#include "guard/MountList.h"

#include <gtest/gtest.h>

namespace pestrel::guard {
namespace {

std::string Line(const std::string& device, const std::string& point, const std::string& type,
                 const std::string& optional = "shared:1") {
    return "29 1 " + device + " / " + point + " rw,relatime " + optional + " - " + type +
           " /dev/x rw\n";
}

TEST(LocalFileSystems, KeepsEachFileSystemProgramsCanStartFromOnce) {
    const std::string mountinfo =
        Line("0:21", "/", "overlay") + Line("8:1", "/boot", "ext4", "") +
        Line("0:30", "/tmp", "tmpfs") + Line("0:30", "/var/tmp", "tmpfs") // bound again
        + Line("0:5", "/proc", "proc") + Line("0:6", "/sys", "sysfs") +
        Line("0:7", "/sys/fs/cgroup", "cgroup2") + Line("0:40", "/mnt/share", "nfs4") +
        Line("0:41", "/mnt/fuse", "fuse.sshfs") + Line("0:42", "/my\\040disk", "xfs") +
        "garbage line\n" + Line("0:43", "/dev/shm", "tmpfs");
    const std::vector<MountedFileSystem> found = LocalFileSystems(mountinfo);
    std::vector<std::string> points;
    for (const MountedFileSystem& system : found)
        points.push_back(system.mountPoint + "=" + system.type);
    EXPECT_EQ(points, (std::vector<std::string>{"/=overlay", "/boot=ext4", "/tmp=tmpfs",
                                                "/my disk=xfs", "/dev/shm=tmpfs"}));
}

} // namespace
} // namespace pestrel::guard
