#include "xml/KelStreams.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <cstring>
#include <limits>
#include <memory>

#include "rtl/ScopeExit.h"

// ---------------------------------------------------------------------------
// TKelStream

Int64 TKelStream::Seek(Int64, TSeekOrigin) { return -1; }

void TKelStream::SetSize(Int64) {}

Integer TKelStream::Seek32(Integer Offset, Word Origin) {
  Int64 Result;
  switch (Origin) {
    case 0:
      Result = Seek(Int64(Offset), soBeginning);
      break;
    case 1:
      Result = Seek(Int64(Offset), soCurrent);
      break;
    case 2:
      Result = Seek(Int64(Offset), soEnd);
      break;
    default:
      return -1;
  }
  if (Result < 0 || Result > std::numeric_limits<Integer>::max()) return -1;
  return static_cast<Integer>(Result);
}

void TKelStream::SetSize32(Integer NewSize) { SetSize(Int64(NewSize)); }

void TKelStream::LoadFromStream(TStream& Source, Integer BufferSize) { CopyStreamData(Source, *this, BufferSize); }

void TKelStream::LoadFromFile(const String& FileName, Integer BufferSize) {
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(File, BufferSize);
}

void TKelStream::SaveToStream(TStream& Dest, Integer BufferSize) { CopyStreamData(*this, Dest, BufferSize); }

void TKelStream::SaveToFile(const String& FileName, Integer BufferSize) {
  TFileStream File(FileName, fmCreate);
  SaveToStream(File, BufferSize);
}

Int64 CopyStreamData(TStream& Source, TStream& Dest, Integer BufferSize) {
  BufferSize = std::max<Integer>(BufferSize, 1);
  std::vector<Byte> Buffer(static_cast<size_t>(BufferSize));
  Int64 Total = 0;
  Integer Got;
  do {
    Got = Source.Read(Buffer.data(), BufferSize);
    if (Got > 0) {
      Dest.WriteBuffer(Buffer.data(), Got);
      Total += Got;
    }
  } while (Got == BufferSize);
  return Total;
}

bool StreamContentsEqual(TStream& A, TStream& B, Integer BufferSize) {
  BufferSize = std::max<Integer>(BufferSize, 1);
  std::vector<Byte> BufA(static_cast<size_t>(BufferSize)), BufB(static_cast<size_t>(BufferSize));
  for (;;) {
    const Integer GotA = A.Read(BufA.data(), BufferSize);
    const Integer GotB = B.Read(BufB.data(), BufferSize);
    if (GotA != GotB) return false;
    if (GotA > 0 && std::memcmp(BufA.data(), BufB.data(), static_cast<size_t>(GotA)) != 0) return false;
    if (GotA < BufferSize) return true;
  }
}

// ---------------------------------------------------------------------------
// TKelStreamDecorator

TKelStreamDecorator::TKelStreamDecorator(TStream* AStream, bool AOwnsStream)
    : FOwnsStream(AOwnsStream), FStream(AStream) {}

TKelStreamDecorator::~TKelStreamDecorator() {
  if (FOwnsStream) delete FStream;
}

Integer TKelStreamDecorator::Read(void* Buffer, Integer Count) { return FStream ? FStream->Read(Buffer, Count) : 0; }

Integer TKelStreamDecorator::Write(const void* Buffer, Integer Count) {
  return FStream ? FStream->Write(Buffer, Count) : 0;
}

Int64 TKelStreamDecorator::Seek(Int64 Offset, TSeekOrigin Origin) {
  return FStream ? FStream->Seek(Offset, Origin) : -1;
}

void TKelStreamDecorator::SetSize(Int64 NewSize) {
  if (FStream) FStream->SetSize(NewSize);
}

void TKelStreamDecorator::SetStream(TStream* Value) {
  if (Value == FStream) return;
  std::exception_ptr Failure;
  try {
    DoBeforeStreamChange();
  } catch (...) {
    Failure = std::current_exception();
  }
  if (FOwnsStream) delete FStream;
  FStream = Value;
  DoAfterStreamChange();
  if (Failure) std::rethrow_exception(Failure);
}

