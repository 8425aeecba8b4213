#include "app/session_pipe.h"

#include <memory>
#include <vector>

#include "common/windows_api.h"

#include <sddl.h>

namespace ampelon {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The TOKEN_USER of `process`, or nothing when its token cannot be read (another user's process).
std::vector<unsigned char> TokenUserOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
  const UniqueHandle tokenHandle(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, user.data(), size, &size)) return {};
  return user;
}

PSID SidIn(std::vector<unsigned char>& tokenUser) {
  return reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

}  // namespace

std::wstring SessionPipeName() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return {};
  std::vector<unsigned char> user = TokenUserOf(::GetCurrentProcess());
  wchar_t* sid = nullptr;
  if (user.empty() || !::ConvertSidToStringSidW(SidIn(user), &sid)) return {};
  std::wstring name = L"ampelon-" + std::to_wstring(session) + L"-" + sid;
  ::LocalFree(sid);
  return name;
}

Result<void> CheckPipeServerIsThisUser(void* pipe) {
  const Failure notOurs{"the program listening there runs as another user"};
  ULONG processId = 0;
  if (!::GetNamedPipeServerProcessId(pipe, &processId)) return notOurs;
  const UniqueHandle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
  if (!process) return notOurs;
  std::vector<unsigned char> theirs = TokenUserOf(process.get());
  std::vector<unsigned char> ours = TokenUserOf(::GetCurrentProcess());
  if (theirs.empty() || ours.empty() || !::EqualSid(SidIn(theirs), SidIn(ours))) return notOurs;
  return {};
}

}  // namespace ampelon
