// What the result codes of a "00IN" import filter mean, in words for the user.
#pragma once

#include <string>

std::string ResultText(int code);
