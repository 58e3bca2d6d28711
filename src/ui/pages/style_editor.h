// CStyleEditor: the style elements of an HTML listing on the "Output options" page: the
// "Element:" list, its "Size:" box, the "&Font...", "&Color..." and text colour buttons, and a
// sample of the selected element. Edits go to the model's styles; the sample follows every
// change the model reports. User-interface thread only.
#pragma once

#include <QWidget>

#include "writers/html_style.h"

class QLabel;

namespace orvane::ui {

class CControlBinder;
struct CPageServices;

// A font of an element as Qt shows it, and an element's font fields from a chosen font (the
// point size also becomes the element's size; the height is that size at dpi).
QFont FontOfStyle(const CHtmlStyle& style);
void SetStyleFont(CHtmlStyle& style, const QFont& font, int dpi);
QColor ColorOf(std::uint32_t colorRef);
std::uint32_t ColorRefOf(const QColor& color);

class CStyleEditor : public QWidget {
  Q_OBJECT
 public:
  CStyleEditor(CControlBinder& binder, const CPageServices& services, QWidget* parent = nullptr);

 private:
  int Element() const;
  void PickFont();
  void PickColor(bool text);
  void ShowSample();

  CControlBinder& m_binder;
  const CPageServices& m_services;
  QLabel* m_sample = nullptr;
};

}  // namespace orvane::ui
