// A file in the temporary folder that is removed when the object goes.
#pragma once

#include <string>

#include "tests/support/Fixtures.h"

class TempFile {
public:
    explicit TempFile(const Bytes& content);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
};
