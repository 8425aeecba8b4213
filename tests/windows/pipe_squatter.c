/* Another's pipe, made first under a name anyone can work out; writes what it gets to argv[1]. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
  char name[512], bytes[4096];
  snprintf(name, sizeof name, "\\\\.\\pipe\\ampelon-%s", getenv("USERNAME"));
  HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, sizeof bytes, 0, NULL);
  FILE* received = argc == 2 ? fopen(argv[1], "wb") : NULL;
  if (pipe == INVALID_HANDLE_VALUE || received == NULL) return 1;
  for (DWORD count = 0;; DisconnectNamedPipe(pipe)) {
    ConnectNamedPipe(pipe, NULL);
    while (ReadFile(pipe, bytes, sizeof bytes, &count, NULL) && count > 0) {
      fwrite(bytes, 1, count, received);
      fflush(received);
    }
  }
}
