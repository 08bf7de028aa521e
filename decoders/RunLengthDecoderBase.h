// The abstract class of the "GP" run-length format: all four operations stay pure.
#pragma once

#include "plugin/PictureDecoder.h"

class RunLengthDecoderBase : public PictureDecoder {
protected:
    RunLengthDecoderBase() = default;
    ~RunLengthDecoderBase() = default;
};
