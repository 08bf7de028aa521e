// Compresses bytes into the LZSS layout that KMLZ uses: groups of a flag byte and up to eight items,
// bit 0 first, 1 for a literal byte and 0 for a two-byte reference lo, hi to
// window position ((hi & 0xF0) << 4) | lo with length (hi & 0x0F) + 3. Output byte k goes to window
// position (4078 + k) mod 4096, and the window starts out filled with zero bytes.
//
// Matches come from hash chains over the whole window, with lazy matching: a match is deferred by
// one literal when the next position has a longer one.
#pragma once

#include <cstdint>
#include <vector>

struct LzssOptions {
    int chainLimit = 256;  // candidates tried for one position
};

std::vector<std::uint8_t> CompressLzss(const std::vector<std::uint8_t>& data, const LzssOptions& options = {});
