#include "viewer/followed_file.h"

#include <algorithm>
#include <span>
#include <utility>

namespace ampelon {
namespace {

// How much of what was read is compared each time: enough that a file cut and written again
// in place is told from the old one, little enough to cost nothing once a second.
constexpr std::size_t kCompared = 4096;
// The most one read takes in, so that no read holds up the window for long.
constexpr std::uint64_t kMostAtOnce = std::uint64_t{16} << 20;

// Up to `count` bytes from `offset` on; fewer at the end of the file.
Result<std::string> ReadRange(RegularFile& file, std::uint64_t offset, std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    const Result<std::size_t> read =
        file.ReadAt(offset + got, std::span<char>(bytes.data() + got, count - got));
    if (!read) return Failure{read.error()};
    if (*read == 0) break;
    got += *read;
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace

FollowedFile::FollowedFile(std::filesystem::path path) : m_path(std::move(path)) {}

void FollowedFile::Reset() {
  m_read.reset();
  m_held.reset();
  m_offset = 0;
  m_head.clear();
  m_tail.clear();
}

Result<std::optional<RegularFile>> FollowedFile::Open() const {
  Result<RegularFile> file = RegularFile::Open(m_path);
  if (file) return std::optional<RegularFile>(std::move(*file));
  std::error_code error;
  if (!std::filesystem::exists(m_path, error) && !error) return std::optional<RegularFile>();
  return Failure{file.error()};
}

bool FollowedFile::InPlace(const RegularFile& file) const {
  const Result<RegularFile> now = RegularFile::Open(m_path);
  return now && now->GetIdentity() == file.GetIdentity();
}

Result<bool> FollowedFile::StillBegins(RegularFile& file) const {
  const Result<std::string> head = ReadRange(file, 0, m_head.size());
  if (!head) return Failure{head.error()};
  const Result<std::string> tail = ReadRange(file, m_offset - m_tail.size(), m_tail.size());
  if (!tail) return Failure{tail.error()};
  return *head == m_head && *tail == m_tail;
}

Result<FollowedFile::Update> FollowedFile::Read(RegularFile file) {
  bool continues = m_read && *m_read == file.GetIdentity() && file.Size() >= m_offset;
  if (continues) {
    const Result<bool> begins = StillBegins(file);
    if (!begins) return Failure{begins.error()};
    continues = *begins;
  }
  if (!continues) Reset();
  const auto count =
      static_cast<std::size_t>(std::min<std::uint64_t>(file.Size() - m_offset, kMostAtOnce));
  Result<std::string> bytes = ReadRange(file, m_offset, count);
  if (!bytes) return Failure{bytes.error()};

  Update update{m_offset == 0, std::move(*bytes)};
  const std::string& added = update.bytes;
  if (m_head.size() < kCompared) m_head += added.substr(0, kCompared - m_head.size());
  if (added.size() >= kCompared) {
    m_tail.assign(added, added.size() - kCompared);
  } else {
    m_tail += added;
    if (m_tail.size() > kCompared) m_tail.erase(0, m_tail.size() - kCompared);
  }
  m_offset += added.size();
  m_read = file.GetIdentity();
  m_held = std::move(file);
  return update;
}

}  // namespace ampelon
