#include "xml/KelStringConversions.h"

#include <algorithm>
#include <array>

// Code-page tables of the platform (KelStringConversions_win.cpp /
// _posix.cpp). CodePage is never 0, 65001, 1200 or 1201 here: those are
// resolved or handled portably below so both builds treat them alike.
// Strict decoding: false when Bytes hold anything invalid for the code page.
bool KelPlatformDecode(Word CodePage, std::string_view Bytes, String& Out);
// Unmappable characters become the code page's default character; false
// when the code page is unknown.
bool KelPlatformEncode(Word CodePage, std::u16string_view Text, AnsiString& Out);
Word KelPlatformAnsiCodePage();
bool KelPlatformAnsiDefaultChar(char& Ch);

EKelUnexpectedEOSequenceError::EKelUnexpectedEOSequenceError()
    : EKelStringConversionError(u"Unexpected end of sequence") {}

Word SystemAnsiCodePage() {
  static const Word CodePage = KelPlatformAnsiCodePage();
  return CodePage;
}

char AnsiDefaultChar() {
  static const char Default = [] {
    char Ch = '?';
    if (!KelPlatformAnsiDefaultChar(Ch)) throw EKelInternalError(u"Failed to get ANSI replacement character");
    return Ch;
  }();
  return Default;
}

namespace {

bool IsHighSurrogate(Cardinal U) { return U >= 0xD800 && U <= 0xDBFF; }
bool IsLowSurrogate(Cardinal U) { return U >= 0xDC00 && U <= 0xDFFF; }
Cardinal CombineSurrogates(Cardinal High, Cardinal Low) {
  return ((High - 0xD800) << SurrogateShift) + (Low - 0xDC00) + SurrogateBase;
}

// Bytes read ahead from a stream. Decoders look at bytes before consuming
// them; whatever was read but not consumed is given back to the stream by
// Finish, so the stream ends up just after the last code point decoded.
class TByteReader {
public:
  TByteReader(TStream& S, size_t BlockSize) : FStream(S), FBlock(std::max<size_t>(BlockSize, 8)) {}

