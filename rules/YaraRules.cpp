#include "rules/YaraRules.h"

#include "base/LateLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <yara.h>

namespace pestrel {
namespace {

// libyara, opened when the first rule file is compiled and set up for the rest of the process:
// a window or a pass without rule files never maps it, nor the libraries it brings.
struct YaraLibrary {
    decltype(&yr_initialize) initialize;
    decltype(&yr_finalize) finalize;
    decltype(&yr_compiler_create) compilerCreate;
    decltype(&yr_compiler_destroy) compilerDestroy;
    decltype(&yr_compiler_set_callback) compilerSetCallback;
    decltype(&yr_compiler_set_include_callback) compilerSetIncludeCallback;
    decltype(&yr_compiler_add_string) compilerAddString;
    decltype(&yr_compiler_get_rules) compilerGetRules;
    decltype(&yr_rules_destroy) rulesDestroy;
    decltype(&yr_rules_scan_mem) rulesScanMem;
};

const YaraLibrary* Yara();

std::optional<YaraLibrary> OpenYara() {
    void* library = ::dlopen(PESTREL_YARA_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    YaraLibrary yara{};
    if (!library || !ResolveSymbol(library, "yr_initialize", yara.initialize) ||
        !ResolveSymbol(library, "yr_finalize", yara.finalize) ||
        !ResolveSymbol(library, "yr_compiler_create", yara.compilerCreate) ||
        !ResolveSymbol(library, "yr_compiler_destroy", yara.compilerDestroy) ||
        !ResolveSymbol(library, "yr_compiler_set_callback", yara.compilerSetCallback) ||
        !ResolveSymbol(library, "yr_compiler_set_include_callback",
                       yara.compilerSetIncludeCallback) ||
        !ResolveSymbol(library, "yr_compiler_add_string", yara.compilerAddString) ||
        !ResolveSymbol(library, "yr_compiler_get_rules", yara.compilerGetRules) ||
        !ResolveSymbol(library, "yr_rules_destroy", yara.rulesDestroy) ||
        !ResolveSymbol(library, "yr_rules_scan_mem", yara.rulesScanMem) ||
        yara.initialize() != ERROR_SUCCESS)
        return std::nullopt;
    std::atexit([] { Yara()->finalize(); });
    return yara;
}

// Nothing when the library cannot be opened or set up.
const YaraLibrary* Yara() {
    static const std::optional<YaraLibrary> yara = OpenYara();
    return yara ? &*yara : nullptr;
}

bool IsRuleFileName(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".yar") == 0;
}

bool IsPlainIncludeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\:\0", 4)) == std::string::npos;
}

// The text of the rule file `name` of `folder`, or why it cannot be used.
struct RuleText {
    std::string text;
    std::string problem;
};
RuleText ReadRuleFile(HeldFolder& folder, const std::string& name) {
    const std::optional<FileStamp> stamp = folder.fileStamp(name);
    if (!stamp)
        return {{}, "cannot be read"};
    if (stamp->size > kMaxRuleFileBytes)
        return {{}, "is over 1 MiB"};
    const std::unique_ptr<MappedFile> mapped = folder.mapFile(name, stamp->identity);
    if (!mapped)
        return {{}, "cannot be read"};
    return {std::string(mapped->bytes()), {}};
}

// One compilation of one top-level file: its includes come from the same folder, and an include
// that would close a loop is refused.
class Compilation {
public:
    Compilation(HeldFolder& folder, std::string file) : folder_(folder), file_(std::move(file)) {}

    // The first error, as "FILE:LINE: MESSAGE", or empty when the file compiled.
    std::string compile(YR_COMPILER* compiler, const std::string& text) {
        Yara()->compilerSetCallback(compiler, &Compilation::report, this);
        Yara()->compilerSetIncludeCallback(compiler, &Compilation::include, &Compilation::release,
                                           this);
        // The file is the namespace of its rules: two files may name a rule alike.
        if (Yara()->compilerAddString(compiler, text.c_str(), file_.c_str()) != 0 && error_.empty())
            error_ = file_ + ": does not compile";
        return error_;
    }

private:
    static void report(int level, const char* file, int line, const YR_RULE*, const char* message,
                       void* self) {
        auto& compilation = *static_cast<Compilation*>(self);
        if (level != YARA_ERROR_LEVEL_ERROR || !compilation.error_.empty())
            return;
        compilation.error_ = std::string(file ? file : compilation.file_.c_str()) + ":" +
                             std::to_string(line) + ": " + message;
    }

