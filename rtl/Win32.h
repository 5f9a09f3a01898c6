#pragma once
// The one way our code includes <windows.h>: Windows files (*_win.cpp) of
// portable libraries and Windows-only libraries, never portable files. It
// sits in rtl/ so that every Windows-side library may include it. <windows.h>
// maps many API names to their A/W forms with macros, and those macros would
// rename our own methods (TCanvas::DrawText, TComponent::GetObject...), so
// they are removed here; call the W entry points by their full names.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#undef CopyFile
#undef CreateWindow
#undef DeleteFile
#undef DrawText
#undef FindWindow
#undef GetClassName
#undef GetMessage
#undef GetObject
#undef LoadBitmap
#undef LoadCursor
#undef LoadIcon
#undef LoadImage
#undef LoadString
#undef MessageBox
#undef MoveFile
#undef PostMessage
#undef SendMessage
#undef SetWindowText
#undef GetWindowText
#undef TextOut
#undef ExtTextOut
#undef CreateFont
#undef GetTextExtentPoint32
#undef RegisterClass
#undef CreateEvent
#undef CreateMutex
#undef GetCommandLine
#undef GetModuleFileName
#undef GetCurrentTime

#include "rtl/Types.h"

// Our text as Win32 takes it: String holds UTF-16 units, which wchar_t is on
// Windows. Valid while S lives unchanged.
inline const wchar_t* WideCStr(const String& S) noexcept { return reinterpret_cast<const wchar_t*>(S.c_str()); }
