// The packet structure of the GP encoder: maximal runs as run packets, the rest as literals, at most
// 128 units a packet, units taken straight across row ends with the last one zero-padded.
#include <gtest/gtest.h>

#include <string>

#include "tools/encoders/GpEncoder.h"

namespace {

struct Packet {
    bool run;
    std::size_t units;
    Bytes first;  // the first unit
    Bytes last;   // the last unit it expands to
};

std::vector<Packet> ParsePackets(const Bytes& packets, Bytes* expanded) {
    std::vector<Packet> out;
    for (std::size_t at = 0; at < packets.size();) {
        const bool run = packets[at] & 1;
        const std::size_t units = (packets[at] >> 1) + 1u;
        const std::size_t stored = run ? 1 : units;
        EXPECT_LE(at + 1 + 3 * stored, packets.size()) << "packet cut short";
        if (at + 1 + 3 * stored > packets.size()) break;
        const auto begin = packets.begin() + static_cast<long>(at + 1);
        for (std::size_t i = 0; i < units; ++i) {
            const auto unit = begin + static_cast<long>(run ? 0 : 3 * i);
            expanded->insert(expanded->end(), unit, unit + 3);
        }
        out.push_back({run, units, Bytes(begin, begin + 3), Bytes(expanded->end() - 3, expanded->end())});
        at += 1 + 3 * stored;
    }
    return out;
}

// Units of pixel bytes: a sequence of (unit value, repeat count) pairs.
Bytes UnitsOf(std::initializer_list<std::pair<std::uint8_t, int>> runs) {
    Bytes out;
    for (const auto& [value, count] : runs) {
        for (int i = 0; i < count; ++i) out.insert(out.end(), {value, static_cast<std::uint8_t>(value + 1), 9});
    }
    return out;
}

struct PacketCase {
    const char* name;
    Bytes pixels;
};

class GpPackets : public ::testing::TestWithParam<PacketCase> {};

TEST_P(GpPackets, ExpandToTheBytesWithMaximalRuns) {
    const Bytes& pixels = GetParam().pixels;
    Bytes expanded;
    const std::vector<Packet> packets = ParsePackets(EncodeGpPackets(pixels), &expanded);

    Bytes padded = pixels;
    padded.resize((pixels.size() + 2) / 3 * 3, 0);
    EXPECT_EQ(expanded, padded);
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const Packet& p = packets[i];
        ASSERT_LE(p.units, 128u);
        if (i + 1 == packets.size()) continue;
        const Packet& next = packets[i + 1];
        // A packet that is not full never ends where the next could have gone on.
        if (p.run && next.run && p.first == next.first) {
            EXPECT_EQ(p.units, 128u) << "run split at " << i;
        }
        if (!p.run && !next.run) {
            EXPECT_EQ(p.units, 128u) << "literal split at " << i;
        }
        if (!p.run) {
            EXPECT_NE(p.last, next.first) << "literal " << i << " ends with the unit of the next run";
        }
    }
    // No two equal units side by side inside a literal.
    std::size_t unit = 0;
    for (const Packet& p : packets) {
        for (std::size_t k = 1; !p.run && k < p.units; ++k) {
            EXPECT_NE(Bytes(expanded.begin() + 3 * (unit + k - 1), expanded.begin() + 3 * (unit + k)),
                      Bytes(expanded.begin() + 3 * (unit + k), expanded.begin() + 3 * (unit + k + 1)))
                << "equal units inside a literal";
        }
        unit += p.units;
    }
}

Bytes Distinct(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) out.insert(out.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 1});
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, GpPackets,
    ::testing::Values(PacketCase{"OneByte", Bytes{5}}, PacketCase{"FourBytes", Bytes{1, 2, 3, 4}},
                      PacketCase{"RunOf2", UnitsOf({{1, 2}})}, PacketCase{"RunOf128", UnitsOf({{1, 128}})},
                      PacketCase{"RunOf129", UnitsOf({{1, 129}})}, PacketCase{"RunOf300", UnitsOf({{1, 300}})},
                      PacketCase{"Literal128", Distinct(128)}, PacketCase{"Literal129", Distinct(129)},
                      PacketCase{"Literal400", Distinct(400)},
                      PacketCase{"Mixed", UnitsOf({{1, 1}, {2, 1}, {3, 5}, {4, 1}, {5, 2}, {6, 1}, {3, 130}})},
                      PacketCase{"RunEndingInPadding", Bytes{0, 0, 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<PacketCase>& info) { return std::string(info.param.name); });

TEST(GpEncoder, RefusesPicturesThatAreNot24Bit) {
    Bitmap bitmap;
    bitmap.header = MakeBitmapHeader(4, 4, 16);
    bitmap.rows.assign(32, 0);
    try {
        EncodeGp(bitmap);
        FAIL() << "a 16-bit picture was packed as GP";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("24-bit"), std::string::npos) << e.what();
    }
}

}  // namespace
