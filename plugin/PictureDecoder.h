// The interface of a format decoder. A decoder object holds no data and lives for one operation:
// the export creates it, calls one operation and frees it as plain memory, so there is no
// destructor among its operations.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "plugin/PictureInfo.h"
#include "plugin/ProgressCallback.h"
#include "stream/ByteStream.h"

class PictureDecoder {
public:
    // 1 when the stream holds this format, else 0. fileName is the host's and is not used.
    virtual std::int32_t IsSupported(const char* fileName, ByteStream* stream) = 0;
    // ResultSuccess with info filled in full, or a refusal with info untouched.
    virtual std::int32_t GetPictureInfo(ByteStream* stream, PictureInfo* info) = 0;
    // ResultSuccess with both handles stored; the pixel block comes first here, unlike the export.
    virtual std::int32_t GetPicture(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                                    ProgressCallback progress, std::int32_t userData) = 0;
    virtual std::int32_t GetPreview(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                                    ProgressCallback progress, std::int32_t userData) = 0;

protected:
    PictureDecoder() = default;
    ~PictureDecoder() = default;
};

// The one GetPreview that every decoder answers with: previews do not exist in this plug-in.
std::int32_t PreviewNotImplemented(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                                   ProgressCallback progress, std::int32_t userData);
