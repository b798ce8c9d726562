// Owns the kinds of message a configuration names, read once from their configured words.
#pragma once

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "grammar/Keys.h"

enum class MessageKind { Server, Chat, Notification };

// One of the words of grammar::MessageKinds, compared exactly, case included. Any other word is no kind at all: each
// feature decides for itself what a message of an unknown kind does.
std::optional<MessageKind> ParseMessageKind(std::string_view word);

// The kind named by key in object, its default when the member is absent; raises the JSON library's type
// error for a member that is not a string, like every other read of the configuration.
std::optional<MessageKind> ReadMessageKind(const nlohmann::json& object, const grammar::Key& key);
