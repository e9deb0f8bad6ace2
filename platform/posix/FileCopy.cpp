#include "platform/posix/FileCopy.h"

#include "base/LateLibrary.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace pestrel {
namespace {

// Whether `bytes` more on the disk of `fd` still leave kFreeDiskPercent of it free.
bool LeavesEnoughFree(int fd, std::uint64_t bytes) {
    struct statvfs disk;
    if (::fstatvfs(fd, &disk) != 0)
        return false;
    const std::uint64_t total = std::uint64_t(disk.f_blocks) * disk.f_frsize;
    const std::uint64_t free = std::uint64_t(disk.f_bavail) * disk.f_frsize;
    return free >= bytes && (free - bytes) * 100 >= total * kFreeDiskPercent;
}

bool CopyRange(int source, int target, off_t from, off_t to) {
    char buffer[65536];
    while (from < to) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<off_t>(to - from, sizeof buffer));
        const ssize_t got = ::pread(source, buffer, want, from);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote =
                ::pwrite(target, buffer + done, static_cast<std::size_t>(got - done), from + done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            done += wrote;
        }
        from += got;
    }
    return true;
}

// libcrypto's digest, opened on the first digest: a run that keeps no copy never maps the
// library. It stays open for the life of the process.
struct DigestLibrary {
    decltype(&EVP_MD_CTX_new) newContext;
    decltype(&EVP_MD_CTX_free) freeContext;
    decltype(&EVP_sha256) sha256;
    decltype(&EVP_DigestInit_ex) init;
    decltype(&EVP_DigestUpdate) update;
    decltype(&EVP_DigestFinal_ex) finish;
};

const DigestLibrary* Crypto() {
    static const std::optional<DigestLibrary> crypto = []() -> std::optional<DigestLibrary> {
        void* library = ::dlopen(PESTREL_CRYPTO_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        DigestLibrary found{};
        if (!library || !ResolveSymbol(library, "EVP_MD_CTX_new", found.newContext) ||
            !ResolveSymbol(library, "EVP_MD_CTX_free", found.freeContext) ||
            !ResolveSymbol(library, "EVP_sha256", found.sha256) ||
            !ResolveSymbol(library, "EVP_DigestInit_ex", found.init) ||
            !ResolveSymbol(library, "EVP_DigestUpdate", found.update) ||
            !ResolveSymbol(library, "EVP_DigestFinal_ex", found.finish))
            return std::nullopt;
        return found;
    }();
    return crypto ? &*crypto : nullptr;
}

} // namespace

bool CopyFileContent(int source, int target) {
    struct stat info;
    if (::fstat(source, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // What the source takes on its disk, not its length: a sparse file costs its data only.
    const std::uint64_t allocated = std::uint64_t(info.st_blocks) * 512;
    if (!LeavesEnoughFree(target, allocated))
        return false;
    const off_t size = info.st_size;
    for (off_t data = 0; data < size;) {
        data = ::lseek(source, data, SEEK_DATA);
        if (data < 0)
            break; // no data after this point (ENXIO): the rest is a hole
        const off_t hole = ::lseek(source, data, SEEK_HOLE);
        if (hole < 0 || !CopyRange(source, target, data, hole))
            return false;
        data = hole;
    }
    return ::ftruncate(target, size) == 0;
}

std::optional<FileDigest> DigestOf(int fd, std::uint64_t maxBytes) {
    const DigestLibrary* crypto = Crypto();
    if (!crypto)
        return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, decltype(crypto->freeContext)> context(crypto->newContext(),
                                                                       crypto->freeContext);
    if (!context || crypto->init(context.get(), crypto->sha256(), nullptr) != 1)
        return std::nullopt;
    FileDigest digest;
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        // A file that grows while it is read is read no further than the limit.
        if (static_cast<std::uint64_t>(got) > maxBytes - digest.size)
            return std::nullopt;
        if (crypto->update(context.get(), buffer, static_cast<std::size_t>(got)) != 1)
            return std::nullopt;
        at += got;
        digest.size += static_cast<std::uint64_t>(got);
    }
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    if (crypto->finish(context.get(), hash, &length) != 1)
        return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    for (unsigned i = 0; i < length; ++i) {
        digest.sha256 += kHex[hash[i] >> 4];
        digest.sha256 += kHex[hash[i] & 15];
    }
    return digest;
}

} // namespace pestrel
