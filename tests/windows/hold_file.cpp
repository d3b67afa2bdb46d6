// Holds a file open with no sharing, as a program using it would, so that no other program may
// write, replace or delete it until this one's standard input ends. Prints "held" once it
// holds the file; exits with 1 when it cannot open it.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::puts("held");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  ::CloseHandle(file);
  return 0;
}
