// Owns the host's log sinks, over which a plug-in builds its loggers.
#pragma once

#include <memory>
#include <vector>

#include <spdlog/sinks/sink.h>

#include "host/Export.h"

// The host's shared sink list: records written to a logger over these end up where the host's own go.
HERALDIX_HOST_API std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks();