  // Makes N bytes available from the cursor; false when the stream ends first.
  bool Ensure(size_t N) {
    while (FEnd - FPos < N) {
      if (FEof) return false;
      if (FPos > 0) {
        std::copy(FBuf.begin() + FPos, FBuf.begin() + FEnd, FBuf.begin());
        FEnd -= FPos;
        FPos = 0;
      }
      if (FBuf.size() < FEnd + FBlock) FBuf.resize(FEnd + FBlock);
      Integer Got = FStream.Read(FBuf.data() + FEnd, static_cast<Integer>(FBlock));
      if (Got <= 0) {
        FEof = true;
        return false;
      }
      FEnd += static_cast<size_t>(Got);
    }
    return true;
  }
  size_t Available() const { return FEnd - FPos; }
  Byte At(size_t I) const { return FBuf[FPos + I]; }
  void Consume(size_t N) { FPos += N; }
  void Finish() {
    if (FEnd > FPos) FStream.Seek(-static_cast<Int64>(FEnd - FPos), soCurrent);
    FPos = FEnd = 0;
  }

private:
  TStream& FStream;
  size_t FBlock;
  std::vector<Byte> FBuf;
  size_t FPos = 0;
  size_t FEnd = 0;
  bool FEof = false;
};

size_t ChunkBlock(Integer Count) { return static_cast<size_t>(std::clamp<Integer>(Count, 8, 4096)); }

// One UTF-8 code point; false only when the stream has no byte left. A byte
// that interrupts a sequence is left for the next call; overlong forms,
// surrogates and values above U+10FFFF give U+FFFD, as does a sequence cut
// by the end of the stream.
bool DecodeUtf8(TByteReader& R, Cardinal& Ch) {
  if (!R.Ensure(1)) return false;
  const Byte Lead = R.At(0);
  R.Consume(1);
  if (Lead < 0x80) {
    Ch = Lead;
    return true;
  }
  int Trail;
  Cardinal Value;
  if (Lead >= 0xC0 && Lead <= 0xDF) {
    Trail = 1;
    Value = Lead & 0x1F;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Trail = 2;
    Value = Lead & 0x0F;
  } else if (Lead >= 0xF0 && Lead <= 0xF7) {
    Trail = 3;
    Value = Lead & 0x07;
  } else if (Lead >= 0xF8 && Lead <= 0xFB) {
    Trail = 4;
    Value = Lead & 0x03;
  } else if (Lead >= 0xFC && Lead <= 0xFD) {
    Trail = 5;
    Value = Lead & 0x01;
  } else {
    Ch = UCS4ReplacementCharacter;
    return true;
  }
  for (int I = 0; I < Trail; ++I) {
    if (!R.Ensure(1)) {
      Ch = UCS4ReplacementCharacter;
      return true;
    }
    const Byte B = R.At(0);
    if ((B & 0xC0) != 0x80) {
      Ch = UCS4ReplacementCharacter;
      return true;
    }
    R.Consume(1);
    Value = (Value << 6) | (B & 0x3F);
  }
  static constexpr Cardinal Smallest[] = {0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
  if (Value < Smallest[Trail] || Value > MaximumUTF16 || (Value >= 0xD800 && Value <= 0xDFFF))
    Value = UCS4ReplacementCharacter;
  Ch = Value;
  return true;
}

// One UTF-16 LE code point. A unit that follows a high surrogate without
// being a low one is left for the next call; an odd last byte or a high
// surrogate at the end gives U+FFFD.
bool DecodeUtf16(TByteReader& R, Cardinal& Ch) {
  if (!R.Ensure(2)) {
    if (R.Available() == 0) return false;
    R.Consume(R.Available());
    Ch = UCS4ReplacementCharacter;
    return true;
  }
  const Cardinal Unit = R.At(0) | (Cardinal(R.At(1)) << 8);
  R.Consume(2);
  if (IsLowSurrogate(Unit)) {
    Ch = UCS4ReplacementCharacter;
  } else if (IsHighSurrogate(Unit)) {
    Ch = UCS4ReplacementCharacter;
    if (R.Ensure(2)) {
      const Cardinal Next = R.At(0) | (Cardinal(R.At(1)) << 8);
      if (IsLowSurrogate(Next)) {
        R.Consume(2);
        Ch = CombineSurrogates(Unit, Next);
      }
    }
  } else {
    Ch = Unit;
  }
  return true;
}

// Encoders append the bytes of one code point.
void EncodeUtf8(Cardinal Ch, std::string& Out) {
  if (Ch > MaximumUTF16 || (Ch >= 0xD800 && Ch <= 0xDFFF)) Ch = UCS4ReplacementCharacter;
  if (Ch < 0x80) {
    Out += char(Ch);
  } else if (Ch < 0x800) {
    Out += char(0xC0 | (Ch >> 6));
    Out += char(0x80 | (Ch & 0x3F));
  } else if (Ch <= 0xFFFF) {
    Out += char(0xE0 | (Ch >> 12));
    Out += char(0x80 | ((Ch >> 6) & 0x3F));
    Out += char(0x80 | (Ch & 0x3F));
  } else {
    Out += char(0xF0 | (Ch >> 18));
    Out += char(0x80 | ((Ch >> 12) & 0x3F));
    Out += char(0x80 | ((Ch >> 6) & 0x3F));
    Out += char(0x80 | (Ch & 0x3F));
  }
}

void PutUnit(Cardinal U, bool BigEndian, std::string& Out) {
  if (BigEndian) {
    Out += char(U >> 8);
    Out += char(U & 0xFF);
  } else {
    Out += char(U & 0xFF);
    Out += char(U >> 8);
  }
}

// Surrogate values up to 0xFFFF are written as their own unit, so that a
// pair written one unit at a time arrives whole.
void EncodeUtf16(Cardinal Ch, std::string& Out, bool BigEndian = false) {
  if (Ch <= MaximumUCS2) {
    PutUnit(Ch, BigEndian, Out);
  } else if (Ch <= MaximumUTF16) {
    PutUnit(0xD800 | ((Ch - SurrogateBase) >> SurrogateShift), BigEndian, Out);
    PutUnit(0xDC00 | (Ch & SurrogateMask), BigEndian, Out);
  } else {
    PutUnit(UCS4ReplacementCharacter, BigEndian, Out);
  }
}

// UTF-16 form of one code point for the code-page encoders.
std::u16string CodePointUnits(Cardinal Ch) {
  std::u16string S;
  if (Ch <= MaximumUCS2) {
    S += Char(Ch);
  } else if (Ch <= MaximumUTF16) {
    S += Char(0xD800 | ((Ch - SurrogateBase) >> SurrogateShift));
    S += Char(0xDC00 | (Ch & SurrogateMask));
  } else {
    S += Char(UCS4ReplacementCharacter);
  }
  return S;
}

Word ResolveCodePage(Word CodePage) { return CodePage == CP_KEL_ACP ? SystemAnsiCodePage() : CodePage; }

// Strict decoding of a byte run in any code page.
bool DecodeBytes(Word CodePage, std::string_view Bytes, String& Out) {
  Out.clear();
  CodePage = ResolveCodePage(CodePage);
  if (CodePage == CP_KEL_UTF8 || CodePage == CP_KEL_UTF16LE || CodePage == CP_KEL_UTF16BE) {
    if (CodePage == CP_KEL_UTF8) {
      // Valid exactly when re-encoding gives the same bytes back.
      size_t I = 0;
      while (I < Bytes.size()) {
        Byte B = Byte(Bytes[I]);
        size_t Len = B < 0x80                 ? 1
                     : B >= 0xC2 && B <= 0xDF ? 2
                     : B >= 0xE0 && B <= 0xEF ? 3
                     : B >= 0xF0 && B <= 0xF4 ? 4
                                              : 0;
        if (Len == 0 || I + Len > Bytes.size()) return false;
        Cardinal Value = Len == 1 ? B : B & (0xFF >> (Len + 1));
        for (size_t K = 1; K < Len; ++K) {
          Byte C = Byte(Bytes[I + K]);
          if ((C & 0xC0) != 0x80) return false;
          Value = (Value << 6) | (C & 0x3F);
        }
        std::string Check;
        EncodeUtf8(Value, Check);
        if (Check != Bytes.substr(I, Len)) return false;
        Out += CodePointUnits(Value);
        I += Len;
      }
      return true;
    }
    if (Bytes.size() % 2 != 0) return false;
    const bool Big = CodePage == CP_KEL_UTF16BE;
    for (size_t I = 0; I < Bytes.size(); I += 2) {
      Byte A = Byte(Bytes[I]), B = Byte(Bytes[I + 1]);
      Out += Char(Big ? (A << 8) | B : (B << 8) | A);
    }
    return true;
  }
  return KelPlatformDecode(CodePage, Bytes, Out);
}

// The bytes of one code point in a code page; the default character when it
// cannot be stored or converted.
std::string EncodeCodePoint(Word CodePage, Cardinal Ch) {
  CodePage = ResolveCodePage(CodePage);
  std::string Out;
  if (CodePage == CP_KEL_UTF8) {
    EncodeUtf8(Ch, Out);
  } else if (CodePage == CP_KEL_UTF16LE || CodePage == CP_KEL_UTF16BE) {
    EncodeUtf16(Ch, Out, CodePage == CP_KEL_UTF16BE);
  } else if (Ch > MaximumUTF16 || !KelPlatformEncode(CodePage, CodePointUnits(Ch), Out) || Out.empty()) {
    Out.assign(1, AnsiDefaultChar());
  }
  return Out;
}

// Writes the bytes of Buffer[Start..Start+Count) encoded by Encode in one
// block; on a short write, counts only the code points written in full.
template <class TEncode>
Integer WriteChunk(TStream& S, const TUCS4Array& Buffer, Integer& Start, Integer Count, TEncode Encode) {
  if (Start < 0 || Count <= 0) return 0;
  Count = std::min<Integer>(Count, static_cast<Integer>(Buffer.size()) - Start);
  if (Count <= 0) return 0;
  std::string Bytes;
  std::vector<size_t> Ends;
  Ends.reserve(static_cast<size_t>(Count));
  for (Integer I = 0; I < Count; ++I) {
    Encode(Buffer[static_cast<size_t>(Start + I)], Bytes);
    Ends.push_back(Bytes.size());
  }
  Integer Written = S.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
  Integer Done = Count;
  if (Written < static_cast<Integer>(Bytes.size())) {
    const size_t W = Written > 0 ? static_cast<size_t>(Written) : 0;
    Done = static_cast<Integer>(std::upper_bound(Ends.begin(), Ends.end(), W) - Ends.begin());
  }
  Start += Done;
  return Done;
}

bool WriteBytes(TStream& S, const std::string& Bytes) {
  return S.Write(Bytes.data(), static_cast<Integer>(Bytes.size())) == static_cast<Integer>(Bytes.size());
}

template <class TDecode>
Integer ReadChunk(TStream& S, TUCS4Array& Buffer, Integer& Start, Integer Count, TDecode Decode) {
  if (Start < 0 || Count <= 0) return 0;
  Count = std::min<Integer>(Count, static_cast<Integer>(Buffer.size()) - Start);
  if (Count <= 0) return 0;
  TByteReader R(S, ChunkBlock(Count));
  Integer Done = 0;
  Cardinal Ch;
  while (Done < Count && Decode(R, Ch)) Buffer[static_cast<size_t>(Start + Done++)] = Ch;
  R.Finish();
  Start += Done;
  return Done;
}

// Chunked code-page reading. Single-byte code pages convert the chunk at
// once; when the chunk holds an invalid sequence (or a multi-byte character
// cut at its end), it is decoded character by character: the shortest run of
// 1 to 4 bytes that converts is one character, an unconvertible byte is
// U+FFFD, and a run cut by the end of the chunk is left for the next call.
Integer CodePageChunk(TStream& S, Word CodePage, TUCS4Array& Buffer, Integer& Start, Integer Count) {
  if (Start < 0 || Count <= 0) return 0;
  Count = std::min<Integer>(Count, static_cast<Integer>(Buffer.size()) - Start);
  if (Count <= 0) return 0;
  Integer Done = 0;
  std::string Bytes(static_cast<size_t>(Count), '\0');
  String Text;
  while (Done < Count) {
    const Integer Want = Count - Done;
    Integer Got = S.Read(Bytes.data(), Want);
    if (Got <= 0) break;
    std::string_view Chunk(Bytes.data(), static_cast<size_t>(Got));
    String Units;
    size_t Used = Chunk.size();
    if (!DecodeBytes(CodePage, Chunk, Units)) {
      Units.clear();
      size_t I = 0;
      while (I < Chunk.size()) {
        size_t Len = 1;
        for (; Len <= 4 && I + Len <= Chunk.size(); ++Len) {
          if (DecodeBytes(CodePage, Chunk.substr(I, Len), Text)) break;
        }
        if (Len <= 4 && I + Len <= Chunk.size()) {
          Units += Text;
          I += Len;
        } else if (Got == Want && Chunk.size() - I < 4 && I > 0) {
          break;  // possibly a character cut by the chunk: read it again
        } else {
          Units += Char(UCS4ReplacementCharacter);
          I += 1;
        }
      }
      Used = I;
    }
    if (Used < Chunk.size()) S.Seek(-static_cast<Int64>(Chunk.size() - Used), soCurrent);
    Integer Index = 1;
    Integer Room = Count - Done;
    Integer At = Start + Done;
    const Integer Stored = TextNextCodePoints(Units, Index, Buffer, Room, At);
    Done += Stored;
    if (Index <= static_cast<Integer>(Units.size())) break;  // more characters than room: rare, drop the rest
    if (Got < Want) break;
  }
  Start += Done;
  return Done;
}

bool CodePageSingle(TStream& S, Word CodePage, Cardinal& Ch, bool& Valid) {
  TByteReader R(S, 1);
  Valid = true;
  if (!R.Ensure(1)) return false;
  String Units;
  size_t Len = 1;
  for (; Len <= 4; ++Len) {
    if (!R.Ensure(Len)) break;
    std::string Bytes;
    for (size_t K = 0; K < Len; ++K) Bytes += char(R.At(K));
    if (DecodeBytes(CodePage, Bytes, Units)) break;
  }
  if (Len <= 4 && R.Available() >= Len && !Units.empty()) {
    R.Consume(Len);
    Integer Index = 1;
    Ch = TextNextCodePoint(Units, Index);
  } else {
    R.Consume(1);
    Ch = UCS4ReplacementCharacter;
    Valid = false;
  }
  R.Finish();
  return true;
}

}  // namespace

// --- UTF-8 -----------------------------------------------------------------

bool Utf8ReadCodePoint(TStream& Stream, Cardinal& Ch) {
  TByteReader R(Stream, 1);
  bool Ok = DecodeUtf8(R, Ch);
  R.Finish();
  return Ok;
}

Integer Utf8ReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return ReadChunk(Stream, Buffer, Start, Count, DecodeUtf8);
}

