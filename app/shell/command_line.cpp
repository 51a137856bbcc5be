#include "shell/command_line.h"

#include <algorithm>

namespace tvx {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool isSwitch(std::string_view arg) {
  return equalsIgnoringCase(arg, kSwitchSilent) || equalsIgnoringCase(arg, kSwitchInput) ||
         equalsIgnoringCase(arg, kSwitchOutput) || equalsIgnoringCase(arg, kSwitchCsv);
}

}  // namespace

bool HasSwitch(std::span<const std::string> args, std::string_view switchName) {
  return std::any_of(args.begin(), args.end(), [&](const std::string& a) { return equalsIgnoringCase(a, switchName); });
}

bool IsSilent(std::span<const std::string> args) { return HasSwitch(args, kSwitchSilent); }

std::string GetCommandLineFilename(std::span<const std::string> args, std::string_view extension,
                                   std::string_view switchName) {
  auto it = std::find_if(args.begin(), args.end(), [&](const std::string& a) { return equalsIgnoringCase(a, switchName); });
  if (it == args.end()) return {};
  std::string name;
  for (++it; it != args.end(); ++it) {
    if (isSwitch(*it)) break;  // the next switch ends the search
    if (!name.empty()) name += ' ';
    name += *it;
    if (endsWithIgnoringCase(*it, extension)) return name;
  }
  return {};
}

std::vector<std::string> argumentList(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return args;
}

}  // namespace tvx
