// The text box of a report window: a read-only, fixed-pitch view of the
// report's lines that draws only the lines in sight, so that a report of
// megabytes comes up at once. Text is selected with the mouse or the keys
// (Shift with the arrows, Home, End, the page keys) and copied with Ctrl+C;
// Ctrl+A selects all of it.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <string_view>

#include "core/report_lines.h"

namespace tvx::qt {

class ReportView final : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit ReportView(QWidget* parent = nullptr);

  const ReportLines& lines() const { return lines_; }
  void setText(std::string_view text);
  void appendText(std::string_view text);
  // The whole text, as copied: line ends as single line feeds.
  QString toPlainText() const;

  // The caret's place; the selection runs from the anchor to it.
  TextPlace caret() const { return caret_; }
  // Moves the caret (and, unless `keepAnchor`, the anchor) and brings it into sight.
  void moveCaret(TextPlace place, bool keepAnchor = false);
  QString selectedText() const;
  void selectAll();
  void copy() const;
  // Selects the next place of `wanted` after the caret, from the top when
  // there is none below; false when the report holds none.
  bool find(const QString& wanted);
  // The first line in sight.
  std::size_t firstVisibleLine() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void changed();
  void updateScrollBars();
  void ensureVisible(TextPlace place);
  int lineHeight() const;
  int visibleLines() const;
  // The x of a column of a line, from the text's left edge.
  int xOf(std::size_t line, std::size_t column) const;
  TextPlace placeAt(QPoint viewportPoint) const;

  ReportLines lines_;
  TextPlace anchor_;
  TextPlace caret_;
  std::size_t upDownChars_ = 0;  // the caret's column kept over short lines
  bool upDownKept_ = false;
  bool dragging_ = false;
};

}  // namespace tvx::qt
