// mutex_probe <name>: asks for the named mutex the way a second copy of the program does. Exit code
// the mutex's last-error code (0 created, 183 held by another process), 2 on bad usage.
#include "platform/NamedMutex.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return kestrum::TNamedMutex(kestrum::String(), kestrum::FromUtf8(argv[1])).LastError();
}
