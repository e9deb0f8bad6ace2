#pragma once
// Held folders on Linux: a descriptor opened without following a link at any step, every file
// reached relative to it, every change made with the folder owner's file-system ids.

#include "base/FolderFd.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

namespace pestrel {

class PosixHeldFolder final : public HeldFolder {
public:
    // Null when any step of `path` is a link or not a folder.
    static std::unique_ptr<PosixHeldFolder> Open(const std::string& path);

    const std::string& path() const override { return path_; }
    std::optional<FileIdentity> fileIdentity(const std::string& name) override;
    std::optional<FileOwnership> fileOwnership(const std::string& name) override;
    std::optional<FileDigest> fileDigest(const std::string& name, std::uint64_t maxBytes) override;
    std::optional<FileStamp> fileStamp(const std::string& name) override;
    std::optional<FolderEntries> entries() override;
    std::optional<FileSystemOf> fileSystem() override;
    std::unique_ptr<MappedFile> mapFile(const std::string& name,
                                        const FileIdentity& identity) override;
    bool deleteFile(const std::string& name, const FileIdentity& identity) override;
    bool copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                  const std::string& toName) override;
    bool linkFile(const std::string& name, HeldFolder& to, const std::string& toName) override;
    bool restoreFile(HeldFolder& from, const std::string& fromName, const std::string& name,
                     const FileOwnership& ownership) override;
    std::unique_ptr<HeldFolder> folder(const std::string& name, bool create) override;
    std::vector<std::string> entryNames() override;
    bool hasEntry(const std::string& name) override;
    std::optional<std::string> readFile(const std::string& name, std::uint64_t maxBytes) override;
    bool replaceFile(const std::string& name, const std::string& bytes) override;
    bool appendFile(const std::string& name, const std::string& bytes) override;
    // Read-only is a regular file without its owner's write bit; the other bits have no stand-in.
    std::uint32_t fileAttributes(const std::string& name) override;
    bool setFileAttributes(const std::string& name, std::uint32_t attributes) override;
    std::string readProfileString(const std::string& name, const std::string& section,
                                  const std::string& key, const std::string& fallback) override;
    bool writeProfileString(const std::string& name, const std::string& section,
                            const std::string& key, const std::string& value) override;
    std::optional<std::string> linkTarget(const std::string& name) override;
    bool deleteLink(const std::string& name, const std::string& target) override;
    bool createLink(const std::string& name, const std::string& target) override;
    void actFor(std::uint32_t user) override;
    std::optional<std::uint32_t> owner() override;

    int fd() const { return fd_.get(); }

private:
    PosixHeldFolder(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
    // The regular file `name`, opened for reading without following a link; with `identity`, only
    // while it is that file.
    UniqueFd openFile(const std::string& name,
                      const std::optional<FileIdentity>& identity = std::nullopt) const;

    UniqueFd fd_;
    std::string path_;
    std::optional<uid_t> word_; // the user on whose word it acts, when not the administrator's
};

} // namespace pestrel
