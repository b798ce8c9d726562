// One countdown at a time, announced at once, at each mark below its length, to joiners, and at its end.
#include "events/Countdown.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "events/TimeLeft.h"
#include "host/GameFunctions.h"
#include "host/IApiUtils.h"
#include "host/Platform.h"
#include "players/LocalText.h"
#include "players/Players.h"
#include "text/Text.h"

namespace {

struct Running {
  bool on = false;
  std::int64_t end = 0;  // system-clock ticks at which the time is up
  std::u16string text;
  std::vector<std::int32_t> marks;     // longest first, each below the countdown's length
  std::size_t next = 0;                // the first mark not yet announced
  std::vector<std::uint64_t> shown;    // players shown it during their current visit
  std::vector<std::uint64_t> pending;  // joiners to show the time left at the next timer call
};

Running& TheCountdown() {
  static Running running;
  return running;
}

const nlohmann::json& CountdownSection() { return config::Section(Config(), grammar::Top::Countdown); }

// The configured marks below seconds, longest first, each once; the default marks when none are configured.
std::vector<std::int32_t> MarksBelow(std::int32_t seconds) {
  std::vector<std::int32_t> marks;
  const nlohmann::json& section = CountdownSection();
  const auto found = section.find(grammar::Countdown::Marks.name);
  if (found == section.end()) {
    for (const std::int32_t mark : grammar::DefaultCountdownMarks) marks.push_back(mark);
  } else {
    for (const nlohmann::json& mark : found->get_ref<const nlohmann::json::array_t&>()) {
      marks.push_back(config::ToInt32(mark));
    }
  }
  std::erase_if(marks, [seconds](std::int32_t mark) { return mark <= 0 || mark >= seconds; });
  std::ranges::sort(marks, std::greater<>());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  return marks;
}

std::int32_t SecondsLeft(std::int64_t end, std::int64_t now) {
  if (now >= end) return 0;
  const std::int64_t left = (end - now + Platform::TicksPerSecond - 1) / Platform::TicksPerSecond;
  return static_cast<std::int32_t>(std::min<std::int64_t>(left, INT32_MAX));
}

std::u16string ShownText(std::u16string_view text, std::int32_t seconds, MessageKind kind, std::string_view language) {
  const std::u16string words = TimeLeftWords(seconds, language);
  const PlaceholderReading reading{1, kind == MessageKind::Chat};
  if (HoldsTimeLeft(text)) return WithTimeLeft(text, words, reading);
  return std::u16string(text) + u" in " + EscapedValue(words, reading);
}

// text as the "Countdown" section says it looks, to the recipients.
void Deliver(const FString& text, const Recipients& to) {
  const nlohmann::json& section = CountdownSection();
  const std::optional<MessageKind> kind = ReadMessageKind(section, grammar::Countdown::MessageType);
  if (!kind) return;
  const auto colourMember = section.find(grammar::Countdown::MessageColour.name);
  const ColourBytes colour = colourMember == section.end() ? ColourBytes{255, 255, 255, 255}
                                                           : OpaqueColour(config::RgbFromObject(*colourMember));
  const auto send = [&](const Recipients& recipients, const FString& shown) {
    SendMessageOfKind(
        *kind, recipients, shown, colour, [&] { return FromUtf8(config::String(section, grammar::Countdown::Sender)); },
        [&] {
          NotificationLook look;
          look.DisplayScale = config::Float(section, grammar::Countdown::DisplayScale);
          look.DisplayTime = config::Float(section, grammar::Countdown::DisplayTime);
          look.Icon = LoadTexture(WidenAscii(config::String(section, grammar::Countdown::Icon_BP)).View());
          return look;
        });
  };
  if (!PlaceholdersOn() || !HoldsAnyPlaceholder(text.View())) {
    send(to, text);
    return;
  }
  PlaceholderValues values;
  to.ForEach([&](AShooterPlayerController* each) {
    values.SetPlayer(each);
    send(Recipients(each, false), WithPlaceholders(text, *kind, values));
  });
}

// Calls send(language, recipients) for everyone online in the default language, or, when the texts vary
// and someone has picked a language, once for each language's players.
template <class Send>
void ToEachLanguage(bool varies, Send&& send) {
  if (!varies || !players::AnyoneHasLanguage()) {
    send(std::string_view(), Recipients(nullptr, true));
    return;
  }
  const std::vector<players::LanguageGroup> groups =
      players::OnlineByLanguage([](AShooterPlayerController* /*player*/) { return true; });
  for (const players::LanguageGroup& group : groups) send(std::string_view(group.language), Recipients(group.players));
}

void Announce(const Running& running, std::int32_t seconds, const Recipients& to, std::string_view language) {
  const nlohmann::json& section = CountdownSection();
  const MessageKind kind = ReadMessageKind(section, grammar::Countdown::MessageType).value_or(MessageKind::Server);
  Deliver(FString(ShownText(running.text, seconds, kind, language)), to);
}

void AnnounceToAll(const Running& running, std::int32_t seconds) {
  ToEachLanguage(TimeLeftWordsVary(),
                 [&](std::string_view language, const Recipients& to) { Announce(running, seconds, to, language); });
}

void Finish(Running& running) {
  running = Running{};
  const LocalText final = LocalText::Read(CountdownSection(), grammar::Countdown::Final_Message);
  ToEachLanguage(final.Varies(), [&](std::string_view language, const Recipients& to) {
    const std::string& text = players::TextIn(final, language);
    if (!text.empty()) Deliver(FromUtf8(text), to);
  });
}

bool Contains(const std::vector<std::uint64_t>& ids, std::uint64_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::uint64_t IdOf(AShooterPlayerController* player) {
  return Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
}

}  // namespace

bool StartCountdown(std::int32_t seconds, std::u16string_view text) {
  if (seconds < 1 || seconds > grammar::MaxCountdownSeconds || text.empty()) return false;
  Running next;
  next.marks = MarksBelow(seconds);
  next.text = text;
  // A text that can never be shown is refused now rather than dropped at every mark.
  const MessageKind kind =
      ReadMessageKind(CountdownSection(), grammar::Countdown::MessageType).value_or(MessageKind::Server);
  try {
    FormatText(ShownText(next.text, seconds, kind, {}));
  } catch (const std::exception&) {
    return false;
  }
  next.end = Platform::SystemClockTicks() + std::int64_t{seconds} * Platform::TicksPerSecond;
  next.on = true;
  ForEachOnlinePlayer([&](AShooterPlayerController* player) { next.shown.push_back(IdOf(player)); });
  TheCountdown() = std::move(next);
  try {
    AnnounceToAll(TheCountdown(), seconds);
  } catch (...) {
    // Started all the same: a look the configuration spoils may be fixed by a reload before the next mark.
  }
  return true;
}

bool CancelCountdown() noexcept {
  if (!TheCountdown().on) return false;
  TheCountdown() = Running{};
  return true;
}

bool CountdownRunning() noexcept { return TheCountdown().on; }

void SendCountdown() noexcept {
  Running& running = TheCountdown();
  if (!running.on) return;
  try {
    const std::int32_t left = SecondsLeft(running.end, Platform::SystemClockTicks());
    if (left == 0) {
      Finish(running);
      return;
    }
    const bool marked = running.next < running.marks.size() && left <= running.marks[running.next];
    // A clock moved forward past several marks announces the time left once.
    while (running.next < running.marks.size() && left <= running.marks[running.next]) ++running.next;
    if (marked) AnnounceToAll(running, left);
    if (running.pending.empty()) return;
    std::vector<std::uint64_t> joiners;
    joiners.swap(running.pending);
    if (marked) return;  // they have just been shown it with everyone else
    for (const std::uint64_t id : joiners) {
      if (AShooterPlayerController* player = TarrowApi::GetApiUtils().FindPlayerById(id)) {
        Announce(running, left, Recipients(player, false), players::ShownLanguage(id));
      }
    }
  } catch (...) {
    // An announcement that cannot be made is dropped; the countdown runs on.
  }
}

void NoteCountdownJoiner(std::uint64_t id) noexcept {
  try {
    Running& running = TheCountdown();
    if (!running.on || Contains(running.shown, id)) return;
    running.shown.push_back(id);
    if (config::Bool(CountdownSection(), grammar::Countdown::Alert_On_Join)) running.pending.push_back(id);
  } catch (...) {
    // A section of the wrong type alerts nobody.
  }
}

void NoteCountdownLeaver(std::uint64_t id) noexcept {
  std::erase(TheCountdown().shown, id);
  std::erase(TheCountdown().pending, id);
}

void EndCountdown() noexcept { TheCountdown() = Running{}; }
