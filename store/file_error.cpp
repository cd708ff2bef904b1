#include "store/file_error.h"

#include <cstring>

std::string systemErrorText(int errorNumber) {
    // strerror_r comes in two flavours; std::strerror is fine on the one
    // GUI thread that does all file work.
    return std::strerror(errorNumber);
}
