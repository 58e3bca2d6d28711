// The "Displayed columns", "Filter options" and "Program options" pages, and the helpers every
// page uses.
#include "ui/pages/page_layout.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <map>

#include "settings/window_texts.h"
#include "ui/pages/control_binder.h"
#include "ui/pages/page_services.h"

namespace orvane::ui {
namespace {

// The column groups of the "Displayed columns" page: title, first and last column number, and
// how many rows a column of boxes holds.
struct ColumnGroup {
  int title;
  int first, last, rows;
};
constexpr ColumnGroup kColumnGroups[] = {
    {kTextGroupStandard, 0, 11, 6},    {kTextGroupExecutable, 12, 19, 4},
    {kTextGroupHashes, 20, 22, 4},     {kTextGroupDocument, 23, 39, 6},
    {kTextGroupMultimedia, 40, 50, 6}, {kTextGroupMp3, 51, 57, 4},
};

bool IsBox(const COptionControl& c) {
  return c.m_kind == ControlKind::kCheckBox || c.m_kind == ControlKind::kThreeState ||
         c.m_kind == ControlKind::kRadio;
}

QGroupBox* ColumnGroupBox(CControlBinder& binder, const ColumnGroup& group, QWidget* parent) {
  QGroupBox* box = MakeGroup(group.title, parent);
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  int slot = 0;
  std::map<int, int> widthOfPair;  // a width box of each pair of grid columns, for its header
  for (const COptionControl& c : binder.Model().Controls()) {
    if (c.m_page != OptionPage::kColumns || !c.m_column || c.m_bHidden || !IsBox(c)) continue;
    const int number = ColumnNumber(*c.m_column);
    if (number < group.first || number > group.last) continue;
    const int row = 1 + slot % group.rows, pair = slot / group.rows;
    ++slot;
    grid->addWidget(binder.Control(c.m_nId, box), row, pair * 2);
    // The width box of the same column follows its check box.
    for (const COptionControl& w : binder.Model().Controls()) {
      if (w.m_kind != ControlKind::kEdit || w.m_column != c.m_column || w.m_bHidden) continue;
      grid->addWidget(binder.Control(w.m_nId, box), row, pair * 2 + 1);
      widthOfPair.emplace(pair, w.m_nId);
    }
  }
  for (const auto& [pair, widthId] : widthOfPair) {
    auto* header = new QLabel(box);
    header->setText(MarkedText(header, kTextWidthHeading));
    binder.Follow(header, widthId, 0);
    grid->addWidget(header, 0, pair * 2 + 1);
  }
  grid->setRowStretch(group.rows + 1, 1);
  return box;
}

}  // namespace

QGroupBox* MakeGroup(const QString& title, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  return group;
}

QGroupBox* MakeGroup(int titleText, QWidget* parent) {
  QGroupBox* group = MakeGroup(QString(), parent);
  group->setTitle(MarkedText(group, titleText));
  return group;
}

void AddRow(CControlBinder& binder, QGridLayout* grid, int id, QWidget* parent,
            const QString& caption, int captionHint) {
  QWidget* widget = binder.Control(id, parent);
  if (!widget) return;
  const int row = grid->rowCount();
  const COptionControl* c = binder.Model().Find(id);
  if (c && IsBox(*c)) {
    grid->addWidget(widget, row, 0, 1, 2);
    return;
  }
  grid->addWidget(binder.Caption(id, parent, caption, captionHint), row, 0);
  grid->addWidget(widget, row, 1);
}

void AppendUnplaced(CControlBinder& binder, OptionPage page, QWidget* parent, QBoxLayout* layout) {
  QGridLayout* grid = nullptr;
  for (const COptionControl& c : binder.Model().Controls()) {
    if (c.m_page != page || c.m_bHidden || c.m_kind == ControlKind::kColumnOrder ||
        binder.IsPlaced(c.m_nId))
      continue;
    if (!grid) {
      grid = new QGridLayout;
      layout->addLayout(grid);
    }
    AddRow(binder, grid, c.m_nId, parent);
  }
}

QWidget* BuildColumnsPage(CControlBinder& binder) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  // Two rows of groups: the file system's own columns, then the ones read from the contents.
  for (int row = 0; row < 2; ++row) {
    auto* line = new QHBoxLayout;
    for (int g = row * 3; g < row * 3 + 3; ++g)
      line->addWidget(ColumnGroupBox(binder, kColumnGroups[g], page), 0, Qt::AlignTop);
    line->addStretch(1);
    layout->addLayout(line);
  }
  AppendUnplaced(binder, OptionPage::kColumns, page, layout);
  layout->addStretch(1);
  return page;
}

