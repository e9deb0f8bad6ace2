#include "engine/TaskXml.h"

#include "base/Utf8.h"
#include "engine/UnicodeText.h"

#include <array>
#include <cstdint>

namespace pestrel {
namespace {

// A task definition is a few kilobytes; Windows refuses far smaller ones than this.
constexpr std::size_t kMaxBytes = 1 << 20;
constexpr std::size_t kMaxDepth = 64;
constexpr std::array<std::string_view, 4> kCommandPath = {"Task", "Actions", "Exec", "Command"};

std::optional<std::string> DocumentText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return Utf8FromUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return Utf8FromUtf16(bytes.substr(2), true);
    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0')
        return Utf8FromUtf16(bytes, false);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    return std::string(bytes);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Appends `text` with its entity and character references decoded; false for a reference XML
// does not define without a document type.
bool AppendDecoded(std::string& out, std::string_view text) {
    constexpr std::pair<std::string_view, char> kEntities[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        out += text.substr(0, amp);
        if (amp == std::string_view::npos)
            return true;
        const std::size_t end = text.find(';', amp);
        if (end == std::string_view::npos || end - amp > 12)
            return false;
        const std::string_view name = text.substr(amp + 1, end - amp - 1);
        text.remove_prefix(end + 1);
        bool known = false;
        for (const auto& [entity, character] : kEntities) {
            if (name == entity) {
                out += character;
                known = true;
            }
        }
        if (known)
            continue;
        if (name.size() < 2 || name[0] != '#')
            return false;
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return false;
        std::uint32_t code = 0;
        for (char c : digits) {
            const int digit = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0 || code > 0x10FFFF)
                return false;
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        }
        if (!IsCharacter(code))
            return false;
        AppendUtf8(out, code);
    }
    return true;
}

bool IsNameEnd(char c) {
    return IsBlank(c) || c == '/' || c == '>' || c == '<' || c == '=' || c == '"' || c == '\'';
}

// The local part of a name: what follows its namespace prefix.
std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<std::vector<std::string>> read() {
        while (at_ < text_.size()) {
            if (!step())
                return std::nullopt;
        }
        if (!rootClosed_)
            return std::nullopt;
        return std::move(commands_);
    }

private:
    bool step() {
        const std::string_view rest = text_.substr(at_);
        if (rest.starts_with("<!--"))
            return skipPast("-->", 4);
        if (rest.starts_with("<?"))
            return skipPast("?>", 2);
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = rest.find("]]>");
            if (open_.empty() || end == std::string_view::npos)
                return false;
            if (inCommand())
                command_ += rest.substr(9, end - 9);
            at_ += end + 3;
            return true;
        }
        if (rest.starts_with("<!"))
            return false; // a document type: a task definition has none
        if (rest.starts_with("</"))
            return closeTag();
        if (rest.starts_with('<'))
            return openTag();
        return text();
    }

    bool skipPast(std::string_view end, std::size_t from) {
        const std::size_t found = text_.find(end, at_ + from);
        if (found == std::string_view::npos)
            return false;
        at_ = found + end.size();
        return true;
    }

    std::string_view name() {
        const std::size_t start = at_;
        while (at_ < text_.size() && !IsNameEnd(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    void skipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    bool openTag() {
        if (rootClosed_ || open_.size() >= kMaxDepth)
            return false;
        ++at_;
        const std::string_view element = name();
        if (element.empty() || (open_.empty() && LocalName(element) != kCommandPath[0]))
            return false;
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size())
                return false;
            if (text_.substr(at_).starts_with("/>")) {
                at_ += 2;
                open_.push_back(element);
                return closed();
            }
            if (text_[at_] == '>') {
                ++at_;
                open_.push_back(element);
                if (inCommand())
                    command_.clear();
                return true;
            }
            if (!attribute())
                return false;
        }
    }

    bool attribute() {
        const std::size_t before = at_;
        if (name().empty() || at_ == before)
            return false;
        skipBlanks();
        if (at_ >= text_.size() || text_[at_] != '=')
            return false;
        ++at_;
        skipBlanks();
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\''))
            return false;
        const std::size_t end = text_.find(text_[at_], at_ + 1);
        if (end == std::string_view::npos)
            return false;
        const std::string_view value = text_.substr(at_ + 1, end - at_ - 1);
        std::string ignored;
        if (value.find('<') != std::string_view::npos || !AppendDecoded(ignored, value))
            return false;
        at_ = end + 1;
        return true;
    }

    bool closeTag() {
        at_ += 2;
        const std::string_view element = name();
        skipBlanks();
        if (open_.empty() || element != open_.back() || at_ >= text_.size() || text_[at_] != '>')
            return false;
        ++at_;
        return closed();
    }

    // The innermost open element has ended.
    bool closed() {
        if (inCommand())
            commands_.emplace_back(Trimmed(command_));
        open_.pop_back();
        rootClosed_ = open_.empty();
        return true;
    }

    bool text() {
        const std::size_t end = std::min(text_.find('<', at_), text_.size());
        const std::string_view piece = text_.substr(at_, end - at_);
        at_ = end;
        if (open_.empty())
            return Trimmed(piece).empty(); // nothing but blanks outside the root
        if (piece.find("]]>") != std::string_view::npos)
            return false;
        std::string decoded;
        if (!AppendDecoded(decoded, piece))
            return false;
        if (inCommand())
            command_ += decoded;
        return true;
    }

    bool inCommand() const {
        if (open_.size() != kCommandPath.size())
            return false;
        for (std::size_t i = 0; i < open_.size(); ++i) {
            if (LocalName(open_[i]) != kCommandPath[i])
                return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<std::string_view> open_;
    bool rootClosed_ = false;
    std::string command_;
    std::vector<std::string> commands_;
};

} // namespace

std::optional<std::vector<std::string>> TaskCommands(std::string_view bytes) {
    if (bytes.size() > kMaxBytes)
        return std::nullopt;
    const std::optional<std::string> text = DocumentText(bytes);
    if (!text)
        return std::nullopt;
    return Reader(*text).read();
}

} // namespace pestrel
