// The built orvane program (native) run as a user runs it: exit codes, messages, the files it
// writes and the files it must leave alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/tool/PluginReference.h"
#include "tests/tool/PngReader.h"
#include "tests/tool/TestPictures.h"
#include "tests/tool/ToolInputs.h"
#include "tests/tool/ToolRunner.h"
#include "tools/encoders/BmpReader.h"
#include "tools/encoders/BmpWriter.h"
#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> Args(std::initializer_list<std::string> head, const std::vector<std::string>& tail = {}) {
    std::vector<std::string> args(head);
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
}

void ExpectPngShows(const std::string& png, const std::string& packed) {
    const ReadPng read = ReadPngFile(png);
    ASSERT_TRUE(read.ok) << png << " is not a readable PNG";
    const Bitmap decoded = DecodeWithPlugin(ReadAll(packed));
    EXPECT_EQ(read.width, decoded.header.biWidth);
    EXPECT_EQ(read.height, static_cast<int>(RowCount(decoded.header)));
    EXPECT_EQ(read.rgb, UprightRgb(decoded)) << png << " does not show the decoded pixels upright";
}

TEST(ToolConvert, WritesUprightPngsOfTheDecodedPixels) {
    TempFolder folder;
    const std::vector<std::string> inputs = WriteInputs(folder, StandardInputs());
    const ToolRun run = RunTool(Args({"convert", "-o", folder / "out"}, inputs));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const std::string& input : inputs) {
        const std::string png = folder / ("out/" + std::filesystem::path(input).stem().string() + ".png");
        EXPECT_TRUE(Contains(run.out, png + "\n")) << run.out;
        ExpectPngShows(png, input);
    }
    EXPECT_EQ(folder.Names("out").size(), inputs.size()) << "stray files in the output folder";
}

TEST(ToolConvert, EightBitPicturesBecomePalettesOfTheUsedEntriesOnly) {
    TempFolder folder;
    // A 256-entry table of which stripes use two entries, 1 and 255.
    const std::string input = WriteInputs(folder, {{"two.bmp", MakeBitmap(12, 9, 8, Content::Stripes, 6)}})[0];
    ASSERT_EQ(RunTool({"convert", input}).exitCode, 0);
    const ReadPng read = ReadPngFile(folder / "two.png");
    ASSERT_TRUE(read.ok);
    EXPECT_TRUE(read.palette);
    EXPECT_EQ(read.paletteEntries, 2);
    ExpectPngShows(folder / "two.png", input);
}

TEST(ToolConvert, ToBmpWritesTheBitmapThatWasPacked) {
    TempFolder folder;
    const std::vector<ToolInput> inputs = StandardInputs();
    const std::vector<std::string> paths = WriteInputs(folder, inputs);
    const ToolRun run = RunTool(Args({"convert", "--to", "bmp", "-o", folder / "out"}, paths));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const ToolInput& input : inputs) {
        const std::string bmp = folder / ("out/" + std::filesystem::path(input.name).stem().string() + ".bmp");
        // Bottom-up, as the plug-in hands pictures over; otherwise the very bitmap that was packed.
        EXPECT_EQ(ReadAll(bmp), BmpFileBytes(AsHandedOver(input.bitmap))) << bmp;
    }
}

TEST(ToolConvert, WritesBesideTheInputWithoutAnOutputFolder) {
    TempFolder folder;
    const std::string input = WriteInputs(folder, {StandardInputs()[0]})[0];
    const ToolRun run = RunTool({"convert", input});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"sun.gpc", "sun.png"}));
}

TEST(ToolConvert, KeepsAnExistingOutputWithoutForceAndGoesOn) {
    TempFolder folder;
    const std::vector<std::string> inputs = WriteInputs(folder, StandardInputs());
    std::filesystem::create_directory(folder / "out");
    folder.Write("out/sun.png", Bytes{'k', 'e', 'e', 'p'});

    const ToolRun run = RunTool(Args({"convert", "-o", folder / "out"}, inputs));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "sun.png exists (use --force to replace it)")) << run.err;
    EXPECT_EQ(ReadAll(folder / "out/sun.png"), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(folder.Names("out").size(), inputs.size()) << "the others are written, and nothing else";
    ExpectPngShows(folder / "out/band.png", inputs[1]);

    const ToolRun forced = RunTool({"convert", "--force", "-o", folder / "out", inputs[0]});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    ExpectPngShows(folder / "out/sun.png", inputs[0]);
    EXPECT_EQ(folder.Names("out").size(), inputs.size());
}

struct BrokenInput {
    const char* name;
    std::function<std::string(const TempFolder&)> make;  // the path to hand over
    const char* reason;
};

void PrintTo(const BrokenInput& c, std::ostream* os) { *os << c.name; }

class ToolBrokenInput : public ::testing::TestWithParam<BrokenInput> {};

