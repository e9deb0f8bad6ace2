#include "platform/win32/Win32Digest.h"

#include <array>
#include <bcrypt.h>
#include <vector>

namespace pestrel {

namespace {

constexpr DWORD kChunkBytes = 1 << 16;
constexpr ULONG kDigestBytes = 32;

// A SHA-256 hash in progress; valid() is false when the system could not start one.
class Sha256 {
public:
    Sha256() {
        if (BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0);
    }
    ~Sha256() {
        if (hash_ != nullptr)
            BCryptDestroyHash(hash_);
        if (algorithm_ != nullptr)
            BCryptCloseAlgorithmProvider(algorithm_, 0);
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    bool valid() const { return hash_ != nullptr; }
    bool add(UCHAR* bytes, ULONG count) {
        return BCRYPT_SUCCESS(BCryptHashData(hash_, bytes, count, 0));
    }
    std::optional<std::array<UCHAR, kDigestBytes>> finish() {
        std::array<UCHAR, kDigestBytes> digest;
        if (!BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest.data(), kDigestBytes, 0)))
            return std::nullopt;
        return digest;
    }

private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

} // namespace

std::optional<FileDigest> DigestOf(HANDLE file, std::uint64_t maxBytes) {
    Sha256 sha;
    if (!sha.valid())
        return std::nullopt;
    std::vector<UCHAR> chunk(kChunkBytes);
    FileDigest result;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk.data(), kChunkBytes, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        if (read > maxBytes - result.size)
            return std::nullopt;
        if (!sha.add(chunk.data(), read))
            return std::nullopt;
        result.size += read;
    }
    const auto digest = sha.finish();
    if (!digest)
        return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    for (const UCHAR byte : *digest) {
        result.sha256 += kHex[byte >> 4];
        result.sha256 += kHex[byte & 0xF];
    }
    return result;
}

} // namespace pestrel
