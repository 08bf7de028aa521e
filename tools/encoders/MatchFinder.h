// Finds the longest earlier match for each position of a buffer with hash chains over the last
// 4096 positions: the window of the LZSS layout that KMLZ uses. The buffer begins with the window's
// initial zero bytes, so the first data bytes can refer to them as a decoder's zero-filled window
// allows; a match may run on into the bytes it produces (overlap), as a byte-wise copy does.
#pragma once

#include <cstdint>
#include <vector>

struct Match {
    std::int64_t position = 0;  // where the match starts in the buffer
    std::int32_t length = 0;    // 0 when there is none of at least kMinMatch bytes
};

class MatchFinder {
public:
    static constexpr std::int64_t kWindow = 4096;
    static constexpr std::int32_t kMinMatch = 3;
    static constexpr std::int32_t kMaxMatch = 18;

    // buffer must outlive the finder; chainLimit caps the candidates tried for one position.
    MatchFinder(const std::vector<std::uint8_t>& buffer, int chainLimit);

    // The longest match for position among the positions inserted so far (nearest on a tie).
    Match Find(std::int64_t position) const;
    // Makes position a candidate for later positions; positions are inserted in increasing order.
    void Insert(std::int64_t position);

private:
    static constexpr int kHashBits = 15;
    // Twice the window: a slot is reused only once its position has left the window.
    static constexpr std::int64_t kChainSlots = 2 * kWindow;

    std::uint32_t HashAt(std::int64_t position) const;
    std::int32_t MatchLength(std::int64_t candidate, std::int64_t position, std::int32_t limit) const;

    const std::vector<std::uint8_t>& buffer;
    const int chainLimit;
    std::vector<std::int64_t> head;      // latest position of each hash, -1 for none
    std::vector<std::int64_t> previous;  // the position inserted before it with the same hash
};
