#include "tests/tool/ToolInputs.h"

#include "tests/tool/TestPictures.h"
#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"

std::vector<ToolInput> StandardInputs() {
    return {
        {"sun.gpc", MakeBitmap(13, 7, 24, Content::Gradient, 1)},
        {"band.gpc", MakeBitmap(10, -5, 24, Content::Random, 2)},
        {"eight.bmp", MakeBitmap(9, 6, 8, Content::Gradient, 3, 16)},
        {"sixteen.bmp", MakeBitmap(11, -4, 16, Content::Random, 4)},
        {"true.bmp", MakeBitmap(5, 3, 24, Content::Stripes, 5)},
    };
}

std::vector<std::string> WriteInputs(const TempFolder& folder, const std::vector<ToolInput>& inputs) {
    std::vector<std::string> paths;
    for (const ToolInput& input : inputs) {
        const bool gp = input.name.size() > 4 && input.name.compare(input.name.size() - 4, 4, ".gpc") == 0;
        paths.push_back(folder.Write(input.name, gp ? EncodeGp(input.bitmap) : EncodeKmlz(input.bitmap)));
    }
    return paths;
}