    static const char* include(const char* name, const char* from, const char*, void* self) {
        auto& compilation = *static_cast<Compilation*>(self);
        const std::string included = name, includer = from ? from : compilation.file_;
        std::string problem;
        if (!IsPlainIncludeName(included))
            problem = "includes '" + included + "', which is outside its folder";
        else if (compilation.reaches(included, includer))
            problem = "includes '" + included + "' in a loop";
        RuleText rule;
        if (problem.empty()) {
            compilation.includes_[includer].insert(included);
            rule = ReadRuleFile(compilation.folder_, included);
            if (!rule.problem.empty())
                problem = "includes '" + included + "', which " + rule.problem;
        }
        if (!problem.empty()) {
            // The line names the file that is left out, and the included file that failed it.
            if (compilation.error_.empty())
                compilation.error_ = compilation.file_ + ": " +
                                     (includer == compilation.file_ ? "" : includer + " ") +
                                     problem;
            return nullptr;
        }
        compilation.texts_.push_back(std::make_unique<std::string>(std::move(rule.text)));
        return compilation.texts_.back()->c_str();
    }
    static void release(const char*, void*) {} // the texts live as long as the compilation

    // Whether `from` includes `to`, or is it.
    bool reaches(const std::string& from, const std::string& to) const {
        if (from == to)
            return true;
        const auto next = includes_.find(from);
        if (next == includes_.end())
            return false;
        return std::any_of(next->second.begin(), next->second.end(),
                           [&](const std::string& inner) { return reaches(inner, to); });
    }

    HeldFolder& folder_;
    std::string file_;
    std::string error_;
    std::map<std::string, std::set<std::string>> includes_;
    std::vector<std::unique_ptr<std::string>> texts_;
};

// The error that compiling `name` alone gives, or empty: a compiler that saw an error takes no
// more files, so each file is tried apart before it joins the others.
std::string TryCompile(HeldFolder& folder, const std::string& name, const std::string& text) {
    YR_COMPILER* trial = nullptr;
    if (Yara()->compilerCreate(&trial) != ERROR_SUCCESS)
        return name + ": the compiler cannot start";
    Compilation compilation(folder, name);
    std::string error = compilation.compile(trial, text);
    Yara()->compilerDestroy(trial);
    return error;
}

int FirstMatching(YR_SCAN_CONTEXT*, int message, void* data, void* user) {
    if (message != CALLBACK_MSG_RULE_MATCHING)
        return CALLBACK_CONTINUE;
    *static_cast<std::optional<std::string>*>(user) = static_cast<YR_RULE*>(data)->identifier;
    return CALLBACK_ABORT;
}

// Why a scan ended with libyara's `error`.
std::string ScanFailure(int error, int seconds) {
    switch (error) {
    case ERROR_SCAN_TIMEOUT:
        return "the rule scan timed out after " + std::to_string(seconds) + " s";
    case ERROR_TOO_MANY_MATCHES:
        return "the rule scan failed: a string matches too often";
    case ERROR_INSUFFICIENT_MEMORY:
        return "the rule scan failed: out of memory";
    case ERROR_COULD_NOT_MAP_FILE:
        return "the rule scan failed: the file changed while it was read";
    default:
        return "the rule scan failed (libyara error " + std::to_string(error) + ")";
    }
}

// Whether, run as root, someone else could change the folder at `path`.
bool OthersCanChange(Platform& platform, const std::string& path) {
    const std::vector<std::string> unsafe = platform.foldersOthersCanChange({path});
    return std::find(unsafe.begin(), unsafe.end(), path) != unsafe.end();
}

// The compiler all good files join, made with the first rule file.
class Compiler {
public:
    Compiler() = default;
    Compiler(const Compiler&) = delete;
    Compiler& operator=(const Compiler&) = delete;
    ~Compiler() {
        if (compiler_)
            Yara()->compilerDestroy(compiler_);
    }
    // False, with the reason added to `problems`, when it cannot be made.
    bool start(std::vector<std::string>& problems) {
        if (compiler_)
            return true;
        if (!Yara())
            problems.push_back("the rule library cannot start");
        else if (Yara()->compilerCreate(&compiler_) != ERROR_SUCCESS)
            problems.push_back("the rule compiler cannot start");
        return compiler_ != nullptr;
    }
    YR_COMPILER* get() const { return compiler_; }

private:
    YR_COMPILER* compiler_ = nullptr;
};

} // namespace

