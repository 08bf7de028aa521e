#include "plugin/FormatTable.h"

#include "decoders/LzBitmapDecoder.h"
#include "decoders/RunLengthDecoder.h"

// Hosts read the extensions as file patterns and offer no file to an entry without "*.".
const FormatEntry FormatTable[kFormatCount] = {
    {"*.bmp", "hogehoge imamge", CreateLzBitmapDecoder},
    {"*.gpc", "hogehoge imamge", CreateRunLengthDecoder},
};
