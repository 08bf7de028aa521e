// Writes a whole file so that its name never shows a half-written file: the bytes go to a temporary
// file in the same folder, which is then renamed into place. The temporary file is removed on
// failure, and on Ctrl-C or termination while it is being written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Throws std::runtime_error when the file cannot be written, or when it exists and replace is false
// (decided at the rename, so a file that appears meanwhile is not replaced either).
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, bool replace);

// Removes the temporary file on SIGINT and SIGTERM; call once at start.
void RemoveTemporaryFilesOnSignals();
