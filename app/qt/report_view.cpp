#include "qt/report_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "core/report_text.h"

namespace tvx::qt {

namespace {

constexpr int kMargin = 4;  // around the text, as a document's margin

QString lineText(std::string_view line) { return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())); }

}  // namespace

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

void ReportView::setText(std::string_view text) {
  lines_.assign(text);
  anchor_ = caret_ = TextPlace{};
  changed();
}

void ReportView::appendText(std::string_view text) {
  lines_.append(text);
  changed();
}

void ReportView::changed() {
  // While hidden, the text only grows; the scroll bars follow when shown.
  if (!isVisible()) return;
  updateScrollBars();
  viewport()->update();
}

QString ReportView::toPlainText() const { return QString::fromStdString(lines_.between({}, lines_.end())); }

int ReportView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int ReportView::visibleLines() const { return std::max(1, (viewport()->height() - 2 * kMargin) / lineHeight()); }

std::size_t ReportView::firstVisibleLine() const { return static_cast<std::size_t>(verticalScrollBar()->value()); }

void ReportView::updateScrollBars() {
  const int rows = visibleLines();
  const auto count = static_cast<long long>(lines_.count());
  verticalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(count - rows, 0, INT_MAX)));
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setSingleStep(1);
  const long long width =
      static_cast<long long>(lines_.widest()) * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 2 * kMargin;
  horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(width - viewport()->width(), 0, INT_MAX)));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int ReportView::xOf(std::size_t line, std::size_t column) const {
  const std::string_view text = lines_.line(line);
  return fontMetrics().horizontalAdvance(lineText(text.substr(0, std::min(column, text.size()))));
}

TextPlace ReportView::placeAt(QPoint point) const {
  const long long row = (point.y() - kMargin) >= 0 ? (point.y() - kMargin) / lineHeight()
                                                    : -1 - (kMargin - point.y() - 1) / lineHeight();
  const long long last = static_cast<long long>(lines_.count()) - 1;
  const auto line = static_cast<std::size_t>(std::clamp<long long>(static_cast<long long>(firstVisibleLine()) + row, 0, last));
  const QString text = lineText(lines_.line(line));
  const int x = point.x() + horizontalScrollBar()->value() - kMargin;
  // The character edge nearest to x.
  const QFontMetrics metrics = fontMetrics();
  qsizetype low = 0;
  qsizetype high = text.size();
  while (low < high) {
    const qsizetype mid = (low + high) / 2;
    if (metrics.horizontalAdvance(text.left(mid + 1)) <= x) low = mid + 1;
    else high = mid;
  }
  qsizetype at = low;
  if (at < text.size()) {
    const int before = metrics.horizontalAdvance(text.left(at));
    const int after = metrics.horizontalAdvance(text.left(at + 1));
    if (x - before > after - x) ++at;
  }
  if (at > 0 && at < text.size() && text.at(at).isLowSurrogate()) --at;
  return lines_.clamp({line, static_cast<std::size_t>(text.left(at).toUtf8().size())});
}

void ReportView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QPalette& colours = palette();
  painter.fillRect(event->rect(), colours.base());
  const QFontMetrics metrics = fontMetrics();
  const int height = lineHeight();
  const int left = kMargin - horizontalScrollBar()->value();
  const TextPlace from = std::min(anchor_, caret_);
  const TextPlace to = std::max(anchor_, caret_);
  const std::size_t first = firstVisibleLine();
  const std::size_t rows = static_cast<std::size_t>(viewport()->height() / height) + 2;
  const std::size_t end = std::min(lines_.count(), first + rows);
  for (std::size_t i = first; i < end; ++i) {
    const int top = kMargin + static_cast<int>(i - first) * height;
    if (top > event->rect().bottom() || top + height < event->rect().top()) continue;
    const std::string_view line = lines_.line(i);
    const QString text = lineText(line);
    const int baseline = top + metrics.ascent();
    painter.setPen(colours.text().color());
    painter.drawText(left, baseline, text);
    if (from != to && from.line <= i && i <= to.line) {
      // The selected part of the line, and its line end as one blank.
      const int x1 = left + (i == from.line ? xOf(i, from.column) : 0);
      int x2 = left + (i == to.line ? xOf(i, to.column) : xOf(i, line.size()));
      if (i != to.line) x2 += metrics.horizontalAdvance(QLatin1Char(' '));
      const QRect selected(x1, top, x2 - x1, height);
      painter.fillRect(selected, colours.highlight());
      painter.save();
      painter.setClipRect(selected);
      painter.setPen(colours.highlightedText().color());
      painter.drawText(left, baseline, text);
      painter.restore();
    }
    if (hasFocus() && i == caret_.line) {
      const int x = left + xOf(i, caret_.column);
      painter.setPen(colours.text().color());
      painter.drawLine(x, top, x, top + height - 1);
    }
  }
}

void ReportView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void ReportView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  updateScrollBars();
}

void ReportView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateScrollBars();
    viewport()->update();
  }
}

