// Where `orvane convert` writes the picture decoded from an input: the input's name with the new
// extension, in the output folder when one is given, else beside the input.
#pragma once

#include <string>

std::string OutputPath(const std::string& input, const std::string& outputDir, const std::string& extension);
