// Owns the plug-in's lifecycle: the logger, Load and Unload.
#pragma once

#include "config/ConfigReport.h"  // Log(), which Load makes

// Runs on attach. Never raises: a failure is reported through Log and the server runs on without the
// plug-in's commands and hooks.
void Load();
// Runs on detach. Never raises.
void Unload();