bool Utf8WriteCodePoint(TStream& Stream, Cardinal Ch) {
  std::string Bytes;
  EncodeUtf8(Ch, Bytes);
  return WriteBytes(Stream, Bytes);
}

Integer Utf8WriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return WriteChunk(Stream, Buffer, Start, Count, [](Cardinal Ch, std::string& Out) { EncodeUtf8(Ch, Out); });
}

// --- UTF-16 LE ---------------------------------------------------------------

bool Utf16ReadCodePoint(TStream& Stream, Cardinal& Ch) {
  TByteReader R(Stream, 2);
  bool Ok = DecodeUtf16(R, Ch);
  R.Finish();
  return Ok;
}

Integer Utf16ReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return ReadChunk(Stream, Buffer, Start, Count, DecodeUtf16);
}

bool Utf16WriteCodePoint(TStream& Stream, Cardinal Ch) {
  std::string Bytes;
  EncodeUtf16(Ch, Bytes);
  return WriteBytes(Stream, Bytes);
}

Integer Utf16WriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return WriteChunk(Stream, Buffer, Start, Count, [](Cardinal Ch, std::string& Out) { EncodeUtf16(Ch, Out); });
}

// --- ANSI and code pages -------------------------------------------------------

bool AnsiReadCodePoint(TStream& Stream, Cardinal& Ch) {
  Byte B;
  if (Stream.Read(&B, 1) != 1) return false;
  Ch = AnsiCharToCodePoint(char(B));
  return true;
}

