// Attacks on the work root does for another user and on the readers of its output, replayed:
// files too large to read, rules that never end, pseudo file systems, names holding line breaks
// that readers of the output split at, and a Wine lock file that is not a file.

#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineProcesses.h"
#include "rules/YaraRules.h"
#include "tests/cli/CliRun.h"
#include "tests/security/AttackScene.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <regex>
#include <sys/inotify.h>

namespace pestrel::attack {
namespace {

using test::CliResult;

// Pestrel's program file in the scene's program folder, with a data home only root can change.
void InstallProgram(Scene& s) {
    fs::copy_file(PESTREL_PROGRAM, s.app("pestrel"));
    for (const char* folder :
         {"", "/pestrel", "/pestrel/Windows", "/pestrel/Windows/System32", "/pestrel/Registry"}) {
        fs::create_directories(s.at("roothome") + folder);
        ::chmod((s.at("roothome") + folder).c_str(), 0700);
    }
}

// Runs `program` (Pestrel's, or one that ends by running it) as root with its data home.
CliResult RunAsRoot(Scene& s, const std::string& program,
                    const std::vector<std::string>& arguments) {
    return test::FinishProgram(test::StartProgram(
        program, arguments, {"XDG_DATA_HOME=" + s.at("roothome")}, s.machine.root()));
}

// The lines of `text` as the strictest reader splits them (Python's str.splitlines, which
// Ansible's stdout_lines uses): at LF, CR, VT, FF, FS, GS, RS, NEL, LS and PS.
std::vector<std::string> ReaderLines(const std::string& text) {
    static const std::regex kBreaks("\n|\r|\v|\f|\x1c|\x1d|\x1e|\xC2\x85|\xE2\x80[\xA8\xA9]");
    std::vector<std::string> lines(
        std::sregex_token_iterator(text.begin(), text.end(), kBreaks, -1), {});
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// Every line of a --json run, as its strictest reader splits them, is one JSON object.
std::vector<QJsonObject> Records(const std::string& out) {
    std::vector<QJsonObject> records;
    for (const std::string& line : ReaderLines(out)) {
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_TRUE(document.isObject()) << line << ": " << error.errorString().toStdString();
        records.push_back(document.object());
    }
    return records;
}

bool HasRecord(const std::vector<QJsonObject>& records, const QJsonObject& wanted) {
    const QStringList keys = wanted.keys();
    return std::any_of(records.begin(), records.end(), [&](const QJsonObject& record) {
        return std::all_of(keys.begin(), keys.end(), [&](const QString& key) {
            return record.value(key) == wanted.value(key);
        });
    });
}

QJsonObject Unscanned(const std::string& path, const char* reason, bool failed) {
    return {{"verb", "unscanned"},
            {"path", QString::fromStdString(path)},
            {"reason", reason},
            {"failed", failed}};
}

bool Reported(const test::RecordingView& view, const PassAction& wanted) {
    return std::any_of(view.actions.begin(), view.actions.end(), [&](const PassAction& action) {
        return action.verb == wanted.verb && action.fields == wanted.fields &&
               action.failed == wanted.failed;
    });
}

// The bytes this process has read with read calls so far: a pass that read a file of many
// gigabytes shows them here, however fast the disk gave them.
std::uint64_t BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value && key != "rchar:") {
    }
    return value;
}

const std::string kNoFileHash = "sha256:" + std::string(64, 'a');

// A rule whose loops over a file of exactly 40961 bytes would run for hours.
const std::string kEndlessRule =
    "rule endless { condition: filesize == 40961 and for any i in (0..filesize) : "
    "(for any j in (0..filesize) : (uint8(i) + uint8(j) == 7)) }\n";

// The Ansible role over one host reached by its local connection, running the scene's Pestrel
// with a list of root's and `--scan folder`: the run's report as JSON and as text.
struct FleetReport {
    int status = -1;
    QJsonObject json;
    std::string text, log;
};
// The playbook's own folder, outside the scene: Ansible's files are no concern of the checker.
std::string gFleet;

FleetReport RunPlaybook(Scene& s, const std::string& folder) {
    const std::string& fleet = gFleet;
    std::ofstream(fleet + "inventory.ini")
        << "[fleet]\nhost1 ansible_connection=local ansible_python_interpreter=/usr/bin/python3 "
        << "pestrel_list=" << fleet << "list.txt pestrel_list_dest=" << fleet
        << "placed/VirusList.txt pestrel_data_home=" << s.at("roothome") << "\n";
    const std::string playbook = std::string(PESTREL_SOURCE_DIR) + "/packaging/ansible/";
    const std::string command =
        "cd " + fleet + " && env ANSIBLE_HOME=" + fleet + "ansible ANSIBLE_LOCAL_TEMP=" + fleet +
        "ansible/local ANSIBLE_REMOTE_TEMP=" + fleet + "ansible/remote ANSIBLE_NOCOLOR=1 " +
        "ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_CONFIG=" + playbook + "ansible.cfg PATH=" + fleet +
        "bin:$PATH ansible-playbook -i inventory.ini " + playbook +
        "pestrel.yml -e pestrel_report=" + fleet +
        "report -e '{\"pestrel_extra_args\": [\"--no-repair\", \"--scan\", \"" + folder +
        "\"]}' >" + fleet + "log 2>&1";
    FleetReport report;
    report.status = std::system(command.c_str());
    report.log = ReadFile(fleet + "log").value_or("");
    report.json = QJsonDocument::fromJson(
                      QByteArray::fromStdString(ReadFile(fleet + "report.json").value_or("")))
                      .object();
    report.text = ReadFile(fleet + "report.txt").value_or("");
    fs::remove_all(fleet);
    return report;
}

// A root-only folder for the playbook, with Pestrel on its PATH, and the attacker's folder Scan
// holding a copy of a program root's list names by its hash, under the name `name`.
void PrepareFleet(Scene& s, const std::string& name) {
    InstallProgram(s);
    std::string pattern = fs::temp_directory_path() / "pestrel-fleet-XXXXXX";
    ASSERT_TRUE(::mkdtemp(pattern.data()));
    gFleet = pattern + "/";
    const std::string& fleet = gFleet;
    fs::create_directories(fleet + "bin");
    fs::create_symlink(s.app("pestrel"), fleet + "bin/pestrel");
    s.giveToAttacker(s.at("Home/Scan"));
    WriteFile(s.at("Home/Scan/") + name, "a program root's list names");
    ::chown((s.at("Home/Scan/") + name).c_str(), kAttacker, kAttacker);
    const auto digest = s.platform.holdFolder(s.at("Home/Scan"))->fileDigest(name);
    WriteFile(fleet + "list.txt", "sha256:" + digest->sha256 + "\n");
    ::chmod((fleet + "list.txt").c_str(), 0600);
}

// The playbook ran, every line the host printed was a record, and the text report holds the
// host's line and nothing that looks like another's.
void ExpectWholeReport(const FleetReport& report, const std::string& deleted) {
    ASSERT_EQ(report.status, 0) << report.log;
    const QJsonObject host = report.json.value("host1").toObject();
    EXPECT_EQ(host.value("status").toInt(-1), 0) << report.log;
    EXPECT_FALSE(host.contains("unparsed")) << report.log;
    bool found = false;
    for (const QJsonValue action : host.value("actions").toArray())
        found = found || (action.toObject().value("verb") == "delete" &&
                          action.toObject().value("path").toString().toStdString() == deleted);
    EXPECT_TRUE(found) << report.log;
    std::vector<std::string> lines = ReaderLines(report.text);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().starts_with("host1: status 0, finished")) << report.text;
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].starts_with("  ")) << "a forged line: " << lines[i];
}

