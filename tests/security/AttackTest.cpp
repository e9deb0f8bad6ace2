// The attacks of a first review, replayed: planted links and files in the folders Pestrel
// works in, and processes that are not what they seem.

#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "engine/RootCheck.h"
#include "engine/WorkFiles.h"
#include "platform/ForwardingPlatform.h"
#include "tests/security/AttackScene.h"
#include "tests/support/ShortcutBytes.h"

#include <csignal>
#include <grp.h>
#include <sys/wait.h>

namespace pestrel::attack {
namespace {

// The scene's machine with the attacker as its one user, whose home is the scene's Home/.
class AttackerHome final : public ForwardingPlatform {
public:
    AttackerHome(Platform& inner, std::string home)
        : ForwardingPlatform(inner), home_(std::move(home)) {}
    LinuxPlaces linuxPlaces() override { return {{{"attacker", kAttacker, home_}}, false}; }
    std::optional<std::string> readCrontab(const std::string&) override { return std::string(); }

private:
    std::string home_;
};

// A kill pass over the attacker's Linux start-up places.
Scene::Outcome PassOverHome(Scene& s, const std::string& entry) {
    AttackerHome platform(s.platform, s.at("Home"));
    Context context(platform);
    context.AppPath = s.context.AppPath;
    context.WinDir = s.context.WinDir;
    context.SysDir = s.context.SysDir;
    context.cleanAutostart = true;
    test::RecordingView view({entry});
    return {RunKillPass(context, view, view), view.anyFailed()};
}

const std::string kStartsEvil = "[Desktop Entry]\n[Service]\nExec=/x/zqevil\nExecStart=/x/zqevil\n";

const Attack kAttacks[] = {
    {"AutostartFoldersLinkedToRootsFolder",
     [](Scene& s) {
         WriteFile(s.secret + "evil.desktop", kStartsEvil);
         WriteFile(s.secret + "evil.service", kStartsEvil);
         s.giveToAttacker(s.at("Home/.config/systemd"));
         ::chown(s.at("Home").c_str(), kAttacker, kAttacker);
         ::chown(s.at("Home/.config").c_str(), kAttacker, kAttacker);
         s.asAttacker("ln -s " + s.secret + " " + s.at("Home/.config/autostart") + " && ln -s " +
                      s.secret + " " + s.at("Home/.config/systemd/user"));
     },
     [](Scene& s) {
         const Scene::Outcome outcome = PassOverHome(s, "zqevil");
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
     }},
    {"AutostartEntriesAndWantsLinkedToRootsFiles",
     [](Scene& s) {
         // Root's own link to a unit of that name lies in root's folder; the attacker's entry
         // and its wants folder are links to root's file and folder.
         WriteFile(s.secret + "evil.desktop", kStartsEvil);
         fs::create_directories(s.secret + "wants");
         fs::create_symlink("../evil.service", s.secret + "wants/evil.service");
         s.giveToAttacker(s.at("Home/.config/autostart"));
         s.giveToAttacker(s.at("Home/.config/systemd/user"));
         for (const char* folder : {"Home", "Home/.config", "Home/.config/systemd"})
             ::chown(s.at(folder).c_str(), kAttacker, kAttacker);
         const std::string units = s.at("Home/.config/systemd/user/");
         WriteFile(units + "evil.service", kStartsEvil);
         ::chown((units + "evil.service").c_str(), kAttacker, kAttacker);
         s.asAttacker("ln -s " + s.secret + "evil.desktop " +
                      s.at("Home/.config/autostart/evil.desktop") + " && ln -s " + s.secret +
                      "wants " + units + "default.target.wants");
     },
     [](Scene& s) {
         const Scene::Outcome outcome = PassOverHome(s, "zqevil");
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
         EXPECT_FALSE(Exists(s.at("Home/.config/systemd/user/evil.service"))) << "its own unit";
         EXPECT_TRUE(fs::is_symlink(s.at("Home/.config/autostart/evil.desktop")));
     }},
    {"FolderSwappedWhenEnded",
     [](Scene& s) {
         // On SIGTERM the program moves its folder away and puts a link to root's folder, which
         // holds a file of its name, in its place.
         s.giveToAttacker(s.at("Home/Tools"));
         ::chown(s.at("Home").c_str(), kAttacker, kAttacker);
         WriteFile(s.secret + "evil.exe", "root's own evil.exe");
         test::ProgramOptions options;
         options.user = kAttacker;
         options.onCloseRequest = "mv " + s.at("Home/Tools") + " " + s.at("Home/Moved") +
                                  " && ln -s " + s.secret + " " + s.at("Home/Tools");
         s.mustEnd.push_back(&s.start("Home/Tools", "evil.exe", options));
     },
     [](Scene& s) {
         const Scene::Outcome outcome = s.pass({"evil.exe"});
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
         EXPECT_TRUE(fs::is_symlink(s.at("Home/Tools"))) << "the folder was swapped";
         EXPECT_FALSE(Exists(s.at("Home/Moved/evil.exe"))) << "deleted wherever its folder went";
     }},
    {"RestoreThroughALinkedFolder",
     [](Scene& s) {
         s.giveToAttacker(s.at("Home/Tools"));
         ::chown(s.at("Home").c_str(), kAttacker, kAttacker);
         s.mustEnd.push_back(&s.start("Home/Tools", "evil.exe"));
     },
     [](Scene& s) {
         ASSERT_TRUE(s.killPass({"evil.exe"}));
         s.asAttacker("mv " + s.at("Home/Tools") + " " + s.at("Home/Old") + " && ln -s " +
                      s.secret + " " + s.at("Home/Tools"));
         // A line whose place ends in a separator names no file, whatever the copy is.
         JournalEntry line = ReadJournal(s.context)->front();
         line.place = s.secret;
         ASSERT_TRUE(WriteJournal(s.context, {ReadJournal(s.context)->front(), line}));
         PassLog log;
         const RestoreOutcome outcome = RestoreDeleted(s.context, {}, log);
         EXPECT_EQ(outcome.restored, 0);
         EXPECT_EQ(outcome.failed, 2);
     }},
    {"EntryNamedLikeTheJournal",
     [](Scene& s) {
         WriteFile(s.context.WinDir + "old.exe", "an older deletion");
         s.mustEnd.push_back(&s.start("Tools", "Journal.txt"));
         s.mustEnd.push_back(&s.start("Other", "journal.txt"));
     },
     [](Scene& s) {
         ASSERT_TRUE(s.killPass({"old.exe"}));
         const Scene::Outcome outcome = s.pass({"Journal.txt", "journal.txt"});
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
         const std::vector<JournalEntry> journal = ReadJournal(s.context).value();
         ASSERT_EQ(journal.size(), 3u) << "the older record stays";
         EXPECT_EQ(journal.front().entry, "old.exe");
         // Put back, each to its own place and nowhere else.
         s.putBack = {s.at("Tools/Journal.txt"), s.at("Other/journal.txt")};
         PassLog log;
         const RestoreOutcome restored = RestoreDeleted(s.context, {"JOURNAL.TXT"}, log);
         EXPECT_EQ(restored.restored, 2);
         EXPECT_TRUE(Exists(s.at("Tools/Journal.txt")) && Exists(s.at("Other/journal.txt")));
         EXPECT_FALSE(Exists(s.context.WinDir + "old.exe"));
     }},
    {"ControlBytesInAFolderName",
     [](Scene& s) {
         s.mustEnd.push_back(&s.start("Tools\r\x1b]0;owned\x07\x1a", "evil.exe"));
         WriteFile(s.context.SysDir + "later.exe", "a later deletion");
     },
     [](Scene& s) {
         ASSERT_TRUE(s.killPass({"evil.exe"}));
         ASSERT_TRUE(s.killPass({"later.exe"}));
         const std::string journal = ReadFile(JournalPath(s.context)).value();
         // Nothing but TAB and the CR LF line ends is below 0x20.
         std::string bytes = journal;
         for (std::size_t end = bytes.find("\r\n"); end != std::string::npos;
              end = bytes.find("\r\n"))
             bytes.erase(end, 2);
         for (char c : bytes)
             EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t') << int(c);
         s.putBack = {s.at("Tools\r\x1b]0;owned\x07\x1a/evil.exe")};
         PassLog log;
         EXPECT_EQ(RestoreDeleted(s.context, {"evil.exe"}, log).restored, 1);
         EXPECT_EQ(ReadJournal(s.context)->size(), 2u) << "the rewrite keeps the later record";
     }},
    {"PlantedDeletedMark",
     [](Scene& s) {
         s.giveToAttacker(s.at("Tools"));
         test::ProgramOptions options;
         options.user = kAttacker;
         s.mustEnd.push_back(&s.start("Tools", "evil.exe", options));
         s.asAttacker("rm " + s.at("Tools/evil.exe") + " && echo planted > \"" +
                      s.at("Tools/evil.exe (deleted)") + "\"");
     },
     [](Scene& s) {
         const Scene::Outcome outcome = s.pass({"evil.exe"});
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
         EXPECT_TRUE(Exists(s.at("Tools/evil.exe (deleted)"))) << "not the program";
     }},
    {"CaseVariantAndSecondCopy",
     [](Scene& s) {
         s.mustEnd.push_back(&s.start("Tools", "ZQ76EVIL.EXE"));
         s.mustEnd.push_back(&s.start("Other", "zq76evil.exe"));
     },
     [](Scene& s) {
         const Scene::Outcome outcome = s.pass({"zq76evil.exe"});
         EXPECT_TRUE(outcome.finished && !outcome.anyFailed);
         EXPECT_FALSE(Exists(s.at("Tools/ZQ76EVIL.EXE")));
         EXPECT_FALSE(Exists(s.at("Other/zq76evil.exe")));
     }},
    {"DataFolderLinkSwappedDuringARestore",
     [](Scene& s) {
         // The user's own data folder holds a forged journal that would put a copy into root's
         // folder; a link the user swaps between it and root's folder is the data folder.
         s.giveToAttacker(s.at("Home/data/Undo/Kept"));
         for (const char* folder : {"Home", "Home/data", "Home/data/Undo"})
             ::chown(s.at(folder).c_str(), kAttacker, kAttacker);
         WriteFile(s.at("Home/data/Undo/Kept/1-x"), "forged");
         JournalEntry forged;
         forged.time = "2026-12-08T00:00:00Z";
         forged.entry = "x";
         forged.place = s.secret + "planted";
         forged.kept = s.at("Home/pestrel/Undo/Kept/1-x");
         forged.digest = FileDigest{6, "forged-digest-is-not-checked-before-the-folder-is-held"};
         WriteFile(s.at("Home/data/Undo/Journal.txt"), FormatJournalLine(forged) + "\r\n");
         s.asAttacker("ln -s " + s.at("Home/data") + " " + s.at("Home/pestrel"));
     },
     [](Scene& s) {
         const std::string link = s.at("Home/pestrel");
         const std::string swap = "while :; do ln -sfn " + s.secret + " " + link +
                                  ".new && mv -T " + link + ".new " + link + "; ln -sfn " +
                                  s.at("Home/data") + " " + link + ".new && mv -T " + link +
                                  ".new " + link + "; done";
         const pid_t swapper = ::fork();
         if (swapper == 0) {
             ::setgroups(0, nullptr);
             if (::setgid(kAttacker) == 0 && ::setuid(kAttacker) == 0)
                 ::execl("/bin/sh", "sh", "-c", swap.c_str(), nullptr);
             ::_exit(127);
         }
         s.context.AppPath = link + "/";
         PassLog log;
         for (int run = 0; run < 100; ++run)
             EXPECT_EQ(RestoreDeleted(s.context, {}, log).restored, 0);
         ::kill(swapper, SIGKILL);
         ::waitpid(swapper, nullptr, 0);
     }},
    {"SparseProgramFile",
     [](Scene& s) {
         s.giveToAttacker(s.at("Tools"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         s.programs.back().reset();
         s.mustEnd.pop_back();
         std::filesystem::resize_file(s.at("Tools/evil.exe"), 2ull << 30);
         ::chown(s.at("Tools/evil.exe").c_str(), kAttacker, kAttacker);
         test::ProgramOptions options;
         options.user = kAttacker;
         options.startFileAsItIs = true;
         s.mustEnd.push_back(&s.start("Tools", "evil.exe", options));
     },
     [](Scene& s) {
         struct stat program;
         ASSERT_EQ(::stat(s.at("Tools/evil.exe").c_str(), &program), 0);
         ASSERT_EQ(program.st_size, 2ll << 30);
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_FALSE(Exists(s.at("Tools/evil.exe")));
         std::set<ino_t> copies;
         blkcnt_t blocks = 0;
         for (const auto& item : fs::recursive_directory_iterator(s.context.AppPath)) {
             struct stat info;
             if (::lstat(item.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                 copies.insert(info.st_ino).second)
                 blocks += info.st_blocks;
         }
         EXPECT_LE(blocks, program.st_blocks * 11 / 10 + 64) << "the copies cost what it costs";
         EXPECT_TRUE(Exists(s.app("Undo/Kept/1-evil.exe")));
     }},
    {"PlantedLinkInTheBackupFolder",
     [](Scene& s) {
         // The backup folder is the attacker's: no backup is written into it at all.
         s.giveToAttacker(s.app("Temp"));
         s.asAttacker("ln -s " + s.secret + "tool " + s.app("Temp/evil.exe"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         ::chmod(s.at("Tools/evil.exe").c_str(), 04755);
     },
     [](Scene& s) {
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_FALSE(Exists(s.at("Tools/evil.exe")));
     }},
    {"LinkLeftInOwnBackupFolder",
     [](Scene& s) {
         // A link that was planted while the folder was open: it is replaced, not written through.
         s.giveToAttacker(s.app("Temp"));
         s.asAttacker("ln -s " + s.secret + "tool " + s.app("Temp/evil.exe"));
         ::chown(s.app("Temp").c_str(), 0, 0);
         ::chmod(s.app("Temp").c_str(), 0700);
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         ::chmod(s.at("Tools/evil.exe").c_str(), 04755);
     },
     [](Scene& s) {
         const std::string program = ReadFile(s.at("Tools/evil.exe")).value();
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_EQ(ReadFile(s.app("Temp/evil.exe")), program);
         EXPECT_FALSE(fs::is_symlink(s.app("Temp/evil.exe")));
     }},
    {"StartupFolderAndShortcutTargetLinkedIntoRootsFolder",
     [](Scene& s) {
         // A user's Start-up folder is a link to root's folder, and a shortcut in the user's
         // other profile names a program through a link to it: both hold an evil.exe of root's.
         WriteFile(s.secret + "evil.exe", "root's own evil.exe");
         const std::string users = s.at("data/pestrel/Users/");
         const std::string programs = "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
         s.giveToAttacker(users + "mallory" + programs);
         s.asAttacker("ln -s " + s.secret + " \"" + users + "mallory" + programs + "/Startup\"");
         s.giveToAttacker(users + "eve" + programs + "/Startup");
         s.giveToAttacker(s.at("Home"));
         s.asAttacker("ln -s " + s.secret + " " + s.at("Home/Link"));
         WriteFile(users + "eve" + programs + "/Startup/evil.lnk",
                   test::ShortcutBytes(s.at("Home/Link/evil.exe")));
     },
     [](Scene& s) {
         s.context.cleanAutostart = true;
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_EQ(ReadFile(s.secret + "evil.exe"), "root's own evil.exe");
     }},
    {"ProgramFileSwappedForALink",
     [](Scene& s) {
         s.giveToAttacker(s.at("Tools"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         s.asAttacker("rm -f " + s.at("Tools/evil.exe") + " && ln -s " + s.secret + "secret.txt " +
                      s.at("Tools/evil.exe"));
     },
     [](Scene& s) {
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_FALSE(Exists(s.app("Temp/evil.exe")));
     }},
    {"ProgramFileSwappedForAnotherFile",
     [](Scene& s) {
         s.giveToAttacker(s.at("Tools"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         s.asAttacker("rm -f " + s.at("Tools/evil.exe") + " && echo other > " +
                      s.at("Tools/evil.exe"));
     },
     [](Scene& s) {
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_FALSE(Exists(s.app("Temp/evil.exe"))) << "not the program that was found";
     }},
    {"ScanFolderLinkedIntoRootsFolder",
     [](Scene& s) {
         // A folder of the attacker's, given to --scan, links to root's folder and to root's file
         // whose content a hash line names; only the attacker's own copy of it may go.
         WriteFile(s.secret + "twin.exe", "twin");
         s.giveToAttacker(s.at("Home/Scan"));
         s.asAttacker("ln -s " + s.secret + " " + s.at("Home/Scan/dir") + " && ln -s " + s.secret +
                      "twin.exe " + s.at("Home/Scan/link.exe") + " && printf twin > " +
                      s.at("Home/Scan/own.exe"));
     },
     [](Scene& s) {
         s.context.scanFolders = {s.at("Home/Scan")};
         const auto twin = s.platform.holdFolder(s.secret)->fileDigest("twin.exe");
         EXPECT_TRUE(s.killPass({"sha256:" + twin->sha256}));
         EXPECT_FALSE(Exists(s.at("Home/Scan/own.exe")));
         EXPECT_TRUE(fs::is_symlink(s.at("Home/Scan/link.exe")));
     }},
    {"WorkingFilesLinkedToAPrivateFile",
     [](Scene& s) {
         s.giveToAttacker(s.context.AppPath);
         s.giveToAttacker(s.app("Temp"));
         const std::string secret = s.secret + "secret.txt ";
         s.asAttacker("ln -s " + secret + s.app("Config.ini") + " && ln -s " + secret +
                      s.app("VirusList.txt") + " && ln -s " + secret + s.app("Temp/Log.ini") +
                      " && ln -s " + s.secret + "planted " + s.app("Temp.~txt"));
         s.giveToAttacker(s.at("data/pestrel/Registry"));
         s.asAttacker("ln -s " + s.secret + "planted.lock " +
                      s.at("data/pestrel/Registry/HKEY_CURRENT_USER.reg.lock"));
     },
     [](Scene& s) {
         ReadStartupSettings(s.context);
         EXPECT_TRUE(LoadVirusList(s.context).entries.empty());
         LogDeletion(s.context, "evil.exe", "/x/evil.exe");
         EXPECT_FALSE(RecordPendingDeletion(s.context, "evil.dll"));
         EXPECT_FALSE(DeleteRegValue(s.platform, RegRoot::CurrentUser, kRunKey, "evil.exe"));
     }},
    {"WorkingFilesThatArePipesOrHuge",
     [](Scene& s) {
         s.giveToAttacker(s.context.AppPath);
         // Neither may hang the start nor fill the memory.
         s.asAttacker("mkfifo " + s.app("Config.ini") + " && truncate -s 100G " +
                      s.app("VirusList.txt"));
     },
     [](Scene& s) {
         EXPECT_EQ(ReadStartupSettings(s.context).version, "");
         EXPECT_FALSE(LoadVirusList(s.context).ok);
     }},
    {"DataFolderOwnedByTheUser",
     [](Scene& s) {
         // Reachable through sudo -E: the user's own data folder, its Windows folder a link.
         s.giveToAttacker(s.at("data/pestrel"));
         s.asAttacker("mv " + s.at("data/pestrel/Windows") + " " + s.at("data/pestrel/Old") +
                      " && ln -s " + s.secret + " " + s.at("data/pestrel/Windows"));
     },
     [](Scene& s) {
         const std::string refusal = RootRefusal(s.context);
         EXPECT_NE(refusal.find(s.at("data/pestrel")), std::string::npos) << refusal;
         if (refusal.empty())
             s.killPass({"secret.txt", "tool"});
     }},
    {"ProgramFolderWritableByGroup",
     [](Scene& s) {
         ::chmod(s.context.AppPath.c_str(), 0775);
         s.mustLive.push_back(&s.start("Tools", "evil.exe"));
     },
     [](Scene& s) {
         const std::string refusal = RootRefusal(s.context);
         EXPECT_NE(refusal.find(s.context.AppPath), std::string::npos) << refusal;
         if (refusal.empty())
             s.killPass({"evil.exe"});
     }},
    {"SafeMachineIsNotRefused",
     [](Scene& s) { s.mustEnd.push_back(&s.start("Tools", "evil.exe")); },
     [](Scene& s) {
         EXPECT_EQ(RootRefusal(s.context), "");
         EXPECT_TRUE(s.killPass({"evil.exe"}));
     }},
    {"DecoyStartedEarlier",
     [](Scene& s) {
         s.mustLive.push_back(&s.start("Decoy", "notevil.exe"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
     },
     [](Scene& s) {
         EXPECT_TRUE(s.killPass({"evil.exe"}));
         EXPECT_FALSE(Exists(s.at("Tools/evil.exe")));
         EXPECT_TRUE(Exists(s.at("Decoy/notevil.exe")));
     }},
    {"ProgramThatDeletedItsFile",
     [](Scene& s) {
         s.giveToAttacker(s.at("Tools"));
         s.mustEnd.push_back(&s.start("Tools", "evil.exe"));
         s.asAttacker("rm -f " + s.at("Tools/evil.exe"));
     },
     [](Scene& s) { EXPECT_TRUE(s.killPass({"evil.exe"})); }},
    {"SelectedRowOfTwoSameNamedPrograms",
     [](Scene& s) {
         s.mustLive.push_back(&s.start("One", "twin.exe"));
         s.mustEnd.push_back(&s.start("Two", "twin.exe"));
     },
     [](Scene& s) {
         for (const ProcessRecord& record : s.platform.processSnapshot(SnapshotDetail::ForEnding)) {
             if (record.id == s.mustEnd.front()->id()) {
                 EXPECT_TRUE(EndRecordedProcess(s.platform, record));
             }
         }
     }},
    {"ProcessIdTakenByAnotherProgram",
     [](Scene& s) {
         s.mustLive.push_back(&s.start("Later", "innocent.exe"));
         s.start("Tools", "evil.exe");
     },
     [](Scene& s) {
         // A record of a program that has ended, as if its id now named the innocent one.
         test::RunningProgram& gone = *s.programs.back();
         std::optional<ProcessRecord> stale;
         for (const ProcessRecord& record : s.platform.processSnapshot(SnapshotDetail::ForEnding)) {
             if (record.id == gone.id())
                 stale = record;
         }
         ASSERT_TRUE(stale);
         ::kill(static_cast<pid_t>(gone.id()), SIGKILL);
         ASSERT_TRUE(gone.ended());
         stale->id = s.mustLive.front()->id();
         EXPECT_FALSE(s.platform.terminateProcess(*stale));
         // Without a handle, a start time that is not the innocent program's protects it too.
         ProcessRecord timed;
         timed.id = stale->id;
         timed.startTime = 1;
         EXPECT_FALSE(s.platform.terminateProcess(timed));
     }},
    {"EntryNamedLikeTheLog",
     [](Scene& s) {
         WriteFile(s.app("Temp/Log.ini"), "[RunData]\r\nold.exe=/x/old.exe\r\n");
         ::chmod(s.app("Temp").c_str(), 0700);
         ::chmod(s.app("Temp/Log.ini").c_str(), 0600);
         s.mustEnd.push_back(&s.start("Tools", "Log.ini"));
     },
     [](Scene& s) {
         EXPECT_TRUE(s.killPass({"Log.ini"}));
         const std::string log = s.app("Temp/Log.ini");
         EXPECT_EQ(s.platform.readProfileString(log, "RunData", "old.exe", ""), "/x/old.exe");
         EXPECT_EQ(s.platform.readProfileString(log, "RunData", "Log.ini", ""),
                   s.at("Tools/Log.ini"));
     }},
};

TEST_P(RootAttack, ChangesNothingOutsideAndEndsTheRightPrograms) {
    Replay(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Replayed, RootAttack, ::testing::ValuesIn(kAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pestrel::attack