void TKelStreamDecorator::DoAfterStreamChange() {
  if (AfterStreamChange) AfterStreamChange(this);
}

void TKelStreamDecorator::DoBeforeStreamChange() {
  if (BeforeStreamChange) BeforeStreamChange(this);
}

// ---------------------------------------------------------------------------
// TKelEasyStream

namespace {

template <class T>
T ReadValue(TStream& S) {
  T Value;
  S.ReadBuffer(&Value, sizeof(T));
  return Value;
}

template <class T>
void WriteValue(TStream& S, T Value) {
  S.WriteBuffer(&Value, sizeof(T));
}

}  // namespace

bool TKelEasyStream::IsEqual(TStream& Stream) {
  const Int64 MyPos = Position();
  const Int64 OtherPos = Stream.Position();
  const TScopeExit Restore([&] {
    SetPosition(MyPos);
    Stream.SetPosition(OtherPos);
  });
  SetPosition(0);
  Stream.SetPosition(0);
  return StreamContentsEqual(*this, Stream, 4096);
}

bool TKelEasyStream::ReadBoolean() { return ReadValue<Byte>(*this) != 0; }
void TKelEasyStream::WriteBoolean(bool Value) { WriteValue<Byte>(*this, Value ? 1 : 0); }
Byte TKelEasyStream::ReadByte() { return ReadValue<Byte>(*this); }
void TKelEasyStream::WriteByte(Byte Value) { WriteValue(*this, Value); }
char TKelEasyStream::ReadAnsiChar() { return ReadValue<char>(*this); }
void TKelEasyStream::WriteAnsiChar(char Value) { WriteValue(*this, Value); }
Char TKelEasyStream::ReadChar() { return ReadValue<Char>(*this); }
void TKelEasyStream::WriteChar(Char Value) { WriteValue(*this, Value); }
Integer TKelEasyStream::ReadInteger() { return ReadValue<Integer>(*this); }
void TKelEasyStream::WriteInteger(Integer Value) { WriteValue(*this, Value); }
Int64 TKelEasyStream::ReadInt64() { return ReadValue<Int64>(*this); }
void TKelEasyStream::WriteInt64(Int64 Value) { WriteValue(*this, Value); }
float TKelEasyStream::ReadSingle() { return ReadValue<float>(*this); }
void TKelEasyStream::WriteSingle(float Value) { WriteValue(*this, Value); }
double TKelEasyStream::ReadDouble() { return ReadValue<double>(*this); }
void TKelEasyStream::WriteDouble(double Value) { WriteValue(*this, Value); }
Int64 TKelEasyStream::ReadCurrency() { return ReadValue<Int64>(*this); }
void TKelEasyStream::WriteCurrency(Int64 Value) { WriteValue(*this, Value); }

