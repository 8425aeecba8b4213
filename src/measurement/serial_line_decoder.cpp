#include "measurement/serial_line_decoder.h"

#include "measurement/sample_store.h"

namespace ampelon {
namespace {

std::string_view TrimSpaces(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = line.find_last_not_of(' ');
  return line.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::int16_t> ParseReading(std::string_view line) {
  // "-32768" is the longest canonical text.
  if (line.empty() || line.size() > 6) return std::nullopt;
  const bool negative = line.front() == '-';
  const std::string_view digits = negative ? line.substr(1) : line;
  if (digits.empty()) return std::nullopt;
  // A leading zero is only canonical as the single digit of zero, and never after a minus.
  if (digits.front() == '0' && (digits.size() > 1 || negative)) return std::nullopt;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

SerialLineDecoder::SerialLineDecoder(SampleStore& store, std::size_t maxLineLength)
    : m_store(store), m_maxLineLength(maxLineLength) {}

DecodeSummary SerialLineDecoder::OnSerialEvent(std::string_view received) {
  DecodeSummary summary;
  std::size_t start = 0;
  std::size_t nonText = 0;  // since `start`
  // One pass over the bytes finds the line feeds and counts the bytes that are no text.
  for (std::size_t index = 0; index < received.size(); ++index) {
    const auto byte = static_cast<unsigned char>(received[index]);
    if (byte != '\n') {
      nonText += RejectedLines::IsText(byte) ? 0 : 1;
      continue;
    }
    const std::string_view piece = received.substr(start, index - start);
    m_rejections.AddBytes(piece.size() + 1, nonText);
    if (m_discardingLine) {
      m_discardingLine = false;
    } else if (m_rxBuffer.size() + piece.size() > m_maxLineLength) {
      // Too long even though it ended within this event: the limit must not depend on where
      // the events happened to split the line.
      m_rxBuffer.clear();
      m_rejections.AddOverlongLine();
    } else if (m_rxBuffer.empty()) {
      HandleLine(piece, summary);
    } else {
      m_rxBuffer.append(piece);
      HandleLine(m_rxBuffer, summary);
      m_rxBuffer.clear();
    }
    start = index + 1;
    nonText = 0;
  }

  m_rejections.AddBytes(received.size() - start, nonText);
  if (!m_discardingLine) {
    m_rxBuffer.append(received.substr(start));
    if (m_rxBuffer.size() > m_maxLineLength) {
      m_rxBuffer.clear();
      m_rxBuffer.shrink_to_fit();
      m_discardingLine = true;
      m_rejections.AddOverlongLine();
    }
  }
  return summary;
}

void SerialLineDecoder::DiscardPartialLine() {
  m_rxBuffer.clear();
  m_discardingLine = false;
  m_rejections.Clear();
}

void SerialLineDecoder::HandleLine(std::string_view line, DecodeSummary& summary) {
  const auto value = ParseReading(TrimSpaces(line));
  if (!value) {
    m_rejections.AddLine(line);
    return;
  }
  m_rejections.Clear();
  if (m_store.RecordLiveSample(*value) == AppendResult::kStored) {
    ++summary.stored;
  } else {
    ++summary.droppedFull;
  }
}

}  // namespace ampelon
