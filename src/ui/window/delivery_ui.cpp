// Delivering a finished listing from the window: the save dialog and the second save to the
// same file, printing and print preview through the preview page, e-mail through the desktop's
// mail composer, what happens when a generation ends, and list mode.
#include "ui/window/delivery_ui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include "base/strings.h"
#include "platform/desktop.h"
#include "platform/user_folders.h"
#include "settings/window_texts.h"
#include "ui/pages/page_services.h"
#include "ui/window/engine_headers.h"
#include "ui/window/main_frame.h"
#include "ui/window/preview_view.h"
#include "ui/window/status_bar.h"

namespace orvane::ui {
namespace {

// The filter text of a saved listing's type.
int SaveFilterText(int outputType) {
  return outputType == 1 ? 5005 : outputType == 2 ? 5007 : 5006;
}

// A message of a list run: on standard error for the caller, and in a box of its own, since the
// window is minimised. The box is modal, so the run ends only after it has been read.
void ShowListModeMessage(const QString& title, const QString& text) {
  std::fprintf(stderr, "orvane: %s\n", qPrintable(text));
  QMessageBox box(title == "Error" ? QMessageBox::Critical : QMessageBox::Warning, title, text);
  box.exec();
}

// One list run in a window: the dialog, the save, and the end of the run.
class ListModeRun : public QObject {
 public:
  ListModeRun(CMainFrame& frame, const CListWindowStart& start, const ListModeSeams& seams,
              QEventLoop& loop);
  // Asks for the listing file and starts the save (from within the run's event loop).
  void Begin();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::optional<std::string> AskForFile(const std::string& proposed, bool& openAfterSave);
  void OnFinished(const GenerationResult& result);
  void End(int status);

