#include "ui/window/main_frame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_startup.h"
#include "base/strings.h"
#include "platform/folder_tree.h"
#include "settings/window_texts.h"
#include "ui/pages/options_pane.h"
#include "ui/tree/dir_tree_view.h"
#include "ui/window/preview_view.h"
#include "ui/window/status_bar.h"

namespace orvane::ui {
namespace {

constexpr int kInitialTreeWidth = 200;
constexpr int kInitialOptionsHeight = 200;
constexpr int kSplitterMinimum = 10;
// Window placement show states as the settings store them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

constexpr const char* kSelectWithSubdirsHint =
    "Select also all subdirectories of clicked directory. Use CTRL or SHIFT keys to force single "
    "or full selection.";

std::int64_t Now() {
  return QDateTime::currentSecsSinceEpoch();
}

}  // namespace

CMainFrame::CMainFrame(FrameSetup setup, QWidget* parent)
    : QMainWindow(parent), m_setup(std::move(setup)), m_pages(Now()) {
  setWindowTitle(kProgramName);
  m_gen =
      new GenerationController([this](ListingJob& job) { MakeJob(job); }, this, m_setup.tempFolder);
  BuildPanes();
  BuildCommands();
  ConnectController();
  resize(1000, 720);
  LoadStartSettings();
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() = default;

QWidget* CMainFrame::BuildTreePane() {
  auto* pane = new QWidget(this);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(2, 2, 2, 2);
  m_withSubdirs = new QCheckBox("Select &with subdirectories", pane);
  m_withSubdirs->setObjectName(QStringLiteral("control%1").arg(kKeySelectWithSubdirs));
  m_withSubdirs->installEventFilter(this);
  layout->addWidget(m_withSubdirs);
  std::shared_ptr<FolderSource> folders = m_setup.folders;
  if (!folders) folders = std::shared_ptr<FolderSource>(MakeSystemFolderSource());
  m_tree = new DirTreeView(folders, pane, m_setup.watchMounts);
  layout->addWidget(m_tree, 1);
  connect(m_withSubdirs, &QCheckBox::toggled, this, [this](bool on) {
    m_pages.SetCheck(kKeySelectWithSubdirs, on ? 1 : 0);
    m_tree->SetWithSubdirsDefault(on);
  });
  connect(m_tree, &DirTreeView::SelectionChanged, this, &CMainFrame::OptionsChanged);
  // The network text shows while the network is enumerated; when it ends, the message that
  // was there before comes back, unless another one has taken its place meanwhile.
  connect(m_tree->TreeModel(), &DirTreeModel::NetworkStatus, this, [this](const QString& text) {
    if (!text.isEmpty()) {
      m_messageBeforeNetwork = m_status->Message();
      m_networkText = text;
      m_status->SetMessage(text);
    } else if (m_status->Message() == m_networkText) {
      m_status->SetMessage(m_messageBeforeNetwork);
    }
  });
  return pane;
}

void CMainFrame::BuildPanes() {
  m_mainSplitter = new QSplitter(Qt::Horizontal, this);
  m_mainSplitter->addWidget(BuildTreePane());
  m_rightSplitter = new QSplitter(Qt::Vertical, m_mainSplitter);
  m_options = MakeOptionsPane();
  m_preview = new PreviewView(m_rightSplitter);
  m_rightSplitter->addWidget(m_options);
  m_rightSplitter->addWidget(m_preview);
  m_mainSplitter->addWidget(m_rightSplitter);
  for (QSplitter* s : {m_mainSplitter, m_rightSplitter}) {
    s->setChildrenCollapsible(false);
    s->setStretchFactor(0, 0);
    s->setStretchFactor(1, 1);
  }
  m_mainSplitter->setSizes({kInitialTreeWidth, 800});
  m_rightSplitter->setSizes({kInitialOptionsHeight, 500});
  setCentralWidget(m_mainSplitter);
  m_status = new OrvaneStatusBar(this);
  setStatusBar(m_status);
  m_status->SetMessage(QString::fromStdString(GetText(57345)));
  connect(m_preview, &PreviewView::previewLoaded, this, &CMainFrame::OnPreviewLoaded);
  connect(m_preview, &PreviewView::columnCommand, this,
          [this](int column, ColumnMenuCommand command) {
            ApplyColumnCommand(column, static_cast<int>(command));
          });
}

COptionsPane* CMainFrame::MakeOptionsPane() {
  auto* pane = new COptionsPane(m_pages, m_rightSplitter);
  connect(pane, &COptionsPane::hintChanged, this, &CMainFrame::SetStatusMessage);
  connect(pane, &COptionsPane::optionsEdited, this, [this](int id) {
    if (id >= 1000 && id <= 2000) OptionsChanged();
  });
  return pane;
}

void CMainFrame::ConnectController() {
  connect(m_gen, &GenerationController::scanBegin, m_status, &OrvaneStatusBar::ScanBegin);
  connect(m_gen, &GenerationController::scanEnd, m_status, &OrvaneStatusBar::ScanEnd);
  connect(m_gen, &GenerationController::writeBegin, m_status, &OrvaneStatusBar::WriteBegin);
  connect(m_gen, &GenerationController::writeProgress, m_status, &OrvaneStatusBar::WriteProgress);
  connect(m_gen, &GenerationController::writeEnd, m_status, &OrvaneStatusBar::WriteEnd);
  connect(m_gen, &GenerationController::statusText, this, &CMainFrame::SetStatusMessage);
  connect(m_gen, &GenerationController::engineMessage, this,
          [this](const QString& text) { ShowMessage(kProgramName, text); });
  connect(m_gen, &GenerationController::tempFileError, this, &CMainFrame::ShowMessage);
  connect(m_gen, &GenerationController::generatingChanged, this, [this](bool on) {
    m_status->SetGenerating(on);
    UpdateCommandStates();
  });
  connect(m_gen, &GenerationController::finished, this, &CMainFrame::OnGenerationFinished);
}

void CMainFrame::MakeJob(ListingJob& job) {
  m_pages.Apply(job.options, m_program, Now());
  job.checkedDirs = m_tree->Selection();
}

void CMainFrame::LoadStartSettings() {
  if (!m_setup.configPath.empty()) {
    CLoadContext context;
    context.m_nDisplayDpi = qRound(QGuiApplication::primaryScreen()
                                       ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
                                       : 96.0);
    m_bLoading = true;
    LoadOptions(m_setup.configPath, m_pages, m_named, context);
    m_bLoading = false;
  }
  SwitchLanguage(m_named.m_strLanguage);
  CListingOptions applied;
  m_pages.Apply(applied, m_program, Now());
  m_withSubdirs->setChecked(m_pages.Check(kKeySelectWithSubdirs) != 0);
  m_tree->SetWithSubdirsDefault(m_withSubdirs->isChecked());
  ApplyPlacement();
  m_tree->Fill(m_setup.homeFolder);
  m_bLoading = true;  // ticking the start selection is not an edit
  if (m_setup.selection) {
    m_tree->SetSelection(*m_setup.selection);
  } else if (m_pages.Check(kKeyRemember) && !m_setup.rememberedSelectionPath.empty()) {
    m_tree->LoadSelectionFile(m_setup.rememberedSelectionPath);
  }
  m_bLoading = false;
  if (m_setup.previewAtStart && m_pages.IsOn(kKeyAutoRefresh)) RefreshPreview();
}

void CMainFrame::ApplyPlacement() {
  if (m_named.m_splitters) {
    const auto& s = *m_named.m_splitters;
    if (s[0] > 0) m_mainSplitter->setSizes({s[0], std::max(100, width() - s[0])});
    if (s[2] > 0) m_rightSplitter->setSizes({s[2], std::max(100, height() - s[2])});
  }
  if (!m_named.m_window) return;
  const auto& w = *m_named.m_window;
  const QRect normal(QPoint(w[5], w[6]), QPoint(w[7] - 1, w[8] - 1));
  // A placement from another screen layout that no screen shows any more is not restored.
  bool visible = false;
  for (QScreen* screen : QGuiApplication::screens())
    visible = visible || screen->availableGeometry().intersects(normal);
  if (normal.width() > 100 && normal.height() > 100 && visible) setGeometry(normal);
  if (w[0] == kShowMaximized) setWindowState(Qt::WindowMaximized);
}

void CMainFrame::StorePlacement() {
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  const int show = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
  m_named.m_window = std::array<int, 9>{
      show, -1, -1, -1, -1, normal.left(), normal.top(), normal.right() + 1, normal.bottom() + 1};
  const QList<int> main = m_mainSplitter->sizes();
  const QList<int> right = m_rightSplitter->sizes();
  m_named.m_splitters =
      std::array<int, 4>{main.value(0), kSplitterMinimum, right.value(0), kSplitterMinimum};
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_gen->Cancel();
  StorePlacement();
  SaveSessionOnClose(false, m_pages, m_named, m_tree->Selection(), m_setup.settingsPath,
                     m_setup.rememberedSelectionPath);
  event->accept();
}

void CMainFrame::OptionsChanged() {
  if (m_bLoading || !m_pages.IsOn(kKeyAutoRefresh)) return;
  RefreshPreview();
}

void CMainFrame::RefreshPreview() {
  m_gen->Start(kRequestPreview);
}

bool CMainFrame::LoadConfiguration(const std::string& path) {
  CLoadContext context;
  m_bLoading = true;
  const TextReadStatus status = LoadOptions(path, m_pages, m_named, context);
  m_withSubdirs->setChecked(m_pages.Check(kKeySelectWithSubdirs) != 0);
  m_bLoading = false;
  if (status != TextReadStatus::kOk) return false;
  if (m_named.m_strLanguage != m_language.Name()) SwitchLanguage(m_named.m_strLanguage);
  OptionsChanged();
  return true;
}

void CMainFrame::ShowMessage(const QString& title, const QString& text) {
  if (m_messages) {
    m_messages(title, text);
    return;
  }
  const bool error = title == "Error";
  auto* box = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Warning,
                              error ? QString::fromStdString(WindowText(kTextErrorTitle)) : title,
                              text, QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void CMainFrame::SetStatusMessage(const QString& text) {
  m_status->SetMessage(text);
}

bool CMainFrame::event(QEvent* event) {
  // Menu and toolbar status texts go to the message part, which keeps them until the next one.
  if (event->type() == QEvent::StatusTip) {
    SetStatusMessage(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_withSubdirs) {
    if (event->type() == QEvent::Enter) {
      const std::string hint = GetText(kKeySelectWithSubdirs);
      SetStatusMessage(hint.empty() ? kSelectWithSubdirsHint : QString::fromStdString(hint));
    } else if (event->type() == QEvent::Leave) {
      SetStatusMessage({});
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace orvane::ui
