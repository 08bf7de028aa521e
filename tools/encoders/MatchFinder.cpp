#include "tools/encoders/MatchFinder.h"

#include <algorithm>

MatchFinder::MatchFinder(const std::vector<std::uint8_t>& buffer, int chainLimit)
    : buffer(buffer), chainLimit(chainLimit), head(std::size_t{1} << kHashBits, -1), previous(kChainSlots, -1) {}

std::uint32_t MatchFinder::HashAt(std::int64_t position) const {
    const std::uint32_t key = static_cast<std::uint32_t>(buffer[position]) |
                              static_cast<std::uint32_t>(buffer[position + 1]) << 8 |
                              static_cast<std::uint32_t>(buffer[position + 2]) << 16;
    return (key * 2654435761u) >> (32 - kHashBits);
}

std::int32_t MatchFinder::MatchLength(std::int64_t candidate, std::int64_t position, std::int32_t limit) const {
    std::int32_t length = 0;
    while (length < limit && buffer[candidate + length] == buffer[position + length]) ++length;
    return length;
}

Match MatchFinder::Find(std::int64_t position) const {
    Match best;
    const std::int64_t remaining = static_cast<std::int64_t>(buffer.size()) - position;
    if (remaining < kMinMatch) return best;
    const std::int32_t limit = static_cast<std::int32_t>(std::min<std::int64_t>(kMaxMatch, remaining));
    int tries = chainLimit;
    for (std::int64_t candidate = head[HashAt(position)]; candidate >= 0 && position - candidate <= kWindow && tries-- > 0;
         candidate = previous[candidate % kChainSlots]) {
        const std::int32_t length = MatchLength(candidate, position, limit);
        if (length > best.length) {
            best = {candidate, length};
            if (length == limit) break;
        }
    }
    if (best.length < kMinMatch) best = Match{};
    return best;
}

void MatchFinder::Insert(std::int64_t position) {
    if (static_cast<std::int64_t>(buffer.size()) - position < kMinMatch) return;
    const std::uint32_t hash = HashAt(position);
    previous[position % kChainSlots] = head[hash];
    head[hash] = position;
}
