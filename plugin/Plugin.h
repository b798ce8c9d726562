// Owns the plug-in's lifecycle: the logger, Load and Unload.
#pragma once

#include <memory>

#include <spdlog/logger.h>

// The "Heraldix" logger over the host's sinks; created by Load, kept until the library's statics go.
std::shared_ptr<spdlog::logger>& Log();

// Runs on attach. Never raises: a failure is reported through Log and the server runs on without the
// plug-in's commands and hooks.
void Load();
// Runs on detach. Never raises.
void Unload();
