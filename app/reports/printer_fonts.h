// The report font on the printer: SetNewFont switches to it (explaining
// once per run a font the system lacks) and SetOldFont switches back.
#pragma once

#include <string>

namespace tvx {

struct ReportContext;

// The printer font saved by SetNewFont.
struct FontRecord {
  std::string name;
  float size = 0;
  bool bold = false;
};

void SetNewFont(ReportContext& ctx, std::string fontName, float fontSize, bool bold, FontRecord& fontRecord);
void SetOldFont(ReportContext& ctx, const FontRecord& fontRecord);

}  // namespace tvx
