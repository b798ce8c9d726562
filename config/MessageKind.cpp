#include "config/MessageKind.h"

#include "config/ConfigValues.h"
#include "grammar/Words.h"

std::optional<MessageKind> ParseMessageKind(std::string_view word) {
  namespace Kind = grammar::Kind;
  if (word == Kind::Server) return MessageKind::Server;
  if (word == Kind::Chat || word == Kind::Client) return MessageKind::Chat;
  if (word == Kind::Notification) return MessageKind::Notification;
  return std::nullopt;
}

std::optional<MessageKind> ReadMessageKind(const nlohmann::json& object, const grammar::Key& key) {
  return ParseMessageKind(config::String(object, key));
}
