// Owns the spelling suggestions: the known word a misspelt one most likely meant.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sim::check {

// The nearest of candidates to word, when one is close enough to be a likely typo.
std::optional<std::string> Nearest(std::string_view word, std::span<const std::string_view> candidates);

// Whether two words are the same but for the case of ASCII letters.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace sim::check
