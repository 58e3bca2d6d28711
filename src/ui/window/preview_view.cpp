#include "ui/window/preview_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include "settings/commands.h"

namespace orvane::ui {

PreviewView::PreviewView(QWidget* parent) : QWebEngineView(parent) {
  setContextMenuPolicy(Qt::DefaultContextMenu);
  settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
  settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
  connect(this, &QWebEngineView::loadStarted, this, [this] {
    m_bLoading = true;
    m_bLoaded = false;
  });
  connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
    m_bLoading = false;
    m_bLoaded = ok;
    if (!ok || m_bHtmlListing) {
      emit previewLoaded(ok);
      return;
    }
    // A text listing keeps its lines: the browser would wrap them at the pane's width, which
    // breaks every row of a wide listing in two.
    QPointer<PreviewView> self(this);
    page()->runJavaScript(
        "(function(){var p=document.querySelector('pre');"
        "if(p){p.style.whiteSpace='pre';p.style.wordWrap='normal';}})()",
        [self](const QVariant&) {
          if (self) emit self->previewLoaded(true);
        });
  });
  connect(this, &QWebEngineView::printFinished, this, [this](bool ok) {
    m_bPrinting = false;
    if (auto done = std::exchange(m_printDone, nullptr)) done(ok);
  });
}

void PreviewView::ShowFile(const QString& path, bool html) {
  m_bHtmlListing = html;
  m_bLoading = true;
  m_bLoaded = false;
  load(QUrl::fromLocalFile(path));
}

void PreviewView::ShowText(const QString& html) {
  m_bHtmlListing = false;
  m_bLoading = true;
  m_bLoaded = false;
  setHtml(html);
}

void PreviewView::CopyListing() {
  // The page's editing commands act on the focused frame.
  setFocus(Qt::OtherFocusReason);
  if (page()->hasSelection()) {
    triggerPageAction(QWebEnginePage::Copy);
    return;
  }
  triggerPageAction(QWebEnginePage::SelectAll);
  triggerPageAction(QWebEnginePage::Copy);
  triggerPageAction(QWebEnginePage::Unselect);
}

void PreviewView::PrintTo(QPrinter* printer, std::function<void(bool)> done) {
  if (m_bPrinting) {
    if (done) done(false);
    return;
  }
  m_bPrinting = true;
  m_printDone = std::move(done);
  print(printer);
}

void PreviewView::ColumnAt(const QPoint& pos, std::function<void(std::optional<int>)> answer) {
  if (!m_bHtmlListing || !m_bLoaded) {
    answer(std::nullopt);
    return;
  }
  // The page's coordinates are CSS pixels; the view's are device-independent pixels scaled by
  // the zoom.
  const qreal zoom = zoomFactor() > 0 ? zoomFactor() : 1.0;
  const QString script = QString(
                             "(function(){var e=document.elementFromPoint(%1,%2);"
                             "while(e&&e.tagName!=='TD'&&e.tagName!=='TH')e=e.parentElement;"
                             "return e?e.className:'';})()")
                             .arg(pos.x() / zoom)
                             .arg(pos.y() / zoom);
  QPointer<PreviewView> self(this);
  page()->runJavaScript(script, [self, answer](const QVariant& result) {
    if (!self) return;
    answer(ColumnOfCellClass(result.toString().toStdString()));
  });
}

void PreviewView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  const QPoint global = event->globalPos();
  QPointer<PreviewView> self(this);
  ColumnAt(event->pos(), [self, global](std::optional<int> column) {
    if (self && column) self->ShowColumnMenu(*column, global);
  });
}

QMenu* PreviewView::MakeColumnMenu(int column) {
  auto* menu = new QMenu(this);
  QAction* title = menu->addAction(QString::fromStdString(ColumnMenuTitle(column)));
  title->setEnabled(false);
  menu->addSeparator();
  // The items come in the order of the commands.
  int index = 0;
  for (const ColumnMenuRow& row : ColumnMenuItems()) {
    if (row.separatorBefore) menu->addSeparator();
    auto it = m_columnMenuTexts.find(row.id);
    const QString caption = it != m_columnMenuTexts.end() ? it->second : QString(row.caption);
    const auto command = static_cast<ColumnMenuCommand>(index++);
    connect(menu->addAction(caption), &QAction::triggered, this,
            [this, column, command] { emit columnCommand(column, command); });
  }
  return menu;
}

void PreviewView::ShowColumnMenu(int column, const QPoint& globalPos) {
  QMenu* menu = MakeColumnMenu(column);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

}  // namespace orvane::ui