// The 80-bit format by hand: long double is not the same type on every build.
double TKelEasyStream::ReadExtended() {
  Byte Raw[10];
  ReadBuffer(Raw, 10);
  UInt64 Mantissa = 0;
  for (int I = 7; I >= 0; --I) Mantissa = (Mantissa << 8) | Raw[I];
  const int SignExp = Raw[8] | (Raw[9] << 8);
  const bool Negative = (SignExp & 0x8000) != 0;
  const int Exp = SignExp & 0x7FFF;
  double Value;
  if (Exp == 0 && Mantissa == 0) {
    Value = 0.0;
  } else if (Exp == 0x7FFF) {
    Value = (Mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  } else {
    Value = std::ldexp(static_cast<double>(Mantissa), Exp - 16383 - 63);
  }
  return Negative ? -Value : Value;
}

void TKelEasyStream::WriteExtended(double Value) {
  Byte Raw[10] = {};
  int SignExp = std::signbit(Value) ? 0x8000 : 0;
  UInt64 Mantissa = 0;
  if (std::isnan(Value)) {
    SignExp |= 0x7FFF;
    Mantissa = 0xC000000000000000ull;
  } else if (std::isinf(Value)) {
    SignExp |= 0x7FFF;
    Mantissa = 0x8000000000000000ull;
  } else if (Value != 0.0) {
    int Exp;
    const double Fraction = std::frexp(std::fabs(Value), &Exp);  // [0.5, 1)
    Mantissa = static_cast<UInt64>(std::ldexp(Fraction, 64));
    SignExp |= (Exp - 1 + 16383) & 0x7FFF;
  }
  for (int I = 0; I < 8; ++I) Raw[I] = static_cast<Byte>(Mantissa >> (8 * I));
  Raw[8] = static_cast<Byte>(SignExp & 0xFF);
  Raw[9] = static_cast<Byte>(SignExp >> 8);
  WriteBuffer(Raw, 10);
}

AnsiString TKelEasyStream::ReadCAnsiString() {
  const Int64 Start = Position();
  Integer Length = 0;
  while (ReadValue<char>(*this) != 0) ++Length;
  SetPosition(Start);
  AnsiString Result(static_cast<size_t>(Length), '\0');
  if (Length > 0) ReadBuffer(Result.data(), Length);
  ReadValue<char>(*this);
  return Result;
}

void TKelEasyStream::WriteCAnsiString(const AnsiString& Value) {
  if (!Value.empty()) WriteBuffer(Value.data(), static_cast<Integer>(Value.size()));
  WriteValue<char>(*this, 0);
}

String TKelEasyStream::ReadCWideString() {
  const Int64 Start = Position();
  Integer Length = 0;
  while (ReadValue<Char>(*this) != 0) ++Length;
  SetPosition(Start);
  String Result(static_cast<size_t>(Length), u'\0');
  if (Length > 0) ReadBuffer(Result.data(), Length * 2);
  ReadValue<Char>(*this);
  return Result;
}

void TKelEasyStream::WriteCWideString(const String& Value) {
  if (!Value.empty()) WriteBuffer(Value.data(), static_cast<Integer>(Value.size() * 2));
  WriteValue<Char>(*this, 0);
}

AnsiString TKelEasyStream::ReadSizedAnsiString() {
  const Integer Length = ReadInteger();
  if (Length <= 0) return {};
  AnsiString Result(static_cast<size_t>(Length), '\0');
  ReadBuffer(Result.data(), Length);
  return Result;
}

void TKelEasyStream::WriteSizedAnsiString(const AnsiString& Value) {
  WriteInteger(static_cast<Integer>(Value.size()));
  if (!Value.empty()) WriteBuffer(Value.data(), static_cast<Integer>(Value.size()));
}

String TKelEasyStream::ReadSizedWideString() {
  const Integer Length = ReadInteger();
  if (Length <= 0) return {};
  String Result(static_cast<size_t>(Length), u'\0');
  ReadBuffer(Result.data(), Length * 2);
  return Result;
}

void TKelEasyStream::WriteSizedWideString(const String& Value) {
  WriteInteger(static_cast<Integer>(Value.size()));
  if (!Value.empty()) WriteBuffer(Value.data(), static_cast<Integer>(Value.size() * 2));
}

String TKelEasyStream::ReadShortString() {
  const Byte Length = ReadByte();
  AnsiString Bytes(Length, '\0');
  if (Length > 0) ReadBuffer(Bytes.data(), Length);
  String Result;
  for (char C : Bytes) Result += CodePointToChar(AnsiCharToCodePoint(C));
  return Result;
}

void TKelEasyStream::WriteShortString(const AnsiString& Value) {
  const Byte Length = static_cast<Byte>(std::min<size_t>(Value.size(), 255));
  WriteByte(Length);
  if (Length > 0) WriteBuffer(Value.data(), Length);
}

// ---------------------------------------------------------------------------
// TKelStringStream

TKelStringStream::TKelStringStream(TStream* AStream, bool AOwnsStream) : FStream(AStream), FOwnStream(AOwnsStream) {
  ResetBuffers();
}

TKelStringStream::~TKelStringStream() {
  if (FOwnStream) delete FStream;
}

void TKelStringStream::FlushOnDestroy() noexcept {
  try {
    Flush();
  } catch (...) {
    // A destructor cannot report it; writers call Flush themselves to see it.
  }
}

void TKelStringStream::ResetBuffers() {
  const Int64 Here = FStream->Seek(0, soCurrent);
  FStrBufferStart = FStrBufferNext = FStrPeekBufferStart = FStrPeekBufferNext = Here;
  FStrBufferPosition = FStrBufferCurrentSize = FStrBufferModifiedSize = FStrPeekPosition = 0;
  FStrPeekBufferCurrentSize = 0;
  FReadPlace = FPeekPlace = {};
}

Integer TKelStringStream::ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) {
  Integer Done = 0;
  Cardinal Ch;
  while (Done < Count && Start + Done < static_cast<Integer>(Buffer.size()) && ReadCodePoint(S, Ch))
    Buffer[static_cast<size_t>(Start + Done++)] = Ch;
  return Done;
}

