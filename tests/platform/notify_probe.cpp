// notify_probe <event name> [time-out ms]: signals the receiver of that event the way a second
// copy of the program does. Exit code 0 when the signal was delivered, 1 when not, 2 on bad usage.
#include <cstdlib>

#include "platform/notifyBTF.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return 2;
  const int timeOut = argc == 3 ? std::atoi(argv[2]) : 2000;
  const auto notifier = kestrum::TNotifyBringingToFront::CreateForNotify(kestrum::FromUtf8(argv[1]));
  return notifier->Notify(timeOut) ? 0 : 1;
}
