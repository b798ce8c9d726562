// Owns the host's address lookup: game functions by key, and fields by object and key.
#pragma once

#include <string>

#include "host/Export.h"

// Entry of the game function with this key ("Class.Member"), or null when the game has none.
HERALDIX_HOST_API void* GetAddress(const std::string& key);

// Address of the field with this key ("Class.Member") inside the object, or null when there is none.
HERALDIX_HOST_API void* GetAddress(const void* object, const std::string& key);
