#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charger/reading_source.h"
#include "common/result.h"

namespace ampelon {

class ByteSource;
class GraphLogParser;

// Sends the readings of a graph log in order, read as File > Load Graph reads it, however many
// more than the program's store holds. The file is read piece by piece as its readings are
// sent, so a file of any size replays in little memory.
class ReplaySource : public ReadingSource {
 public:
  // Checks the whole file first, keeping none of its readings, so that a file that turns out
  // part-way to be no graph log (binary data, a line longer than 1 MiB) is refused before
  // anything is sent; fails so too when it cannot be read or holds no readings.
  static Result<std::unique_ptr<ReplaySource>> Open(const std::string& path);
  ~ReplaySource() override;

  std::optional<int> Next() override;
  // Reads the file again from its start; a file that can no longer be opened sends no more.
  void Rewind() override;

 private:
  explicit ReplaySource(std::string path);
  // Opens the file from its start; false (and the reason kept) when that failed.
  bool Reopen();
  // Reads the next piece of the file into m_readings. A file changed into no graph log while
  // it is sent ends where it stops being one.
  void ReadPiece();

  std::string m_path;
  std::unique_ptr<ByteSource> m_file;
  std::unique_ptr<GraphLogParser> m_parser;
  std::vector<std::int16_t> m_readings;  // of the piece read last
  std::size_t m_index = 0;
  bool m_ended = false;
  std::string m_problem;  // why reading stopped before the file's end
};

}  // namespace ampelon
