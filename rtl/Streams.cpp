#include "rtl/Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

[[noreturn]] void ReadError() { throw EReadError(u"Stream read error"); }
[[noreturn]] void WriteError() { throw EWriteError(u"Stream write error"); }

void CheckRange(std::size_t Length, Int64 Offset, Int64 Count) {
  if (Offset < 0 || Count < 0 || static_cast<UInt64>(Offset) + static_cast<UInt64>(Count) > Length)
    throw EArgumentOutOfRangeException(u"Argument out of range");
}

constexpr Int64 kMaxChunk = std::numeric_limits<Integer>::max();

}  // namespace

// ---------------------------------------------------------------------------
// TStream

Integer TStream::Read(void*, Integer) { return 0; }

Integer TStream::Write(const void*, Integer) { return 0; }

Int64 TStream::Seek(Int64, TSeekOrigin) { throw EStreamError(u"Stream does not support seeking"); }

Integer TStream::Read(TBytes& Buffer, Integer Offset, Integer Count) {
  CheckRange(Buffer.size(), Offset, Count);
  if (Count == 0) return 0;
  return Read(Buffer.data() + Offset, Count);
}

Integer TStream::Write(const TBytes& Buffer, Integer Offset, Integer Count) {
  CheckRange(Buffer.size(), Offset, Count);
  if (Count == 0) return 0;
  return Write(Buffer.data() + Offset, Count);
}

void TStream::ReadBuffer(void* Buffer, Int64 Count) {
  if (Count < 0) ReadError();
  auto* P = static_cast<Byte*>(Buffer);
  while (Count > 0) {
    Integer Chunk = static_cast<Integer>(std::min(Count, kMaxChunk));
    Integer Got = Read(P, Chunk);
    if (Got <= 0) ReadError();
    P += Got;
    Count -= Got;
  }
}

void TStream::ReadBuffer(TBytes& Buffer, Int64 Offset, Int64 Count) {
  CheckRange(Buffer.size(), Offset, Count);
  if (Count > 0) ReadBuffer(Buffer.data() + Offset, Count);
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count) {
  if (Count < 0) WriteError();
  auto* P = static_cast<const Byte*>(Buffer);
  while (Count > 0) {
    Integer Chunk = static_cast<Integer>(std::min(Count, kMaxChunk));
    Integer Put = Write(P, Chunk);
    if (Put <= 0) WriteError();
    P += Put;
    Count -= Put;
  }
}

void TStream::WriteBuffer(const TBytes& Buffer, Int64 Offset, Int64 Count) {
  CheckRange(Buffer.size(), Offset, Count);
  if (Count > 0) WriteBuffer(Buffer.data() + Offset, Count);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count, Integer BufferSize) {
  if (Count <= 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  if (BufferSize <= 0) BufferSize = 0xF000;
  std::vector<Byte> Buffer(static_cast<std::size_t>(std::min<Int64>(BufferSize, std::max<Int64>(Count, 1))));
  Int64 Result = Count;
  while (Count > 0) {
    Integer N = static_cast<Integer>(std::min<Int64>(Count, static_cast<Int64>(Buffer.size())));
    Source->ReadBuffer(Buffer.data(), N);
    WriteBuffer(Buffer.data(), N);
    Count -= N;
  }
  return Result;
}

Int64 TStream::Size() {
  Int64 Pos = Seek(0, soCurrent);
  Int64 Result = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return Result;
}

void TStream::SetSize(Int64) {}

// ---------------------------------------------------------------------------
// THandleStream, TFileStream

Integer THandleStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Integer Result = rtl_streams_detail::FileRead(FHandle, Buffer, Count);
  return Result < 0 ? 0 : Result;
}

Integer THandleStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Integer Result = rtl_streams_detail::FileWrite(FHandle, Buffer, Count);
  return Result < 0 ? 0 : Result;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  return rtl_streams_detail::FileSeek(FHandle, Offset, Origin);
}

void THandleStream::SetSize(Int64 NewSize) {
  String ErrorText;
  if (Seek(NewSize, soBeginning) != NewSize || !rtl_streams_detail::FileTruncateHere(FHandle, ErrorText))
    throw EStreamError(u"Stream size error: " + ErrorText);
}

