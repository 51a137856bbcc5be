// The investors save_loop writes: version k is named "Version k" and its
// size varies with k, so a file cut short is never another whole version.
#pragma once

#include <string>

#include "orlendo/model.h"

namespace tvxtest {

inline orlendo::InvestorPtr investorVersion(long k) {
  auto investor = orlendo::Investor::create();
  investor->BeginEdit();
  investor->sName("Version " + std::to_string(k));
  investor->StopCalc("12/31/2016");
  const long entries = 1 + k % 7;  // per security
  for (const auto& security : *investor->colSecurities())
    for (long n = 1; n <= entries; ++n) {
      std::string code = std::to_string(k) + "-" + std::to_string(n), date = "06/01/1990",
                  cost = std::to_string(n * 7), shares = std::to_string(n);
      security->colBuySells()->Add(code, date, cost, shares);
    }
  return investor;
}

}  // namespace tvxtest
