#include "transfer/han_conv.h"

// Placeholder until the transfer lands.
std::string Han_Conv(std::string_view s) { return std::string(s); }
