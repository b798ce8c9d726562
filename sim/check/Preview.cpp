#include "sim/check/Preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "sim/check/PreviewStyle.h"
#include "sim/game/ChatMarkup.h"

namespace sim::preview {
namespace {

using nlohmann::json;

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Css(const Rgb& colour) {
  return "rgb(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " + std::to_string(colour.b) + ")";
}

using sim::UnitToByte;

double Number(const json& value, double fallback = 0.0) { return value.is_number() ? value.get<double>() : fallback; }

std::string Text(const json& event, const char* key) {
  const auto found = event.find(key);
  if (found == event.end() || found->is_null()) return {};
  return found->is_string() ? found->get<std::string>() : found->dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string NumberText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

std::string TimeTag(const json& event) {
  const double t = Number(event.value("t", json()));
  std::string tag = "<time datetime=\"PT" + NumberText(t) + "S\">" + ClockText(t) + "</time>";
  // The server's own clock, which `clock` lines and the time zone move apart from the scenario's time.
  const std::string clock = Text(event, "clock");
  if (!clock.empty()) tag += "<time class=\"server-clock\" title=\"server clock\">" + Escaped(clock) + "</time>";
  return tag;
}

std::string EntryOpen(const json& event, std::string_view kind, std::string_view extra = {}) {
  return "<li class=\"entry " + std::string(kind) + "\" data-t=\"" + NumberText(Number(event.value("t", json()))) +
         "\"" + std::string(extra) + ">" + TimeTag(event);
}

std::string RichText(std::string_view text) {
  std::string out;
  for (const RichSpan& span : ParseRichColor(text)) {
    if (span.colour) {
      out += "<span class=\"rich\" style=\"color: " + Css(*span.colour) + "\">" + Escaped(span.text) + "</span>";
    } else {
      out += Escaped(span.text);
    }
  }
  // Every markup line ends with a line break once there are two or more; the last one shows nothing.
  while (out.ends_with('\n')) out.pop_back();
  return out;
}

std::string ServerEntry(const json& event) {
  const Rgb colour = LinearToSrgb(event.value("color", json()));
  const bool bold = event.value("bold", json()).is_boolean() && event["bold"].get<bool>();
  return EntryOpen(event, "server") + "<span class=\"text\" style=\"color: " + Css(colour) +
         (bold ? "; font-weight: bold" : "") + "\">" + Escaped(Text(event, "text")) + "</span></li>\n";
}

std::string ChatEntry(const json& event) {
  return EntryOpen(event, "chat") + "<span class=\"sender\">" + Escaped(Text(event, "sender")) +
         "</span><span class=\"text\">" + RichText(Text(event, "text")) + "</span></li>\n";
}

std::string IconName(std::string_view path) {
  std::string_view name =
      path.substr(path.find_last_of("/.") == std::string_view::npos ? 0 : path.find_last_of("/.") + 1);
  if (name.empty()) name = path;
  std::string letters;
  for (const char c : name) {
    if (letters.size() == 2) break;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) letters += c;
  }
  return letters.empty() ? "?" : letters;
}

std::string NotificationEntry(const json& event) {
  const Rgb colour = LinearToSrgb(event.value("color", json()));
  const double scale = Number(event.value("scale", json()), 1.0);
  const double time = Number(event.value("time", json()));
  const json icon = event.value("icon", json());
  const std::string iconPath = icon.is_string() ? icon.get<std::string>() : std::string();
  // The card grows with the scale as on screen, kept readable at both ends.
  const double size = std::clamp(std::isnan(scale) ? 1.0 : scale, 0.6, 2.5);
  std::string extra = " data-scale=\"" + NumberText(scale) + "\" data-time=\"" + NumberText(time) + "\"";
  if (icon.is_string()) extra += " data-icon=\"" + Escaped(iconPath) + "\"";
  std::string out = EntryOpen(event, "notification", extra);
  out += "<div class=\"card\" style=\"--accent: " + Css(colour) + "; font-size: " + NumberText(size) + "em\">";
  out += icon.is_string()
             ? "<div class=\"icon\" title=\"" + Escaped(iconPath) + "\">" + Escaped(IconName(iconPath)) + "</div>"
             : "<div class=\"icon none\" title=\"no icon\"></div>";
  out += "<div class=\"body\"><p class=\"text\" style=\"color: " + Css(colour) + "\">" + Escaped(Text(event, "text")) +
         "</p><p class=\"meta\">shown " + NumberText(time) + " s · scale " + NumberText(scale) +
         (icon.is_string() ? " · icon " + Escaped(iconPath) : " · no icon") + "</p></div></div></li>\n";
  return out;
}

std::string ConsoleEntry(const json& event, const std::map<std::string, std::string>& names) {
  const std::string kind = Text(event, "event");
  if (kind == "rcon") {
    return EntryOpen(event, "rcon") + "<span class=\"who\">RCON #" + Escaped(Text(event, "id")) +
           "</span><span class=\"text\">" + Escaped(Text(event, "text")) + "</span></li>\n";
  }
  if (kind == "say") {
    const auto name = names.find(Text(event, "from"));
    const std::string from = name != names.end() && !name->second.empty() ? name->second : Text(event, "from");
    return EntryOpen(event, "say") + "<span class=\"who\">" + Escaped(from) + " says (mode " +
           Escaped(Text(event, "mode")) + ")</span><span class=\"text\">" + Escaped(Text(event, "text")) +
           "</span></li>\n";
  }
  if (kind == "refused") {
    return EntryOpen(event, "say") + "<span class=\"who\">" + Escaped(Text(event, "from")) +
           " too soon, dropped</span><span class=\"text\">" + Escaped(Text(event, "text")) + "</span></li>\n";
  }
  if (kind == "log") {
    return EntryOpen(event, "log") + "<span class=\"who\">" + Escaped(Text(event, "logger")) + " " +
           Escaped(Text(event, "level")) + "</span><span class=\"text\">" + Escaped(Text(event, "text")) +
           "</span></li>\n";
  }
  return EntryOpen(event, "fault") + "<span class=\"who\">fault</span><span class=\"text\">" +
         Escaped(Text(event, "text")) + "</span></li>\n";
}

}  // namespace

std::vector<RichSpan> ParseRichColor(std::string_view text) {
  std::vector<RichSpan> spans;
  for (sim::MarkupRun& run : sim::ReadChatMarkup(text)) {
    std::optional<Rgb> colour;
    if (run.colour) colour = Rgb{(*run.colour)[0], (*run.colour)[1], (*run.colour)[2]};
    spans.push_back(RichSpan{std::move(run.text), colour});
  }
  return spans;
}

Rgb LinearToSrgb(const json& colour) {
  if (!colour.is_array() || colour.size() < 3) return {};
  auto encode = [](const json& value) {
    double linear = std::clamp(Number(value), 0.0, 1.0);
    const double srgb = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return UnitToByte(srgb);
  };
  return Rgb{encode(colour[0]), encode(colour[1]), encode(colour[2])};
}

std::string ClockText(double seconds) {
  if (std::isnan(seconds) || seconds < 0) seconds = 0;
  const auto whole = static_cast<long long>(seconds);
  char buffer[48];
  if (whole >= 3600) {
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld", whole / 60, whole % 60);
  }
  return buffer;
}

std::string RenderPreviewHtml(const PreviewInput& input) {
  // Players in join order, then anyone who received something without a join line.
  std::vector<Player> players = input.players;
  std::set<std::string> known;
  std::map<std::string, std::string> names;
  for (const Player& player : players) {
    known.insert(player.id);
    names[player.id] = player.name;
  }
  std::map<std::string, std::string> feeds;
  std::string console;
  std::size_t messages = 0;
  std::vector<std::string> faults;
  for (const json& event : input.events) {
    if (!event.is_object()) continue;
    const std::string kind = Text(event, "event");
    if (kind == "server" || kind == "chat" || kind == "notification") {
      const std::string to = Text(event, "to");
      if (known.insert(to).second) players.push_back(Player{to, ""});
      feeds[to] += kind == "server" ? ServerEntry(event) : kind == "chat" ? ChatEntry(event) : NotificationEntry(event);
      ++messages;
    } else if (kind == "rcon" || kind == "say" || kind == "refused" || kind == "log" || kind == "fault") {
      console += ConsoleEntry(event, names);
      if (kind == "fault") faults.push_back(Text(event, "text"));
    }
  }

  std::string scenarios;
  for (const std::string& name : input.scenarios) scenarios += (scenarios.empty() ? "" : ", ") + name;

  std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  html += "<title>Heraldix preview: " + Escaped(scenarios) + "</title>\n<style>\n";
  html += PreviewStyle;
  html += "</style>\n</head>\n<body data-exit-status=\"" + std::to_string(input.exitStatus) + "\">\n";
  html += "<header>\n<h1>What players saw</h1>\n<p class=\"scenarios\">" + Escaped(scenarios) + "</p>\n";
  html += "<p class=\"summary\">" + std::to_string(players.size()) +
          (players.size() == 1 ? " player, " : " players, ") + std::to_string(messages) +
          (messages == 1 ? " message, " : " messages, ") + std::to_string(faults.size()) +
          (faults.size() == 1 ? " fault" : " faults") + "</p>\n</header>\n";
  if (!faults.empty()) {
    html += "<aside class=\"faults\" role=\"alert\"><h2>The simulator saw faults</h2><ul>\n";
    for (const std::string& fault : faults) html += "<li>" + Escaped(fault) + "</li>\n";
    html += "</ul></aside>\n";
  }
  html += "<main class=\"players\">\n";
  for (const Player& player : players) {
    const std::string name = player.name.empty() ? "player " + player.id : player.name;
    html +=
        "<section class=\"player\" data-player=\"" + Escaped(player.id) + "\" data-name=\"" + Escaped(name) + "\">\n";
    html +=
        "<h2><span class=\"name\">" + Escaped(name) + "</span> <span class=\"id\">" + Escaped(player.id) + "</span>";
    if (const auto language = input.languages.find(player.id); language != input.languages.end()) {
      html += " <span class=\"language\" title=\"language\">" + Escaped(language->second) + "</span>";
    }
    html += "</h2>\n<div class=\"screen\">\n";
    const auto feed = feeds.find(player.id);
    if (feed == feeds.end()) {
      html += "<p class=\"nothing\">Nothing reached this player.</p>\n";
    } else {
      html += "<ol class=\"feed\">\n" + feed->second + "</ol>\n";
    }
    html += "</div>\n</section>\n";
  }
  html += "</main>\n";
  if (!console.empty()) {
    html +=
        "<section class=\"console\">\n<h2>Server console</h2>\n<ol class=\"feed\">\n" + console + "</ol>\n</section>\n";
  }
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace sim::preview
