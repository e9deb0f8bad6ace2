#pragma once
// An index from names to pointers in which names compare without ASCII case. Open addressing in
// one array: an entry needs no allocation of its own, and a lookup usually touches one slot. It
// keeps views of the names, which must outlive it.

#include "base/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace pestrel {

// Equal for names that compare equal without ASCII case. Clearing bit 5 of every byte maps a-z
// onto A-Z, eight bytes at a time; it also maps a few other pairs onto each other, which costs
// no more than a comparison.
inline std::uint64_t FoldedHash(std::string_view name) {
    constexpr std::uint64_t kFold = 0xDFDFDFDFDFDFDFDFull, kMix = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = name.size() * kMix;
    for (std::size_t at = 0; at < name.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + at, std::min<std::size_t>(8, name.size() - at));
        hash = (hash ^ (word & kFold)) * kMix;
        hash ^= hash >> 29;
    }
    return hash;
}

template <typename T> class FoldedIndex {
public:
    // Room for `count` names without growing.
    void reserve(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        if (size > slots_.size())
            rehash(size);
    }
    // Where the pointer of `name` is kept, or null when `name` is not in the index.
    T* const* find(std::string_view name) const {
        if (slots_.empty())
            return nullptr;
        const Slot& slot = slots_[probe(name, FoldedHash(name))];
        return slot.used ? &slot.value : nullptr;
    }
    T** find(std::string_view name) { return const_cast<T**>(std::as_const(*this).find(name)); }
    // Adds `name` with a null pointer unless present; answers where its pointer is kept and
    // whether it was added.
    std::pair<T**, bool> insert(std::string_view name) {
        reserve(used_ + 1);
        const std::uint64_t hash = FoldedHash(name);
        Slot& slot = slots_[probe(name, hash)];
        const bool added = !slot.used;
        if (added) {
            slot = {hash, name, nullptr, true};
            ++used_;
        }
        return {&slot.value, added};
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::string_view name;
        T* value = nullptr;
        bool used = false;
    };
    // The slot holding `name`, or the free one where it belongs. At most half the slots are
    // used, so the walk ends.
    std::size_t probe(std::string_view name, std::uint64_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (!slot.used || (slot.hash == hash && EqualsIgnoringAsciiCase(slot.name, name)))
                return at;
        }
    }
    void rehash(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        const std::size_t mask = size - 1;
        for (const Slot& slot : old) {
            if (!slot.used)
                continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].used)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_; // a power of two in size, or empty
    std::size_t used_ = 0;
};

} // namespace pestrel
