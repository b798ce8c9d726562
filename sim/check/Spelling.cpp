#include "sim/check/Spelling.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "sim/host/Ascii.h"

namespace sim::check {
namespace {

using sim::LowerAscii;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t cost = LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1;
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::optional<std::string> Nearest(std::string_view word, std::span<const std::string_view> candidates) {
  std::optional<std::string> best;
  std::size_t bestDistance = std::numeric_limits<std::size_t>::max();
  const std::size_t limit = std::max<std::size_t>(1, std::min<std::size_t>(3, word.size() / 4));
  for (const std::string_view candidate : candidates) {
    std::size_t distance = Distance(word, candidate);
    const bool prefix =
        word.size() >= 4 && (StartsWithIgnoringCase(candidate, word) || StartsWithIgnoringCase(word, candidate));
    if (distance > limit && !prefix) continue;
    if (prefix) distance = std::min(distance, limit);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = std::string(candidate);
    }
  }
  return best;
}

}  // namespace sim::check