YaraRules::~YaraRules() {
    Yara()->rulesDestroy(rules_);
}

RulesVerdict YaraRules::firstMatch(std::string_view bytes, bool mayFault, int seconds) {
    RulesVerdict verdict;
    const auto scan = [&](int flags) {
        return Yara()->rulesScanMem(rules_, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    bytes.size(), flags, FirstMatching, &verdict.match, seconds);
    };
    int result;
    if (!mayFault) {
        // Bytes in memory cannot fault: no handler, and scans run side by side.
        result = scan(SCAN_FLAGS_FAST_MODE | SCAN_FLAGS_NO_TRYCATCH);
    } else {
        // libyara turns a fault in a mapped file that shrinks under it into a failed scan
        // through a handler of the whole process; this version puts the handler back right only
        // while one scan runs at a time, and a handler left in place would turn any later fault
        // into an endless loop instead of a crash.
        static std::mutex oneScanAtATime;
        const std::lock_guard lock(oneScanAtATime);
        result = scan(SCAN_FLAGS_FAST_MODE);
    }
    // A scan that stopped early matched nothing that can be told.
    if (result != ERROR_SUCCESS && !verdict.match)
        verdict.failure = ScanFailure(result, seconds);
    return verdict;
}

RulesLoad LoadRules(Platform& platform, const std::vector<std::string>& folders) {
    RulesLoad load;
    Compiler compiler;
    bool any = false;
    for (const std::string& path : folders) {
        const std::unique_ptr<HeldFolder> folder = platform.holdFolder(path);
        if (folder && OthersCanChange(platform, path)) {
            load.problems.push_back(path + ": left out: it is not root's alone, or is reached "
                                           "through a link");
            continue;
        }
        std::optional<FolderEntries> entries = folder ? folder->entries() : std::nullopt;
        if (!entries) {
            if (folder)
                load.problems.push_back(path + ": the rules folder cannot be read");
            continue;
        }
        std::sort(entries->files.begin(), entries->files.end());
        for (const std::string& name : entries->files) {
            if (!IsRuleFileName(name))
                continue;
            if (!compiler.start(load.problems))
                return load;
            const RuleText rule = ReadRuleFile(*folder, name);
            std::string error = rule.problem.empty() ? TryCompile(*folder, name, rule.text)
                                                     : name + ": " + rule.problem;
            if (!error.empty()) {
                load.problems.push_back(folder->path() + error);
                continue;
            }
            Compilation compilation(*folder, name);
            compilation.compile(compiler.get(), rule.text);
            any = true;
        }
    }
    YR_RULES* rules = nullptr;
    if (any && Yara()->compilerGetRules(compiler.get(), &rules) == ERROR_SUCCESS)
        load.rules = std::make_unique<YaraRules>(rules);
    return load;
}

RulesLoad LoadListRules(Platform& platform, const std::string& listFolder,
                        const std::vector<std::string>& more) {
    std::vector<std::string> folders = {listFolder + "Rules"};
    folders.insert(folders.end(), more.begin(), more.end());
    return LoadRules(platform, folders);
}

} // namespace pestrel
