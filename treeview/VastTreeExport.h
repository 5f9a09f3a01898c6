#pragma once
// Growable text buffers the tree exports build their output in, and the
// renderings' entry points (members of TCustomVastStringTree, defined in
// VastTreeExport.cpp).
#include <memory>

#include "rtl/Types.h"
#include "treeview/VastStringTree.h"

// A UTF-16 buffer that grows in steps of 4096 units, never unit by unit.
class TBufferedString : public TObject {
public:
  TBufferedString() = default;
  TBufferedString(const TBufferedString&) = delete;
  TBufferedString& operator=(const TBufferedString&) = delete;
  ~TBufferedString() override = default;

  void Add(const String& S);
  void AddNewLine();
  String AsString() const { return String(FStart, FPosition); }

private:
  void Grow(std::size_t Units);

  std::unique_ptr<Char[]> FMemory;
  Char* FStart = nullptr;
  Char* FPosition = nullptr;
  Char* FEnd = nullptr;
};

// The same for 8-bit text (the RTF rendering).
class TBufferedRawByteString : public TObject {
public:
  TBufferedRawByteString() = default;
  TBufferedRawByteString(const TBufferedRawByteString&) = delete;
  TBufferedRawByteString& operator=(const TBufferedRawByteString&) = delete;
  ~TBufferedRawByteString() override = default;

  void Add(const RawByteString& S);
  void AddNewLine();
  RawByteString AsString() const { return RawByteString(FStart, FPosition); }

private:
  void Grow(std::size_t Bytes);

  std::unique_ptr<char[]> FMemory;
  char* FStart = nullptr;
  char* FPosition = nullptr;
  char* FEnd = nullptr;
};