Integer TKelStringStream::WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) {
  Integer Done = 0;
  while (Done < Count && Start + Done < static_cast<Integer>(Buffer.size()) &&
         WriteCodePoint(S, Buffer[static_cast<size_t>(Start + Done)]))
    ++Done;
  return Done;
}

bool TKelStringStream::FillBuffer() {
  Flush();
  if (FStrPeekBufferStart <= FStrBufferNext && FStrBufferNext < FStrPeekBufferNext) {
    // The look-ahead already decoded what follows: take it over.
    FStrBufferStart = FStrPeekBufferStart;
    FStrBufferNext = FStrPeekBufferNext;
    FStrBufferPosition = FStrPeekBufferPosition;
    FStrBufferCurrentSize = FStrPeekBufferCurrentSize;
    FStrBuffer.assign(FStrPeekBuffer.size(), 0);
    std::copy_n(FStrPeekBuffer.begin(), FStrPeekBufferCurrentSize, FStrBuffer.begin());
  } else {
    FStrBuffer.assign(static_cast<size_t>(FBufferSize), 0);
    FStrBufferPosition += FStrBufferCurrentSize;
    FStrBufferStart = FStrBufferNext;
    FStream->Seek(FStrBufferStart, soBeginning);
    FStrBufferCurrentSize = ReadCodePoints(*FStream, FStrBuffer, 0, FBufferSize);
    FStrBufferNext = FStream->Seek(0, soCurrent);
    FStrPeekBufferPosition = FStrBufferPosition + FStrBufferCurrentSize;
    FStrPeekBufferCurrentSize = 0;
    FStrPeekBufferStart = FStrPeekBufferNext = FStrBufferNext;
  }
  return FStrBufferPosition <= FStrPosition && FStrPosition < FStrBufferPosition + FStrBufferCurrentSize;
}

bool TKelStringStream::FillPeekBuffer() {
  // A fill that finds nothing keeps what the peek buffer held, so a read
  // after a failed peek can still take it over.
  const Int64 OldPosition = FStrPeekBufferPosition, OldStart = FStrPeekBufferStart, OldNext = FStrPeekBufferNext;
  const Integer OldSize = FStrPeekBufferCurrentSize;
  TUCS4Array Old;
  Old.swap(FStrPeekBuffer);
  FStrPeekBuffer.assign(static_cast<size_t>(FBufferSize), 0);
  if (FStrPeekPosition < FStrPeekBufferPosition) {
    FStrPeekBufferPosition = FStrBufferPosition;
    FStrPeekBufferCurrentSize = static_cast<Integer>(FStrBufferCurrentSize);
    FStrPeekBufferStart = FStrBufferStart;
    FStrPeekBufferNext = FStrBufferNext;
  }
  FStrPeekBufferStart = FStrPeekBufferNext;
  FStrPeekBufferPosition += FStrPeekBufferCurrentSize;
  FStream->Seek(FStrPeekBufferNext, soBeginning);
  FStrPeekBufferCurrentSize = ReadCodePoints(*FStream, FStrPeekBuffer, 0, FBufferSize);
  FStrPeekBufferNext = FStream->Seek(0, soCurrent);
  if (FStrPeekBufferCurrentSize == 0) {
    FStrPeekBuffer.swap(Old);
    FStrPeekBufferPosition = OldPosition;
    FStrPeekBufferStart = OldStart;
    FStrPeekBufferNext = OldNext;
    FStrPeekBufferCurrentSize = OldSize;
    return false;
  }
  return FStrPeekBufferPosition <= FStrPeekPosition &&
         FStrPeekPosition < FStrPeekBufferPosition + FStrPeekBufferCurrentSize;
}

