#pragma once
// Byte streams, as Classes.TStream and its family: TStream (the abstract
// base), THandleStream / TFileStream (an operating-system file),
// TCustomMemoryStream / TMemoryStream / TBytesStream (bytes in memory) and
// TStringStream (bytes that hold text in some encoding). The resource
// stream is in rtl/Resources.h.
//
// Positions and sizes are Int64; Read and Write move at most 2 GiB a call and
// answer the count moved (0 at the end or on an error); ReadBuffer and
// WriteBuffer insist on the whole count and raise EReadError "Stream read
// error" / EWriteError "Stream write error". File names are String (UTF-16);
// off Windows they go to the system as UTF-8.
#include <cstddef>
#include <type_traits>

#include "rtl/Encoding.h"
#include "rtl/Exceptions.h"
#include "rtl/Types.h"

enum TSeekOrigin : Word { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File open modes of TFileStream (SysUtils' fm* constants): one access mode,
// or'ed with one share mode. fmCreate creates the file or empties an existing
// one, and opens it for reading and writing.
inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;  // taken as exclusive
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

// An operating-system file handle: a HANDLE on Windows, a descriptor elsewhere.
using THandle = NativeUInt;
inline constexpr THandle INVALID_FILE_HANDLE = static_cast<THandle>(-1);

class TStream : public TObject {
public:
  TStream() = default;
  ~TStream() override = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to Count bytes at the position; answers the count read. The
  // base reads nothing.
  virtual Integer Read(void* Buffer, Integer Count);
  // Writes up to Count bytes at the position; answers the count written. The
  // base writes nothing.
  virtual Integer Write(const void* Buffer, Integer Count);
  // Moves the position; answers the new one. The base raises EStreamError.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin);

  // Buffer[Offset .. Offset+Count-1]; a range outside Buffer raises
  // EArgumentOutOfRangeException.
  Integer Read(TBytes& Buffer, Integer Offset, Integer Count);
  Integer Read(TBytes& Buffer, Integer Count) { return Read(Buffer, 0, Count); }
  Integer Write(const TBytes& Buffer, Integer Offset, Integer Count);
  Integer Write(const TBytes& Buffer, Integer Count) { return Write(Buffer, 0, Count); }

  // The whole count, or EReadError / EWriteError. Count 0 does nothing.
  void ReadBuffer(void* Buffer, Int64 Count);
  void ReadBuffer(TBytes& Buffer, Int64 Count) { ReadBuffer(Buffer, 0, Count); }
  void ReadBuffer(TBytes& Buffer, Int64 Offset, Int64 Count);
  void WriteBuffer(const void* Buffer, Int64 Count);
  void WriteBuffer(const TBytes& Buffer, Int64 Count) { WriteBuffer(Buffer, 0, Count); }
  void WriteBuffer(const TBytes& Buffer, Int64 Offset, Int64 Count);

  // Typed forms for trivially copyable values, in memory byte order.
  template <class T>
  Integer ReadData(T& Value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return Read(&Value, static_cast<Integer>(sizeof(T)));
  }
  template <class T>
  Integer WriteData(const T& Value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return Write(&Value, static_cast<Integer>(sizeof(T)));
  }
  template <class T>
  void ReadBufferData(T& Value) {
    static_assert(std::is_trivially_copyable_v<T>);
    ReadBuffer(&Value, static_cast<Int64>(sizeof(T)));
  }
  template <class T>
  void WriteBufferData(const T& Value) {
    static_assert(std::is_trivially_copyable_v<T>);
    WriteBuffer(&Value, static_cast<Int64>(sizeof(T)));
  }

  // Copies Count bytes from Source's position; Count <= 0 copies the whole
  // of Source from its beginning. A short source raises EReadError. Answers
  // the count copied. BufferSize 0: 61440 bytes at a time.
  Int64 CopyFrom(TStream* Source, Int64 Count = 0, Integer BufferSize = 0);
  Int64 CopyFrom(TStream& Source, Int64 Count = 0, Integer BufferSize = 0) {
    return CopyFrom(&Source, Count, BufferSize);
  }

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Value) { Seek(Value, soBeginning); }
  // The base seeks to the end and back.
  virtual Int64 Size();
  // The base does nothing.
  virtual void SetSize(Int64 NewSize);
};

// A stream over an operating-system handle that it does not own.
class THandleStream : public TStream {
public:
  explicit THandleStream(THandle AHandle) : FHandle(AHandle) {}

  using TStream::Read;
  using TStream::Write;
  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  // Moves to NewSize and truncates or extends there; failure raises
  // EStreamError "Stream size error: <system message>".
  void SetSize(Int64 NewSize) override;

