// Owns the visibility of the simulator's control API: what the runner and tests may call in the host library.
#pragma once

// Exported beside the host services but kept apart from them: a plug-in has no business calling these,
// the simulator's driver (runner, CLI, test fixtures) does.
#define HERALDIX_SIM_API __attribute__((visibility("default")))
