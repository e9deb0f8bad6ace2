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
    // Spreads every bit over the low ones, which pick the slot.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 33;
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
        const Slot& slot = slots_[probe(name, Folded32(name))];
        return slot.name ? &slot.value : nullptr;
    }
    T** find(std::string_view name) { return const_cast<T**>(std::as_const(*this).find(name)); }
    // Adds `name` with a null pointer unless present; answers where its pointer is kept and
    // whether it was added.
    std::pair<T**, bool> insert(std::string_view name) {
        reserve(used_ + 1);
        const std::uint32_t hash = Folded32(name);
        Slot& slot = slots_[probe(name, hash)];
        const bool added = !slot.name;
        if (added) {
            // A view of "" still points somewhere; only a free slot holds null.
            slot = {name.data() ? name.data() : "", static_cast<std::uint32_t>(name.size()), hash,
                    nullptr};
            ++used_;
        }
        return {&slot.value, added};
    }

private:
    // Small, so that more of the table stays in the cache: names are shorter than 4 GiB.
    struct Slot {
        const char* name = nullptr; // null: free
        std::uint32_t size = 0;
        std::uint32_t hash = 0;
        T* value = nullptr;
    };
    static std::uint32_t Folded32(std::string_view name) {
        return static_cast<std::uint32_t>(FoldedHash(name));
    }
    // The slot holding `name`, or the free one where it belongs. At most half the slots are
    // used, so the walk ends.
    std::size_t probe(std::string_view name, std::uint32_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (!slot.name ||
                (slot.hash == hash && EqualsIgnoringAsciiCase({slot.name, slot.size}, name)))
                return at;
        }
    }
    void rehash(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        const std::size_t mask = size - 1;
        for (const Slot& slot : old) {
            if (!slot.name)
                continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].name)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_; // a power of two in size, or empty
    std::size_t used_ = 0;
};

} // namespace pestrel
