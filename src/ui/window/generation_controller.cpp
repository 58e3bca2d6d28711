#include "ui/window/generation_controller.h"

#include <QMetaObject>

#include <atomic>

namespace orvane::ui {

// Carries the engine's events from its worker thread to the controller's thread.
class GenerationController::Bridge : public ListingReceiver {
 public:
  explicit Bridge(GenerationController* owner) : m_owner(owner) {}
  void SetEngine(CListingEngine* engine) { m_engine = engine; }
  void SetOutputType(int type) { m_outputType = type; }
  // Jobs whose end was reported (read by the controller once the worker has stopped).
  int DoneCount() const { return m_done; }
  void CountDone() { ++m_done; }

  void ScanBegin() override {
    Post([](GenerationController* c) { emit c->scanBegin(); });
  }
  void ScanEnd() override {
    Post([](GenerationController* c) { emit c->scanEnd(); });
  }
  void WriteBegin(std::size_t n) override {
    Post([n](GenerationController* c) { emit c->writeBegin(n); });
  }
  void WriteProgress(std::size_t i) override {
    Post([i](GenerationController* c) { emit c->writeProgress(i); });
  }
  void WriteEnd() override {
    Post([](GenerationController* c) { emit c->writeEnd(); });
  }
  void Status(const std::string& counts) override {
    QString text = QString::fromStdString(counts);
    Post([text](GenerationController* c) { emit c->statusText(text); });
  }
  void FileProgress(const std::string& text, std::uint64_t) override { Status(text); }
  void Message(const std::string& text) override {
    QString message = QString::fromStdString(text);
    Post([message](GenerationController* c) { emit c->engineMessage(message); });
  }
  // Runs on the worker after the job: its results are read here, before another job can start.
  void Done(ListingRequest request, bool cancelled) override {
    ++m_done;
    GenerationResult result;
    result.request = request;
    result.cancelled = cancelled;
    result.failed = !cancelled && m_engine->LastWriteFailed();
    result.error = m_engine->LastError();
    result.outputPath = m_engine->OutputPath();
    result.outputType = m_outputType;
    Post([result](GenerationController* c) { c->OnDone(result); });
  }

 private:
  template <class F>
  void Post(F f) {
    GenerationController* owner = m_owner;
    QMetaObject::invokeMethod(
        owner, [owner, f] { f(owner); }, Qt::QueuedConnection);
  }

  GenerationController* m_owner;
  std::atomic<int> m_done{0};
  CListingEngine* m_engine = nullptr;
  int m_outputType = 0;  // written before the job starts, read after it ended
};

GenerationController::GenerationController(JobSource source, QObject* parent,
                                           std::string tempFolder)
    : QObject(parent),
      m_source(std::move(source)),
      m_temp(std::move(tempFolder)),
      m_bridge(std::make_unique<Bridge>(this)),
      m_engine(std::make_unique<CListingEngine>(m_bridge.get())) {
  qRegisterMetaType<GenerationResult>();
  m_bridge->SetEngine(m_engine.get());
}

GenerationController::~GenerationController() {
  m_engine.reset();  // stops and joins the worker before the bridge goes
}

bool GenerationController::Start(ListingRequest request, const std::string& path) {
  if (m_bGenerating) {
    m_bRegenerate = true;
    return false;
  }
  ListingJob job;
  job.request = request;
  if (m_source) m_source(job);
  if (m_adjust) m_adjust(job);
  job.outputPath = path;
  if (job.outputPath.empty()) {
    job.outputPath = m_temp.MakeTempFile(
        job.options.m_nOutputType, [this](const std::string& title, const std::string& text) {
          emit tempFileError(QString::fromStdString(title), QString::fromStdString(text));
        });
    if (job.outputPath.empty()) return false;
  }
  m_bRegenerate = false;
  m_nOutputType = job.options.m_nOutputType;
  m_nRequest = request;
  m_bridge->SetOutputType(m_nOutputType);
  if (!m_engine->StartGeneration(std::move(job))) {
    // The engine still finishes a job whose end has not reached this thread yet.
    m_bRegenerate = true;
    return false;
  }
  ++m_nStarted;
  m_bGenerating = true;
  emit generatingChanged(true);
  return true;
}

void GenerationController::Cancel() {
  if (!m_bGenerating) return;
  m_engine->StopGeneration();
  // A stop that reaches the worker before it has taken the job up ends it without a report;
  // the job still ends here, as cancelled.
  if (m_bridge->DoneCount() < m_nStarted) {
    m_bridge->CountDone();
    GenerationResult result;
    result.request = m_nRequest;
    result.cancelled = true;
    result.outputType = m_nOutputType;
    QMetaObject::invokeMethod(
        this, [this, result] { OnDone(result); }, Qt::QueuedConnection);
  }
}

void GenerationController::OnDone(GenerationResult result) {
  m_bGenerating = false;
  emit finished(result);
  emit generatingChanged(false);
  if (m_bRegenerate) {
    m_bRegenerate = false;
    Start(kRequestPreview);
  }
}

}  // namespace orvane::ui
