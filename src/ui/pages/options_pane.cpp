#include "ui/pages/options_pane.h"

#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvane::ui {

COptionsPane::COptionsPane(COptionPages& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_tabs(new QTabWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_tabs);
  for (const char* title :
       {"Displayed columns", "Output options", "Filter options", "Program options"}) {
    auto* scroll = new QScrollArea(m_tabs);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(new QWidget(scroll));
    m_tabs->addTab(scroll, QString::fromUtf8(title));
  }
  auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  next->setContext(Qt::WindowShortcut);
  connect(next, &QShortcut::activated, this, [this] { SelectTab(1); });
  auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  previous->setContext(Qt::WindowShortcut);
  connect(previous, &QShortcut::activated, this, [this] { SelectTab(-1); });
}

COptionsPane::~COptionsPane() = default;

QTabWidget* COptionsPane::Tabs() const {
  return m_tabs;
}

void COptionsPane::SelectTab(int step) {
  const int count = m_tabs->count();
  if (count > 0) m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
}

}  // namespace orvane::ui