Integer AnsiReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return CodePageChunk(Stream, CP_KEL_ACP, Buffer, Start, Count);
}

bool AnsiWriteCodePoint(TStream& Stream, Cardinal Ch) { return WriteBytes(Stream, EncodeCodePoint(CP_KEL_ACP, Ch)); }

Integer AnsiWriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count) {
  return WriteChunk(Stream, Buffer, Start, Count,
                    [](Cardinal Ch, std::string& Out) { Out += EncodeCodePoint(CP_KEL_ACP, Ch); });
}

bool CodePageReadCodePoint(TStream& Stream, Word CodePage, Cardinal& Ch) {
  bool Valid;
  return CodePageSingle(Stream, CodePage, Ch, Valid) && Valid;
}

Integer CodePageReadCodePoints(TStream& Stream, Word CodePage, TUCS4Array& Buffer, Integer& Start, Integer Count) {
  switch (ResolveCodePage(CodePage)) {
    case CP_KEL_UTF8:
      return Utf8ReadCodePoints(Stream, Buffer, Start, Count);
    case CP_KEL_UTF16LE:
      return Utf16ReadCodePoints(Stream, Buffer, Start, Count);
    default:
      return CodePageChunk(Stream, CodePage, Buffer, Start, Count);
  }
}

bool CodePageWriteCodePoint(TStream& Stream, Word CodePage, Cardinal Ch) {
  return WriteBytes(Stream, EncodeCodePoint(CodePage, Ch));
}

