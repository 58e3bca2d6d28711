// CColumnOrderWidget: the column order list of the "Output options" page with its alignment
// radio buttons ("Left", "Center", "Right") and its move and restore buttons. The list shows
// the model's column order; every edit goes to the model, and the list follows every change of
// the model (a loaded configuration, the preview's column menu). User-interface thread only.
#pragma once

#include <QWidget>

class QTreeWidget;

namespace orvane::ui {

class CControlBinder;

class CColumnOrderWidget : public QWidget {
  Q_OBJECT
 public:
  CColumnOrderWidget(CControlBinder& binder, QWidget* parent = nullptr);

  QTreeWidget* List() const { return m_list; }

 private:
  void Refill();
  int CurrentRow() const;
  void ShowAlignmentOfCurrent();
  void AlignCurrent(int code);
  void MoveCurrent(int step);
  void RestoreDefault();

  CControlBinder& m_binder;
  QTreeWidget* m_list = nullptr;
};

}  // namespace orvane::ui