bool TKelStringStream::ReadUCS4(Cardinal& Buffer) {
  if (FStrPosition < FStrBufferPosition || FStrPosition >= FStrBufferPosition + FStrBufferCurrentSize) {
    if (!FillBuffer()) {
      FStrPeekPosition = FStrPosition;
      FPeekPlace = FReadPlace;
      return false;
    }
  }
  Buffer = FStrBuffer[static_cast<size_t>(FStrPosition - FStrBufferPosition)];
  FReadPlace.Step(FStrPosition, Buffer);
  ++FStrPosition;
  FStrPeekPosition = FStrPosition;
  FPeekPlace = FReadPlace;
  return true;
}

bool TKelStringStream::PeekUCS4(Cardinal& Buffer) {
  if (FStrPeekPosition >= FStrPeekBufferPosition &&
      FStrPeekPosition < FStrPeekBufferPosition + FStrPeekBufferCurrentSize) {
    Buffer = FStrPeekBuffer[static_cast<size_t>(FStrPeekPosition - FStrPeekBufferPosition)];
  } else if (FStrPeekPosition >= FStrBufferPosition && FStrPeekPosition < FStrBufferPosition + FStrBufferCurrentSize) {
    Buffer = FStrBuffer[static_cast<size_t>(FStrPeekPosition - FStrBufferPosition)];
  } else {
    if (!FillPeekBuffer()) return false;
    Buffer = FStrPeekBuffer[static_cast<size_t>(FStrPeekPosition - FStrPeekBufferPosition)];
  }
  FPeekPlace.Step(FStrPeekPosition, Buffer);
  ++FStrPeekPosition;
  return true;
}

bool TKelStringStream::WriteUCS4(Cardinal Value) {
  if (FStrPosition >= FStrBufferPosition + FBufferSize) FillBuffer();
  if (FStrBuffer.size() != static_cast<size_t>(FBufferSize)) FStrBuffer.resize(static_cast<size_t>(FBufferSize));
  const Int64 Index = FStrPosition - FStrBufferPosition;
  if (Index >= static_cast<Int64>(FStrBuffer.size())) FStrBuffer.resize(static_cast<size_t>(Index) + 1);
  FStrBuffer[static_cast<size_t>(Index)] = Value;
  ++FStrPosition;
  const Int64 N = Index + 1;
  FStrBufferModifiedSize = std::max(FStrBufferModifiedSize, N);
  FStrBufferCurrentSize = std::max(FStrBufferCurrentSize, N);
  FStrPeekPosition = FStrPosition;
  return true;
}

void TKelStringStream::Flush() {
  if (FStrBufferModifiedSize <= 0) return;
  FStream->Seek(FStrBufferStart, soBeginning);
  WriteCodePoints(*FStream, FStrBuffer, 0, static_cast<Integer>(FStrBufferModifiedSize));
  FStrBufferNext = FStream->Seek(0, soCurrent);
  FStrBufferModifiedSize = 0;
}