TFileStream::TFileStream(const String& AFileName, Word Mode, Cardinal Rights)
    : THandleStream(INVALID_FILE_HANDLE), FFileName(AFileName) {
  String ErrorText;
  if ((Mode & fmCreate) == fmCreate) {
    FHandle = rtl_streams_detail::FileCreate(AFileName, Mode & 0xFF, Rights, ErrorText);
    if (FHandle == INVALID_FILE_HANDLE)
      throw EFCreateError(u"Cannot create file \"" + rtl_streams_detail::ExpandFileName(AFileName) + u"\". " +
                          ErrorText);
  } else {
    FHandle = rtl_streams_detail::FileOpen(AFileName, Mode, ErrorText);
    if (FHandle == INVALID_FILE_HANDLE)
      throw EFOpenError(u"Cannot open file \"" + rtl_streams_detail::ExpandFileName(AFileName) + u"\". " + ErrorText);
  }
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_FILE_HANDLE) rtl_streams_detail::FileClose(FHandle);
}

// ---------------------------------------------------------------------------
// Memory streams

Integer TCustomMemoryStream::Read(void* Buffer, Integer Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  Int64 Available = FSize - FPosition;
  if (Available <= 0) return 0;
  Integer N = static_cast<Integer>(std::min<Int64>(Available, Count));
  std::memcpy(Buffer, static_cast<const Byte*>(FMemory) + FPosition, static_cast<std::size_t>(N));
  FPosition += N;
  return N;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning:
      FPosition = Offset;
      break;
    case soCurrent:
      FPosition += Offset;
      break;
    case soEnd:
      FPosition = FSize + Offset;
      break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (FSize != 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream);
}

void TMemoryStream::Resize(Int64 NewSize) {
  if (NewSize < 0) NewSize = 0;
  if (static_cast<UInt64>(NewSize) > FData.max_size())
    throw EStreamError(u"Out of memory while expanding memory stream");
  FData.resize(static_cast<std::size_t>(NewSize));
  SetPointer(FData.empty() ? nullptr : FData.data(), NewSize);
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  Int64 End = FPosition + Count;
  if (End > Size()) Resize(End);
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = End;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  Int64 OldPosition = FPosition;
  Resize(NewSize);
  if (OldPosition > NewSize) Seek(0, soEnd);
}

void TMemoryStream::Clear() {
  TBytes().swap(FData);
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 Count = Stream->Size();
  SetSize(Count);
  if (Count != 0) Stream->ReadBuffer(FData.data(), Count);
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream);
}

void TMemoryStream::SetCapacity(Int64 NewCapacity) {
  if (NewCapacity > Capacity()) {
    FData.reserve(static_cast<std::size_t>(NewCapacity));
    SetPointer(FData.empty() ? nullptr : FData.data(), Size());
  }
}

TBytesStream::TBytesStream(const TBytes& ABytes) {
  FData = ABytes;
  SetPointer(FData.empty() ? nullptr : FData.data(), static_cast<Int64>(FData.size()));
}

// ---------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream() : FEncoding(TEncoding::Default()) {}

TStringStream::TStringStream(const String& AString) : TStringStream(AString, TEncoding::Default()) {}

TStringStream::TStringStream(const String& AString, TEncoding* AEncoding)
    : TBytesStream((AEncoding != nullptr ? AEncoding : TEncoding::Default())->GetBytes(AString)),
      FEncoding(AEncoding != nullptr ? AEncoding : TEncoding::Default()) {}

TStringStream::TStringStream(const String& AString, std::unique_ptr<TEncoding> AEncoding)
    : TStringStream(AString, AEncoding.get()) {
  FOwnedEncoding = std::move(AEncoding);
}

TStringStream::TStringStream(const TBytes& ABytes) : TBytesStream(ABytes), FEncoding(TEncoding::Default()) {}

TStringStream::TStringStream(const RawByteString& AString)
    : TBytesStream(TBytes(AString.begin(), AString.end())), FEncoding(TEncoding::Default()) {}

TStringStream::~TStringStream() = default;

String TStringStream::DataString() const { return FEncoding->GetString(FData); }

String TStringStream::ReadString(Integer Count) {
  Int64 Available = static_cast<Int64>(FData.size()) - FPosition;
  if (FPosition < 0 || Available <= 0 || Count <= 0) return String();
  Integer Len = static_cast<Integer>(std::min<Int64>(Available, Count));
  String Result = FEncoding->GetString(FData.data() + FPosition, static_cast<std::size_t>(Len));
  FPosition += Len;
  return Result;
}

void TStringStream::WriteString(const String& AString) {
  TBytes Bytes = FEncoding->GetBytes(AString);
  if (!Bytes.empty()) WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}
