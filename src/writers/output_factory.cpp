#include "writers/csv_output.h"
#include "writers/html_output.h"
#include "writers/output.h"
#include "writers/text_output.h"

namespace orvane {

std::unique_ptr<COvOutput> CreateOutput(const WriterOptions& options, OutputContext& context) {
  switch (options.m_nOutputType) {
    case kOutputHtml:
      return MakeHtmlOutput(options, context);
    case kOutputCsv:
      return MakeCsvOutput(options, context);
    default:
      return MakeTextOutput(options, context);
  }
}

}  // namespace orvane
