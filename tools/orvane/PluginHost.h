// The orvane tool as a host of a "00IN" import filter: it hands the plug-in a file's bytes in
// memory through the five exports only, takes over the two blocks that GetPicture returns and
// frees them with LocalFree.
#pragma once

#include <memory>
#include <string>

#include "tools/PluginLibrary.h"
#include "tools/encoders/Bitmap.h"

class PluginHost {
public:
    // The plug-in at path, or throws std::runtime_error saying why it cannot be used.
    explicit PluginHost(const std::string& path);

    // name is the file's path, passed on as hosts do (the plug-in reads the bytes only).
    // The picture's description as GetPictureInfo gives it, after IsSupported has accepted the
    // file's first 2048 bytes; throws std::runtime_error with the reason otherwise.
    PictureInfo Describe(const std::string& name, const Bytes& file) const;

    // The picture as GetPicture hands it over: the header, the colour table of an 8-bit picture and
    // the rows, checked against the sizes of the blocks. Throws std::runtime_error on failure.
    Bitmap Decode(const std::string& name, const Bytes& file) const;

    const std::string& Path() const { return path; }

private:
    void CheckRecognised(const std::string& name, const Bytes& file) const;

    std::string path;
    std::unique_ptr<PluginLibrary> library;
};
