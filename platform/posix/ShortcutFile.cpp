#include "platform/posix/ShortcutFile.h"

#include <liblnk.h>
#include <memory>
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

constexpr Field kTargetFields[] = {
    {liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path},
    {liblnk_file_get_utf8_network_path_size, liblnk_file_get_utf8_network_path},
    {liblnk_file_get_utf8_environment_variables_location_size,
     liblnk_file_get_utf8_environment_variables_location},
    {liblnk_file_get_utf8_relative_path_size, liblnk_file_get_utf8_relative_path},
};

// The library reports every failure as an error object, which gathers the later ones too; it is
// freed once, when the reading ends.
struct Errors {
    liblnk_error_t* error = nullptr;
    ~Errors() { liblnk_error_free(&error); }
};

std::optional<std::string> FieldText(liblnk_file_t* file, const Field& field, Errors& errors) {
    std::size_t size = 0;
    if (field.size(file, &size, &errors.error) != 1 || size <= 1)
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

} // namespace

std::optional<std::string> ShortcutFileTarget(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > kMaxShortcutBytes)
        return std::nullopt;
    // liblnk reads through a handle; this one reads a private copy of the bytes in memory.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    libbfio_handle_t* handle = nullptr;
    libbfio_error_t* bfioError = nullptr;
    if (libbfio_memory_range_initialize(&handle, &bfioError) != 1 ||
        libbfio_memory_range_set(handle, copy.data(), copy.size(), &bfioError) != 1) {
        libbfio_error_free(&bfioError);
        libbfio_handle_free(&handle, nullptr);
        return std::nullopt;
    }
    const std::unique_ptr<libbfio_handle_t, void (*)(libbfio_handle_t*)> ownedHandle(
        handle, [](libbfio_handle_t* h) { libbfio_handle_free(&h, nullptr); });
    liblnk_file_t* file = nullptr;
    Errors errors;
    if (liblnk_file_initialize(&file, &errors.error) != 1)
        return std::nullopt;
    const std::unique_ptr<liblnk_file_t, void (*)(liblnk_file_t*)> ownedFile(
        file, [](liblnk_file_t* f) { liblnk_file_free(&f, nullptr); });
    if (liblnk_file_open_file_io_handle(file, handle, LIBLNK_OPEN_READ, &errors.error) != 1)
        return std::nullopt;
    std::optional<std::string> target;
    for (const Field& field : kTargetFields) {
        if ((target = FieldText(file, field, errors)))
            break;
    }
    liblnk_file_close(file, &errors.error);
    return target;
}

} // namespace pestrel
