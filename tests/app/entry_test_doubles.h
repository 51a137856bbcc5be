// A message box double for the data-entry tests: records what was shown and
// answers from a script (Ok for Ok boxes, No once the script runs out).
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ports.h"

namespace tvx {

struct Shown {
  std::string title, text;
  Icon icon;
  Buttons buttons;
};

class ScriptedMessages : public MessageBox {
 public:
  std::deque<Answer> answers;
  std::vector<Shown> shown;
  Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) override {
    shown.push_back({std::string(title), std::string(text), icon, buttons});
    if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace tvx
