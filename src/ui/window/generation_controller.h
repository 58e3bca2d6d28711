// GenerationController: the window's one listing engine. Every delivery (preview, save, print,
// print preview, e-mail) starts here with its request and, for a save or an e-mail, its output
// path; the preview, print and print-preview listings go to the document's temporary file.
//
// A request made while a generation runs is not queued: it only marks that the preview must be
// generated again, and exactly one preview generation follows when the running one has ended.
// The engine's events arrive on the worker thread and are handed to the user-interface thread
// as signals; the controller itself lives on the user-interface thread.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "ui/window/engine_headers.h"

namespace orvane::ui {

// How a generation ended.
struct GenerationResult {
  ListingRequest request = kRequestPreview;
  bool cancelled = false;
  bool failed = false;  // the listing was not written completely (error says why)
  std::string error;
  std::string outputPath;
  int outputType = 0;  // 0 text, 1 HTML, 2 CSV
};

class GenerationController : public QObject {
  Q_OBJECT

 public:
  // Fills a job's options and checked directories (the apply notice of the pages and the tree).
  using JobSource = std::function<void(ListingJob& job)>;
  // tempFolder: where temporary listings go ($TMPDIR when empty).
  explicit GenerationController(JobSource source, QObject* parent = nullptr,
                                std::string tempFolder = {});
  ~GenerationController() override;

  // Starts a generation; an empty path means the temporary listing. While a generation runs,
  // marks that a preview must follow and returns false; false also when no temporary file
  // could be made (tempFileError was sent).
  bool Start(ListingRequest request, const std::string& path = {});
  // Changes each job after the source has filled it (the command line's options of a list run).
  void SetJobAdjust(JobSource adjust) { m_adjust = std::move(adjust); }
  // Stops the running generation and waits for its worker (the one wait the window allows).
  void Cancel();

  bool Generating() const { return m_bGenerating; }
  bool RegeneratePending() const { return m_bRegenerate; }
  int StartedCount() const { return m_nStarted; }
  const std::string& TempListing() const { return m_temp.Current(); }

 signals:
  void generatingChanged(bool generating);
  void scanBegin();
  void scanEnd();
  void writeBegin(qulonglong dirCount);
  void writeProgress(qulonglong dirIndex);
  void writeEnd();
  void statusText(const QString& text);
  void engineMessage(const QString& text);
  void tempFileError(const QString& title, const QString& text);
  // A generation ended; a pending preview starts right after the receivers return.
  void finished(const orvane::ui::GenerationResult& result);

 private:
  class Bridge;
  void OnDone(GenerationResult result);

  JobSource m_source;
  JobSource m_adjust;
  CTempListing m_temp;
  std::unique_ptr<Bridge> m_bridge;
  std::unique_ptr<CListingEngine> m_engine;
  bool m_bGenerating = false;
  bool m_bRegenerate = false;
  int m_nStarted = 0;
  int m_nOutputType = 0;
  ListingRequest m_nRequest = kRequestPreview;
};

}  // namespace orvane::ui

Q_DECLARE_METATYPE(orvane::ui::GenerationResult)
