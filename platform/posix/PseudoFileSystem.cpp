#include "platform/posix/PseudoFileSystem.h"

#include "base/FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace pestrel {
namespace {

// The f_type of each view, as <linux/magic.h> has them.
constexpr std::uint32_t kPseudoTypes[] = {
    0x9fa0,     // proc
    0x62656572, // sysfs
    0x27e0eb,   // cgroup
    0x63677270, // cgroup2
    0x64626720, // debugfs
    0x74726163, // tracefs
    0x73636673, // securityfs
    0xcafe4a11, // bpf
    0x62656570, // configfs
    0x6165676c, // pstore
    0xde5e81e4, // efivarfs
    0x1cd1,     // devpts
    0x19800202, // mqueue
    0x65735543, // fusectl
    0x958458f6, // hugetlbfs
    0x42494e4d, // binfmt_misc
    0xf97cff8c, // selinuxfs
    0x43415d53, // smackfs
    0x0187,     // autofs
};
constexpr std::uint32_t kTmpfs = 0x01021994;

// devtmpfs reports tmpfs's type: the mount table tells them apart by the device's line
// ("ID PARENT MAJOR:MINOR ROOT POINT OPTIONS [TAGS] - TYPE SOURCE OPTIONS").
bool IsDevtmpfs(dev_t device) {
    const std::optional<std::string> mounts =
        ReadFileBytes("/proc/" + std::to_string(::getpid()) + "/mountinfo");
    const std::string number =
        " " + std::to_string(major(device)) + ":" + std::to_string(minor(device)) + " ";
    for (const std::string_view line : SplitLines(mounts.value_or(""))) {
        const std::size_t parent = line.find(' '), type = line.find(" - ");
        if (parent != std::string_view::npos && type != std::string_view::npos &&
            line.find(number) == line.find(' ', parent + 1) &&
            line.substr(type + 3).starts_with("devtmpfs "))
            return true;
    }
    return false;
}

} // namespace

bool OnPseudoFileSystem(int fd) {
    struct statfs system;
    struct stat info;
    if (::fstatfs(fd, &system) != 0 || ::fstat(fd, &info) != 0)
        return false;
    const auto type = static_cast<std::uint32_t>(system.f_type);
    if (std::find(std::begin(kPseudoTypes), std::end(kPseudoTypes), type) != std::end(kPseudoTypes))
        return true;
    return type == kTmpfs && IsDevtmpfs(info.st_dev);
}

} // namespace pestrel
