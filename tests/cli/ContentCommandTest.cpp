// Matching by content from the command line, on files no one here wrote: the anti-virus test
// files of Debian's clamav-testfiles (harmless programs, packed and unpacked, and documents).
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::CliResult;
using test::Exists;
using test::WriteFile;

const std::string kTestFiles = "/usr/share/clamav-testfiles/";
// Matches the unpacked test program (and the two packings that leave it readable).
const std::string kClamRule = "rule clam_unpacked {\n"
                              "  strings: $a = \"CLAMessageBoxA\"\n"
                              "  condition: uint16(0) == 0x5A4D and $a\n"
                              "}\n";

class ContentCommand : public ::testing::Test {
protected:
    // Copies a test file into the System folder under another name; its path there.
    std::string plant(const std::string& testFile, const std::string& name) {
        const std::string path = context.SysDir + name;
        std::filesystem::copy_file(kTestFiles + testFile, path);
        return path;
    }
    std::string hashLine(const std::string& path) {
        const auto at = path.find_last_of('/') + 1;
        return "sha256:" +
               platform.holdFolder(path.substr(0, at))->fileDigest(path.substr(at))->sha256;
    }
    void writeList(const std::vector<std::string>& entries) {
        std::string bytes;
        for (const std::string& entry : entries)
            bytes += entry + "\r\n";
        WriteFile(context.AppPath + "VirusList.txt", bytes);
    }
    std::vector<std::string> matched(const CliResult& run) {
        std::vector<std::string> found;
        for (const std::string& line : run.lines()) {
            if (line.starts_with("match\t"))
                found.push_back(line.substr(6));
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    test::CliMachine cli;
    Context& context = cli.context();
    Platform& platform = cli.platform();
    const std::string rules = context.AppPath + "Rules/";
};

TEST_F(ContentCommand, EveryTestFileAHashLineOrARuleNamesIsHandledAndNoOther) {
    ASSERT_TRUE(Exists(kTestFiles + "clam.exe")) << "install clamav-testfiles";
    const std::string upx = plant("clam-upx.exe", "upd.exe"), pdf = plant("clam.pdf", "r.pdf"),
                      plain = plant("clam.exe", "svc32.exe"), fsg = plant("clam-fsg.exe", "f.exe"),
                      cab = plant("clam_IScab_ext.exe", "setup.exe");
    const std::vector<std::string> kept = {plant("clam-mew.exe", "mew.exe"),
                                           plant("clam.zip", "c.zip"),
                                           plant("clam.ole.doc", "d.doc")};
    const std::string eicar = context.WinDir + "e.com";
    WriteFile(eicar, R"(X5O!P%@AP[4\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*)");
    WriteFile(rules + "clam.yar", kClamRule);
    const std::string upxLine = hashLine(upx), pdfLine = hashLine(pdf), eicarLine = hashLine(eicar);
    writeList({"other.exe", upxLine, pdfLine, eicarLine});

    const CliResult run = cli.run({"--kill", "--no-repair"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string rule = "\trule:clam_unpacked";
    std::vector<std::string> expected = {cab + rule,           fsg + rule,
                                         plain + rule,         eicar + "\t" + eicarLine,
                                         pdf + "\t" + pdfLine, upx + "\t" + upxLine};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(matched(run), expected) << run.out;
    for (const std::string& path : {upx, pdf, plain, fsg, cab, eicar})
        EXPECT_FALSE(Exists(path)) << path;
    for (const std::string& path : kept)
        EXPECT_TRUE(Exists(path)) << path;

    const CliResult restore = cli.run({"--restore", "svc32.exe"});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_TRUE(Exists(plain));
}

TEST_F(ContentCommand, ABadRuleFileIsNamedOnceAndTheOthersAreUsed) {
    const std::string plain = plant("clam.exe", "svc32.exe");
    const std::string extra = cli.machine.root() + "MoreRules/";
    WriteFile(rules + "broken.yar",
              "rule ok { condition: true }\n\nrule broken {\n  condition: nonsense\n}\n");
    WriteFile(rules + "big.yar", "// " + std::string(1u << 20, 'x') + "\n");
    WriteFile(rules + "loop.yar", "include \"loop2.yar\"\n");
    WriteFile(rules + "loop2.yar.txt", "not a rule file\n");
    WriteFile(rules + "round.yar", "include \"round2.yar\"\n");
    WriteFile(rules + "round2.yar", "include \"round.yar\"\n");
    WriteFile(rules + "outside.yar", "include \"../elsewhere.yar\"\n");
    WriteFile(context.AppPath + "elsewhere.yar", kClamRule);
    WriteFile(extra + "clam.yar", kClamRule);
    writeList({"other.exe"});

    const CliResult run = cli.run({"--kill", "--no-repair", "--rules", extra});
    EXPECT_EQ(run.status, 0) << run.err;
    const struct {
        std::string file, says;
    } problems[] = {
        {"big.yar", "over 1 MiB"},  {"broken.yar:4", "undefined identifier \"nonsense\""},
        {"loop.yar", "loop2.yar"},  {"outside.yar", "outside its folder"},
        {"round.yar", "in a loop"}, {"round2.yar", "in a loop"},
    };
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = run.err.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(run.err.substr(start, end - start));
    ASSERT_EQ(lines.size(), std::size(problems)) << run.err;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].starts_with("pestrel: rules: " + rules + problems[i].file))
            << lines[i];
        EXPECT_NE(lines[i].find(problems[i].says), std::string::npos) << lines[i];
    }
    EXPECT_EQ(matched(run), std::vector<std::string>{plain + "\trule:clam_unpacked"});
}

TEST_F(ContentCommand, FilesOverTheSizeLimitAreNeitherHashedNorScannedAndEachIsSaid) {
    // The program with a hole after it, at the limit and a byte over it.
    const std::string at = plant("clam.exe", "at.exe"), over = plant("clam.exe", "over.exe");
    std::filesystem::resize_file(at, 1u << 20);
    std::filesystem::resize_file(over, (1u << 20) + 1);
    const std::string large = plant("clam.exe", "large.exe");
    std::filesystem::resize_file(large, (256u << 20) + 1);
    WriteFile(rules + "clam.yar", kClamRule);
    writeList({hashLine(at), hashLine(over)});
    // Those of the System folder: the programs that run here may be over a small limit too.
    const auto unscanned = [&](const CliResult& run) {
        std::vector<std::string> found;
        for (const std::string& line : run.lines()) {
            if (line.starts_with("unscanned\t" + context.SysDir))
                found.push_back(line.substr(10));
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    const struct {
        std::vector<std::string> limit;
        std::vector<std::string> matched, unscanned;
    } cases[] = {
        {{"--max-file-size", "1M"},
         {at + "\t" + hashLine(at)},
         {large + "\tover 1 MiB", over + "\tover 1 MiB"}},
        {{}, {at + "\t" + hashLine(at), over + "\t" + hashLine(over)}, {large + "\tover 256 MiB"}},
        {{"--max-file-size", "1g"},
         {at + "\t" + hashLine(at), large + "\trule:clam_unpacked", over + "\t" + hashLine(over)},
         {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"--kill", "--dry-run", "--no-repair"};
        arguments.insert(arguments.end(), c.limit.begin(), c.limit.end());
        const CliResult run = cli.run(arguments);
        SCOPED_TRACE(c.limit.empty() ? "256M" : c.limit.back());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(matched(run), c.matched) << run.out;
        EXPECT_EQ(unscanned(run), c.unscanned) << run.out;
    }
}

} // namespace
} // namespace pestrel
