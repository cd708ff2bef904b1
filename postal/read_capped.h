#pragma once
// Reading a whole input file of the postal code with a size limit.
#include <cstddef>
#include <string>

namespace postal {

// The whole plain file (no pipe, device or folder) when it holds at most
// maxBytes bytes. Returns 0 or an errno: EFBIG when it is larger, EINVAL
// when it is not a plain file.
int readFileCapped(const std::string& path, std::size_t maxBytes, std::string& out);

}  // namespace postal
