#include "tools/orvane/ResultText.h"

std::string ResultText(int code) {
    switch (code) {
    case -1:
        return "the plug-in does not implement this (code -1)";
    case 1:
        return "cancelled (code 1)";
    case 2:
        return "the plug-in does not know this format (code 2)";
    case 3:
        return "the data is broken (code 3)";
    case 4:
        return "the plug-in could not allocate memory or read its input (code 4)";
    case 5:
        return "memory error in the plug-in (code 5)";
    case 6:
        return "file read error in the plug-in (code 6)";
    case 8:
        return "internal error in the plug-in (code 8)";
    default:
        return "the plug-in failed with code " + std::to_string(code);
    }
}
