#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "rtl/Threads.h"

TThreadID TThread::CurrentThreadId() { return static_cast<TThreadID>(gettid()); }

void TThread::NameThreadForDebugging(const AnsiString& ThreadName, TThreadID ThreadID) {
  // Linux keeps at most 15 bytes of a thread name.
  const std::string name = ThreadName.substr(0, 15);
  if (ThreadID == 0xFFFFFFFFu || ThreadID == CurrentThreadId()) {
    pthread_setname_np(pthread_self(), name.c_str());
    return;
  }
  const std::string path = "/proc/self/task/" + std::to_string(ThreadID) + "/comm";
  if (std::FILE* f = std::fopen(path.c_str(), "w")) {
    std::fputs(name.c_str(), f);
    std::fclose(f);
  }
}