TEST_P(ToolBrokenInput, FailsAloneWithAReasonAndWritesNothingForIt) {
    TempFolder folder;
    const std::string good = WriteInputs(folder, {StandardInputs()[0]})[0];
    const std::string broken = GetParam().make(folder);
    const ToolRun run = RunTool({"convert", "-o", folder / "out", broken, good});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "orvane: " + broken + ": ")) << run.err;
    EXPECT_TRUE(Contains(run.err, GetParam().reason)) << run.err;
    EXPECT_EQ(folder.Names("out"), (std::set<std::string>{"sun.png"}));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ToolBrokenInput,
    ::testing::Values(
        BrokenInput{"Text", [](const TempFolder& f) { return f.Write("notes.gpc", Bytes(300, 'x')); },
                    "not a picture that the plug-in recognises"},
        BrokenInput{"Empty", [](const TempFolder& f) { return f.Write("empty.gpc", Bytes{}); }, "the file is empty"},
        BrokenInput{"KmlzHeaderOnly",
                    [](const TempFolder& f) {
                        Bytes head(33, 0);
                        head[0] = 'K', head[1] = 'M', head[2] = 'L', head[3] = 'Z', head[9] = 60;
                        return f.Write("cut.bmp", head);
                    },
                    "not a picture that the plug-in recognises"},
        BrokenInput{"Missing", [](const TempFolder& f) { return f / "absent.gpc"; }, "cannot open"},
        BrokenInput{"Folder",
                    [](const TempFolder& f) {
                        std::filesystem::create_directory(f / "sub.gpc");
                        return f / "sub.gpc";
                    },
                    "is a folder"}),
    [](const ::testing::TestParamInfo<BrokenInput>& info) { return std::string(info.param.name); });

TEST(ToolConvert, NeverReplacesItsInputOrAnOutputOfTheSameRun) {
    TempFolder folder;
    const std::vector<ToolInput> inputs{{"pic.bmp", MakeBitmap(6, 4, 24, Content::Random, 8)},
                                        {"pic.gpc", MakeBitmap(6, 4, 24, Content::Gradient, 9)}};
    const std::vector<std::string> paths = WriteInputs(folder, inputs);
    const Bytes packed = ReadAll(paths[0]);

    const ToolRun same = RunTool({"convert", "--force", "--to", "bmp", paths[0]});
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_TRUE(Contains(same.err, "would replace the input")) << same.err;
    EXPECT_EQ(ReadAll(paths[0]), packed);

    const ToolRun both = RunTool({"convert", "--force", paths[0], paths[1]});
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_TRUE(Contains(both.err, "already written from another input")) << both.err;
    ExpectPngShows(folder / "pic.png", paths[0]);
}

TEST(ToolConvert, ShowsProgressOnATerminalOnly) {
    TempFolder folder;
    const std::vector<std::string> inputs = WriteInputs(folder, {StandardInputs()[0], StandardInputs()[1]});
    const ToolRun terminal = RunToolInTerminal(Args({"convert", "-o", folder / "a"}, inputs));
    EXPECT_EQ(terminal.exitCode, 0);
    EXPECT_TRUE(Contains(terminal.out, "[1/2] " + inputs[0])) << terminal.out;
    EXPECT_TRUE(Contains(terminal.out, "[2/2] " + inputs[1])) << terminal.out;

    const ToolRun piped = RunTool(Args({"convert", "-o", folder / "b"}, inputs));
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_FALSE(Contains(piped.err + piped.out, "[1/2]"));
}

TEST(ToolInfo, DescribesEachFileAndFailsForTheUnsupported) {
    TempFolder folder;
    const std::vector<std::string> inputs = WriteInputs(folder, StandardInputs());
    const std::string text = folder.Write("plain.txt", Bytes(100, 'a'));
    const ToolRun run = RunTool({"info", inputs[0], inputs[1], text, inputs[2], inputs[3]});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, inputs[0] + ": gpc, width 13, height 7, 24 bits per pixel\n" + inputs[1] +
                           ": gpc, width 10, height -5, 24 bits per pixel\n" + inputs[2] +
                           ": kmlz, width 9, height 6, 8 bits per pixel\n" + inputs[3] +
                           ": kmlz, width 11, height -4, 16 bits per pixel\n");
    EXPECT_EQ(run.err, "orvane: " + text + ": not a picture that the plug-in recognises\n");
}

TEST(ToolPack, PackedFilesDecodeToTheBitmap) {
    TempFolder folder;
    const Bitmap bitmap = MakeBitmap(23, -9, 24, Content::Gradient, 10);
    const std::string bmp = folder.Write("in.bmp", BmpFileBytes(bitmap));
    for (const std::string format : {"gpc", "kmlz"}) {
        const ToolRun run = RunTool({"pack", "--to", format, bmp, folder / ("out." + format)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, folder / ("out." + format) + ": " + format + ", ")) << run.out;
        const Bitmap decoded = DecodeWithPlugin(ReadAll(folder / ("out." + format)));
        EXPECT_EQ(BmpFileBytes(decoded), BmpFileBytes(AsHandedOver(bitmap))) << format;
    }
}

