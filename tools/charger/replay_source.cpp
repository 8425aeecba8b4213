#include "charger/replay_source.h"

#include <array>
#include <utility>

#include "measurement/byte_source.h"
#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"

namespace ampelon {

Result<std::unique_ptr<ReplaySource>> ReplaySource::Open(const std::string& path) {
  std::unique_ptr<ReplaySource> source(new ReplaySource(path));
  if (!source->Reopen()) return Failure{path + ": " + source->m_problem};
  bool anyReading = false;
  while (!source->m_ended) {
    source->ReadPiece();
    anyReading = anyReading || !source->m_readings.empty();
  }
  if (!source->m_problem.empty()) return Failure{path + ": " + source->m_problem};
  if (!anyReading) return Failure{path + ": no readings"};
  if (!source->Reopen()) return Failure{path + ": " + source->m_problem};
  return source;
}

ReplaySource::ReplaySource(std::string path) : m_path(std::move(path)) {}

ReplaySource::~ReplaySource() = default;

bool ReplaySource::Reopen() {
  m_readings.clear();
  m_index = 0;
  m_parser = std::make_unique<GraphLogParser>(GraphLogParser::kNoCapacityLimit);
  Result<std::unique_ptr<ByteSource>> opened = OpenGraphLogFile(m_path);
  m_ended = !opened;
  if (!opened) m_problem = opened.error();
  m_file = opened ? std::move(*opened) : nullptr;
  return static_cast<bool>(opened);
}

void ReplaySource::ReadPiece() {
  std::array<char, 64 * 1024> buffer{};
  const Result<std::size_t> count = m_file->Read(buffer);
  if (!count) {
    m_problem = count.error();
  } else if (*count == 0) {
    m_parser->Finish();
  } else if (m_parser->Feed({buffer.data(), *count})) {
    m_readings = m_parser->TakeReadings();
    m_index = 0;
    return;
  }
  m_ended = true;
  switch (m_parser->GetFailure()) {
    case GraphLogParser::Failure::kNone:
      break;
    case GraphLogParser::Failure::kNotText:
      m_problem = "not a text file";
      break;
    case GraphLogParser::Failure::kLineTooLong:
      m_problem = "line " + std::to_string(m_parser->FailureLine()) + " is longer than 1 MiB";
      break;
  }
  // What came before the end or the failure is sent all the same.
  m_readings = m_parser->TakeReadings();
  m_index = 0;
}

std::optional<int> ReplaySource::Next() {
  while (m_index >= m_readings.size()) {
    if (m_ended) return std::nullopt;
    ReadPiece();
  }
  return m_readings[m_index++];
}

void ReplaySource::Rewind() { Reopen(); }

}  // namespace ampelon
