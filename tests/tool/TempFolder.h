// A fresh folder under the temporary folder for one test, removed with everything in it.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "tools/encoders/Bitmap.h"

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The path of name inside the folder.
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const Bytes& bytes) const;
    // The names of the files in the folder (or in its subfolder).
    std::set<std::string> Names(const std::string& subfolder = "") const;

private:
    std::filesystem::path path;
};

Bytes ReadAll(const std::string& path);
