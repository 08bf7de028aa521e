// Reads a whole file into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Throws std::runtime_error with the system's reason when the file cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
