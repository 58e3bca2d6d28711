// The "Output options" page: output type and encoding, rows, formats, text, CSV and HTML
// options, the sorting of files and directories, and the column order.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/window_texts.h"
#include "ui/pages/column_order_widget.h"
#include "ui/pages/control_binder.h"
#include "ui/pages/page_layout.h"
#include "ui/pages/page_services.h"
#include "ui/pages/style_editor.h"

namespace orvane::ui {
namespace {

constexpr int kKeyCssBrowse = 1438;

// A group of controls one under the other, each box on its own line and each edit or combo
// after its caption.
QGroupBox* RowsGroup(CControlBinder& binder, int title, std::initializer_list<int> ids,
                     QWidget* parent) {
  QGroupBox* group = MakeGroup(title, parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  for (int id : ids) AddRow(binder, grid, id, group);
  return group;
}

QGroupBox* OutputTypeGroup(CControlBinder& binder, QWidget* parent) {
  QGroupBox* group = MakeGroup(kTextGroupOutputType, parent);
  auto* grid = new QGridLayout(group);
  auto* types = new QHBoxLayout;
  for (int id : {kKeyTextOutput, kKeyHtmlOutput, kKeyCsvOutput})
    types->addWidget(binder.Control(id, group));
  grid->addLayout(types, 0, 0, 1, 2);
  AddRow(binder, grid, kKeyEncoding, group);
  grid->setColumnStretch(1, 1);
  return group;
}

QGroupBox* RowsAndContentsGroup(CControlBinder& binder, QWidget* parent) {
  QGroupBox* group = MakeGroup(kTextGroupRows, parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  for (int id : {kKeyDirRows, kKeyFileRows, kKeySubdirs, kKeySubdirsFirst, kKeySurroundSubdirs,
                 kKeyFileCountInDirRow, kKeyFilesTogether, kKeyTimeInDates, kKeyColumnNamesInHeader,
                 kKeyProgramInfo, kKeyHideEmptyDirs, kKeyArchivesAsDirs})
    AddRow(binder, grid, id, group);
  // Boxes that carry a value of their own keep it on their line.
  auto pair = [&](int box, int value) {
    const int row = grid->rowCount();
    grid->addWidget(binder.Control(box, group), row, 0);
    grid->addWidget(binder.Control(value, group), row, 1);
  };
  pair(kKeyLimitRecursion, kKeyRecursionLevel);
  const int summaryRow = grid->rowCount();
  grid->addWidget(binder.Control(kKeySummary, group), summaryRow, 0);
  auto* positions = new QHBoxLayout;
  positions->addWidget(binder.Control(kKeySummaryTop, group));
  positions->addWidget(binder.Control(kKeySummaryBottom, group));
  grid->addLayout(positions, summaryRow, 1);
  grid->addWidget(binder.Control(kKeyListingInEachDir, group), grid->rowCount(), 0, 1, 2);
  AddRow(binder, grid, kKeyListingName, group, {}, 1452);
  return group;
}

QGroupBox* SortingGroup(CControlBinder& binder, int title, const int (&keys)[3],
                        const int (&descending)[3], int labelHint, QWidget* parent) {
  QGroupBox* group = MakeGroup(title, parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(binder.Control(keys[i], group), i, 1);
    grid->addWidget(binder.Caption(keys[i], group, {}, labelHint), i, 0);
    grid->addWidget(binder.Control(descending[i], group), i, 2);
  }
  return group;
}

QGroupBox* CsvGroup(CControlBinder& binder, QWidget* parent) {
  QGroupBox* group = MakeGroup(kTextGroupCsv, parent);
  auto* line = new QHBoxLayout(group);
  QWidget* separator = binder.Control(kKeyCsvSeparator, group);
  separator->setMaximumWidth(40);
  line->addWidget(binder.Caption(kKeyCsvSeparator, group, {}, 1423));
  line->addWidget(separator);
  line->addWidget(binder.Control(kKeyCsvTab, group));
  line->addStretch(1);
  return group;
}

QGroupBox* HtmlGroup(CControlBinder& binder, const CPageServices& services, QWidget* parent) {
  QGroupBox* group = MakeGroup(kTextGroupHtml, parent);
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  for (int id : {kKeyLinksToFiles, kKeyLinksToDirs, kKeyFileProtocol, kKeyLinksInside})
    AddRow(binder, grid, id, group);
  AddRow(binder, grid, kKeyHtmlTitle, group, {}, 1419);
  binder.Find(kKeyHtmlTitle)->setMinimumWidth(240);
  const int cssRow = grid->rowCount();
  grid->addWidget(binder.Control(kKeyExternalCss, group), cssRow, 0);
  auto* cssLine = new QHBoxLayout;
  cssLine->addWidget(binder.Control(kKeyCssPath, group), 1);
  auto* browse = new QToolButton(group);
  browse->setText(QStringLiteral("..."));
  browse->setObjectName(QStringLiteral("cssBrowse"));
  binder.Follow(browse, kKeyCssPath, kKeyCssBrowse);
  QObject::connect(browse, &QToolButton::clicked, group, [&binder, &services, group] {
    if (!services.pickCssFile) return;
    const QString path =
        services.pickCssFile(QString::fromStdString(binder.Model().Text(kKeyCssPath)), group);
    if (path.isEmpty()) return;
    binder.Model().SetText(kKeyCssPath, path.toStdString());
    binder.ReportEdit(kKeyCssPath);
  });
  cssLine->addWidget(browse);
  grid->addLayout(cssLine, cssRow, 1);
  grid->addWidget(new CStyleEditor(binder, services, group), grid->rowCount(), 0, 1, 2);
  grid->setColumnStretch(1, 1);
  return group;
}

QGroupBox* ColumnOrderGroup(CControlBinder& binder, QWidget* parent) {
  QGroupBox* group = MakeGroup(kTextGroupColumnOrder, parent);
  group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(new CColumnOrderWidget(binder, group));
  return group;
}

}  // namespace

QWidget* BuildOutputPage(CControlBinder& binder, const CPageServices& services) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* columns = new QHBoxLayout;
  auto stack = [&](std::initializer_list<QWidget*> groups) {
    auto* column = new QVBoxLayout;
    for (QWidget* g : groups) column->addWidget(g);
    column->addStretch(1);
    columns->addLayout(column);
  };
  stack({OutputTypeGroup(binder, page), RowsAndContentsGroup(binder, page)});
  stack({RowsGroup(binder, kTextGroupFormat,
                   {kKeyDateFormat, kKeyTimeFormat, kKeySizeDisplay, kKeySizePrecision,
                    kKeyThousandSep, kKeyDecimalSep, kKeyPathForm},
                   page),
         RowsGroup(binder, kTextGroupText, {kKeyAutoWidths, kKeyWrapColumns}, page),
         CsvGroup(binder, page), HtmlGroup(binder, services, page)});
  stack({SortingGroup(binder, kTextGroupFileSort, {kKeyFileSort1, kKeyFileSort2, kKeyFileSort3},
                      {kKeyFileSortDesc1, kKeyFileSortDesc2, kKeyFileSortDesc3}, 1456, page),
         SortingGroup(binder, kTextGroupDirSort, {kKeyDirSort1, kKeyDirSort2, kKeyDirSort3},
                      {kKeyDirSortDesc1, kKeyDirSortDesc2, kKeyDirSortDesc3}, 1453, page),
         ColumnOrderGroup(binder, page)});
  columns->addStretch(1);
  layout->addLayout(columns);
  AppendUnplaced(binder, OptionPage::kOutput, page, layout);
  layout->addStretch(1);
  return page;
}

}  // namespace orvane::ui
