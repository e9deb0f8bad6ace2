#pragma once
// A made-up process table of a Linux desktop for the screenshots, so the process pages look the
// same on every machine and show nothing of the machine they were made on.

#include "platform/ForwardingPlatform.h"

#include <string_view>

namespace pestrel {

class FixedProcessTable final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override {
        std::vector<ProcessRecord> snapshot;
        for (const Process& process : kProcesses) {
            const std::string_view path = process.path;
            ProcessRecord& record = snapshot.emplace_back();
            record.id = process.id;
            record.exeFile = path.substr(path.rfind('/') + 1);
            if (detail != SnapshotDetail::Names)
                record.exePath = std::string(path);
        }
        return snapshot;
    }

    // The made-up ids and names must never reach the machine's real processes.
    void requestClose(const std::string&) override {}
    bool terminateProcess(const ProcessRecord&) override { return false; }

    // The folders of the table exist, wherever the screenshots are made: each is held as the
    // root folder.
    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override {
        for (const Process& process : kProcesses) {
            if (std::string_view(process.path).starts_with(path))
                return inner_.holdFolder("/");
        }
        return inner_.holdFolder(path);
    }

private:
    struct Process {
        std::uint32_t id;
        const char* path;
    };
    static constexpr Process kProcesses[] = {
        {1, "/usr/lib/systemd/systemd"},
        {287, "/usr/lib/systemd/systemd-journald"},
        {318, "/usr/lib/systemd/systemd-udevd"},
        {472, "/usr/lib/systemd/systemd-timesyncd"},
        {503, "/usr/bin/dbus-daemon"},
        {511, "/usr/sbin/NetworkManager"},
        {516, "/usr/lib/polkit-1/polkitd"},
        {524, "/usr/sbin/rsyslogd"},
        {530, "/usr/lib/systemd/systemd-logind"},
        {548, "/usr/sbin/cron"},
        {566, "/usr/sbin/sshd"},
        {579, "/usr/sbin/cupsd"},
        {601, "/usr/sbin/lightdm"},
        {623, "/usr/lib/xorg/Xorg"},
        {702, "/usr/lib/systemd/systemd"},
        {716, "/usr/bin/pipewire"},
        {718, "/usr/bin/wireplumber"},
        {721, "/usr/bin/pipewire-pulse"},
        {745, "/usr/bin/xfce4-session"},
        {781, "/usr/bin/xfwm4"},
        {790, "/usr/bin/xfce4-panel"},
        {797, "/usr/bin/xfdesktop"},
        {812, "/usr/bin/nm-applet"},
        {836, "/usr/libexec/at-spi2-registryd"},
        {854, "/usr/libexec/gvfsd"},
        {1033, "/usr/bin/xfce4-terminal"},
        {1041, "/usr/bin/bash"},
        {1187, "/usr/lib/firefox-esr/firefox-esr"},
        {1262, "/usr/lib/thunderbird/thunderbird"},
        {1390, "/usr/lib/libreoffice/program/soffice.bin"},
        {1466, "/usr/bin/python3.11"},
        {1518, "/opt/pestrel/pestrel"},
    };
};

} // namespace pestrel
