// A picture that cannot be read or packed, with a message for the user.
#pragma once

#include <stdexcept>
#include <string>

class BitmapError : public std::runtime_error {
public:
    explicit BitmapError(const std::string& message) : std::runtime_error(message) {}
};
