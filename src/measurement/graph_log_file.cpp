#include "measurement/graph_log_file.h"

#include <utility>

#include "files/regular_file.h"
#include "measurement/byte_source.h"

namespace ampelon {
namespace {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(RegularFile file) : m_file(std::move(file)) {}

  Result<std::size_t> Read(std::span<char> buffer) override { return m_file.Read(buffer); }

 private:
  RegularFile m_file;
};

}  // namespace

Result<std::unique_ptr<ByteSource>> OpenGraphLogFile(const std::filesystem::path& path) {
  Result<RegularFile> opened = RegularFile::Open(path);
  if (!opened) return Failure{opened.error()};
  return std::make_unique<FileSource>(std::move(*opened));
}

Result<GraphLogReadOutcome> ReadGraphLogFile(const std::filesystem::path& path,
                                             GraphLogParser& parser, std::size_t countingLimit) {
  const Result<std::unique_ptr<ByteSource>> opened = OpenGraphLogFile(path);
  if (!opened) return Failure{opened.error()};
  return ReadGraphLog(**opened, parser, countingLimit);
}

}  // namespace ampelon
