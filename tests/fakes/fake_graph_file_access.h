#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "measurement/byte_source.h"
#include "ui/graph_file_access.h"

namespace ampelon::testing {

// Files held in memory. A file may be made unreadable (open fails) or fail half-way through
// reading; a write may be refused.
class FakeGraphFileAccess final : public GraphFileAccess {
 public:
  Result<std::unique_ptr<ByteSource>> OpenForReading(const std::string& fileName) override {
    const auto found = m_files.find(fileName);
    if (found == m_files.end()) return Failure{"No such file or directory"};
    return std::make_unique<Source>(found->second, m_failReadsAfter);
  }
  bool FileExists(const std::string& fileName) override { return m_files.contains(fileName); }
  Result<void> WriteWhole(const std::string& fileName, std::string_view bytes) override {
    if (m_writeError) return Failure{*m_writeError};
    if (m_refused.contains(fileName)) return Failure{m_refused[fileName]};
    m_files[fileName] = std::string(bytes);
    return {};
  }

  void Put(const std::string& fileName, std::string bytes) { m_files[fileName] = std::move(bytes); }
  const std::string* Get(const std::string& fileName) const {
    const auto found = m_files.find(fileName);
    return found == m_files.end() ? nullptr : &found->second;
  }
  void RefuseWrites(std::string reason) { m_writeError = std::move(reason); }
  void RefuseWritesTo(const std::string& fileName, std::string reason) {
    m_refused[fileName] = reason;
  }
  void FailReadsAfter(std::size_t bytes) { m_failReadsAfter = bytes; }

 private:
  class Source final : public ByteSource {
   public:
    Source(std::string bytes, std::size_t failAfter)
        : m_bytes(std::move(bytes)), m_failAfter(failAfter) {}
    Result<std::size_t> Read(std::span<char> buffer) override {
      if (m_position >= m_failAfter) return Failure{"Input/output error"};
      const std::size_t count =
          std::min({buffer.size(), m_bytes.size() - m_position, m_failAfter - m_position});
      std::copy_n(m_bytes.data() + m_position, count, buffer.data());
      m_position += count;
      return count;
    }

   private:
    std::string m_bytes;
    std::size_t m_failAfter;
    std::size_t m_position = 0;
  };

  std::map<std::string, std::string> m_files;
  std::optional<std::string> m_writeError;
  std::map<std::string, std::string> m_refused;
  std::size_t m_failReadsAfter = static_cast<std::size_t>(-1);
};

}  // namespace ampelon::testing
