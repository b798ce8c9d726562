#include "sim/check/Wording.h"

namespace sim::check {

std::string Described(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::object:
      return "an object";
    case json::value_t::array:
      return "an array";
    case json::value_t::string:
      return "a string";
    case json::value_t::boolean:
      return "a boolean";
    default:
      return "a number";
  }
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t Longest = 60;
  std::string shown = json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
  if (shown.size() > Longest) shown = shown.substr(0, Longest - 4) + "...\"";
  return shown;
}

std::string Shown(const json& value) {
  if (value.is_string()) return Quoted(value.get_ref<const std::string&>());
  std::string shown = value.dump(-1, ' ', false, json::error_handler_t::replace);
  if (shown.size() > 60) shown = shown.substr(0, 56) + " ...";
  return shown;
}

}  // namespace sim::check