Int64 TKelStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  if (Origin == soBeginning && Offset == 0) {
    Flush();
    FStrPosition = FStrBufferPosition = FStrBufferCurrentSize = FStrBufferStart = FStrBufferNext = 0;
    FStrPeekBufferPosition = FStrPeekBufferStart = FStrPeekBufferNext = 0;
    FStrPeekBufferCurrentSize = 0;
    FReadPlace = {};
  } else if (!(Origin == soCurrent && Offset == 0)) {
    throw EKelStreamError(u"Error seeking stream");
  }
  FStrPeekPosition = FStrPosition;
  FPeekPlace = FReadPlace;
  return FStrPosition;
}

Integer TKelStringStream::SkipBOM() {
  Integer Result = 0;
  if (!FBOM.empty()) {
    const Int64 Here = FStream->Seek(0, soCurrent);
    TDynByteArray Found(FBOM.size());
    const Integer Got = FStream->Read(Found.data(), static_cast<Integer>(Found.size()));
    if (Got == static_cast<Integer>(FBOM.size()) && Found == FBOM)
      Result = Got;
    else
      FStream->Seek(Here, soBeginning);
  }
  ResetBuffers();
  return Result;
}

Integer TKelStringStream::WriteBOM() {
  Integer Result = 0;
  if (!FBOM.empty()) Result = FStream->Write(FBOM.data(), static_cast<Integer>(FBOM.size()));
  ResetBuffers();
  return Result;
}

bool TKelStringStream::ReadChar(Char& Buffer) {
  Cardinal Ch;
  if (!ReadUCS4(Ch)) return false;
  Buffer = CodePointToChar(Ch);
  return true;
}

bool TKelStringStream::PeekChar(Char& Buffer) {
  Cardinal Ch;
  if (!PeekUCS4(Ch)) return false;
  Buffer = CodePointToChar(Ch);
  return true;
}

bool TKelStringStream::ReadAnsiChar(char& Buffer) {
  Cardinal Ch;
  if (!ReadUCS4(Ch)) return false;
  Buffer = CodePointToAnsiChar(Ch);
  return true;
}

bool TKelStringStream::PeekAnsiChar(char& Buffer) {
  Cardinal Ch;
  if (!PeekUCS4(Ch)) return false;
  Buffer = CodePointToAnsiChar(Ch);
  return true;
}

bool TKelStringStream::WriteChar(Char Value) { return WriteUCS4(CharToCodePoint(Value)); }

bool TKelStringStream::WriteAnsiChar(char Value) { return WriteUCS4(AnsiCharToCodePoint(Value)); }

Integer TKelStringStream::ReadString(String& Buffer, Integer Start, Integer Count) {
  Integer Index = Start;
  Cardinal Ch;
  while (Index < Start + Count - 1) {
    // Look before reading, so a code point that does not fit stays unread.
    if (!PeekUCS4(Ch)) break;
    if (!TextSetCodePoint(Buffer, Index, Ch)) break;
    ReadUCS4(Ch);
  }
  FStrPeekPosition = FStrPosition;
  FPeekPlace = FReadPlace;
  return Index - Start;
}

Integer TKelStringStream::ReadAnsiString(AnsiString& Buffer, Integer Start, Integer Count) {
  Integer Index = Start;
  Cardinal Ch;
  while (Index < Start + Count) {
    if (!PeekUCS4(Ch)) break;
    if (!AnsiTextSetCodePoint(Buffer, Index, Ch)) break;
    ReadUCS4(Ch);
  }
  FStrPeekPosition = FStrPosition;
  FPeekPlace = FReadPlace;
  return Index - Start;
}

String TKelStringStream::ReadString(Integer BufferSize) {
  String Result;
  if (BufferSize < 1) return Result;
  String Scratch(static_cast<size_t>(BufferSize), u'\0');
  for (;;) {
    const Integer Got = ReadString(Scratch, 1, BufferSize);
    if (Got <= 0) break;
    Result.append(Scratch, 0, static_cast<size_t>(Got));
  }
  return Result;
}

