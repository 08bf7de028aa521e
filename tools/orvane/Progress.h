// "[12/340] name" lines on the standard error stream while several files are converted, shown only
// when that stream is a terminal, so that scripts and logs get the results alone.
#pragma once

#include <cstddef>
#include <string>

class Progress {
public:
    explicit Progress(std::size_t total);
    void Starting(std::size_t index, const std::string& name) const;  // index counts from 1

private:
    std::size_t total;
    bool shown;
};
