// The layouts of the four option pages, built from the controls the binder makes. Each page
// places its controls in group boxes; a control of the page that the layout does not name is
// still shown, appended at the page's end. User-interface thread only.
#pragma once

#include <QString>

#include "settings/option_pages.h"

class QBoxLayout;
class QGridLayout;
class QGroupBox;

class QWidget;

namespace orvane::ui {

class CControlBinder;
struct CPageServices;

QWidget* BuildColumnsPage(CControlBinder& binder);
QWidget* BuildOutputPage(CControlBinder& binder, const CPageServices& services);
QWidget* BuildFilterPage(CControlBinder& binder);
QWidget* BuildProgramPage(CControlBinder& binder, const CPageServices& services);

// Helpers shared by the page builders.
QGroupBox* MakeGroup(const QString& title, QWidget* parent);
// A group titled with a text of the window texts table.
QGroupBox* MakeGroup(int titleText, QWidget* parent);
// Adds a control in a grid row: a box spans both cells, an edit or a combo gets its caption
// (the model's label unless caption is given) in the first cell.
void AddRow(CControlBinder& binder, QGridLayout* grid, int id, QWidget* parent,
            const QString& caption = {}, int captionHint = 0);
// Appends the shown controls of page that no layout placed.
void AppendUnplaced(CControlBinder& binder, OptionPage page, QWidget* parent, QBoxLayout* layout);

}  // namespace orvane::ui
