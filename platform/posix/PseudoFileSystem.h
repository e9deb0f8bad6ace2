#pragma once
// The kernel's views that look like file systems: their "files" are its state (a process's page
// map, the whole of memory, a trace that waits for events), never stored content, so no walk by
// content enters them.

namespace pestrel {

// Whether the open file or folder `fd` lies on such a view: proc, sysfs, devtmpfs, cgroup,
// debugfs, tracefs, securityfs, bpf, configfs, pstore, efivarfs, devpts, mqueue, fusectl,
// hugetlbfs, binfmt_misc, selinuxfs, autofs. False when it cannot be told.
bool OnPseudoFileSystem(int fd);

} // namespace pestrel
