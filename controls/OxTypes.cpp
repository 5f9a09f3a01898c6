#include "controls/OxTypes.h"

#include "rtl/Unicode.h"

String TOxCustomThread::ThreadName() const {
  if (FThreadName.empty()) return ClassName();
  return FThreadName + u" {" + ClassName() + u"}";
}

void TOxCustomThread::NameThread(const AnsiString& AThreadName, TThreadID AThreadID) {
  TThread::NameThreadForDebugging(AThreadName, AThreadID);
}

void TOxCustomThread::NameThread(const String& AThreadName, TThreadID AThreadID) {
  // The run-time library takes thread names as UTF-8 bytes.
  NameThread(UTF16ToUTF8(AThreadName), AThreadID);
}