AnsiString TKelStringStream::ReadAnsiString(Integer BufferSize) {
  AnsiString Result;
  if (BufferSize < 1) return Result;
  AnsiString Scratch(static_cast<size_t>(BufferSize), '\0');
  for (;;) {
    const Integer Got = ReadAnsiString(Scratch, 1, BufferSize);
    if (Got <= 0) break;
    Result.append(Scratch, 0, static_cast<size_t>(Got));
  }
  return Result;
}

Integer TKelStringStream::WriteString(const String& Buffer, Integer Start, Integer Count) {
  const Integer Len = static_cast<Integer>(Buffer.size());
  if (Start < 1) {
    Count += Start - 1;
    Start = 1;
  }
  const Integer Stop = std::min<Int64>(Int64(Start) + std::max<Integer>(Count, 0), Int64(Len) + 1);
  Integer Index = Start;
  while (Index < Stop) WriteUCS4(TextNextCodePoint(Buffer, Index));
  return Index - Start;
}

Integer TKelStringStream::WriteAnsiString(const AnsiString& Buffer, Integer Start, Integer Count) {
  const Integer Len = static_cast<Integer>(Buffer.size());
  if (Start < 1) {
    Count += Start - 1;
    Start = 1;
  }
  const Integer Stop = std::min<Int64>(Int64(Start) + std::max<Integer>(Count, 0), Int64(Len) + 1);
  Integer Index = Start;
  while (Index < Stop) WriteUCS4(AnsiTextNextCodePoint(Buffer, Index));
  return Index - Start;
}

// ---------------------------------------------------------------------------
// The four encodings

TKelAnsiStream::TKelAnsiStream(TStream* AStream, bool AOwnsStream) : TKelStringStream(AStream, AOwnsStream) {}
TKelAnsiStream::~TKelAnsiStream() { FlushOnDestroy(); }

bool TKelAnsiStream::ReadCodePoint(TStream& S, Cardinal& Ch) {
  return FCodePage == 0 ? AnsiReadCodePoint(S, Ch) : CodePageReadCodePoint(S, FCodePage, Ch);
}
Integer TKelAnsiStream::ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) {
  return FCodePage == 0 ? AnsiReadCodePoints(S, Buffer, Start, Count)
                        : CodePageReadCodePoints(S, FCodePage, Buffer, Start, Count);
}
bool TKelAnsiStream::WriteCodePoint(TStream& S, Cardinal Ch) {
  return FCodePage == 0 ? AnsiWriteCodePoint(S, Ch) : CodePageWriteCodePoint(S, FCodePage, Ch);
}
Integer TKelAnsiStream::WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) {
  return FCodePage == 0 ? AnsiWriteCodePoints(S, Buffer, Start, Count)
                        : CodePageWriteCodePoints(S, FCodePage, Buffer, Start, Count);
}

TKelUTF8Stream::TKelUTF8Stream(TStream* AStream, bool AOwnsStream) : TKelStringStream(AStream, AOwnsStream) {
  FBOM = {0xEF, 0xBB, 0xBF};
}
TKelUTF8Stream::~TKelUTF8Stream() { FlushOnDestroy(); }

bool TKelUTF8Stream::ReadCodePoint(TStream& S, Cardinal& Ch) { return Utf8ReadCodePoint(S, Ch); }
Integer TKelUTF8Stream::ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) {
  return Utf8ReadCodePoints(S, Buffer, Start, Count);
}
bool TKelUTF8Stream::WriteCodePoint(TStream& S, Cardinal Ch) { return Utf8WriteCodePoint(S, Ch); }
Integer TKelUTF8Stream::WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) {
  return Utf8WriteCodePoints(S, Buffer, Start, Count);
}

TKelUTF16Stream::TKelUTF16Stream(TStream* AStream, bool AOwnsStream) : TKelStringStream(AStream, AOwnsStream) {
  FBOM = {0xFF, 0xFE};
}
TKelUTF16Stream::~TKelUTF16Stream() { FlushOnDestroy(); }

