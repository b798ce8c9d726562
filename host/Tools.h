// Owns the host's small tools: the server directory and UTF-8 decoding.
#pragma once

#include <string>

#include "host/Export.h"

namespace TarrowApi::Tools {

// The server's working directory, without a trailing separator.
HERALDIX_HOST_API std::string GetCurrentDir();

// UTF-8 to UTF-16. Ill-formed sequences become U+FFFD; the result may hold zero units if the input did.
HERALDIX_HOST_API std::u16string Utf8Decode(const std::string& text);

}  // namespace TarrowApi::Tools