struct PackRefusal {
    const char* name;
    std::vector<std::string> args;  // after "pack"; IN and OUT are replaced by paths
    std::function<Bytes()> input;
    const char* reason;
};

void PrintTo(const PackRefusal& c, std::ostream* os) { *os << c.name; }

class ToolPackRefusal : public ::testing::TestWithParam<PackRefusal> {};

TEST_P(ToolPackRefusal, SaysWhyAndWritesNothing) {
    TempFolder folder;
    const std::string in = folder.Write("in.bmp", GetParam().input());
    std::vector<std::string> args{"pack"};
    for (const std::string& arg : GetParam().args) args.push_back(arg == "IN" ? in : arg == "OUT" ? folder / "out" : arg);
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, GetParam().reason)) << run.err;
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"in.bmp"}));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ToolPackRefusal,
    ::testing::Values(
        PackRefusal{"EightBitAsGp", {"--to", "gpc", "IN", "OUT"},
                    [] { return BmpFileBytes(MakeBitmap(4, 4, 8, Content::Flat, 1, 4)); }, "GP holds 24-bit pictures only"},
        PackRefusal{"NotABmp", {"--to", "kmlz", "IN", "OUT"}, [] { return Bytes(80, 'P'); }, "not a BMP file"},
        PackRefusal{"ThirtyTwoBit", {"--to", "kmlz", "IN", "OUT"},
                    [] {
                        Bytes file = BmpFileBytes(MakeBitmap(4, 4, 16, Content::Flat, 1));
                        file[28] = 32;
                        return file;
                    },
                    "32 bits per pixel"},
        PackRefusal{"AlreadyPacked", {"--to", "kmlz", "IN", "OUT"},
                    [] { return EncodeKmlz(MakeBitmap(4, 4, 24, Content::Flat, 1)); }, "not a BMP file"}),
    [](const ::testing::TestParamInfo<PackRefusal>& info) { return std::string(info.param.name); });

TEST(ToolPack, KeepsAnExistingOutputWithoutForce) {
    TempFolder folder;
    const std::string bmp = folder.Write("in.bmp", BmpFileBytes(MakeBitmap(4, 4, 24, Content::Flat, 1)));
    const std::string out = folder.Write("out.gpc", Bytes{1, 2, 3});
    const ToolRun run = RunTool({"pack", "--to", "gpc", bmp, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "exists (use --force to replace it)")) << run.err;
    EXPECT_EQ(ReadAll(out), (Bytes{1, 2, 3}));
    EXPECT_EQ(RunTool({"pack", "--force", "--to", "gpc", bmp, out}).exitCode, 0);
    EXPECT_EQ(ReadAll(out), EncodeGp(ReadBmp(ReadAll(bmp))));
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* reason;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class ToolUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(ToolUsage, ExitsWithStatus2AndTheUsage) {
    const ToolRun run = RunTool(GetParam().args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(Contains(run.err, GetParam().reason)) << run.err;
    EXPECT_TRUE(Contains(run.err, "usage:")) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ToolUsage,
    ::testing::Values(UsageCase{"Nothing", {}, "no command"},
                      UsageCase{"UnknownCommand", {"show", "a.gpc"}, "unknown command 'show'"},
                      UsageCase{"NoFiles", {"convert", "--force"}, "no input files"},
                      UsageCase{"UnknownTarget", {"convert", "--to", "gif", "a.gpc"}, "not 'gif'"},
                      UsageCase{"PackWithoutTarget", {"pack", "a.bmp", "a.gpc"}, "pack needs --to"},
                      UsageCase{"PackThreeFiles", {"pack", "--to=gpc", "a", "b", "c"}, "one input bitmap"},
                      UsageCase{"OptionWithoutValue", {"convert", "a.gpc", "-o"}, "-o needs a value"},
                      UsageCase{"ForeignOption", {"info", "--force", "a.gpc"}, "unknown option '--force'"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(ToolPlugin, LoadsTheFilterNamedByPluginAndRefusesOthers) {
    TempFolder folder;
    const std::string input = WriteInputs(folder, {StandardInputs()[0]})[0];
    std::filesystem::copy_file(ORVANE_PLUGIN_PATH, folder / "other-filter.so");
    const ToolRun run = RunTool({"info", "--plugin", folder / "other-filter.so", input});
    EXPECT_EQ(run.exitCode, 0) << run.err;

    const ToolRun missing = RunTool({"convert", "--plugin", folder / "absent.so", input});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(Contains(missing.err, "cannot load " + folder / "absent.so")) << missing.err;
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"other-filter.so", "sun.gpc"}));
}

}  // namespace
