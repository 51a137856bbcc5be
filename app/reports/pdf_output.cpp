#include "reports/pdf_output.h"

#include <filesystem>

namespace tvx {

namespace fs = std::filesystem;

std::string DefaultPdfFile(const std::string& dataFile, const std::string& fallbackFolder) {
  const fs::path data(dataFile);
  std::string stem = data.stem().string();
  fs::path folder = data.parent_path();
  if (stem.empty()) {
    stem = "Tallyvex reports";
    folder.clear();
  }
  if (folder.empty()) folder = fallbackFolder;
  return (folder / (stem + ".pdf")).string();
}

std::string PdfFileForJob(const std::string& first, int job) {
  if (job <= 1) return first;
  const fs::path path(first);
  const std::string extension = path.has_extension() ? path.extension().string() : std::string(".pdf");
  fs::path numbered = path;
  numbered.replace_filename(path.stem().string() + "-" + std::to_string(job) + extension);
  return numbered.string();
}

std::string PrintedFilesStatus(const std::vector<std::string>& files) {
  if (files.empty()) return {};
  if (files.size() == 1) return "Reports written to " + files[0];
  std::string text = "Reports written to " + std::to_string(files.size()) + " files: ";
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) text += i + 1 == files.size() ? " and " : ", ";
    text += i == 0 ? files[i] : fs::path(files[i]).filename().string();
  }
  return text;
}

}  // namespace tvx
