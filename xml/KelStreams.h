#pragma once
// Byte-stream helpers (TKelStream, TKelStreamDecorator, TKelEasyStream) and
// the encoding text streams that every XML document is read and written
// through (TKelStringStream and its four encodings).
#include <functional>

#include "rtl/Streams.h"
#include "rtl/Types.h"
#include "xml/KelStringConversions.h"

QUORVEL_DECLARE_EXCEPTION(EKelStreamError, EKelError);

// ---------------------------------------------------------------------------
// Byte streams

using TKelStreamNotifyEvent = std::function<void(TObject* Sender)>;

// A stream base with 32-bit compatibility and copy/file helpers. Its own
// 64-bit Seek answers -1: descendants supply the real positioning.
class TKelStream : public TStream {
public:
  using TStream::Seek;
  using TStream::SetSize;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;
  // 32-bit forms: origin 0/1/2; -1 for another origin or a position past 2 GiB.
  Integer Seek32(Integer Offset, Word Origin);
  void SetSize32(Integer NewSize);

  virtual void LoadFromStream(TStream& Source, Integer BufferSize);
  virtual void LoadFromFile(const String& FileName, Integer BufferSize);
  virtual void SaveToStream(TStream& Dest, Integer BufferSize);
  virtual void SaveToFile(const String& FileName, Integer BufferSize);
};

// Copies Source from its position to its end into Dest; returns the bytes copied.
Int64 CopyStreamData(TStream& Source, TStream& Dest, Integer BufferSize);
// Compares two streams from their current positions.
bool StreamContentsEqual(TStream& A, TStream& B, Integer BufferSize);

// Forwards to another stream, which it frees on destruction when it owns it.
// Without a stream it reads and writes nothing and ignores SetSize.
class TKelStreamDecorator : public TKelStream {
public:
  TKelStreamDecorator(TStream* AStream, bool AOwnsStream);
  ~TKelStreamDecorator() override;
  TKelStreamDecorator(const TKelStreamDecorator&) = delete;
  TKelStreamDecorator& operator=(const TKelStreamDecorator&) = delete;

  using TKelStream::Read;
  using TKelStream::Seek;
  using TKelStream::Write;
  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  // Without a stream: -1.
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;

  TStream* Stream() const { return FStream; }
  void SetStream(TStream* Value);
  bool OwnsStream() const { return FOwnsStream; }
  void SetOwnsStream(bool Value) { FOwnsStream = Value; }
  TKelStreamNotifyEvent AfterStreamChange;
  TKelStreamNotifyEvent BeforeStreamChange;

protected:
  virtual void DoAfterStreamChange();
  virtual void DoBeforeStreamChange();

private:
  bool FOwnsStream;
  TStream* FStream;  // owned when FOwnsStream
};

// Typed little-endian reads and writes. A short read raises the stream's
// read error, a refused write its write error.
class TKelEasyStream : public TKelStreamDecorator {
public:
  using TKelStreamDecorator::TKelStreamDecorator;

  bool IsEqual(TStream& Stream);

  bool ReadBoolean();
  void WriteBoolean(bool Value);
  Byte ReadByte();
  void WriteByte(Byte Value);
  char ReadAnsiChar();
  void WriteAnsiChar(char Value);
  Char ReadChar();
  void WriteChar(Char Value);
  Char ReadWideChar() { return ReadChar(); }
  void WriteWideChar(Char Value) { WriteChar(Value); }
  Integer ReadInteger();
  void WriteInteger(Integer Value);
  Int64 ReadInt64();
  void WriteInt64(Int64 Value);
  float ReadSingle();
  void WriteSingle(float Value);
  double ReadDouble();
  void WriteDouble(double Value);
  TDateTime ReadDateTime() { return ReadDouble(); }
  void WriteDateTime(TDateTime Value) { WriteDouble(Value); }
  // Currency: a signed count of ten-thousandths.
  Int64 ReadCurrency();
  void WriteCurrency(Int64 Value);
  // x87 80-bit extended in the stream, double in memory.
  double ReadExtended();
  void WriteExtended(double Value);

  // Zero-terminated: the stream is left just after the terminator.
  AnsiString ReadCAnsiString();
  void WriteCAnsiString(const AnsiString& Value);
  String ReadCWideString();
  void WriteCWideString(const String& Value);
  String ReadCString() { return ReadCWideString(); }
  void WriteCString(const String& Value) { WriteCWideString(Value); }
  // A 32-bit count (bytes or UTF-16 units), then the text.
  AnsiString ReadSizedAnsiString();
  void WriteSizedAnsiString(const AnsiString& Value);
  String ReadSizedWideString();
  void WriteSizedWideString(const String& Value);
  String ReadSizedString() { return ReadSizedWideString(); }
  void WriteSizedString(const String& Value) { WriteSizedWideString(Value); }
  // One length byte, then up to 255 ANSI bytes (longer values are cut).
  String ReadShortString();
  void WriteShortString(const AnsiString& Value);
};

