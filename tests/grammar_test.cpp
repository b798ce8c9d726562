// The grammar layer as the one place keys and accepted words are spelt, and the schema as its mirror.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "grammar/KeyList.h"
#include "grammar/Keys.h"
#include "grammar/Placeholders.h"
#include "grammar/Words.h"

namespace {

using nlohmann::json;

// Every word a configuration's key or value is spelt with: key names, the words keys accept, placeholder
// names, the colour's channel names and the plug-in's own name.
std::set<std::string> GrammarWords() {
  std::set<std::string> words;
  for (const grammar::Key* key : grammar::All) {
    words.emplace(key->name);
    for (const std::string_view word : key->words) words.emplace(word);
  }
  for (const std::string_view name : grammar::PlaceholderNames) words.emplace(name);
  for (const std::string_view kind : grammar::MessageKinds) words.emplace(kind);
  for (const std::string_view order : grammar::Orders) words.emplace(order);
  words.emplace(grammar::AlphaChannel);
  words.emplace(grammar::PluginName);
  return words;
}

// The string literals of one line of C++ outside comments: the text between unescaped double quotes.
std::vector<std::string> LiteralsOf(const std::string& line, bool& inBlockComment) {
  std::vector<std::string> literals;
  std::size_t i = 0;
  while (i < line.size()) {
    if (inBlockComment) {
      const std::size_t end = line.find("*/", i);
      if (end == std::string::npos) return literals;
      inBlockComment = false;
      i = end + 2;
      continue;
    }
    if (line.compare(i, 2, "//") == 0) return literals;
    if (line.compare(i, 2, "/*") == 0) {
      inBlockComment = true;
      i += 2;
      continue;
    }
    if (line[i] == '\'') {  // a character literal, perhaps '"'
      const std::size_t end = line.find('\'', i + (line[i + 1] == '\\' ? 3 : 2));
      i = end == std::string::npos ? line.size() : end + 1;
      continue;
    }
    if (line[i] != '"') {
      ++i;
      continue;
    }
    std::string literal;
    ++i;
    while (i < line.size() && line[i] != '"') {
      if (line[i] == '\\' && i + 1 < line.size()) literal += line[i++];
      literal += line[i++];
    }
    ++i;
    literals.push_back(std::move(literal));
  }
  return literals;
}

// The places that spell a grammar word for a reason of their own, with that reason.
const std::map<std::pair<std::string, std::string>, std::string> Allowed = {
    {{"sim/check/Rules.cpp", "Player"}, "the sample character name a welcome template is tried with"},
};

TEST(Grammar, NoKeyOrAcceptedWordIsSpeltOutsideTheGrammarFolder) {
  const std::set<std::string> words = GrammarWords();
  const std::filesystem::path root(HERALDIX_SOURCE_DIR);
  std::vector<std::string> found;
  for (const char* folder :
       {"plugin", "config", "text", "delivery", "players", "commands", "chat", "events", "host", "sim/check"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h" && extension != ".inl") continue;
      const std::string file = std::filesystem::relative(entry.path(), root).generic_string();
      std::ifstream in(entry.path());
      bool inBlockComment = false;
      int number = 0;
      for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find("#include") != std::string::npos) continue;
        for (const std::string& literal : LiteralsOf(line, inBlockComment)) {
          std::vector<std::string> spelt;
          if (words.contains(literal)) spelt.push_back(literal);
          // A word quoted inside a message: \"Interval\".
          static const std::regex quoted(R"re(\\"([A-Za-z_$]+)\\")re");
          for (std::sregex_iterator it(literal.begin(), literal.end(), quoted), end; it != end; ++it) {
            if (words.contains((*it)[1].str())) spelt.push_back((*it)[1].str());
          }
          for (const std::string& word : spelt) {
            if (!Allowed.contains({file, word})) found.push_back(fmt::format("{}:{}: \"{}\"", file, number, word));
          }
        }
      }
    }
  }
  EXPECT_TRUE(found.empty()) << "spelt outside grammar/ (name the table's key or word instead):\n"
                             << fmt::format("{}", fmt::join(found, "\n"));
}

TEST(Grammar, EveryKeyDeclaredIsInTheTableOnce) {
  std::ifstream in(std::filesystem::path(HERALDIX_SOURCE_DIR) / "grammar/Keys.h");
  const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::size_t declared = 0;
  for (std::size_t at = source.find("inline constexpr Key "); at != std::string::npos;
       at = source.find("inline constexpr Key ", at + 1)) {
    ++declared;
  }
  EXPECT_EQ(declared, grammar::All.size())
      << "a key declared in grammar/Keys.h is missing from grammar::All (grammar/KeyList.h)";
  std::set<std::pair<grammar::Section, std::string_view>> keys;
  for (const grammar::Key* key : grammar::All) {
    EXPECT_TRUE(keys.emplace(key->section, key->name).second) << key->name << " is in the table twice";
  }
}

json Schema() {
  return json::parse(std::ifstream(std::filesystem::path(HERALDIX_SOURCE_DIR) /
                                   "examples/server/TarrowApi/Plugins/Heraldix/config.schema.json"));
}

TEST(Grammar, SchemaTimePatternAcceptsExactlyTheTimesOfDayThePlugInReads) {
  const std::regex pattern(
      Schema().at("/$defs/scheduledMessage/properties/At/items/pattern"_json_pointer).get<std::string>());
  for (int first = 0; first < 100; ++first) {
    for (int second = 0; second < 100; ++second) {
      const std::string text = fmt::format("{:02}:{:02}", first, second);
      EXPECT_EQ(std::regex_search(text, pattern), grammar::MinuteOfDay(text).has_value()) << text;
    }
  }
}

TEST(Grammar, SchemaTextPatternsNameExactlyThePlaceholders) {
  const std::string names = fmt::format("{{(?:{})\\}}", fmt::join(grammar::PlaceholderNames, "|"));
  const json schema = Schema();
  EXPECT_NE(schema.at("/$defs/deliveredText/pattern"_json_pointer).get<std::string>().find(names), std::string::npos)
      << names;
  EXPECT_NE(schema.at("/$defs/welcomeText/pattern"_json_pointer).get<std::string>().find(names), std::string::npos)
      << names;
}

}  // namespace
