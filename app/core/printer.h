// The printer as the reports see it: a font, a page of text lines, page
// numbers and print jobs. The desktop program implements it over Qt's
// printer; the tests use a recording printer.
#pragma once

#include <string>
#include <string_view>

namespace tvx {

class Printer {
 public:
  virtual ~Printer() = default;

  // Font. A font the system does not have makes setFontName raise
  // orlendo::Error with number orlendo::errnum::InvalidPropertyValue (380);
  // the printer then keeps the font it had.
  virtual void setFontName(std::string_view name) = 0;
  virtual std::string fontName() const = 0;
  virtual void setFontSize(float points) = 0;
  virtual float fontSize() const = 0;
  virtual void setFontBold(bool bold) = 0;
  virtual bool fontBold() const = 0;

  // The printable height of a page and the height of one line of `text` in
  // the current font, in any one unit (both in the same unit).
  virtual long pageHeight() const = 0;
  virtual long textHeight(std::string_view text) const = 0;

  // Prints `text` at the current position, unchanged. A CR LF pair (or a
  // lone LF) inside it ends a line; text after the last line end stays on
  // the current line and the next print continues it. Print columns are
  // made with leading blanks by the callers.
  virtual void print(std::string_view text) = 0;

  // The number of the current page of the current print job, from 1.
  virtual int page() const = 0;
  // Ends the current page: what is printed next goes on a new page.
  virtual void newPage() = 0;
  // Ends the print job. A page that was started by newPage and received no
  // output is not emitted. The next print starts a new job at page 1.
  virtual void endDoc() = 0;
};

}  // namespace tvx
