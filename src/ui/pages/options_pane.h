// COptionsPane: the options pane of the main window, a tab control with the four option pages
// ("Displayed columns", "Output options", "Filter options", "Program options"), each in a
// scroll area so the pane scrolls when it is smaller than a page.
//
// The widgets edit the option model they are given: a user edit goes to the model at once, and
// every change the model reports (a loaded configuration, a radio group, boxes that depend on a
// box) is shown by the widgets. The pane is the model's listener for its whole life, and the
// model must outlive the pane. User-interface thread only.
#pragma once

#include <QWidget>
#include <memory>

#include "settings/option_pages.h"
#include "ui/pages/page_services.h"

class QTabWidget;

namespace orvane::ui {

class CControlBinder;

class COptionsPane : public QWidget {
  Q_OBJECT
 public:
  explicit COptionsPane(COptionPages& model, QWidget* parent = nullptr);
  ~COptionsPane() override;

  QTabWidget* Tabs() const;

  // The widget of a control of the pages (nullptr for hidden controls and the tree pane's box).
  QWidget* Control(int id) const;
  // Shows the model's values and states again in every widget. Changes the model reports reach
  // the widgets by themselves; this is for a model changed while it had another listener.
  void SyncFromModel();
  // Replaces the dialogs and the shell integration switch (tests give their own).
  void SetServices(CPageServices services) { m_services = std::move(services); }

 signals:
  // The hint of the control under the pointer; empty when it leaves.
  void hintChanged(const QString& text);
  // A user edit of a control (not a change made by loading).
  void optionsEdited(int controlId);
  // Any new value of a control in the model, by an edit or by loading (the pane is the model's
  // listener; a window that wants to hear of changes listens here instead).
  void controlChanged(int controlId);

 private:
  void SelectTab(int step);

  CPageServices m_services;  // before the pages, which keep a reference to it
  std::unique_ptr<CControlBinder> m_binder;
  QTabWidget* m_tabs = nullptr;
};

}  // namespace orvane::ui
