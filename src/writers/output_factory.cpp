#include "writers/output.h"
#include "writers/text_output.h"

namespace orvane {

std::unique_ptr<COvOutput> CreateOutput(const CListingOptions& options, OutputContext& context) {
  switch (options.m_nOutputType) {
    case kOutputHtml:
    case kOutputCsv:
      return nullptr;  // HTML and CSV writers are not built yet
    default:
      return MakeTextOutput(options, context);
  }
}

}  // namespace orvane