  CMainFrame& m_frame;
  const CListWindowStart& m_start;
  CMainFrame::SaveDialog m_dialog;
  QEventLoop& m_loop;
  int m_nAsked = 0;
  bool m_bChosen = false;
  bool m_bEnded = false;
};

}  // namespace

// The save dialog with the "Open listing file after creation" box under its file type list.
std::optional<std::string> RunSaveDialog(QWidget* parent, const std::string& proposed,
                                         int outputType, bool& openAfterSave) {
  QFileDialog dialog(parent, "Save listing", QString::fromStdString(proposed),
                     QtFileFilter(GetText(SaveFilterText(outputType))));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(SavedExtension(outputType));
  auto* box = new QCheckBox(QString::fromStdString(MessageText(1517)), &dialog);
  box->setChecked(openAfterSave);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  openAfterSave = box->isChecked();
  return dialog.selectedFiles().front().toStdString();
}

void CMainFrame::SaveListing() {
  // The second save writes to the file of the first without asking, as long as it is there
  // and can be written.
  if (!m_docPath.empty() && GetPathKind(m_docPath) == PathKind::kRegular &&
      QFileInfo(QString::fromStdString(m_docPath)).isWritable()) {
    m_gen->Start(kRequestSave, m_docPath);
    return;
  }
  SaveWithDialog();
}

void CMainFrame::SaveWithDialog() {
  const int type = m_pages.OutputType();
  std::string proposed = m_docPath;
  if (proposed.empty()) proposed = std::string("Untitled.") + SavedExtension(type);
  bool openAfter = m_named.m_bOpenAfterSave != 0;
  const std::optional<std::string> path = m_saveDialog
                                              ? m_saveDialog(proposed, openAfter)
                                              : RunSaveDialog(this, proposed, type, openAfter);
  if (!path || path->empty()) return;
  m_named.m_bOpenAfterSave = openAfter ? 1 : 0;
  m_gen->Start(kRequestSave, *path);
}

void CMainFrame::PrintListing(bool preview) {
  m_gen->Start(preview ? kRequestPrintPreview : kRequestPrint);
}

QPrinter& CMainFrame::Printer() {
  if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_printer;
}

void CMainFrame::PrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

void CMainFrame::RunPrintJob(bool preview) {
  if (!preview) {
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_preview->PrintTo(&Printer(), [this](bool ok) {
      if (!ok) ShowMessage("Error", QString::fromStdString(WindowText(kTextCannotPrint)));
    });
    return;
  }
  QPrintPreviewDialog dialog(&Printer(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
    // The page prints asynchronously; the preview dialog waits for it in an event loop of its
    // own, so the window keeps painting meanwhile.
    QEventLoop loop;
    m_preview->PrintTo(printer, [&loop](bool) { loop.quit(); });
    loop.exec();
  });
  dialog.exec();
}

void CMainFrame::SendListing() {
  if (!m_setup.mailAvailable) {
    ShowMessage(kProgramName, QString::fromStdString(MessageText(61840)));
    return;
  }
  const std::string path = MakeMailAttachmentPath(m_pages.OutputType(), m_setup.tempFolder);
  if (path.empty()) {
    ShowMessage("Error", kNoTempName);
    return;
  }
  m_gen->Start(kRequestMail, path);
}

void CMainFrame::OnGenerationFinished(const GenerationResult& result) {
  if (result.cancelled) return;
  const QString path = QString::fromStdString(result.outputPath);
  if (result.failed) {
    // A listing that was not written completely is never delivered as if it were.
    QString text = QString::fromStdString(WindowText(kTextListingNotWritten, result.outputPath));
    if (!result.error.empty()) text += ": " + QString::fromStdString(result.error);
    ShowMessage("Error", text + ".");
    return;
  }
  switch (result.request) {
    case kRequestSave:
      m_docPath = result.outputPath;
      if (m_named.m_bOpenAfterSave && !OpenWithDesktop(result.outputPath))
        ShowMessage("Error", QString::fromStdString(WindowText(kTextCannotOpenListing)));
      break;
    case kRequestMail: {
      // The composer may take its time; it runs beside the window, which stays usable.
      auto ok = std::make_shared<bool>(false);
      const std::string subject = MessageText(32815);
      QThread* thread = QThread::create(
          [ok, subject, file = result.outputPath] { *ok = ComposeMail(subject, file); });
      connect(thread, &QThread::finished, this, [this, ok, thread] {
        thread->deleteLater();
        if (!*ok) ShowMessage(kProgramName, QString::fromStdString(MessageText(61842)));
      });
      thread->start();
      break;
    }
    case kRequestPrint:
    case kRequestPrintPreview:
    case kRequestPreview:
    default:
      // A preview that follows a print before its page has loaded is printed in its place.
      if (result.request != kRequestPreview || m_afterLoad == AfterLoad::kShow)
        m_afterLoad = result.request == kRequestPrint          ? AfterLoad::kPrint
                      : result.request == kRequestPrintPreview ? AfterLoad::kPrintPreview
                                                               : AfterLoad::kShow;
      m_preview->ShowFile(path, result.outputType == 1);
      break;
  }
}

void CMainFrame::OnPreviewLoaded(bool ok) {
  const AfterLoad after = std::exchange(m_afterLoad, AfterLoad::kShow);
  emit previewReady(ok);
  if (!ok) return;
  if (after == AfterLoad::kPrint) RunPrintJob(false);
  if (after == AfterLoad::kPrintPreview) RunPrintJob(true);
}

ListModeRun::ListModeRun(CMainFrame& frame, const CListWindowStart& start,
                         const ListModeSeams& seams, QEventLoop& loop)
    : m_frame(frame), m_start(start), m_dialog(seams.dialog), m_loop(loop) {
  m_frame.SetSaveDialog([this](const std::string& proposed, bool& openAfterSave) {
    return AskForFile(proposed, openAfterSave);
  });
  m_frame.SetMessageSink(seams.messages ? seams.messages : &ShowListModeMessage);
  // After the window's own handler, which has opened the listing when that was asked for.
  connect(&m_frame.Controller(), &GenerationController::finished, this, &ListModeRun::OnFinished);
  m_frame.installEventFilter(this);
}

std::optional<std::string> ListModeRun::AskForFile(const std::string& proposed,
                                                   bool& openAfterSave) {
  ++m_nAsked;
  // The real dialog has no parent: a dialog over a minimised window may stay hidden with it.
  std::optional<std::string> path =
      m_dialog ? m_dialog(proposed, openAfterSave)
               : RunSaveDialog(nullptr, proposed, m_frame.Pages().OutputType(), openAfterSave);
  m_bChosen = path && !path->empty();
  // A selection file written for this one run goes once the dialog has closed, either way.
  if (m_start.removeSelection && m_nAsked == 1 &&
      GetPathKind(m_start.selectionFile) == PathKind::kRegular)
    RemoveRegularFile(m_start.selectionFile);
  return path;
}

void ListModeRun::Begin() {
  m_frame.SaveListing();
  // The first dialog of the run, cancelled: the run ends without a listing.
  if (m_nAsked == 1 && !m_bChosen) End(kExitFailed);
}

void ListModeRun::OnFinished(const GenerationResult& result) {
  // A cancelled generation leaves the window open; the person decides what follows.
  if (result.request != kRequestSave || result.cancelled) return;
  // A listing that could not be written was reported by the window (a message box that has
  // been closed by now); the run ends all the same, but not as a success.
  End(result.failed ? kExitFailed : kExitOk);
}

void ListModeRun::End(int status) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_frame.close();
  m_loop.exit(status);
}

bool ListModeRun::eventFilter(QObject* watched, QEvent* event) {
  // Closed by hand before a listing was saved.
  if (watched == &m_frame && event->type() == QEvent::Close && !m_bEnded) {
    m_bEnded = true;
    m_loop.exit(kExitFailed);
  }
  return QObject::eventFilter(watched, event);
}

int RunListMode(const CListWindowStart& start, FrameSetup setup, const ListModeSeams& seams) {
  // Nothing of a list run is kept: not the options, not the ticks.
  setup.settingsPath.clear();
  setup.rememberedSelectionPath.clear();
  setup.configPath = start.configPath;
  setup.selection = start.selection;
  setup.previewAtStart = false;
  CMainFrame frame(std::move(setup));
  if (start.adjustOptions)
    frame.Controller().SetJobAdjust(
        [adjust = start.adjustOptions](ListingJob& job) { adjust(job.options); });
  QEventLoop loop;
  ListModeRun run(frame, start, seams, loop);
  if (seams.onFrame) seams.onFrame(frame);
  frame.showMinimized();
  QTimer::singleShot(0, &run, [&run] { run.Begin(); });
  return loop.exec();
}

}  // namespace orvane::ui