Integer CodePageWriteCodePoints(TStream& Stream, Word CodePage, const TUCS4Array& Buffer, Integer& Start,
                                Integer Count) {
  return WriteChunk(Stream, Buffer, Start, Count,
                    [CodePage](Cardinal Ch, std::string& Out) { Out += EncodeCodePoint(CodePage, Ch); });
}

// --- Text functions -------------------------------------------------------------

Cardinal TextNextCodePoint(const String& Text, Integer& Index) {
  const Integer Len = static_cast<Integer>(Text.size());
  if (Index < 1 || Index > Len) return UCS4ReplacementCharacter;
  const Cardinal U = Text[static_cast<size_t>(Index - 1)];
  if (IsHighSurrogate(U)) {
    if (Index < Len && IsLowSurrogate(Text[static_cast<size_t>(Index)])) {
      const Cardinal Low = Text[static_cast<size_t>(Index)];
      Index += 2;
      return CombineSurrogates(U, Low);
    }
    Index += 1;
    return UCS4ReplacementCharacter;
  }
  Index += 1;
  return IsLowSurrogate(U) ? UCS4ReplacementCharacter : U;
}

Integer TextNextCodePoints(const String& Text, Integer& Index, TUCS4Array& Buffer, Integer Count, Integer& Start) {
  Integer Done = 0;
  const Integer Len = static_cast<Integer>(Text.size());
  while (Done < Count && Index >= 1 && Index <= Len && Start >= 0 && Start < static_cast<Integer>(Buffer.size())) {
    Buffer[static_cast<size_t>(Start)] = TextNextCodePoint(Text, Index);
    ++Start;
    ++Done;
  }
  return Done;
}

