#include "ui/pages/control_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "base/strings.h"
#include "settings/window_texts.h"
#include "writers/html_style.h"

namespace orvane::ui {
namespace {

constexpr const char* kHintProperty = "orvaneHint";

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

Qt::CheckState CheckStateOf(int value) {
  return value == 1 ? Qt::Checked : value == 0 ? Qt::Unchecked : Qt::PartiallyChecked;
}

int ValueOf(Qt::CheckState state) {
  return state == Qt::Checked ? 1 : state == Qt::Unchecked ? 0 : 2;
}

}  // namespace

QString MarkedText(QObject* widget, int textId) {
  widget->setProperty(kWindowTextProperty, textId);
  return FromUtf8(WindowText(textId));
}

CControlBinder::CControlBinder(COptionPages& model, QObject* parent)
    : QObject(parent), m_model(model) {
  m_model.SetListener(this);
}

CControlBinder::~CControlBinder() {
  m_model.SetListener(nullptr);
}

QWidget* CControlBinder::Find(int id) const {
  auto it = m_widgets.find(id);
  return it == m_widgets.end() ? nullptr : it->second;
}

QWidget* CControlBinder::Control(int id, QWidget* parent) {
  if (QWidget* made = Find(id)) return made;
  const COptionControl* c = m_model.Find(id);
  if (!c || c->m_bHidden || c->m_kind == ControlKind::kColumnOrder) return nullptr;
  QWidget* widget = Make(*c, parent);
  widget->setObjectName(QStringLiteral("control%1").arg(id));
  m_widgets[id] = widget;
  AddHint(widget, id);
  ShowValue(id);
  widget->setEnabled(m_model.IsEnabled(id));
  ConnectEdits(*c, widget);
  return widget;
}

QWidget* CControlBinder::Make(const COptionControl& c, QWidget* parent) {
  const QString label = FromUtf8(c.m_strLabel);
  switch (c.m_kind) {
    case ControlKind::kCheckBox:
      return new QCheckBox(label, parent);
    case ControlKind::kThreeState: {
      auto* box = new QCheckBox(label, parent);
      box->setTristate(true);
      return box;
    }
    case ControlKind::kRadio: {
      // The model keeps the group exclusive; Qt's own exclusivity would fight it.
      auto* radio = new QRadioButton(label, parent);
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::kEdit:
      if (c.m_range) {
        auto* spin = new QSpinBox(parent);
        spin->setRange(c.m_range->first, c.m_range->second);
        spin->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        return spin;
      }
      return new QLineEdit(parent);
    case ControlKind::kCombo: {
      auto* combo = new QComboBox(parent);
      for (const std::string& choice : c.m_choices) combo->addItem(FromUtf8(choice));
      combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      return combo;
    }
    case ControlKind::kDatePicker: {
      auto* picker = new QDateTimeEdit(parent);
      picker->setCalendarPopup(true);
      picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
      picker->setMinimumWidth(
          picker->fontMetrics().horizontalAdvance(QStringLiteral("8888-88-88 88:88:88")) + 48);
      return picker;
    }
    case ControlKind::kColumnOrder:
      break;
  }
  return nullptr;
}

void CControlBinder::ConnectEdits(const COptionControl& c, QWidget* widget) {
  const int id = c.m_nId;
  if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    connect(radio, &QRadioButton::clicked, this,
            [this, id] { UserEdit(id, [this, id] { m_model.SetCheck(id, 1); }); });
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    connect(box, &QCheckBox::clicked, this, [this, id, box] {
      UserEdit(id, [this, id, box] { m_model.SetCheck(id, ValueOf(box->checkState())); });
    });
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    connect(spin, &QSpinBox::valueChanged, this, [this, id](int value) {
      UserEdit(id, [this, id, value] { m_model.SetText(id, std::to_string(value)); });
    });
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
      UserEdit(id, [this, id, text] { m_model.SetText(id, text.toStdString()); });
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this, [this, id](int index) {
      UserEdit(id, [this, id, index] { m_model.SetSelection(id, index); });
    });
  } else if (auto* picker = qobject_cast<QDateTimeEdit*>(widget)) {
    connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, id](const QDateTime& moment) {
      UserEdit(id, [this, id, moment] { m_model.SetMoment(id, moment.toSecsSinceEpoch()); });
    });
  }
}