// The wineserver lock of the prefix Home/<prefix>, whose "wineserver" file names `folder`, under
// root's TMPDIR (Tmp): the attacker makes it with `make`, a shell command run in its folder.
void PlantLock(Scene& s, const std::string& prefix, const std::string& folder,
               const std::string& make) {
    const std::string home = s.at("Home/" + prefix + "/");
    for (const char* part : {"drive_c/windows", "dosdevices"})
        s.giveToAttacker(home + part);
    for (const char* part : {"system.reg", "user.reg", "wineserver"})
        WriteFile(home + part, part == std::string("wineserver") ? folder + "\n" : "");
    for (const auto& item : fs::recursive_directory_iterator(home))
        ::lchown(item.path().c_str(), kAttacker, kAttacker);
    ::chown(home.c_str(), kAttacker, kAttacker);
    const auto opened = wine::WinePrefix::Open(home);
    ASSERT_TRUE(std::holds_alternative<wine::WinePrefix>(opened));
    const std::string server =
        s.at("Tmp/") + folder + "/" + std::get<wine::WinePrefix>(opened).serverFolderName();
    s.asAttacker("mkdir -p " + server + " && cd " + server + " && " + make);
}

const Attack kAttacks[] = {
    {"SparseRunningProgramAndAHashLine",
     [](Scene& s) {
         // The attacker's own program, made sparse to 64 GiB before it starts.
         s.giveToAttacker(s.at("Home/Tools"));
         s.start("Home/Tools", "zqbig.exe");
         s.programs.back().reset();
         fs::resize_file(s.at("Home/Tools/zqbig.exe"), 64ull << 30);
         ::chown(s.at("Home/Tools/zqbig.exe").c_str(), kAttacker, kAttacker);
         test::ProgramOptions options;
         options.user = kAttacker;
         options.startFileAsItIs = true;
         s.mustLive.push_back(&s.start("Home/Tools", "zqbig.exe", options));
     },
     [](Scene& s) {
         const std::uint64_t before = BytesRead();
         test::RecordingView view({kNoFileHash});
         EXPECT_TRUE(RunKillPass(s.context, view, view));
         EXPECT_LT(BytesRead() - before, 8ull << 30) << "the sparse program was read";
         EXPECT_TRUE(Reported(
             view, {PassVerb::Unscanned, {s.at("Home/Tools/zqbig.exe"), "over 256 MiB"}, false}));
     }},
    {"RulesBesideAListInAUsersFolder",
     [](Scene& s) {
         InstallProgram(s);
         s.giveToAttacker(s.at("Home/Rules"));
         ::chown(s.at("Home").c_str(), kAttacker, kAttacker);
         s.asAttacker("echo " + kNoFileHash + " >" + s.at("Home/list.txt") + " && echo \"" +
                      kEndlessRule + "\" >" + s.at("Home/Rules/endless.yar") +
                      " && head -c 40961 /dev/zero >" + s.at("Home/target.bin"));
         // The same rule in root's own folder, used by a pass of root's.
         WriteFile(s.at("RootRules/endless.yar"), kEndlessRule);
         ::chmod(s.at("RootRules").c_str(), 0700);
     },
     [](Scene& s) {
         const CliResult run = RunAsRoot(s, s.app("pestrel"),
                                         {"--kill", "--json", "--no-repair", "--list",
                                          s.at("Home/list.txt"), "--scan", s.at("Home")});
         EXPECT_EQ(run.status, 0) << run.err;
         EXPECT_NE(run.err.find("rules: " + s.at("Home/Rules") + ": left out"), std::string::npos)
             << run.err;
         Records(run.out);
         // Root's own rules run out of their time on the attacker's file: a failure, said.
         const RulesLoad rules = LoadRules(s.platform, {s.at("RootRules")});
         ASSERT_TRUE(rules.rules);
         s.context.contentRules = rules.rules.get();
         s.context.scanLimits.ruleSeconds = 1;
         s.context.scanFolders = {s.at("Home")};
         test::RecordingView view({"zq-no-such-program.exe"});
         EXPECT_TRUE(RunKillPass(s.context, view, view));
         EXPECT_TRUE(Reported(view, {PassVerb::Unscanned,
                                     {s.at("Home/target.bin"), "the rule scan timed out after 1 s"},
                                     true}));
     }},
    {"ScanOfAFolderWithProcAndSysMountedBelow",
     [](Scene& s) {
         // The attacker's program, whose page map root must never read; proc, sysfs and
         // devtmpfs are mounted in a namespace of the row's own.
         InstallProgram(s);
         s.giveToAttacker(s.at("Home/Tools"));
         test::ProgramOptions options;
         options.user = kAttacker;
         s.mustLive.push_back(&s.start("Home/Tools", "zqmapped.exe", options));
         for (const char* folder : {"Scan/proc", "Scan/sys", "Dev"})
             fs::create_directories(s.at(folder));
         WriteFile(s.app("list.txt"), kNoFileHash + "\n");
         ::chmod(s.app("list.txt").c_str(), 0600);
     },
     [](Scene& s) {
         const std::string mounts =
             "mount -t proc proc \"$0/Scan/proc\" && mount -t sysfs sysfs \"$0/Scan/sys\" && "
             "mount -t devtmpfs devtmpfs \"$0/Dev\" && exec \"$@\"";
         const CliResult run = RunAsRoot(
             s, "/usr/bin/unshare",
             {"--mount", "--propagation", "private", "sh", "-c", mounts, s.at(""), s.app("pestrel"),
              "--kill", "--json", "--no-repair", "--list", s.app("list.txt"), "--scan",
              s.at("Scan"), "--scan", s.at("Scan/proc"), "--scan", s.at("Dev")});
         EXPECT_EQ(run.status, 1) << run.err << run.out;
         const std::vector<QJsonObject> records = Records(run.out);
         for (const QJsonObject& wanted :
              {Unscanned(s.at("Scan/proc/"), "another file system", false),
               Unscanned(s.at("Scan/sys/"), "another file system", false),
               Unscanned(s.at("Scan/proc/"), "a pseudo file system", true),
               Unscanned(s.at("Dev/"), "a pseudo file system", true)})
             EXPECT_TRUE(HasRecord(records, wanted)) << run.out;
         EXPECT_EQ(run.out.find("/Scan/proc/" + std::to_string(s.mustLive.front()->id())),
                   std::string::npos);
     }},
    {"LineSeparatorsInAMatchedFileName",
     [](Scene& s) {
         // Split at its separators, the line would hold a part that parses as a list.
         PrepareFleet(s, "a\xE2\x80\xA8[1]\xE2\x80\xA9\xC2\x85.exe");
     },
     [](Scene& s) {
         ExpectWholeReport(RunPlaybook(s, s.at("Home/Scan")),
                           s.at("Home/Scan/a\xE2\x80\xA8[1]\xE2\x80\xA9\xC2\x85.exe"));
     }},
    {"NewlinesInAMatchedFileNameForgeAHost",
     [](Scene& s) { PrepareFleet(s, "x\nhost0: status 0, finished, nothing done\n.exe"); },
     [](Scene& s) {
         ExpectWholeReport(RunPlaybook(s, s.at("Home/Scan")),
                           s.at("Home/Scan/x\nhost0: status 0, finished, nothing done\n.exe"));
     }},
    {"WineLockFileALinkOrAPipe",
     [](Scene& s) {
         fs::create_directories(s.at("Tmp"));
         ::chmod(s.at("Tmp").c_str(), 01777);
         PlantLock(s, "linked", "zqlinked", "ln -s " + s.secret + "secret.txt lock");
         PlantLock(s, "piped", "zqpiped", "mkfifo lock");
     },
     [](Scene& s) {
         // The kernel tells of every open of root's file, whatever it was opened for.
         const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
         ASSERT_GE(::inotify_add_watch(opens, (s.secret + "secret.txt").c_str(), IN_OPEN), 0);
         ::setenv("TMPDIR", s.at("Tmp").c_str(), 1);
         for (const char* prefix : {"linked", "piped"}) {
             const auto opened = wine::WinePrefix::Open(s.at("Home/") + prefix);
             ASSERT_TRUE(std::holds_alternative<wine::WinePrefix>(opened));
             EXPECT_FALSE(wine::ServerRuns(std::get<wine::WinePrefix>(opened))) << prefix;
         }
         ::unsetenv("TMPDIR");
         char event[4096];
         EXPECT_LT(::read(opens, event, sizeof event), 0) << "root's file was opened";
         ::close(opens);
     }},
};

class BudgetAttack : public RootAttack {};

TEST_P(BudgetAttack, KeepsRootsWorkWithinItsBudget) {
    Replay(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Budget, BudgetAttack, ::testing::ValuesIn(kAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pestrel::attack
