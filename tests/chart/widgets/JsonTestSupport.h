#pragma once
// Shared by the reader and writer tests and the reader's fuzz target: a
// stream over bytes, a flat dump of every token a reader gives (the same
// form the Python referee script writes), and a copy of a document from a
// reader to a writer that records the values it wrote.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "chart/widgets/VivIzudeJSONReader.h"
#include "chart/widgets/VivIzudeJSONWriter.h"
#include "rtl/Streams.h"

inline TBytesStream* NewStream(const std::string& Bytes) {
  return new TBytesStream(TBytes(Bytes.begin(), Bytes.end()));
}

inline std::string StreamText(TBytesStream& S) {
  const TBytes& B = S.Bytes();
  return std::string(B.begin(), B.begin() + static_cast<std::ptrdiff_t>(S.Size()));
}

// Tells an integer held exactly from any other number.
class TPeekingReader : public TVivIzudeJSONReader {
public:
  using TVivIzudeJSONReader::TVivIzudeJSONReader;
  bool PeekedInt64() {
    Peek();
    return FPeeked == jstInt64;
  }
};

inline std::string HexUnits(const String& S) {
  static const char Hex[] = "0123456789abcdef";
  std::string Out;
  for (char16_t C : S) {
    const char E[4] = {Hex[(C >> 12) & 15], Hex[(C >> 8) & 15], Hex[(C >> 4) & 15], Hex[C & 15]};
    Out.append(E, 4);
  }
  return Out;
}

inline std::string DoubleToken(double V) {
  std::uint64_t Bits;
  std::memcpy(&Bits, &V, sizeof Bits);
  char Buf[17];
  static const char Hex[] = "0123456789abcdef";
  for (int I = 15; I >= 0; --I, Bits >>= 4) Buf[I] = Hex[Bits & 15];
  return "d" + std::string(Buf, 16);
}

// One token of a number: "i<decimal>" for a whole Int64, else "d<bits>".
inline std::string NumberToken(TPeekingReader& R) {
  if (R.PeekedInt64()) return "i" + std::to_string(R.ReadInt64());
  return DoubleToken(R.ReadDouble());
}

// Every token up to the end, space-separated: { } [ ] k<name> s<text> t f n
// i<int> d<double bits>; names and texts as UTF-16 units in hex.
inline std::string DumpTokens(TPeekingReader& R) {
  std::string Out;
  for (;;) {
    std::string T;
    switch (R.Peek()) {
      case jstoBeginObject:
        R.ReadBeginObject();
        T = "{";
        break;
      case jstoEndObject:
        R.ReadEndObject();
        T = "}";
        break;
      case jstoBeginArray:
        R.ReadBeginArray();
        T = "[";
        break;
      case jstoEndArray:
        R.ReadEndArray();
        T = "]";
        break;
      case jstoName:
        T = "k" + HexUnits(R.ReadName());
        break;
      case jstoBoolean:
        T = R.ReadBoolean() ? "t" : "f";
        break;
      case jstoNull:
        R.ReadNull();
        T = "n";
        break;
      case jstoText:
        T = "s" + HexUnits(R.ReadString());
        break;
      case jstoNumber:
        T = NumberToken(R);
        break;
      case jstoEOF:
        return Out;
    }
    if (!Out.empty()) Out += ' ';
    Out += T;
  }
}

inline std::string DumpDocument(const std::string& Bytes) {
  TBytesStream* S = NewStream(Bytes);
  std::string Out;
  try {
    TPeekingReader R(S);
    Out = DumpTokens(R);
  } catch (...) {
    delete S;
    throw;
  }
  delete S;
  return Out;
}

// The token a number written as Text reads back as.
inline std::string WrittenNumberToken(const std::string& Text) {
  if (Text.find_first_of(".E") == std::string::npos) {
    std::int64_t I;
    auto [P, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), I);
    if (Ec == std::errc() && P == Text.data() + Text.size()) return "i" + std::to_string(I);
  }
  double D = 0;
  std::from_chars(Text.data(), Text.data() + Text.size(), D);
  return DoubleToken(D);
}

// Reads the whole document from R into W; answers the tokens of the values
// as written (a double as its 15-digit text reads back).
inline std::string CopyDocument(TPeekingReader& R, TVivIzudeJSONWriter& W) {
  std::string Out;
  for (;;) {
    std::string T;
    switch (R.Peek()) {
      case jstoBeginObject:
        R.ReadBeginObject();
        W.WriteBeginObject();
        T = "{";
        break;
      case jstoEndObject:
        R.ReadEndObject();
        W.WriteEndObject();
        T = "}";
        break;
      case jstoBeginArray:
        R.ReadBeginArray();
        W.WriteBeginArray();
        T = "[";
        break;
      case jstoEndArray:
        R.ReadEndArray();
        W.WriteEndArray();
        T = "]";
        break;
      case jstoName: {
        String N = R.ReadName();
        W.WriteName(N);
        T = "k" + HexUnits(N);
        break;
      }
      case jstoBoolean: {
        bool B = R.ReadBoolean();
        W.WriteBoolean(B);
        T = B ? "t" : "f";
        break;
      }
      case jstoNull:
        R.ReadNull();
        W.WriteNull();
        T = "n";
        break;
      case jstoText: {
        String S = R.ReadString();
        W.WriteString(S);
        T = "s" + HexUnits(S);
        break;
      }
      case jstoNumber:
        if (R.PeekedInt64()) {
          Int64 I = R.ReadInt64();
          W.WriteInteger(I);
          T = "i" + std::to_string(I);
        } else {
          double D = R.ReadDouble();
          W.WriteDouble(D);
          T = WrittenNumberToken(TVivIzudeJSONWriter::FormatDouble(D));
        }
        break;
      case jstoEOF:
        return Out;
    }
    if (!Out.empty()) Out += ' ';
    Out += T;
  }
}
