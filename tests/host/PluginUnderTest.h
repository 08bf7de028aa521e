// The plug-in that the export suite drives: on Windows the real orvane01.spi from the working folder
// (or $ORVANE_PLUGIN), loaded with LoadLibrary; natively the core library's own exports.
#pragma once

#include "tools/PluginLibrary.h"

const PluginApi& Plugin();
