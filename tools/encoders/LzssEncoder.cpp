#include "tools/encoders/LzssEncoder.h"

#include <algorithm>

#include "tools/encoders/MatchFinder.h"

namespace {

// Where the writer puts output byte 0 in its window; window index i holds buffer position i - 18
// modulo the window, the buffer's first 4096 bytes being the initial zeros.
constexpr std::int64_t kFirstWindowIndex = 4078;
constexpr std::int64_t kWindowMask = MatchFinder::kWindow - 1;

// Collects items into groups of eight behind their flag byte.
class GroupWriter {
public:
    explicit GroupWriter(std::vector<std::uint8_t>& out) : out(out) {}

    void Literal(std::uint8_t byte) {
        StartItem(true);
        out.push_back(byte);
    }

    void Reference(std::int64_t windowIndex, std::int32_t length) {
        StartItem(false);
        out.push_back(static_cast<std::uint8_t>(windowIndex & 0xFF));
        out.push_back(static_cast<std::uint8_t>(((windowIndex >> 4) & 0xF0) | (length - MatchFinder::kMinMatch)));
    }

private:
    void StartItem(bool literal) {
        if (items == 8) {
            flagAt = out.size();
            out.push_back(0);
            items = 0;
        }
        if (literal) out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | 1u << items);
        ++items;
    }

    std::vector<std::uint8_t>& out;
    std::size_t flagAt = 0;
    int items = 8;  // the current group is full: the next item opens one
};

}  // namespace

std::vector<std::uint8_t> CompressLzss(const std::vector<std::uint8_t>& data, const LzssOptions& options) {
    // The initial zero window, then the data: matches into the zeros are the decoder's own.
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(MatchFinder::kWindow) + data.size(), 0);
    std::copy(data.begin(), data.end(), buffer.begin() + MatchFinder::kWindow);
    const auto end = static_cast<std::int64_t>(buffer.size());

    MatchFinder finder(buffer, options.chainLimit);
    for (std::int64_t p = 0; p < MatchFinder::kWindow; ++p) finder.Insert(p);

    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 2 + 16);
    GroupWriter writer(out);
    std::int64_t position = MatchFinder::kWindow;
    Match current = finder.Find(position);
    while (position < end) {
        finder.Insert(position);
        if (current.length == 0) {
            writer.Literal(buffer[position]);
            current = finder.Find(++position);
            continue;
        }
        const Match next = position + 1 < end ? finder.Find(position + 1) : Match{};
        if (next.length > current.length) {
            writer.Literal(buffer[position]);
            ++position;
            current = next;
            continue;
        }
        writer.Reference((current.position + kFirstWindowIndex - MatchFinder::kWindow) & kWindowMask, current.length);
        for (std::int64_t p = position + 1; p < position + current.length; ++p) finder.Insert(p);
        position += current.length;
        current = position < end ? finder.Find(position) : Match{};
    }
    return out;
}