void CControlBinder::UserEdit(int id, const std::function<void()>& edit) {
  if (m_bShowing) return;  // the binder itself is showing the model's value
  edit();
  ShowValue(id);  // a radio button clicked off stays on, as the model says
  for (const auto& action : m_afterEdit[id]) action();
  emit edited(id);
}

void CControlBinder::ShowValue(int id) {
  QWidget* widget = Find(id);
  const COptionControl* c = m_model.Find(id);
  if (!widget || !c) return;
  const bool wasShowing = m_bShowing;
  m_bShowing = true;
  if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    radio->setChecked(c->m_nValue != 0);
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    box->setCheckState(CheckStateOf(c->m_nValue));
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    if (spin->value() != ParseDecimal(c->m_strText)) spin->setValue(ParseDecimal(c->m_strText));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // Setting the same text again would move the cursor of a user who is typing.
    if (edit->text() != FromUtf8(c->m_strText)) edit->setText(FromUtf8(c->m_strText));
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setCurrentIndex(c->m_nValue);
  } else if (auto* picker = qobject_cast<QDateTimeEdit*>(widget)) {
    picker->setDateTime(QDateTime::fromSecsSinceEpoch(c->m_tMoment));
  }
  m_bShowing = wasShowing;
}

void CControlBinder::ShowEnabled() {
  for (const auto& [id, widget] : m_widgets) widget->setEnabled(m_model.IsEnabled(id));
  for (const auto& [widget, id] : m_followers) widget->setEnabled(m_model.IsEnabled(id));
}

QLabel* CControlBinder::Caption(int id, QWidget* parent, const QString& text, int hintId) {
  const COptionControl* c = m_model.Find(id);
  auto* label = new QLabel(text.isEmpty() && c ? FromUtf8(c->m_strLabel) : text, parent);
  if (text.isEmpty()) label->setProperty(kCaptionOfProperty, id);
  if (QWidget* buddy = Find(id)) label->setBuddy(buddy);
  Follow(label, id, hintId ? hintId : id);
  return label;
}

void CControlBinder::Follow(QWidget* widget, int enabledId, int hintId) {
  m_followers.emplace_back(widget, enabledId);
  connect(widget, &QObject::destroyed, this, [this, widget] {
    std::erase_if(m_followers, [widget](const auto& f) { return f.first == widget; });
  });
  widget->setEnabled(m_model.IsEnabled(enabledId));
  if (hintId) AddHint(widget, hintId);
}

void CControlBinder::AddHint(QWidget* widget, int hintId) {
  widget->setProperty(kHintProperty, hintId);
  widget->installEventFilter(this);
}

void CControlBinder::OnEdit(int id, std::function<void()> action) {
  m_afterEdit[id].push_back(std::move(action));
}

void CControlBinder::SyncAll() {
  for (const auto& entry : m_widgets) ShowValue(entry.first);
  ShowEnabled();
  emit valueChanged(kKeyColumnOrder);
  emit valueChanged(kKeyStyleElement);
}

void CControlBinder::ControlsChanged(const std::vector<ControlChange>& changes) {
  for (const ControlChange& change : changes) {
    if (change.value) ShowValue(change.id);
  }
  ShowEnabled();
  for (const ControlChange& change : changes) {
    if (change.value) emit valueChanged(change.id);
  }
}

bool CControlBinder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    const int hintId = watched->property(kHintProperty).toInt();
    emit hintChanged(event->type() == QEvent::Enter && hintId ? FromUtf8(GetText(hintId))
                                                              : QString());
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace orvane::ui
