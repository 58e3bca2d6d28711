#include "ui/pages/options_pane.h"

#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/pages/control_binder.h"
#include "ui/pages/page_layout.h"

namespace orvane::ui {

COptionsPane::COptionsPane(COptionPages& model, QWidget* parent)
    : QWidget(parent),
      m_services(DefaultPageServices()),
      m_binder(std::make_unique<CControlBinder>(model)),
      m_tabs(new QTabWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_tabs);
  m_tabs->setObjectName(QStringLiteral("control1206"));  // the tabs' texts are one caption
  const std::pair<const char*, QWidget*> pages[] = {
      {"Displayed columns", BuildColumnsPage(*m_binder)},
      {"Output options", BuildOutputPage(*m_binder, m_services)},
      {"Filter options", BuildFilterPage(*m_binder)},
      {"Program options", BuildProgramPage(*m_binder, m_services)},
  };
  for (const auto& [title, page] : pages) {
    // The pane scrolls when it is smaller than a page.
    auto* scroll = new QScrollArea(m_tabs);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    m_tabs->addTab(scroll, QString::fromUtf8(title));
  }
  connect(m_binder.get(), &CControlBinder::edited, this, &COptionsPane::optionsEdited);
  connect(m_binder.get(), &CControlBinder::hintChanged, this, &COptionsPane::hintChanged);
  connect(m_binder.get(), &CControlBinder::valueChanged, this, &COptionsPane::controlChanged);

  auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  next->setContext(Qt::WindowShortcut);
  connect(next, &QShortcut::activated, this, [this] { SelectTab(1); });
  auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  previous->setContext(Qt::WindowShortcut);
  connect(previous, &QShortcut::activated, this, [this] { SelectTab(-1); });
}

// The pages' widgets go with the pane before the binder stops listening to the model.
COptionsPane::~COptionsPane() {
  delete m_tabs;
  m_tabs = nullptr;
}

QTabWidget* COptionsPane::Tabs() const {
  return m_tabs;
}

QWidget* COptionsPane::Control(int id) const {
  return m_binder->Find(id);
}

void COptionsPane::SyncFromModel() {
  m_binder->SyncAll();
}

void COptionsPane::SelectTab(int step) {
  const int count = m_tabs->count();
  if (count > 0) m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
}

}  // namespace orvane::ui
