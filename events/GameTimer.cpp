// Runs the steps that ride on the game-state timer, one second of game time each call.
#include "events/GameTimer.h"

#include "events/Countdown.h"
#include "events/ScheduledMessages.h"
#include "events/TimedMessages.h"
#include "events/Welcome.h"

Game::AGameState_DefaultTimer::Pointer AGameState_DefaultTimer_original = nullptr;

void Hook_AGameState_DefaultTimer(AGameState* self) {
  try {
    AGameState_DefaultTimer_original(self);
  } catch (...) {
    // Nothing may leave a hook body into the game.
  }
  SendTimedMessageWhenDue();
  SendScheduledMessages();
  SendCountdown();
  SendWelcomeMessages();
}
