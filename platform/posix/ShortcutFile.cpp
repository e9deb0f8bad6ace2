#include "platform/posix/ShortcutFile.h"

#include "base/FolderFd.h"
#include "base/LateLibrary.h"

#include <liblnk.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace pestrel {
namespace {

// A shortcut's fields are bounded by its 16-bit string sizes; more is no shortcut.
constexpr std::size_t kMaxShortcutBytes = 1 << 20;

using Getter = int (*)(liblnk_file_t*, std::uint8_t*, std::size_t, liblnk_error_t**);
using SizeGetter = int (*)(liblnk_file_t*, std::size_t*, liblnk_error_t**);

struct Field {
    SizeGetter size;
    Getter text;
};

// liblnk, opened when the first shortcut is read: a window or a pass that finds none never maps
// it, nor libbfio.
struct LnkLibrary {
    decltype(&liblnk_file_initialize) initialize;
    decltype(&liblnk_file_free) free;
    decltype(&liblnk_file_open) open;
    decltype(&liblnk_file_close) close;
    decltype(&liblnk_error_free) errorFree;
    Field targetFields[4]; // in the order they are asked for
};

// Nothing when the library cannot be opened.
const LnkLibrary* Lnk() {
    static const std::optional<LnkLibrary> lnk = []() -> std::optional<LnkLibrary> {
        void* library = ::dlopen(PESTREL_LNK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        LnkLibrary found{};
        Field* fields = found.targetFields;
        if (!library || !ResolveSymbol(library, "liblnk_file_initialize", found.initialize) ||
            !ResolveSymbol(library, "liblnk_file_free", found.free) ||
            !ResolveSymbol(library, "liblnk_file_open", found.open) ||
            !ResolveSymbol(library, "liblnk_file_close", found.close) ||
            !ResolveSymbol(library, "liblnk_error_free", found.errorFree))
            return std::nullopt;
        const char* names[][2] = {
            {"liblnk_file_get_utf8_local_path_size", "liblnk_file_get_utf8_local_path"},
            {"liblnk_file_get_utf8_network_path_size", "liblnk_file_get_utf8_network_path"},
            {"liblnk_file_get_utf8_environment_variables_location_size",
             "liblnk_file_get_utf8_environment_variables_location"},
            {"liblnk_file_get_utf8_relative_path_size", "liblnk_file_get_utf8_relative_path"},
        };
        for (int i = 0; i < 4; ++i) {
            if (!ResolveSymbol(library, names[i][0], fields[i].size) ||
                !ResolveSymbol(library, names[i][1], fields[i].text))
                return std::nullopt;
        }
        return found;
    }();
    return lnk ? &*lnk : nullptr;
}

// The library reports every failure as an error object, which gathers the later ones too; it is
// freed once, when the reading ends.
struct Errors {
    const LnkLibrary& lnk;
    liblnk_error_t* error = nullptr;
    ~Errors() { lnk.errorFree(&error); }
};

// A field's text in UTF-8 takes at most three bytes for each byte of the shortcut; a larger size
// that the library reports is no field of these bytes.
std::optional<std::string> FieldText(liblnk_file_t* file, const Field& field, std::size_t bytes,
                                     Errors& errors) {
    std::size_t size = 0;
    if (field.size(file, &size, &errors.error) != 1 || size <= 1 || size > bytes * 3 + 1)
        return std::nullopt;
    std::vector<std::uint8_t> text(size);
    if (field.text(file, text.data(), text.size(), &errors.error) != 1)
        return std::nullopt;
    std::string value(text.begin(), text.end());
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    if (value.empty())
        return std::nullopt;
    return value;
}

std::uint32_t Le(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Whether every part the header announces lies inside the bytes: the item list, the link
// information, the strings and the extra blocks. liblnk takes their sizes as they are written.
bool FitsItsBytes(std::string_view bytes) {
    constexpr std::uint32_t kHasItemList = 0x1, kHasLinkInfo = 0x2, kUnicode = 0x80;
    constexpr std::uint32_t kStrings[] = {0x4, 0x8, 0x10, 0x20, 0x40};
    constexpr std::size_t kHeader = 0x4C;
    if (bytes.size() < kHeader || Le(bytes, 0, 4) != kHeader)
        return false;
    const std::uint32_t flags = Le(bytes, 0x14, 4);
    std::size_t at = kHeader;
    const auto skip = [&](int sizeBytes, std::size_t unit, std::size_t extra) {
        if (bytes.size() - at < static_cast<std::size_t>(sizeBytes))
            return false;
        const std::size_t size = Le(bytes, at, sizeBytes) * unit + extra;
        if (size < static_cast<std::size_t>(sizeBytes) || bytes.size() - at < size)
            return false;
        at += size;
        return true;
    };
    if ((flags & kHasItemList) && !skip(2, 1, 2))
        return false;
    if ((flags & kHasLinkInfo) && !skip(4, 1, 0))
        return false;
    for (std::uint32_t string : kStrings) {
        if ((flags & string) && !skip(2, flags & kUnicode ? 2 : 1, 2))
            return false;
    }
    // Extra blocks follow, each with its size first, until one smaller than 4 ends them.
    while (bytes.size() - at >= 4 && Le(bytes, at, 4) >= 4) {
        if (!skip(4, 1, 0))
            return false;
    }
    return true;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::string> ShortcutFileTarget(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > kMaxShortcutBytes || !FitsItsBytes(bytes))
        return std::nullopt;
    // liblnk reads a private copy in memory through a file of its own, so that no read reaches
    // past the bytes whatever a field says.
    const UniqueFd copy(::memfd_create("shortcut", MFD_CLOEXEC));
    if (!copy || !WriteAll(copy.get(), bytes))
        return std::nullopt;
    const LnkLibrary* lnk = Lnk();
    liblnk_file_t* file = nullptr;
    if (!lnk)
        return std::nullopt;
    Errors errors{*lnk};
    if (lnk->initialize(&file, &errors.error) != 1)
        return std::nullopt;
    const auto freeFile = [lnk](liblnk_file_t* f) { lnk->free(&f, nullptr); };
    const std::unique_ptr<liblnk_file_t, decltype(freeFile)> ownedFile(file, freeFile);
    const std::string name = "/proc/self/fd/" + std::to_string(copy.get());
    if (lnk->open(file, name.c_str(), LIBLNK_OPEN_READ, &errors.error) != 1)
        return std::nullopt;
    std::optional<std::string> target;
    for (const Field& field : lnk->targetFields) {
        if ((target = FieldText(file, field, bytes.size(), errors)))
            break;
    }
    lnk->close(file, &errors.error);
    return target;
}

} // namespace pestrel
