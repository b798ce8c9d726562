// Owns the simulator's text conversions between UTF-8 (events, scenario files) and the game's UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "sim/host/SimExport.h"

namespace sim {

// Ill-formed sequences become U+FFFD, one per maximal ill-formed subpart; zero bytes are kept.
HERALDIX_SIM_API std::u16string DecodeUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
HERALDIX_SIM_API std::string EncodeUtf8(std::u16string_view text);

}  // namespace sim