  THandle Handle() const { return FHandle; }

protected:
  THandle FHandle;
};

// A file opened or created by name, closed on destruction. Failure raises
// EFCreateError "Cannot create file \"<full path>\". <system message>" for
// fmCreate, else EFOpenError "Cannot open file \"<full path>\". <system
// message>". Share modes are honoured on Windows and accepted elsewhere.
// Rights are the POSIX permission bits of a created file (0: 0666 less the
// umask); Windows ignores them.
class TFileStream : public THandleStream {
public:
  TFileStream(const String& AFileName, Word Mode, Cardinal Rights = 0);
  ~TFileStream() override;

  const String& FileName() const { return FFileName; }

private:
  String FFileName;
};

// Bytes in memory: reading and seeking. The position may be set past the
// end; reading there answers 0.
class TCustomMemoryStream : public TStream {
public:
  using TStream::Read;
  Integer Read(void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FSize; }

  // Writes all the bytes (whatever the position) to Stream / to a new file.
  void SaveToStream(TStream* Stream);
  void SaveToStream(TStream& Stream) { SaveToStream(&Stream); }
  void SaveToFile(const String& FileName);

  void* Memory() const { return FMemory; }

protected:
  void SetPointer(void* Ptr, Int64 ASize) {
    FMemory = Ptr;
    FSize = ASize;
  }
  Int64 FPosition = 0;

private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// Growable bytes in memory. New bytes (SetSize, a write past the end) are
// zero.
class TMemoryStream : public TCustomMemoryStream {
public:
  TMemoryStream() = default;

  using TStream::Write;
  Integer Write(const void* Buffer, Integer Count) override;
  // Keeps the position unless it lies past the new end, then it moves to the end.
  void SetSize(Int64 NewSize) override;
  // Empties the stream and frees its memory.
  void Clear();
  // Replaces the content by the whole of Stream (read from its beginning).
  void LoadFromStream(TStream* Stream);
  void LoadFromStream(TStream& Stream) { LoadFromStream(&Stream); }
  void LoadFromFile(const String& FileName);

  Int64 Capacity() const { return static_cast<Int64>(FData.capacity()); }
  // Reserves memory; never below the size.
  void SetCapacity(Int64 NewCapacity);

protected:
  void Resize(Int64 NewSize);
  TBytes FData;  // always Size() bytes
};

// A memory stream over a TBytes.
class TBytesStream : public TMemoryStream {
public:
  TBytesStream() = default;
  explicit TBytesStream(const TBytes& ABytes);
  // The content; exactly Size() bytes.
  const TBytes& Bytes() const { return FData; }
};

// Bytes that hold text in an encoding (Default, the ANSI code page, unless
// given). DataString decodes all of them.
class TStringStream : public TBytesStream {
public:
  TStringStream();
  explicit TStringStream(const String& AString);
  // AEncoding is not owned (nullptr: Default).
  TStringStream(const String& AString, TEncoding* AEncoding);
  TStringStream(const String& AString, std::unique_ptr<TEncoding> AEncoding);
  // Bytes as they are, decoded with Default.
  explicit TStringStream(const TBytes& ABytes);
  explicit TStringStream(const RawByteString& AString);
  ~TStringStream() override;

  String DataString() const;
  // Up to Count bytes from the position, decoded; the position moves past them.
  String ReadString(Integer Count);
  // The text encoded, written at the position.
  void WriteString(const String& AString);
  TEncoding* Encoding() const { return FEncoding; }

private:
  std::unique_ptr<TEncoding> FOwnedEncoding;
  TEncoding* FEncoding;  // FOwnedEncoding's, or one the caller keeps
};

// Platform part (Streams_win.cpp / Streams_posix.cpp); not for callers.
namespace rtl_streams_detail {
// INVALID_FILE_HANDLE on failure, with the system's message in ErrorText.
THandle FileCreate(const String& FileName, Word Mode, Cardinal Rights, String& ErrorText);
THandle FileOpen(const String& FileName, Word Mode, String& ErrorText);
// -1 on failure.
Integer FileRead(THandle Handle, void* Buffer, Integer Count);
Integer FileWrite(THandle Handle, const void* Buffer, Integer Count);
Int64 FileSeek(THandle Handle, Int64 Offset, TSeekOrigin Origin);
// Ends the file at the current position; false with ErrorText on failure.
bool FileTruncateHere(THandle Handle, String& ErrorText);
void FileClose(THandle Handle);
String ExpandFileName(const String& FileName);
}  // namespace rtl_streams_detail
