// PreviewView: the preview pane, a web view that shows the listing file (text and CSV
// listings as plain text, HTML as a page), prints it, copies it, and on an HTML listing offers
// the column menu on a right click (the browser's own context menu is never shown).
// User-interface thread only.
#pragma once

#include <QPointer>
#include <QWebEngineView>

#include <functional>
#include <map>
#include <optional>

#include "ui/window/column_menu.h"

class QMenu;
class QPrinter;

namespace orvane::ui {

class PreviewView : public QWebEngineView {
  Q_OBJECT

 public:
  explicit PreviewView(QWidget* parent = nullptr);

  // Shows a listing file; html: the listing is an HTML page (the column menu applies).
  void ShowFile(const QString& path, bool html);
  // Shows a short page of our own (the welcome page).
  void ShowText(const QString& html);
  bool ShowsHtmlListing() const { return m_bHtmlListing; }
  bool Loading() const { return m_bLoading; }
  // Whether the last load finished and succeeded.
  bool Loaded() const { return m_bLoaded; }

  // Copies the selection, or the whole page when nothing is selected (leaving nothing
  // selected).
  void CopyListing();
  // Prints the shown page on printer; done(ok) follows when it has been printed.
  void PrintTo(QPrinter* printer, std::function<void(bool)> done);

  // Asks the page which column is at pos (view coordinates); answer(column) follows, with
  // nothing over no column or on a text listing.
  void ColumnAt(const QPoint& pos, std::function<void(std::optional<int>)> answer);
  // The text of an item of the column menu (by its command), for a language.
  void SetColumnMenuText(int command, const QString& text) { m_columnMenuTexts[command] = text; }
  // The column menu as it would be shown for column (not shown; the caller owns it).
  QMenu* MakeColumnMenu(int column);

 signals:
  void previewLoaded(bool ok);
  // A command of the column menu for a column.
  void columnCommand(int column, orvane::ui::ColumnMenuCommand command);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ShowColumnMenu(int column, const QPoint& globalPos);

  bool m_bHtmlListing = false;
  bool m_bLoading = false;
  bool m_bLoaded = false;
  bool m_bPrinting = false;
  std::function<void(bool)> m_printDone;
  std::map<int, QString> m_columnMenuTexts;
};

}  // namespace orvane::ui
