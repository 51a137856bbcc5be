// Reading and writing an investor's inputs in its data file (".qvx").
#pragma once

#include <string_view>

#include "orlendo/model.h"

namespace orlendo {

// Reads the file into the investor (edit mode on first). `today` is the
// default stop date for a file without one.
void fetchInvestor(Investor& investor, std::string_view fileName, Date today);

// Writes the investor to the file. The previous content goes to
// "backup.qvx" in the current folder first; the new content replaces the
// file in one step, so a failed save leaves the old file as it was.
void saveInvestor(const Investor& investor, std::string_view fileName);

}  // namespace orlendo
