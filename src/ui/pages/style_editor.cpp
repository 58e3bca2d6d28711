#include "ui/pages/style_editor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "base/unicode.h"
#include "settings/window_texts.h"
#include "ui/pages/control_binder.h"
#include "ui/pages/page_services.h"

namespace orvane::ui {
namespace {

// The hint of the text colour button, which sets what a font choice sets elsewhere.
constexpr int kKeyStyleTextColor = 1437;

}  // namespace

QFont FontOfStyle(const CHtmlStyle& style) {
  QFont font(QString::fromStdString(style.lfFont.lfFaceName));
  font.setPointSize(std::clamp(style.nSize, 1, 100));
  // A weight of 0 leaves the choice to the font: its normal weight.
  const int weight = style.lfFont.lfWeight > 0 ? std::min(style.lfFont.lfWeight, 1000) : 400;
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(style.lfFont.lfItalic != 0);
  font.setUnderline(style.lfFont.lfUnderline != 0);
  font.setStrikeOut(style.lfFont.lfStrikeOut != 0);
  return font;
}

void SetStyleFont(CHtmlStyle& style, const QFont& font, int dpi) {
  LogFont& f = style.lfFont;
  f.lfFaceName = TruncateCodePoints(font.family().toStdString(), kFaceNameMax);
  f.lfWeight = font.weight();
  f.lfItalic = font.italic() ? 1 : 0;
  f.lfUnderline = font.underline() ? 1 : 0;
  f.lfStrikeOut = font.strikeOut() ? 1 : 0;
  int points = font.pointSize();
  if (points <= 0) points = static_cast<int>(std::lround(font.pixelSize() * 72.0 / dpi));
  style.nSize = std::clamp(points, 1, 100);
  f.lfHeight = -static_cast<std::int32_t>(std::lround(style.nSize * dpi / 72.0));
}

QColor ColorOf(std::uint32_t colorRef) {
  return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

std::uint32_t ColorRefOf(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) |
         (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

CStyleEditor::CStyleEditor(CControlBinder& binder, const CPageServices& services, QWidget* parent)
    : QWidget(parent), m_binder(binder), m_services(services) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(binder.Control(kKeyStyleElement, this), 0, 1);
  grid->addWidget(binder.Caption(kKeyStyleElement, this, {}, 1432), 0, 0);
  grid->addWidget(binder.Control(kKeyStyleSize, this), 1, 1);
  grid->addWidget(binder.Caption(kKeyStyleSize, this, {}, 1435), 1, 0);

  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* name, int text, int enabledId, int hintId, auto action) {
    auto* b = new QPushButton(this);
    b->setText(MarkedText(b, text));
    b->setObjectName(QString::fromLatin1(name));
    binder.Follow(b, enabledId, hintId);
    connect(b, &QPushButton::clicked, this, action);
    buttons->addWidget(b);
  };
  button("styleFont", kTextFontButton, kKeyStyleFont, kKeyStyleFont, [this] { PickFont(); });
  button("styleColor", kTextColorButton, kKeyStyleColor, kKeyStyleColor,
         [this] { PickColor(false); });
  button("styleTextColor", kTextTextColorButton, kKeyStyleFont, kKeyStyleTextColor,
         [this] { PickColor(true); });
  buttons->addStretch(1);
  grid->addLayout(buttons, 2, 0, 1, 3);

  m_sample = new QLabel(QString::fromStdString(WindowText(kTextSample)), this);
  m_sample->setObjectName(QStringLiteral("styleSample"));
  m_sample->setAlignment(Qt::AlignCenter);
  m_sample->setMinimumSize(90, 36);
  binder.Follow(m_sample, kKeyStyleElement, 0);
  grid->addWidget(m_sample, 0, 2, 2, 1);
  grid->setColumnStretch(2, 1);

  connect(&binder, &CControlBinder::valueChanged, this, [this](int id) {
    if (id == kKeyStyleElement || id == kKeyStyleSize) ShowSample();
  });
  ShowSample();
}

int CStyleEditor::Element() const {
  const int element = m_binder.Model().Selection(kKeyStyleElement);
  return element >= 0 && element < kHtmlElementCount ? element : -1;
}

void CStyleEditor::PickFont() {
  const int element = Element();
  if (element < 0 || !m_services.pickFont) return;
  const std::optional<QFont> font =
      m_services.pickFont(FontOfStyle(m_binder.Model().Styles()[element]), this);
  if (!font) return;
  const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
  m_binder.Model().EditStyles(
      [&](CHtmlStyleSet& styles) { SetStyleFont(styles[element], *font, dpi); });
  m_binder.ReportEdit(kKeyStyleFont);
}

void CStyleEditor::PickColor(bool text) {
  const int element = Element();
  if (element < 0 || !m_services.pickColor) return;
  const CHtmlStyle& style = m_binder.Model().Styles()[element];
  const std::optional<QColor> color = m_services.pickColor(
      ColorOf(text ? style.crTextColor : style.crColor), this,
      QString::fromStdString(WindowText(text ? kTextTextColorTitle : kTextColorTitle)));
  if (!color) return;
  m_binder.Model().EditStyles([&](CHtmlStyleSet& styles) {
    (text ? styles[element].crTextColor : styles[element].crColor) = ColorRefOf(*color);
  });
  m_binder.ReportEdit(text ? kKeyStyleTextColor : kKeyStyleColor);
}

void CStyleEditor::ShowSample() {
  const int element = Element();
  if (element < 0) return;
  const CHtmlStyle& style = m_binder.Model().Styles()[element];
  const bool hasText = element >= kStyleHeader && element <= kStyleOddRow;
  // The frame's colour is its border; the background and the frame show no text.
  const QColor fill = ColorOf(element == kStyleFrame ? 0xFFFFFF : style.crColor);
  const QColor border = ColorOf(element == kStyleFrame ? style.crColor : 0x808080);
  const int borderWidth = element == kStyleFrame ? std::clamp(style.nSize, 1, 8) : 1;
  m_sample->setText(hasText ? QString::fromStdString(WindowText(kTextSample)) : QString());
  m_sample->setFont(hasText ? FontOfStyle(style) : font());
  m_sample->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: %3px solid "
                                         "%4; }")
                              .arg(fill.name(), ColorOf(style.crTextColor).name())
                              .arg(borderWidth)
                              .arg(border.name()));
}

}  // namespace orvane::ui
