#pragma once
// A platform that looks at the machine but changes nothing. Every changing call is recorded
// instead of made and answered as if it had succeeded, and later questions see its effect: a
// deleted file no longer exists, an ended process leaves the snapshot, a deleted registry value
// is gone, a written one reads back.

#include "platform/ForwardingPlatform.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pestrel {

class DryRunPlatform final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;

    // One line per changing call that was not made, in call order ("deleteFile <path>").
    const std::vector<std::string>& changes() const { return changes_; }

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override;
    void requestClose(const std::string& name) override;
    bool terminateProcess(const ProcessRecord& process) override;

    bool createKey(RegRoot root, const std::string& key) override;
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override;
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    // The machine's value names and those written since, without the deleted ones. Sub-keys are
    // the machine's.
    std::vector<std::string> valueNames(RegRoot root, const std::string& key) override;

    // A held folder whose changes are recorded the same way; a file written in the dry run reads
    // back as written.
    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override;
    // The file, as a file of the recording held folder; the scheduler is not told.
    bool deleteTask(HeldFolder& folder, const std::string& name, const FileIdentity& identity,
                    const std::string& task) override;
    bool registerTask(const std::string& task, std::string_view definition) override;

    // A crontab written in the dry run reads back as written.
    std::optional<std::string> readCrontab(const std::string& user) override;
    bool writeCrontab(const std::string& user, const std::string& text) override;
    bool stopUnit(const std::string& user, const std::string& unit) override;
    bool reloadUnits(const std::string& user) override;

private:
    friend class DryRunFolder;
    void record(std::string change) { changes_.push_back(std::move(change)); }
    // Records a change that creates or rewrites the file at `path`.
    void create(const std::string& change, const std::string& path);

    std::vector<std::string> changes_;
    std::set<std::uint32_t> ended_;
    std::set<std::string> deletedFiles_, createdFiles_, createdFolders_;
    std::map<std::string, std::uint32_t> attributes_;
    std::map<std::string, std::string> contents_; // of the files written, by path
    // Registry values by root, key and name (case folded); nothing = deleted.
    std::map<std::string, std::optional<RegValue>> values_;
    // Names of the values written that the machine did not have, by root and key (case folded).
    std::map<std::string, std::vector<std::string>> writtenNames_;
    // Profile values by file, section and key (case folded).
    std::map<std::string, std::string> profile_;
    std::map<std::string, std::string> crontabs_; // by user
};

} // namespace pestrel
