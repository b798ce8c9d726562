// Owns the visibility rule of the host boundary: what the host libraries export to plug-ins.
#pragma once

// Every binary is built with hidden symbols; only the host's services are exported, the way a host
// framework's import library names exactly what a plug-in may bind to.
#if defined(_WIN32)
#define HERALDIX_HOST_API __declspec(dllimport)
#else
#define HERALDIX_HOST_API __attribute__((visibility("default")))
#endif
