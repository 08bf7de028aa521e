// The abstract class of the "KMLZ" compressed bitmap format: all four operations stay pure.
#pragma once

#include "plugin/PictureDecoder.h"

class LzBitmapDecoderBase : public PictureDecoder {
protected:
    LzBitmapDecoderBase() = default;
    ~LzBitmapDecoderBase() = default;
};
