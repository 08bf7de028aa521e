// Where orvane finds its plug-in when --plugin is not given: beside the program itself,
// orvane01.spi in the Windows build and orvane01.so natively.
#pragma once

#include <string>

std::string DefaultPluginPath();
