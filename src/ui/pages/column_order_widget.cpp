#include "ui/pages/column_order_widget.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "engine/columns.h"
#include "settings/window_texts.h"
#include "ui/pages/control_binder.h"

namespace orvane::ui {
namespace {

// The radio buttons and the alignment codes they give an entry (0 left, 1 right, 2 center).
constexpr std::pair<int, int> kAlignButtons[] = {
    {kKeyAlignLeft, 0}, {kKeyAlignCenter, 2}, {kKeyAlignRight, 1}};

QString Text(int id) {
  return QString::fromStdString(WindowText(id));
}

QString AlignName(int code) {
  return Text(code == 1 ? kTextAlignRight : code == 2 ? kTextAlignCenter : kTextAlignLeft);
}

// Three columns are called "Comments" and two "Title": their group tells them apart.
QString EntryName(int number, const std::map<std::string, int>& labelCount) {
  const ColumnId id = ColumnFromNumber(number);
  // The catalogue's name, which a language renames.
  const std::string label = ColumnInfo(id).m_strName;
  QString name = QString::fromStdString(label);
  if (labelCount.at(label) < 2) return name;
  if (number <= ColumnNumber(ColumnId::kLanguage)) return name + ' ' + Text(kTextOfExecutable);
  if (number <= ColumnNumber(ColumnId::kSecurity)) return name + ' ' + Text(kTextOfDocument);
  return name + ' ' + Text(kTextOfMp3);
}

}  // namespace

CColumnOrderWidget::CColumnOrderWidget(CControlBinder& binder, QWidget* parent)
    : QWidget(parent), m_binder(binder), m_list(new QTreeWidget(this)) {
  m_list->setObjectName(QStringLiteral("columnOrderList"));
  m_list->setColumnCount(2);
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  m_list->header()->setStretchLastSection(false);
  m_list->setMinimumSize(230, 150);
  binder.AddHint(m_list, kKeyColumnOrder);

  auto* side = new QVBoxLayout;
  for (const auto& [id, code] : kAlignButtons) {
    side->addWidget(binder.Control(id, this));
    binder.OnEdit(id, [this, code = code] { AlignCurrent(code); });
  }
  side->addSpacing(8);
  auto button = [this, side](const char* name, int text, auto action) {
    auto* b = new QPushButton(this);
    b->setText(MarkedText(b, text));
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, action);
    side->addWidget(b);
  };
  button("moveUp", kTextMoveUp, [this] { MoveCurrent(-1); });
  button("moveDown", kTextMoveDown, [this] { MoveCurrent(1); });
  button("restoreDefault", kTextRestoreDefault, [this] { RestoreDefault(); });
  side->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_list, 1);
  layout->addLayout(side);

  connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { ShowAlignmentOfCurrent(); });
  connect(&binder, &CControlBinder::valueChanged, this, [this](int id) {
    if (id == kKeyColumnOrder) Refill();
  });
  Refill();
  if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
}

void CColumnOrderWidget::Refill() {
  const CColumnOrderList& order = m_binder.Model().ColumnOrder();
  const int current = CurrentRow();
  std::map<std::string, int> labelCount;
  for (std::size_t i = 0; i < order.Size(); ++i)
    ++labelCount[ColumnInfo(ColumnFromNumber(order.ColumnAt(i))).m_strName];
  const QSignalBlocker block(m_list);
  m_list->setHeaderLabels({Text(kTextColumnHeading), Text(kTextAlignmentHeading)});
  m_list->clear();
  for (std::size_t i = 0; i < order.Size(); ++i) {
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(0, EntryName(order.ColumnAt(i), labelCount));
    item->setText(1, AlignName(order.AlignAt(i)));
  }
  if (current >= 0 && current < m_list->topLevelItemCount())
    m_list->setCurrentItem(m_list->topLevelItem(current));
  ShowAlignmentOfCurrent();
}

int CColumnOrderWidget::CurrentRow() const {
  QTreeWidgetItem* item = m_list->currentItem();
  return item ? m_list->indexOfTopLevelItem(item) : -1;
}

void CColumnOrderWidget::ShowAlignmentOfCurrent() {
  const int row = CurrentRow();
  const CColumnOrderList& order = m_binder.Model().ColumnOrder();
  if (row < 0 || static_cast<std::size_t>(row) >= order.Size()) return;
  // The radio buttons are page state: they show the entry, they do not edit the options.
  for (const auto& [id, code] : kAlignButtons) {
    if (code == order.AlignAt(static_cast<std::size_t>(row))) m_binder.Model().SetCheck(id, 1);
  }
}

void CColumnOrderWidget::AlignCurrent(int code) {
  const int row = CurrentRow();
  if (row < 0) return;
  m_binder.Model().EditColumnOrder([row, code](CColumnOrderList& order) {
    order.SetAlign(static_cast<std::size_t>(row), code);
  });
}

void CColumnOrderWidget::MoveCurrent(int step) {
  const int row = CurrentRow();
  const int target = row + step;
  if (row < 0 || target < 0 || target >= m_list->topLevelItemCount()) return;
  m_binder.Model().EditColumnOrder([row, target](CColumnOrderList& order) {
    order.Move(static_cast<std::size_t>(row), static_cast<std::size_t>(target));
  });
  m_list->setCurrentItem(m_list->topLevelItem(target));
  m_binder.ReportEdit(kKeyColumnOrder);
}

void CColumnOrderWidget::RestoreDefault() {
  m_binder.Model().EditColumnOrder([](CColumnOrderList& order) { order.RestoreDefault(); });
  m_binder.ReportEdit(kKeyColumnOrder);
}

}  // namespace orvane::ui
