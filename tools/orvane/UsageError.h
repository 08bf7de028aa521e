// A command line that cannot be run, with the reason for the user.
#pragma once

#include <stdexcept>
#include <string>

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};
