#pragma once
// Growable text buffers the tree exports build their output in, and the
// renderings' entry points (members of TCustomVastStringTree, defined in
// VastTreeExport.cpp).

#include "rtl/Types.h"
#include "treeview/VastStringTree.h"

// A UTF-16 buffer the exports append to; CR LF ends a line.
class TBufferedString : public TObject {
public:
  TBufferedString() = default;
  TBufferedString(const TBufferedString&) = delete;
  TBufferedString& operator=(const TBufferedString&) = delete;
  ~TBufferedString() override = default;

  void Add(const String& S) { FText += S; }
  void AddNewLine() { FText += u"\r\n"; }
  String AsString() const { return FText; }

private:
  String FText;  // grows geometrically: exports stay linear in their size
};

// The same for 8-bit text (the RTF rendering).
class TBufferedRawByteString : public TObject {
public:
  TBufferedRawByteString() = default;
  TBufferedRawByteString(const TBufferedRawByteString&) = delete;
  TBufferedRawByteString& operator=(const TBufferedRawByteString&) = delete;
  ~TBufferedRawByteString() override = default;

  void Add(const RawByteString& S) { FText += S; }
  void AddNewLine() { FText += "\r\n"; }
  RawByteString AsString() const { return FText; }

private:
  RawByteString FText;
};
