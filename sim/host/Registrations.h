// Owns the host library's internal hand-over between its registries and the plug-in session checks.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Each Abandon* empties its registry, appends a description of every entry to leftovers and keeps the
// plug-in's callbacks alive for good. Each Clear* destroys its entries normally.
void AbandonCommands(std::vector<std::string>& leftovers);
void ClearCommands();
void AbandonHooks(std::vector<std::string>& leftovers);
void ClearHooks();
void AbandonTimerCalls(std::vector<std::string>& leftovers);
void ClearTimerCalls();
void ResetLogSinks();

}  // namespace sim
