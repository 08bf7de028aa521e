// The short name of a picture's format for `orvane info`: "gpc" and "kmlz" for the two formats
// of our plug-in, recognised by their first bytes; for a picture that another plug-in decodes,
// the file's extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string FormatName(const std::string& path, const std::vector<std::uint8_t>& file);
