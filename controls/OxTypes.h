#pragma once
// Shared declarations of the controls: their exception class, the edit
// clipboard commands and the base of their worker thread.
#include "rtl/Exceptions.h"
#include "rtl/Set.h"
#include "rtl/Threads.h"
#include "rtl/Types.h"

// Raised by the controls with a fixed English message.
QUORVEL_DECLARE_EXCEPTION(EOXCLException, Exception);

enum TOxClipboardCommand : Byte { caCopy, caCut, caPaste, caClear, caUndo };
using TOxClipboardCommands = TSet<TOxClipboardCommand, Byte>;
inline constexpr TOxClipboardCommands AllClipboardCommands{caCopy, caCut, caPaste, caClear, caUndo};

// A thread with a name that debuggers show.
class TOxCustomThread : public TThread {
public:
  using TThread::TThread;

  // The name given, followed by " {<class name>}"; the class name alone
  // when no name was given.
  virtual String ThreadName() const;
  virtual void SetThreadName(const String& Value) { FThreadName = Value; }
  virtual String ClassName() const { return u"TOxCustomThread"; }

  // Names the thread AThreadID (0xFFFFFFFF: the calling thread) for
  // debuggers; never raises.
  virtual void NameThread(const AnsiString& AThreadName, TThreadID AThreadID = 0xFFFFFFFFu);
  void NameThread(const String& AThreadName, TThreadID AThreadID = 0xFFFFFFFFu);

private:
  String FThreadName;
};
