// Reading and writing an investor's inputs in its data file (".qvx").
#pragma once

#include <functional>
#include <string_view>

#include "orlendo/model.h"

namespace orlendo {

// Reads the file into the investor (edit mode on first). `today` gives the
// default stop date for a file without one (asked only then). A missing or empty file reads
// as a new investor; text in which no line is a section header fails with
// errnum::NotADataFile before the investor is changed.
void fetchInvestor(Investor& investor, std::string_view fileName, const std::function<Date()>& today);

// Writes the investor to the file. Every check that can refuse the save
// (what is at the name, its write bits) comes first; then the previous
// content is written to "backup.qvx" in the current folder and the new
// content to the file's temporary name, and only when both are whole are
// they put in place, the backup first (a failure there stops the save and
// names backup.qvx in a message the handlers keep). A failed save leaves
// the old file and the old backup as they were.
void saveInvestor(const Investor& investor, std::string_view fileName);

}  // namespace orlendo
