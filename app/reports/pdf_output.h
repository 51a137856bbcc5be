// Where printed pages go when the PDF printer stands in for a real one, and
// what the user is told about it.
#pragma once

#include <string>
#include <vector>

namespace tvx {

// The first file of a print run: beside the open data file and named after
// it ("smith.qvx" gives "smith.pdf"); without a data file,
// "Tallyvex reports.pdf" in `fallbackFolder`.
std::string DefaultPdfFile(const std::string& dataFile, const std::string& fallbackFolder);

// The file of the job with this 1-based number: the first file itself, then
// "<stem>-2.pdf", "<stem>-3.pdf", ...
std::string PdfFileForJob(const std::string& first, int job);

// The status bar's text after a run that wrote `files` (empty: none written).
std::string PrintedFilesStatus(const std::vector<std::string>& files);

}  // namespace tvx
