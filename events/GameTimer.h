// Owns the game-state timer hook: each call of the game's timer runs the timed, scheduled and welcome steps.
#pragma once

#include "host/GameFunctions.h"

extern Game::AGameState_DefaultTimer::Pointer AGameState_DefaultTimer_original;

// The game's own timer first, then the timed rotation, the scheduled messages and the welcome step, each on
// its own: one that fails leaves the others to run. Never raises.
void Hook_AGameState_DefaultTimer(AGameState* self);
