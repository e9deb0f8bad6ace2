#include "guard/MountList.h"

#include <set>
#include <sstream>
#include <string_view>

namespace pestrel::guard {
namespace {

constexpr std::string_view kSkipped[] = {
    // views of the kernel's own state, holding no program files
    "proc", "sysfs", "cgroup", "cgroup2", "debugfs", "tracefs", "securityfs", "pstore", "bpf",
    "configfs", "fusectl", "mqueue", "devpts", "binfmt_misc", "autofs", "efivarfs", "selinuxfs",
    "nsfs", "rpc_pipefs", "nfsd", "hugetlbfs", "ramfs",
    // file systems served over the network
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ceph", "9p", "afs", "sshfs", "davfs"};

bool Skipped(const std::string& type) {
    if (type.rfind("fuse", 0) == 0) // fuse, fuseblk, fuse.sshfs: served by a process
        return true;
    for (std::string_view skipped : kSkipped) {
        if (type == skipped)
            return true;
    }
    return false;
}

// A mountinfo field with its octal escapes (\040 for a blank and so on) undone.
std::string Unescaped(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

} // namespace

std::vector<MountedFileSystem> LocalFileSystems(const std::string& mountinfo) {
    std::vector<MountedFileSystem> found;
    std::set<std::string> devices;
    std::istringstream lines(mountinfo);
    std::string line;
    while (std::getline(lines, line)) {
        // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint, field, type;
        if (!(fields >> id >> parent >> device >> root >> mountPoint))
            continue;
        while (fields >> field && field != "-") {
        }
        if (field != "-" || !(fields >> type) || Skipped(type) || !devices.insert(device).second)
            continue;
        found.push_back({Unescaped(mountPoint), type, device});
    }
    return found;
}

} // namespace pestrel::guard
