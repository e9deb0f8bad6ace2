// The attacks of a first review, replayed: planted links and files in the folders Pestrel
// works in, and processes that are not what they seem.

#include "engine/Public.h"
#include "engine/RootCheck.h"
#include "engine/WorkFiles.h"
#include "tests/security/AttackScene.h"

#include <csignal>

namespace pestrel::attack {
namespace {

const Attack kAttacks[] = {
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
                 EXPECT_TRUE(KillProcess(s.platform, record));
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