// ---------------------------------------------------------------------------
// Encoding text streams

enum TKelStringEncoding : Byte { seAnsi = 0, seUTF8 = 1, seUTF16 = 2, seAuto = 3 };

// Reads and writes code points over a byte stream, decoding in chunks of
// BufferSize code points into a read/write buffer, with a separate look-ahead
// (peek) buffer. Positions count code points from where reading or writing
// began (0-based). Reading and writing are not mixed on one text stream.
// Not thread-safe: one thread per text stream.
class TKelStringStream : public TObject {
public:
  // The stream is not owned unless AOwnsStream; it must allow seeking.
  TKelStringStream(TStream* AStream, bool AOwnsStream);
  // Subclasses flush in their own destructors (a base destructor can no
  // longer reach their encoders); a failing flush there is swallowed, so
  // writers call Flush themselves to see write errors.
  ~TKelStringStream() override;
  TKelStringStream(const TKelStringStream&) = delete;
  TKelStringStream& operator=(const TKelStringStream&) = delete;

  TStream* Stream() const { return FStream; }
  bool OwnStream() const { return FOwnStream; }
  Integer BufferSize() const { return FBufferSize; }
  // Takes effect at the next fill; values below 1 count as 1.
  void SetBufferSize(Integer Value) { FBufferSize = Value < 1 ? 1 : Value; }
  Int64 Position() const { return FStrPosition; }
  Int64 PeekPosition() const { return FStrPeekPosition; }
  // Line and column (1-based, lines end at LF) of the code point at
  // PeekPosition, the last one read or peeked; column 0 before the first.
  Int64 PeekLine() const { return FPeekPlace.Line; }
  Int64 PeekColumn() const { return FStrPeekPosition - FPeekPlace.LineStart; }

  virtual void Flush();
  // Only to the beginning (offset 0) or nowhere (soCurrent, 0); anything else
  // raises EKelStreamError "Error seeking stream".
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin);
  // Call before the first read or write. Return the bytes skipped / written.
  virtual Integer SkipBOM();
  virtual Integer WriteBOM();
  // The byte-order mark of the encoding; for a TKelAutoStream the mark it
  // found, empty when the text had none.
  const TDynByteArray& BOM() const { return FBOM; }

  // False at the end of the text. Reading brings the peek cursor back to the
  // read cursor; successive peeks walk ahead one code point each.
  bool ReadUCS4(Cardinal& Buffer);
  bool PeekUCS4(Cardinal& Buffer);
  bool WriteUCS4(Cardinal Value);

  bool ReadChar(Char& Buffer);
  bool ReadWideChar(Char& Buffer) { return ReadChar(Buffer); }
  bool PeekChar(Char& Buffer);
  bool PeekWideChar(Char& Buffer) { return PeekChar(Buffer); }
  bool ReadAnsiChar(char& Buffer);
  bool PeekAnsiChar(char& Buffer);
  bool WriteChar(Char Value);
  bool WriteWideChar(Char Value) { return WriteChar(Value); }
  bool WriteAnsiChar(char Value);

  // Stores into Buffer from the 1-based Start while the index is below
  // Start + Count - 1 (one unit of margin keeps a surrogate pair whole);
  // returns the UTF-16 units stored.
  Integer ReadString(String& Buffer, Integer Start, Integer Count);
  Integer ReadWideString(String& Buffer, Integer Start, Integer Count) { return ReadString(Buffer, Start, Count); }
  // System-code-page bytes while the index is below Start + Count.
  Integer ReadAnsiString(AnsiString& Buffer, Integer Start, Integer Count);
  // The rest of the text, read BufferSize units at a time.
  String ReadString(Integer BufferSize);
  String ReadWideString(Integer BufferSize) { return ReadString(BufferSize); }
  AnsiString ReadAnsiString(Integer BufferSize);

  // Writes Buffer[Start..Start+Count-1] (1-based; the range is clipped to the
  // text); returns the units consumed. Lone surrogates are written as U+FFFD.
  Integer WriteString(const String& Buffer, Integer Start, Integer Count);
  Integer WriteWideString(const String& Buffer, Integer Start, Integer Count) {
    return WriteString(Buffer, Start, Count);
  }
  Integer WriteAnsiString(const AnsiString& Buffer, Integer Start, Integer Count);