bool TextSetCodePoint(String& Text, Integer& Index, Cardinal Ch) {
  const Integer Len = static_cast<Integer>(Text.size());
  if (Ch > MaximumUTF16) Ch = UCS4ReplacementCharacter;
  if (Ch <= MaximumUCS2) {
    if (Index < 1 || Index > Len) return false;
    Text[static_cast<size_t>(Index - 1)] = Char(Ch);
    Index += 1;
    return true;
  }
  if (Index < 1 || Index >= Len) return false;
  Text[static_cast<size_t>(Index - 1)] = Char(0xD800 | ((Ch - SurrogateBase) >> SurrogateShift));
  Text[static_cast<size_t>(Index)] = Char(0xDC00 | (Ch & SurrogateMask));
  Index += 2;
  return true;
}

Cardinal AnsiTextNextCodePoint(const AnsiString& Text, Integer& Index) {
  if (Index < 1 || Index > static_cast<Integer>(Text.size())) return UCS4ReplacementCharacter;
  const Cardinal Ch = AnsiCharToCodePoint(Text[static_cast<size_t>(Index - 1)]);
  Index += 1;
  return Ch;
}

bool AnsiTextSetCodePoint(AnsiString& Text, Integer& Index, Cardinal Ch) {
  const Integer Len = static_cast<Integer>(Text.size());
  if (Index < 1 || Index > Len) return false;
  const std::string Bytes = EncodeCodePoint(CP_KEL_ACP, Ch);
  const Integer N = static_cast<Integer>(Bytes.size());
  if (Index + N - 1 > Len) return false;
  std::copy(Bytes.begin(), Bytes.end(), Text.begin() + (Index - 1));
  Index += N;
  return true;
}

String CodePointsToText(const TUCS4Array& Buffer) {
  String Text;
  Text.reserve(Buffer.size());
  for (Cardinal Ch : Buffer) Text += CodePointUnits(Ch);
  return Text;
}

// --- Character functions ----------------------------------------------------------

Char CodePointToChar(Cardinal Ch) { return Ch > MaximumUCS2 ? Char(UCS4ReplacementCharacter) : Char(Ch); }

Cardinal CharToCodePoint(Char Ch) { return Ch; }

char CodePointToAnsiChar(Cardinal Ch) { return EncodeCodePoint(CP_KEL_ACP, Ch)[0]; }

Cardinal AnsiCharToCodePoint(char Ch) {
  String Units;
  if (!DecodeBytes(CP_KEL_ACP, std::string_view(&Ch, 1), Units) || Units.empty()) return UCS4ReplacementCharacter;
  Integer Index = 1;
  return TextNextCodePoint(Units, Index);
}

// --- Whole texts ---------------------------------------------------------------------

String CodePageToUnicode(std::string_view Bytes, Word CodePage) {
  switch (ResolveCodePage(CodePage)) {
    case CP_KEL_UTF8:
    case CP_KEL_UTF16LE:
      break;
    default: {
      String Units;
      if (DecodeBytes(CodePage, Bytes, Units)) return Units;
      break;
    }
  }
  // A memory view over the bytes, decoded through the stream functions so the
  // replacement rules are those of the text streams.
  class TViewStream : public TStream {
  public:
    explicit TViewStream(std::string_view V) : FView(V) {}
    Integer Read(void* Buffer, Integer Count) override {
      const size_t N = std::min<size_t>(static_cast<size_t>(Count), FView.size() - FPos);
      std::copy_n(FView.data() + FPos, N, static_cast<char*>(Buffer));
      FPos += N;
      return static_cast<Integer>(N);
    }
    Integer Write(const void*, Integer) override { return 0; }
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override {
      Int64 Base = Origin == soBeginning ? 0 : Origin == soCurrent ? Int64(FPos) : Int64(FView.size());
      FPos = static_cast<size_t>(std::clamp<Int64>(Base + Offset, 0, Int64(FView.size())));
      return Int64(FPos);
    }

  private:
    std::string_view FView;
    size_t FPos = 0;
  } S(Bytes);
  TUCS4Array Buffer(4096);
  String Text;
  for (;;) {
    Integer Start = 0;
    const Integer N = CodePageReadCodePoints(S, CodePage, Buffer, Start, 4096);
    if (N <= 0) break;
    Text += CodePointsToText(TUCS4Array(Buffer.begin(), Buffer.begin() + N));
  }
  return Text;
}

AnsiString UnicodeToCodePage(std::u16string_view Text, Word CodePage) {
  AnsiString Out;
  const String Copy(Text);
  Integer Index = 1;
  while (Index <= static_cast<Integer>(Copy.size())) Out += EncodeCodePoint(CodePage, TextNextCodePoint(Copy, Index));
  return Out;
}
