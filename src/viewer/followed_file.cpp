#include "viewer/followed_file.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "files/not_regular_file.h"

namespace ampelon {
namespace {

// How much of what was read is compared each time: enough that a file written anew is told
// from the old one, little enough to cost nothing once a second.
constexpr std::size_t kCompared = 4096;
// A file that keeps being replaced while it is read is given up on for this read.
constexpr int kAttempts = 3;

bool ReadAt(std::istream& in, std::uint64_t offset, std::size_t count, std::string& out) {
  out.resize(count);
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(out.data(), static_cast<std::streamsize>(count));
  out.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return out.size() == count;
}

FollowedFile::Update Missing() {
  FollowedFile::Update update;
  update.missing = true;
  return update;
}

}  // namespace

FollowedFile::FollowedFile(std::filesystem::path path) : m_path(std::move(path)) {}

void FollowedFile::Reset() {
  m_offset = 0;
  m_head.clear();
  m_tail.clear();
}

bool FollowedFile::StillBegins(std::istream& in) {
  std::string bytes;
  return ReadAt(in, 0, m_head.size(), bytes) && bytes == m_head &&
         ReadAt(in, m_offset - m_tail.size(), m_tail.size(), bytes) && bytes == m_tail;
}

Result<FollowedFile::Update> FollowedFile::Read() {
  for (int attempt = 1;; ++attempt) {
    Result<Update> update = ReadOnce();
    // An empty read that says "from the start" is a file found replaced after it was read:
    // read it again, whole, rather than show nothing for a second.
    if (!update || update->missing || !update->fromStart || !update->bytes.empty() ||
        attempt == kAttempts) {
      return update;
    }
  }
}

Result<FollowedFile::Update> FollowedFile::ReadOnce() {
  std::error_code error;
  const auto status = std::filesystem::status(m_path, error);
  if (!std::filesystem::exists(status)) return Missing();
  // A named pipe would keep the open waiting for a writer.
  if (!std::filesystem::is_regular_file(status))
    return Failure{NotRegularFileReason(status.type())};
  std::ifstream in(m_path, std::ios::binary);
  if (!in) {
    if (!std::filesystem::exists(m_path, error)) return Missing();
    return Failure{"the file cannot be opened"};
  }
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (end < 0) return Failure{"the file cannot be read"};
  const auto size = static_cast<std::uint64_t>(end);

  Update update;
  if (size < m_offset || !StillBegins(in)) {
    Reset();
    update.fromStart = true;
  }
  update.fromStart = update.fromStart || m_offset == 0;
  ReadAt(in, m_offset, static_cast<std::size_t>(size - m_offset), update.bytes);
  // The file may have been written anew while it was read: then what was just read is not
  // trusted, and the next read starts from the first byte.
  const std::uint64_t offset = m_offset + update.bytes.size();
  std::string head = m_head;
  if (head.size() < kCompared) {
    head += update.bytes.substr(0, kCompared - head.size());
  }
  std::string tail = m_tail + update.bytes;
  if (tail.size() > kCompared) tail.erase(0, tail.size() - kCompared);
  m_head = std::move(head);
  m_tail = std::move(tail);
  m_offset = offset;
  if (!update.bytes.empty() && !StillBegins(in)) {
    Reset();
    Update restart;
    restart.fromStart = true;
    return restart;
  }
  return update;
}

}  // namespace ampelon
