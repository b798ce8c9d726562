#include "config/MessageKind.h"

#include "config/ConfigValues.h"

std::optional<MessageKind> ParseMessageKind(std::string_view word) {
  if (word == "Server") return MessageKind::Server;
  if (word == "Chat" || word == "Client") return MessageKind::Chat;
  if (word == "Notification") return MessageKind::Notification;
  return std::nullopt;
}

std::optional<MessageKind> ReadMessageKind(const nlohmann::json& object, const ConfigKeys::Key& key) {
  return ParseMessageKind(ConfigValue::String(object, key));
}
