// CControlBinder: ties the widgets of the option pages to the option model.
//
// It makes the widget of each model control (check box, three-state box, radio button, line
// edit or spin box, combo box, date picker), hands every user edit to the model at once and, as
// the model's listener, shows every change the model reports (a loaded configuration, a radio
// group, boxes that depend on a box) in the widgets. Enabling is always asked of the model.
// While the pointer rests on a control (or its caption) the binder reports the control's hint
// from the string table, and an empty hint when it leaves. User-interface thread only.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "settings/option_pages.h"

class QLabel;
class QWidget;

namespace orvane::ui {

// Properties a language switch finds widgets by: a caption of a control (its "Label" in
// Reference.ini) and a widget that shows a text of the window texts table.
inline constexpr const char* kCaptionOfProperty = "orvaneCaptionOf";
inline constexpr const char* kWindowTextProperty = "orvaneText";

// A text of the window texts table for widget, which is marked so a language switch shows the
// table's text again.
QString MarkedText(QObject* widget, int textId);

class CControlBinder : public QObject, public COptionPagesListener {
  Q_OBJECT
 public:
  // Listens to the model from now on; the model must outlive the binder.
  explicit CControlBinder(COptionPages& model, QObject* parent = nullptr);
  ~CControlBinder() override;

  COptionPages& Model() { return m_model; }

  // The widget of a model control, made the first time (nullptr for an unknown or hidden
  // control, and for the column order list, which its own widget shows).
  QWidget* Control(int id, QWidget* parent);
  // The widget made for a control, or nullptr.
  QWidget* Find(int id) const;
  // A caption for a control: enabled with it and showing its hint (hintId: a label of its own
  // in the string table, 0 for the control's). text empty: the control's model label.
  QLabel* Caption(int id, QWidget* parent, const QString& text = {}, int hintId = 0);
  // A widget that is no model control follows one: enabled as IsEnabled(enabledId) says, hint
  // of hintId (0: none).
  void Follow(QWidget* widget, int enabledId, int hintId);
  // Shows the hint of hintId while the pointer rests on widget.
  void AddHint(QWidget* widget, int hintId);
  // Whether a page placed a control already (unplaced ones are appended at the page's end).
  bool IsPlaced(int id) const { return m_widgets.count(id) != 0; }

  // Runs action after the model took a user edit of id, before edited(id) is emitted.
  void OnEdit(int id, std::function<void()> action);
  // Reports a user edit made through a widget of a page's own (the column order list...).
  void ReportEdit(int id) { emit edited(id); }

  // Shows every control's value and state again.
  void SyncAll();
  void ControlsChanged(const std::vector<ControlChange>& changes) override;

 signals:
  // A user edit of a control, already in the model.
  void edited(int id);
  // The model reports a new value of id (after the binder's own widgets show it).
  void valueChanged(int id);
  // The hint of the control under the pointer; empty when it leaves.
  void hintChanged(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* Make(const COptionControl& c, QWidget* parent);
  void ConnectEdits(const COptionControl& c, QWidget* widget);
  void UserEdit(int id, const std::function<void()>& edit);
  void ShowValue(int id);
  void ShowEnabled();

  COptionPages& m_model;
  std::map<int, QWidget*> m_widgets;
  std::vector<std::pair<QWidget*, int>> m_followers;  // widget, control it is enabled with
  std::map<int, std::vector<std::function<void()>>> m_afterEdit;
  bool m_bShowing = false;  // widgets are being set from the model, not by the user
};

}  // namespace orvane::ui
