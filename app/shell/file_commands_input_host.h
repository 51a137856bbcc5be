// The desktop's adapter between the input window and the file commands.
#pragma once

#include <string>
#include <string_view>

#include "entry/input_form.h"
#include "shell/file_commands.h"

namespace tvx {

// The input window's needs met by the file commands and the error paths.
class FileCommandsInputHost final : public InputWindowHost {
 public:
  explicit FileCommandsInputHost(FileCommands& files) : files_(files) {}
  void markChanged() override;
  bool saveFile() override;
  void saveAs() override;
  std::string shortFilename() override;
  void reportError(long number, std::string_view description, std::string_view location) override;
  void reportFatal(long number, std::string_view procedure) override;

 private:
  FileCommands& files_;
};

}  // namespace tvx
