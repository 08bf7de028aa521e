#include "plugin/PictureDecoder.h"

#include "plugin/ResultCode.h"

std::int32_t PreviewNotImplemented(ByteStream*, HLOCAL*, HLOCAL*, ProgressCallback, std::int32_t) {
    return ResultNotImplemented;
}
