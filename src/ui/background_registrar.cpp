#include "ui/background_registrar.h"

#include <chrono>
#include <cmath>
#include <system_error>
#include <utility>
#include <vector>

#include "analysis/charge_analyser.h"
#include "common/utf8_path.h"
#include "history/readings_hash.h"
#include "measurement/byte_source.h"
#include "measurement/graph_log_file.h"
#include "measurement/graph_log_parser.h"
#include "measurement/times_file.h"

namespace ampelon {
namespace {

// The Unix time of the log's first reading: the file was last written at its last reading, or
// soon after (Save Graph), so its date less the last known time; the file's date without times.
std::int64_t RecordedAt(const std::filesystem::path& graphLog, const std::vector<double>& times) {
  std::error_code error;
  const std::filesystem::file_time_type written = std::filesystem::last_write_time(graphLog, error);
  if (error) return 0;
  double last = 0;
  for (auto time = times.rbegin(); time != times.rend(); ++time) {
    if (std::isfinite(*time)) {
      last = *time;
      break;
    }
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::file_clock::to_sys(written).time_since_epoch());
  return seconds.count() - static_cast<std::int64_t>(std::llround(last));
}

// The times beside `graphLog` for its `readings`, or none where it has none that can be read.
std::vector<double> TimesOf(const std::filesystem::path& graphLog, std::size_t readings) {
  const std::string logName = Utf8FromPath(graphLog);
  const std::string timesName = TimesFileFor(logName);
  std::error_code error;
  if (timesName == logName || !std::filesystem::exists(PathFromUtf8(timesName), error)) return {};
  Result<std::unique_ptr<ByteSource>> file = OpenGraphLogFile(PathFromUtf8(timesName));
  if (!file) return {};
  Result<std::vector<double>> times = ReadTimes(**file, readings);
  return times ? std::move(*times) : std::vector<double>();
}

}  // namespace

BackgroundRegistrar::BackgroundRegistrar(Result<std::filesystem::path> library,
                                         std::chrono::milliseconds retryAfter)
    : m_libraryPath(std::move(library)),
      m_retryAfter(retryAfter),
      m_thread([this](std::stop_token stop) { Run(std::move(stop)); }) {}

BackgroundRegistrar::~BackgroundRegistrar() { Finish(); }

void BackgroundRegistrar::Finish() {
  m_thread.request_stop();
  if (m_thread.joinable()) m_thread.join();
}

void BackgroundRegistrar::Register(const std::filesystem::path& graphLog) {
  {
    const std::lock_guard lock(m_mutex);
    m_waiting.push_back({graphLog, 0});
  }
  m_wake.notify_one();
}

RegistrarNews BackgroundRegistrar::TakeNews() {
  const std::lock_guard lock(m_mutex);
  return std::exchange(m_news, {});
}

void BackgroundRegistrar::Tell(std::string problem, std::string setAside) {
  const std::lock_guard lock(m_mutex);
  if (!problem.empty() && !m_problemTold) {
    m_problemTold = true;
    m_news.problem = std::move(problem);
  }
  if (!setAside.empty()) m_news.setAside = std::move(setAside);
}

std::optional<BackgroundRegistrar::Waiting> BackgroundRegistrar::NextFile(
    const std::stop_token& stop) {
  std::unique_lock lock(m_mutex);
  const auto waiting = [this] { return !m_waiting.empty(); };
  // Asked to stop, it still registers what waits: each file was saved or set aside already.
  // What failed is given up then: a library that is held would hold the program's end.
  while (!m_waiting.empty() || !stop.stop_requested()) {
    if (m_waiting.empty() && !m_failed.empty() &&
        !m_wake.wait_for(lock, stop, m_retryAfter, waiting) && !stop.stop_requested()) {
      m_waiting.swap(m_failed);
    } else if (m_waiting.empty() && m_failed.empty()) {
      m_wake.wait(lock, stop, waiting);
    }
    if (!m_waiting.empty()) {
      Waiting next = std::move(m_waiting.front());
      m_waiting.pop_front();
      return next;
    }
  }
  return std::nullopt;
}

void BackgroundRegistrar::Run(std::stop_token stop) {
  while (std::optional<Waiting> next = NextFile(stop)) {
    if (const Result<void> registered = RegisterFile(next->graphLog); !registered) {
      Tell("Charges are not being kept in the charge library: " + registered.error(), {});
      if (++next->tries < kTries) {
        const std::lock_guard lock(m_mutex);
        m_failed.push_back(std::move(*next));
      }
    }
  }
}

Result<void> BackgroundRegistrar::RegisterFile(const std::filesystem::path& graphLog) {
  if (!m_libraryPath) return Failure{m_libraryPath.error()};
  if (!m_library) {
    Result<ChargeLibrary> opened = ChargeLibrary::Open(*m_libraryPath);
    if (!opened) return Failure{opened.error()};
    m_library.emplace(std::move(*opened));
    Tell({}, m_library->SetAsideMessage());
  }
  GraphLogParser parser(GraphLogParser::kNoCapacityLimit);
  if (const Result<GraphLogReadOutcome> read = ReadGraphLogFile(graphLog, parser); !read) {
    return Failure{read.error()};
  }
  const std::vector<std::int16_t>& counts = parser.Readings();
  const std::vector<double> times = TimesOf(graphLog, counts.size());
  ChargeAnalyser analyser;
  analyser.Feed(counts, times);
  ReadingsHash hash;
  hash.Feed(counts);
  const Result<std::vector<ChargeRecord>> registered = m_library->Register(
      Utf8FromPath(graphLog), hash.Value(), RecordedAt(graphLog, times), analyser.AllFigures());
  if (!registered) return Failure{registered.error()};
  return {};
}

}  // namespace ampelon
