#pragma once
// What the program does outside its own windows: opening a web page or a
// document in the shell, starting another program, and asking the user in a
// message box. One replaceable service, so that tests never start a browser
// or FileZilla and can answer the boxes themselves.
#include "rtl/Types.h"
#include "rtl/Win32.h"

class IInteractions {
public:
  virtual ~IInteractions() = default;
  // ShellExecute with the "open" verb, no parameters, no directory, shown
  // normally; Owner may be nullptr. True when the shell took it.
  virtual bool OpenDocument(HWND Owner, const String& Target) = 0;
  // Starts a program: CommandLine holds the quoted program file and its
  // arguments (no separate application name, no inherited handles, a new
  // console, normal priority, shown without activation). On failure
  // ErrorText receives the system's reason.
  virtual bool StartProcess(const String& CommandLine, String& ErrorText) = 0;
  // A modal message box (MB_* flags); answers the button chosen (ID*).
  virtual int MessageBox(HWND Owner, const String& Text, const String& Caption, UINT Flags) = 0;
};

// The service in use: the system's unless a test replaced it.
IInteractions& Interactions();
// Installs Service (nullptr restores the system's) and returns the previous
// replacement (nullptr when the system's was in use). Not owned.
IInteractions* SetInteractions(IInteractions* Service);