void ReportView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void ReportView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void ReportView::ensureVisible(TextPlace place) {
  const int rows = visibleLines();
  QScrollBar* down = verticalScrollBar();
  const auto line = static_cast<long long>(place.line);
  if (line < down->value()) down->setValue(static_cast<int>(line));
  else if (line >= down->value() + rows) down->setValue(static_cast<int>(line - rows + 1));
  QScrollBar* across = horizontalScrollBar();
  const int x = xOf(place.line, place.column) + kMargin;
  const int room = viewport()->width();
  if (x - kMargin < across->value()) across->setValue(x - kMargin);
  else if (x + kMargin > across->value() + room) across->setValue(x + kMargin - room);
}

void ReportView::moveCaret(TextPlace place, bool keepAnchor) {
  caret_ = lines_.clamp(place);
  if (!keepAnchor) anchor_ = caret_;
  ensureVisible(caret_);
  viewport()->update();
}

QString ReportView::selectedText() const { return QString::fromStdString(lines_.between(anchor_, caret_)); }

void ReportView::selectAll() {
  anchor_ = {};
  caret_ = lines_.end();
  viewport()->update();
}

void ReportView::copy() const {
  if (anchor_ == caret_) return;
  QGuiApplication::clipboard()->setText(selectedText());
}

bool ReportView::find(const QString& wanted) {
  const auto found = lines_.find(wanted.toStdString(), caret_);
  if (!found) return false;
  anchor_ = found->from;
  moveCaret(found->to, true);
  return true;
}

void ReportView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) return copy();
  if (event->matches(QKeySequence::SelectAll)) return selectAll();
  struct Move {
    QKeySequence::StandardKey move, select;
    int kind;
  };
  enum { kNext, kPrevious, kDown, kUp, kPageDown, kPageUp, kHome, kEnd, kTop, kBottom };
  static const Move moves[] = {
      {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, kNext},
      {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, kPrevious},
      {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, kDown},
      {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, kUp},
      {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, kPageDown},
      {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, kPageUp},
      {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, kHome},
      {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, kEnd},
      {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, kTop},
      {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, kBottom},
  };
  for (const Move& m : moves) {
    const bool select = event->matches(m.select);
    if (!select && !event->matches(m.move)) continue;
    const bool vertical = m.kind == kDown || m.kind == kUp || m.kind == kPageDown || m.kind == kPageUp;
    if (vertical && !upDownKept_) {
      upDownChars_ = charCount(lines_.line(caret_.line).substr(0, caret_.column));
      upDownKept_ = true;
    }
    if (!vertical) upDownKept_ = false;
    const auto rows = static_cast<std::size_t>(visibleLines());
    const std::size_t last = lines_.count() - 1;
    const auto onLine = [&](std::size_t line) { return TextPlace{line, lines_.columnOf(line, upDownChars_)}; };
    TextPlace to = caret_;
    switch (m.kind) {
      case kNext: to = lines_.next(caret_); break;
      case kPrevious: to = lines_.previous(caret_); break;
      case kDown: to = onLine(std::min(last, caret_.line + 1)); break;
      case kUp: to = onLine(caret_.line > 0 ? caret_.line - 1 : 0); break;
      case kPageDown:
        verticalScrollBar()->setValue(verticalScrollBar()->value() + static_cast<int>(rows));
        to = onLine(std::min(last, caret_.line + rows));
        break;
      case kPageUp:
        verticalScrollBar()->setValue(verticalScrollBar()->value() - static_cast<int>(rows));
        to = onLine(caret_.line > rows ? caret_.line - rows : 0);
        break;
      case kHome: to = {caret_.line, 0}; break;
      case kEnd: to = {caret_.line, lines_.line(caret_.line).size()}; break;
      case kTop: to = {}; break;
      case kBottom: to = lines_.end(); break;
    }
    moveCaret(to, select);
    return;
  }
  event->ignore();  // typing changes nothing; the window's keys stay with the window
}

void ReportView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  upDownKept_ = false;
  dragging_ = true;
  moveCaret(placeAt(event->position().toPoint()), event->modifiers().testFlag(Qt::ShiftModifier));
}

void ReportView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(event);
  moveCaret(placeAt(event->position().toPoint()), true);
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QAbstractScrollArea::mouseReleaseEvent(event);
  dragging_ = false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (anchor_ != caret_ && clipboard->supportsSelection()) clipboard->setText(selectedText(), QClipboard::Selection);
}

void ReportView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
  // The word under the pointer: the run of non-blank characters.
  const TextPlace at = placeAt(event->position().toPoint());
  const std::string_view line = lines_.line(at.line);
  std::size_t from = at.column;
  std::size_t to = at.column;
  while (from > 0 && line[from - 1] != ' ') --from;
  while (to < line.size() && line[to] != ' ') ++to;
  anchor_ = {at.line, from};
  moveCaret({at.line, to}, true);
  dragging_ = false;
}

void ReportView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction("&Copy", this, &ReportView::copy);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(anchor_ != caret_);
  menu.addSeparator();
  QAction* all = menu.addAction("Select All", this, &ReportView::selectAll);
  all->setShortcut(QKeySequence::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace tvx::qt