bool TKelUTF16Stream::ReadCodePoint(TStream& S, Cardinal& Ch) { return Utf16ReadCodePoint(S, Ch); }
Integer TKelUTF16Stream::ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) {
  return Utf16ReadCodePoints(S, Buffer, Start, Count);
}
bool TKelUTF16Stream::WriteCodePoint(TStream& S, Cardinal Ch) { return Utf16WriteCodePoint(S, Ch); }
Integer TKelUTF16Stream::WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) {
  return Utf16WriteCodePoints(S, Buffer, Start, Count);
}

TKelAutoStream::TKelAutoStream(TStream* AStream, bool AOwnsStream) : TKelStringStream(AStream, AOwnsStream) {
  Byte Head[3] = {};
  const Integer N = std::max<Integer>(FStream->Read(Head, 3), 0);
  FEncoding = seAuto;
  if (N > 2 && Head[0] == 0xEF && Head[1] == 0xBB && Head[2] == 0xBF) {
    FEncoding = seUTF8;
    FCodePage = CP_KEL_UTF8;
    FBOM = {0xEF, 0xBB, 0xBF};
  } else if (N > 1 && Head[0] == 0xFF && Head[1] == 0xFE) {
    FEncoding = seUTF16;
    FCodePage = CP_KEL_UTF16LE;
    FBOM = {0xFF, 0xFE};
  } else {
    FEncoding = seAnsi;
    FCodePage = 0;
    FBOM.clear();
  }
  FStream->Seek(static_cast<Int64>(FBOM.size()) - N, soCurrent);
  ResetBuffers();
}
TKelAutoStream::~TKelAutoStream() { FlushOnDestroy(); }

Integer TKelAutoStream::SkipBOM() {
  ResetBuffers();
  return 0;
}

void TKelAutoStream::SetCodePage(Word Value) {
  switch (Value) {
    case 0:
      FEncoding = seAnsi;
      break;
    case CP_KEL_UTF16LE:
      FEncoding = seUTF16;
      break;
    case CP_KEL_UTF8:
      FEncoding = seUTF8;
      break;
    default:
      FEncoding = seAuto;
      break;
  }
  FCodePage = Value;
}

bool TKelAutoStream::ReadCodePoint(TStream& S, Cardinal& Ch) {
  switch (FCodePage) {
    case 0:
      return AnsiReadCodePoint(S, Ch);
    case CP_KEL_UTF16LE:
      return Utf16ReadCodePoint(S, Ch);
    case CP_KEL_UTF8:
      return Utf8ReadCodePoint(S, Ch);
    default:
      return CodePageReadCodePoint(S, FCodePage, Ch);
  }
}
Integer TKelAutoStream::ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) {
  switch (FCodePage) {
    case 0:
      return AnsiReadCodePoints(S, Buffer, Start, Count);
    case CP_KEL_UTF16LE:
      return Utf16ReadCodePoints(S, Buffer, Start, Count);
    case CP_KEL_UTF8:
      return Utf8ReadCodePoints(S, Buffer, Start, Count);
    default:
      return CodePageReadCodePoints(S, FCodePage, Buffer, Start, Count);
  }
}
bool TKelAutoStream::WriteCodePoint(TStream& S, Cardinal Ch) {
  switch (FCodePage) {
    case 0:
      return AnsiWriteCodePoint(S, Ch);
    case CP_KEL_UTF16LE:
      return Utf16WriteCodePoint(S, Ch);
    case CP_KEL_UTF8:
      return Utf8WriteCodePoint(S, Ch);
    default:
      return CodePageWriteCodePoint(S, FCodePage, Ch);
  }
}
Integer TKelAutoStream::WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) {
  switch (FCodePage) {
    case 0:
      return AnsiWriteCodePoints(S, Buffer, Start, Count);
    case CP_KEL_UTF16LE:
      return Utf16WriteCodePoints(S, Buffer, Start, Count);
    case CP_KEL_UTF8:
      return Utf8WriteCodePoints(S, Buffer, Start, Count);
    default:
      return CodePageWriteCodePoints(S, FCodePage, Buffer, Start, Count);
  }
}
