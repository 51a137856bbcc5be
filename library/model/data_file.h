// Reading and writing an investor's inputs in its data file (".qvx").
#pragma once

#include <string_view>

#include "orlendo/model.h"

namespace orlendo {

// Reads the file into the investor (edit mode on first). `today` is the
// default stop date for a file without one. A missing or empty file reads
// as a new investor; text in which no line is a section header fails with
// errnum::NotADataFile before the investor is changed.
void fetchInvestor(Investor& investor, std::string_view fileName, Date today);

// Writes the investor to the file. The previous content goes to
// "backup.qvx" in the current folder first, written the same atomic way
// (a failure there stops the save and names backup.qvx in a message the
// handlers keep); the new content replaces the file in one step, so a
// failed save leaves the old file and the old backup as they were.
void saveInvestor(const Investor& investor, std::string_view fileName);

}  // namespace orlendo
