// Results of the picture exports and of the decoders' operations, as the host interface numbers them.
#pragma once

#include <cstdint>

enum ResultCode : std::int32_t {
    ResultNotImplemented = -1,
    ResultSuccess = 0,
    ResultUnsupported = 2,
    // The input kind is unknown, no stream could be made, or memory could not be allocated.
    ResultInputError = 4,
};
