// Owns the welcome message: the possession and logout hooks, the welcome lists and the welcome step.
#pragma once

#include <cstdint>
#include <vector>

#include "host/GameFunctions.h"

// Players greeted, or marked for greeting, during their current visit; each id once.
std::vector<std::uint64_t>& WelcomedPlayers();
// Players whose delay has run out and who are still to be greeted; an id possibly more than once.
std::vector<std::uint64_t>& PendingWelcomes();

// Entries of the game's own functions, filled by the host when the hooks are installed.
extern Game::AShooterCharacter_PossessedBy::Pointer AShooterCharacter_PossessedBy_original;
extern Game::AShooterGameMode_Logout::Pointer AShooterGameMode_Logout_original;

void Hook_AShooterCharacter_PossessedBy(AShooterCharacter* self, AController* newController);
void Hook_AShooterGameMode_Logout(AShooterGameMode* self, AController* exiting);

// Greets every due player once and empties the queue. Never raises.
void SendWelcomeMessages();

// Forgets every list entry and invalidates delayed welcomes still pending with the host; run at unload.
void ForgetWelcomes();