protected:
  virtual bool ReadCodePoint(TStream& S, Cardinal& Ch) = 0;
  virtual Integer ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count);
  virtual bool WriteCodePoint(TStream& S, Cardinal Ch) = 0;
  virtual Integer WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count);
  void FlushOnDestroy() noexcept;
  void ResetBuffers();

  TStream* FStream;  // owned when FOwnStream
  bool FOwnStream;
  TDynByteArray FBOM;
  Integer FBufferSize = 4096;

private:
  // Where a cursor's last code point (index Next - 1) sits.
  struct TTextPlace {
    Int64 Line = 1;
    Int64 LineStart = 0;  // index of the line's first code point
    bool AfterLineFeed = false;
    void Step(Int64 Index, Cardinal C) {
      if (AfterLineFeed) {
        ++Line;
        LineStart = Index;
      }
      AfterLineFeed = C == '\n';
    }
  };

  bool FillBuffer();
  bool FillPeekBuffer();

  Int64 FStrPosition = 0;
  TUCS4Array FStrBuffer;
  Int64 FStrBufferPosition = 0;
  Int64 FStrBufferCurrentSize = 0;
  Int64 FStrBufferModifiedSize = 0;
  Int64 FStrBufferStart = 0;
  Int64 FStrBufferNext = 0;
  Int64 FStrPeekPosition = 0;
  TUCS4Array FStrPeekBuffer;
  Int64 FStrPeekBufferPosition = 0;
  Integer FStrPeekBufferCurrentSize = 0;
  Int64 FStrPeekBufferStart = 0;
  Int64 FStrPeekBufferNext = 0;
  TTextPlace FReadPlace;
  TTextPlace FPeekPlace;
};

// ANSI text: CodePage 0 is the system ANSI code page.
class TKelAnsiStream : public TKelStringStream {
public:
  TKelAnsiStream(TStream* AStream, bool AOwnsStream);
  ~TKelAnsiStream() override;
  Word CodePage() const { return FCodePage; }
  void SetCodePage(Word Value) { FCodePage = Value; }

protected:
  bool ReadCodePoint(TStream& S, Cardinal& Ch) override;
  Integer ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) override;
  bool WriteCodePoint(TStream& S, Cardinal Ch) override;
  Integer WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) override;

private:
  Word FCodePage = 0;
};

// UTF-8, mark EF BB BF.
class TKelUTF8Stream : public TKelStringStream {
public:
  TKelUTF8Stream(TStream* AStream, bool AOwnsStream);
  ~TKelUTF8Stream() override;

protected:
  bool ReadCodePoint(TStream& S, Cardinal& Ch) override;
  Integer ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) override;
  bool WriteCodePoint(TStream& S, Cardinal Ch) override;
  Integer WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) override;
};

// UTF-16 little endian, mark FF FE.
class TKelUTF16Stream : public TKelStringStream {
public:
  TKelUTF16Stream(TStream* AStream, bool AOwnsStream);
  ~TKelUTF16Stream() override;

protected:
  bool ReadCodePoint(TStream& S, Cardinal& Ch) override;
  Integer ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) override;
  bool WriteCodePoint(TStream& S, Cardinal Ch) override;
  Integer WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) override;
};

// Detects the encoding from a byte-order mark on construction (EF BB BF:
// UTF-8, FF FE: UTF-16 LE, otherwise ANSI in the system code page) and
// consumes the mark. SetCodePage switches the decoding of the bytes not yet
// decoded: 0 system ANSI, 1200 UTF-16 LE, 65001 UTF-8, else that code page.
class TKelAutoStream : public TKelStringStream {
public:
  TKelAutoStream(TStream* AStream, bool AOwnsStream);
  ~TKelAutoStream() override;
  Integer SkipBOM() override;
  Word CodePage() const { return FCodePage; }
  void SetCodePage(Word Value);
  TKelStringEncoding Encoding() const { return FEncoding; }

protected:
  bool ReadCodePoint(TStream& S, Cardinal& Ch) override;
  Integer ReadCodePoints(TStream& S, TUCS4Array& Buffer, Integer Start, Integer Count) override;
  bool WriteCodePoint(TStream& S, Cardinal Ch) override;
  Integer WriteCodePoints(TStream& S, const TUCS4Array& Buffer, Integer Start, Integer Count) override;

private:
  Word FCodePage = 0;
  TKelStringEncoding FEncoding = seAuto;
};
