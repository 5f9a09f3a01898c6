#pragma once
// The exception classes of the run-time library. Every library raises its own
// subclasses of Exception with a fixed English message.
#include <exception>
#include <string>

#include "rtl/Types.h"

class Exception : public std::exception {
public:
  explicit Exception(String message, int helpContext = 0);
  const String& Message() const noexcept { return FMessage; }
  void SetMessage(String message);
  int HelpContext() const noexcept { return FHelpContext; }
  // UTF-8 copy of the message, for std::exception users (test output, logs).
  const char* what() const noexcept override { return FUtf8.c_str(); }

private:
  String FMessage;
  std::string FUtf8;
  int FHelpContext;
};

#define QUORVEL_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {                  \
  public:                                     \
    using Base::Base;                         \
  }

QUORVEL_DECLARE_EXCEPTION(EConvertError, Exception);
QUORVEL_DECLARE_EXCEPTION(EListError, Exception);
QUORVEL_DECLARE_EXCEPTION(EStringListError, Exception);
QUORVEL_DECLARE_EXCEPTION(ERangeError, Exception);
QUORVEL_DECLARE_EXCEPTION(EArgumentException, Exception);
QUORVEL_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException);
QUORVEL_DECLARE_EXCEPTION(EStreamError, Exception);
QUORVEL_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
QUORVEL_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
QUORVEL_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
QUORVEL_DECLARE_EXCEPTION(EReadError, EStreamError);
QUORVEL_DECLARE_EXCEPTION(EWriteError, EStreamError);
QUORVEL_DECLARE_EXCEPTION(EResNotFound, Exception);
QUORVEL_DECLARE_EXCEPTION(EThread, Exception);
QUORVEL_DECLARE_EXCEPTION(EInvalidOperation, Exception);
QUORVEL_DECLARE_EXCEPTION(EAbort, Exception);
QUORVEL_DECLARE_EXCEPTION(EOSError, Exception);
