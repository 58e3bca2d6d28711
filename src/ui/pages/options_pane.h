// COptionsPane: the options pane of the main window, a tab control with the four option pages
// ("Displayed columns", "Output options", "Filter options", "Program options"), each in a
// scroll area so the pane scrolls when it is smaller than a page.
//
// The widgets edit the option model they are given: a user edit goes to the model at once, and
// every change the model reports (a loaded configuration, a radio group, boxes that depend on a
// box) is shown by the widgets. The model must outlive the pane. User-interface thread only.
#pragma once

#include <QWidget>
#include <memory>

#include "settings/option_pages.h"

class QTabWidget;

namespace orvane::ui {

class COptionsPane : public QWidget {
  Q_OBJECT
 public:
  explicit COptionsPane(COptionPages& model, QWidget* parent = nullptr);
  ~COptionsPane() override;

  QTabWidget* Tabs() const;

 signals:
  // The hint of the control under the pointer; empty when it leaves.
  void hintChanged(const QString& text);
  // A user edit of a control (not a change made by loading).
  void optionsEdited(int controlId);

 private:
  void SelectTab(int step);

  COptionPages& m_model;
  QTabWidget* m_tabs = nullptr;
};

}  // namespace orvane::ui
