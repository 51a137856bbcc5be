// What the model objects hold beyond their public interface.
#pragma once

#include <string>

#include "orlendo/model.h"

namespace orlendo {

// A buy or sell's shares, cost and proceeds texts as they were set; the getters give
// numeric text formatted, and raise when it cannot be (an overflow).
std::string storedShares(const BuySell& entry);
std::string storedCost(const BuySell& entry);
std::string storedProceeds(const BuySell& entry);

}  // namespace orlendo
