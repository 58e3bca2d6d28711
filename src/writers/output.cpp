#include "writers/output.h"

#include <cerrno>

#include "base/unicode.h"
#include "platform/codepage.h"

namespace orvane {

const std::string& COutputColumn::Text() const {
  static const std::string empty;
  return m_pText ? *m_pText : empty;
}

COvOutput::COvOutput(const WriterOptions& options, OutputContext& context, const char* extension)
    : m_options(options), m_context(context), m_strExtension(extension) {}

COvOutput::~COvOutput() {
  Close();
}

bool COvOutput::Open(const std::string& path, bool appendExtension, COutputColumns& columns) {
  Close();
  m_bError = false;
  const std::string target = appendExtension ? path + m_strExtension : path;
  m_file = std::fopen(target.c_str(), "wb");
  if (!m_file) return false;
  std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
  if (m_options.m_nEncoding == kEncodingUtf8)
    std::fwrite("\xEF\xBB\xBF", 1, 3, m_file);
  else if (m_options.m_nEncoding == kEncodingUtf16)
    std::fwrite("\xFF\xFE", 1, 2, m_file);
  if (std::ferror(m_file)) m_bError = true;
  return WriteHeader(columns) && !m_bError;
}

bool COvOutput::Close() {
  if (!m_file) return !m_bError;
  if (std::fflush(m_file) != 0) m_bError = true;
  if (std::fclose(m_file) != 0) m_bError = true;
  m_file = nullptr;
  return !m_bError;
}

void COvOutput::Encode(const std::string& text, std::string& bytes) const {
  bytes.clear();
  unsigned char high = 0;
  for (char c : text) high |= static_cast<unsigned char>(c);
  // Every line end reaches the file as CR LF.
  if (high < 0x80 && m_options.m_nEncoding != kEncodingUtf16) {
    ExpandLineEnds(text, bytes);
    return;
  }
  std::string crlf;
  crlf.reserve(text.size() + 16);
  ExpandLineEnds(text, crlf);
  switch (m_options.m_nEncoding) {
    case kEncodingUtf8:
      bytes = SanitizeUtf8(crlf);
      break;
    case kEncodingUtf16: {
      std::u16string u = Utf8ToUtf16(crlf);
      bytes.resize(u.size() * 2);
      for (std::size_t i = 0; i < u.size(); ++i) {
        bytes[2 * i] = static_cast<char>(u[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(u[i] >> 8);
      }
      break;
    }
    default:
      bytes = Utf8ToCodePage(crlf, AnsiCodePage());
      break;
  }
}

void COvOutput::ExpandLineEnds(std::string_view text, std::string& out) const {
  for (std::size_t pos = 0;;) {
    const std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, nl - pos));
    out.append("\r\n", 2);
    pos = nl + 1;
  }
}

void COvOutput::WriteLine(const std::string& text) {
  if (m_sink) {
    Encode(text, m_buffer);
    m_sink->append(m_buffer);
    return;
  }
  if (!m_file) return;
  Encode(text, m_buffer);
  WriteBytes(m_buffer);
}

void COvOutput::WriteBytes(std::string_view bytes) {
  if (!m_file) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) m_bError = true;
}

bool COvOutput::WriteHeader(COutputColumns& columns) {
  std::string header;
  FormatHeader(columns, header);
  if (header.empty()) return true;
  header += '\n';
  const bool before = m_bError;
  WriteLine(header);
  return before == m_bError;
}

bool COvOutput::WriteFooter() {
  std::string footer;
  FormatFooter(footer);
  if (footer.empty()) return true;
  footer += '\n';
  const bool before = m_bError;
  WriteLine(footer);
  return before == m_bError;
}

void COvOutput::JoinCells(const COutputColumns& columns, std::string& out) const {
  for (const COutputColumn& slot : columns.slots) {
    out += m_cells[slot.m_nOrder];
  }
}

}  // namespace orvane