QWidget* BuildFilterPage(CControlBinder& binder) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* maskRow = new QGridLayout;
  AddRow(binder, maskRow, kKeyMask, page, {}, 1409);
  binder.Find(kKeyMask)->setMinimumWidth(320);
  maskRow->setColumnStretch(2, 1);
  layout->addLayout(maskRow);

  auto* line = new QHBoxLayout;
  QGroupBox* dates = MakeGroup(kTextGroupDate, page);
  auto* dateGrid = new QGridLayout(dates);
  auto* kinds = new QHBoxLayout;
  for (int id : {kKeyDateCreation, kKeyDateLastWrite, kKeyDateLastAccess})
    kinds->addWidget(binder.Control(id, dates));
  kinds->addStretch(1);
  dateGrid->addLayout(kinds, 0, 0, 1, 2);
  for (auto [box, picker] :
       {std::pair(kKeyDateAfter, kKeyAfterPicker), std::pair(kKeyDateBefore, kKeyBeforePicker)}) {
    const int row = dateGrid->rowCount();
    dateGrid->addWidget(binder.Control(box, dates), row, 0);
    dateGrid->addWidget(binder.Control(picker, dates), row, 1);
  }
  line->addWidget(dates, 0, Qt::AlignTop);

  QGroupBox* sizes = MakeGroup(kTextGroupSize, page);
  auto* sizeGrid = new QGridLayout(sizes);
  int sizeRow = 0;
  for (auto [box, value] :
       {std::pair(kKeySizeMore, kKeySizeMoreValue), std::pair(kKeySizeLess, kKeySizeLessValue)}) {
    sizeGrid->addWidget(binder.Control(box, sizes), sizeRow, 0);
    sizeGrid->addWidget(binder.Control(value, sizes), sizeRow++, 1);
  }
  QWidget* unit = binder.Control(kKeySizeFilterUnit, sizes);
  QLabel* unitCaption = binder.Caption(kKeySizeFilterUnit, sizes, QStringLiteral("Unit:"));
  unitCaption->setText(MarkedText(unitCaption, kTextSizeUnit));
  sizeGrid->addWidget(unitCaption, sizeRow, 0);
  sizeGrid->addWidget(unit, sizeRow, 1);
  line->addWidget(sizes, 0, Qt::AlignTop);

  QGroupBox* attributes = MakeGroup(kTextGroupAttributes, page);
  auto* attrLayout = new QVBoxLayout(attributes);
  for (int id :
       {kKeyAttrArchive, kKeyAttrHidden, kKeyAttrReadOnly, kKeyAttrCompressed, kKeyAttrSystem})
    attrLayout->addWidget(binder.Control(id, attributes));
  line->addWidget(attributes, 0, Qt::AlignTop);
  line->addStretch(1);
  layout->addLayout(line);
  auto* note = new QLabel(page);
  note->setText(MarkedText(note, kTextAttributeNote));
  note->setWordWrap(true);
  layout->addWidget(note);
  AppendUnplaced(binder, OptionPage::kFilter, page, layout);
  layout->addStretch(1);
  return page;
}

QWidget* BuildProgramPage(CControlBinder& binder, const CPageServices& services) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  QGroupBox* group = MakeGroup(kTextGroupProgram, page);
  auto* groupLayout = new QVBoxLayout(group);
  for (int id : {kKeyRemember, kKeyShellIntegration, kKeyAutoRefresh})
    groupLayout->addWidget(binder.Control(id, group));
  auto* note = new QLabel(group);
  note->setText(MarkedText(note, kTextShellNote));
  note->setWordWrap(true);
  note->setEnabled(false);
  groupLayout->addWidget(note);
  auto* line = new QHBoxLayout;
  line->addWidget(group, 0, Qt::AlignTop);
  line->addStretch(1);
  layout->addLayout(line);
  // Ticking or clearing the box adds or removes the file managers' entries at once.
  binder.OnEdit(kKeyShellIntegration, [&binder, &services] {
    if (services.shellIntegration)
      services.shellIntegration(binder.Model().Check(kKeyShellIntegration) != 0);
  });
  AppendUnplaced(binder, OptionPage::kProgram, page, layout);
  layout->addStretch(1);
  return page;
}

}  // namespace orvane::ui
