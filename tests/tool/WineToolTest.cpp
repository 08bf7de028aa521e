// The Windows build orvane.exe, run under Wine beside the real orvane01.spi as a user runs it. Each
// start of a Windows program is slow there, so each test is one run that checks several things.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tool/PluginReference.h"
#include "tests/tool/PngReader.h"
#include "tests/tool/TestPictures.h"
#include "tests/tool/ToolInputs.h"
#include "tests/tool/ToolRunner.h"
#include "tools/encoders/BmpWriter.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

TEST(WineTool, ConvertWritesUprightPngsKeepsExistingOutputsAndGoesOnAfterFailures) {
    TempFolder folder;
    std::vector<std::string> inputs = WriteInputs(folder, StandardInputs());
    const std::string broken = folder.Write("broken.gpc", Bytes(100, 'x'));
    std::filesystem::create_directory(folder / "out");
    folder.Write("out/true.png", Bytes{'k', 'e', 'e', 'p'});
    std::vector<std::string> args{"convert", "-o", folder / "out", broken};
    args.insert(args.end(), inputs.begin(), inputs.end());

    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "orvane: " + broken + ": not a picture that the plug-in recognises")) << run.err;
    EXPECT_TRUE(Contains(run.err, "true.png exists (use --force to replace it)")) << run.err;
    EXPECT_EQ(ReadAll(folder / "out/true.png"), (Bytes{'k', 'e', 'e', 'p'}));
    for (const std::string& input : inputs) {
        if (Stem(input) == "true") continue;
        const ReadPng png = ReadPngFile(folder / ("out/" + Stem(input) + ".png"));
        ASSERT_TRUE(png.ok) << input;
        const Bitmap decoded = DecodeWithPlugin(ReadAll(input));
        EXPECT_EQ(png.width, decoded.header.biWidth) << input;
        EXPECT_EQ(png.rgb, UprightRgb(decoded)) << input;
    }
    EXPECT_EQ(folder.Names("out").size(), inputs.size()) << "nothing for the broken file, no temporary files";
}

TEST(WineTool, ConvertWithForceReplacesAndWritesBmp) {
    TempFolder folder;
    const std::vector<ToolInput> inputs = StandardInputs();
    const std::vector<std::string> paths = WriteInputs(folder, inputs);
    std::filesystem::create_directory(folder / "out");
    folder.Write("out/band.bmp", Bytes{'o', 'l', 'd'});

    const ToolRun run = RunTool({"convert", "--force", "--to", "bmp", "-o", folder / "out", paths[1], paths[2]});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadAll(folder / "out/band.bmp"), BmpFileBytes(AsHandedOver(inputs[1].bitmap)));
    EXPECT_EQ(ReadAll(folder / "out/eight.bmp"), BmpFileBytes(AsHandedOver(inputs[2].bitmap)));
    EXPECT_EQ(folder.Names("out").size(), 2u);
}

TEST(WineTool, PackWritesAKmlzFileThatThePluginDecodes) {
    TempFolder folder;
    const Bitmap bitmap = MakeBitmap(21, -6, 16, Content::Gradient, 12);
    const std::string in = folder.Write("in.bmp", BmpFileBytes(bitmap));
    const ToolRun run = RunTool({"pack", "--to", "kmlz", in, folder / "packed.bmp"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "packed.bmp: kmlz, ")) << run.out;
    EXPECT_EQ(BmpFileBytes(DecodeWithPlugin(ReadAll(folder / "packed.bmp"))), BmpFileBytes(AsHandedOver(bitmap)));
}

TEST(WineTool, InfoDescribesFilesAndFailsForTheUnsupported) {
    TempFolder folder;
    const std::vector<std::string> inputs = WriteInputs(folder, StandardInputs());
    const std::string text = folder.Write("notes.txt", Bytes(50, 'n'));
    const ToolRun run = RunTool({"info", inputs[1], text, inputs[3]});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, inputs[1] + ": gpc, width 10, height -5, 24 bits per pixel\n" + inputs[3] +
                           ": kmlz, width 11, height -4, 16 bits per pixel\n");
    EXPECT_EQ(run.err, "orvane: " + text + ": not a picture that the plug-in recognises\n");
}

}  // namespace
