#include "chart/widgets/VivIzudeJSONReader.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace VivIzudeJSONScope;

namespace {

String Ascii(const char* Text) { return String(Text, Text + std::char_traits<char>::length(Text)); }

bool IsWhitespace(char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; }

bool IsStop(char C) {
  switch (C) {
    case '/':
    case '\\':
    case ';':
    case '#':
    case '{':
    case '}':
    case '[':
    case ']':
    case ':':
    case ',':
    case '\'':
    case ' ':
    case '\r':
    case '\n':
    case '\f':
    case '\t':
      return true;
    default:
      return false;
  }
}

// Numbers are converted as plain ASCII, never through the locale.
bool Narrow(const String& Text, std::string& Out) {
  Out.clear();
  for (char16_t C : Text) {
    if (C == 0 || C > 0x7F) return false;
    Out += static_cast<char>(C);
  }
  return !Out.empty();
}

// The decimal exponent of the first significant digit of a number's text,
// to tell an underflow (a zero) from an overflow.
long long LeadingExponent(const std::string& S) {
  std::size_t I = 0;
  if (I < S.size() && (S[I] == '-' || S[I] == '+')) ++I;
  long long IntDigits = 0, Lead = 0;
  bool Seen = false, Point = false;
  for (; I < S.size() && S[I] != 'e' && S[I] != 'E'; ++I) {
    if (S[I] == '.') {
      Point = true;
      continue;
    }
    if (!Point) {
      if (Seen || S[I] != '0') {
        Seen = true;
        ++IntDigits;
      }
    } else if (!Seen) {
      if (S[I] == '0')
        --Lead;
      else
        Seen = true;
    }
  }
  long long Exp = 0;
  if (I < S.size()) {
    std::size_t J = I + 1;
    bool Neg = J < S.size() && S[J] == '-';
    if (J < S.size() && (S[J] == '-' || S[J] == '+')) ++J;
    for (; J < S.size() && Exp < 1000000000LL; ++J) Exp = Exp * 10 + (S[J] - '0');
    if (Neg) Exp = -Exp;
  }
  return (IntDigits > 0 ? IntDigits - 1 : Lead - 1) + Exp;
}

bool TryDouble(const String& Text, double& Value) {
  std::string S;
  if (!Narrow(Text, S)) return false;
  const char* End = S.data() + S.size();
  auto [P, Ec] = std::from_chars(S.data(), End, Value, std::chars_format::general);
  if (P != End) return false;
  if (Ec == std::errc::result_out_of_range) {
    if (LeadingExponent(S) >= 0) return false;  // beyond the largest double
    Value = S[0] == '-' ? -0.0 : 0.0;
    return true;
  }
  return Ec == std::errc();
}

template <class T>
bool TryInteger(const String& Text, T& Value) {
  std::string S;
  if (!Narrow(Text, S)) return false;
  const char* End = S.data() + S.size();
  auto [P, Ec] = std::from_chars(S.data(), End, Value, 10);
  return Ec == std::errc() && P == End;
}

[[noreturn]] void NotAFloat(const String& Text) {
  throw EConvertError(u"'" + Text + u"' is not a valid floating point value");
}

void AppendUtf16(String& Out, char32_t Code) {
  if (Code < 0x10000) {
    Out += static_cast<char16_t>(Code);
  } else {
    Code -= 0x10000;
    Out += static_cast<char16_t>(0xD800 + (Code >> 10));
    Out += static_cast<char16_t>(0xDC00 + (Code & 0x3FF));
  }
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------

TVivIzudeJSONStreamReader::TVivIzudeJSONStreamReader(TStream* AStream) : FStream(AStream) {
  Int64 Left = FStream->Size() - FStream->Position();
  if (Left > MaxInputSize) throw EInputTooLarge(u"JSON input too large.");
  if (Left > 0) {
    FData.resize(static_cast<std::size_t>(Left));
    FStream->ReadBuffer(FData.data(), Left);
  }
}

char TVivIzudeJSONStreamReader::ReadChar() {
  if (FPos >= FData.size()) return '\0';
  return FData[FPos++];
}

char TVivIzudeJSONStreamReader::NextChar() {
  if (FPos >= FData.size()) throw EEndOfInputReached(u"End of JSON input reached.");
  return FData[FPos++];
}

// ---------------------------------------------------------------------------

TVivIzudeJSONReader::EInvalidStateException::EInvalidStateException(TVivIzudeJSONState Expected)
    : Exception(u"Invalid Json parser state. Expected state: " + Ascii(std::to_string(Expected).c_str())) {}

TVivIzudeJSONReader::TVivIzudeJSONReader(TStream* AStream) : FReader(new TVivIzudeJSONStreamReader(AStream)) {
  FStack[0] = DocumentEmpty;
  FPeekedNumber[0] = 0;
}

TVivIzudeJSONReader::~TVivIzudeJSONReader() { delete FReader; }

void TVivIzudeJSONReader::Push(Byte Scope) {
  if (FStackSize >= MaxDepth) throw ETooManyDepthLevels(u"Maximum level of nested structured reached.");
  FStack[FStackSize++] = Scope;
}

char TVivIzudeJSONReader::NextNonWhitespace() {
  while (!FReader->Eof() && IsWhitespace(FReader->PeekChar())) FReader->MoveNext(1);
  return FReader->PeekChar();
}

bool TVivIzudeJSONReader::RestIsWhitespace() const {
  const std::string& D = FReader->Data();
  for (std::size_t I = FReader->Position(); I < D.size(); ++I)
    if (!IsWhitespace(D[I])) return false;
  return true;
}

using TState = TVivIzudeJSONReader::TVivIzudeJSONState;

TState TVivIzudeJSONReader::DoPeek() {
  Byte& Scope = Top();
  TState Result = jstNone;
  switch (Scope) {
    case DocumentEmpty:
      Scope = DocumentDone;
      Result = ValueDispatch(DocumentEmpty);
      break;
    case ArrayEmpty:
      Scope = ArrayFilled;
      Result = ValueDispatch(ArrayEmpty);
      break;
    case ArrayFilled: {
      char C = NextNonWhitespace();
      if (C == ',') {
        FReader->MoveNext(1);
        Result = ValueDispatch(ArrayFilled);
      } else if (C == ']') {
        FReader->MoveNext(1);
        Result = jstEndArray;
      } else {
        throw EUnterminatedArray(u"Unterminated array");
      }
      break;
    }
    case ObjectEmpty:
    case ObjectFilled: {
      const Byte Was = Scope;
      Scope = NamePending;
      if (Was == ObjectFilled) {
        char C = NextNonWhitespace();
        if (C == ',') {
          FReader->MoveNext(1);
        } else if (C == '}') {
          FReader->MoveNext(1);
          Result = jstEndObject;
          break;
        } else {
          throw EUnterminatedObject(u"Unterminated object");
        }
      }
      char C = NextNonWhitespace();
      if (C == '"') {
        FReader->MoveNext(1);
        Result = jstDoubleQuotedName;
      } else if (C == '}' && Was == ObjectEmpty) {
        FReader->MoveNext(1);
        Result = jstEndObject;
      } else {
        throw ENameExpected(u"Name expected");
      }
      break;
    }
    case NamePending:
      Scope = ObjectFilled;
      if (NextNonWhitespace() != ':') throw EColonExpected(u"Colon expected");
      FReader->MoveNext(1);
      Result = ValueDispatch(NamePending);
      break;
    case DocumentDone:
      if (!RestIsWhitespace()) throw EMultipleRootNotAllowed(u"Multiple root values not allowed");
      Result = jstEOF;
      break;
    default:
      break;
  }
  FPeeked = Result;
  return Result;
}

TState TVivIzudeJSONReader::ValueDispatch(Byte ScopeBefore) {
  char C = NextNonWhitespace();
  switch (C) {
    case '{':
      FReader->MoveNext(1);
      return jstBeginObject;
    case '[':
      FReader->MoveNext(1);
      return jstBeginArray;
    case ']':
      if (ScopeBefore != ArrayEmpty) throw EExpectedValue(u"Value expected but invalid character found");
      FReader->MoveNext(1);
      return jstEndArray;
    default:
      break;
  }
  if (FStackSize == 1) throw EObjectOrArrayExpected(u"Object or array expected as top-level value");
  if (C == '"') {
    FReader->MoveNext(1);
    return jstDoubleQuoted;
  }
  TState Result = PeekKeyword();
  if (Result == jstNone) Result = PeekNumber();
  if (Result == jstNone) throw EExpectedValue(u"Value expected but invalid character found");
  return Result;
}

TState TVivIzudeJSONReader::PeekKeyword() {
  const char* Word;
  TState Result;
  switch (FReader->PeekChar()) {
    case 't':
    case 'T':
      Word = "true";
      Result = jstTrue;
      break;
    case 'f':
    case 'F':
      Word = "false";
      Result = jstFalse;
      break;
    case 'n':
    case 'N':
      Word = "null";
      Result = jstNull;
      break;
    default:
      return jstNone;
  }
  FReader->MoveNext(1);
  for (const char* P = Word + 1; *P; ++P) {
    char C = FReader->NextChar();
    if ((C | 0x20) != *P) throw EExpectedValue(u"Value expected but invalid character found");
  }
  if (!FReader->Eof() && !IsStop(FReader->PeekChar()))
    throw EExpectedValue(u"Value expected but invalid character found");
  return Result;
}

TState TVivIzudeJSONReader::PeekNumber() {
  char First = FReader->PeekChar();
  if (First != '-' && (First < '0' || First > '9')) return jstNone;
  enum { nNone, nSign, nInt, nPoint, nFrac, nExpMark, nExpSign, nExpDigit } St = nNone;
  constexpr Int64 MinDiv10 = std::numeric_limits<Int64>::min() / 10;
  bool Negative = false, Fits = true;
  Int64 Value = 0;
  Integer Len = 0;
  auto Bad = [] { throw EExpectedValue(u"Value expected but invalid character found"); };
  for (;;) {
    if (Len >= 255) Bad();
    char C = FReader->NextChar();
    FPeekedNumber[Len++] = static_cast<char16_t>(static_cast<unsigned char>(C));
    if (C == '-') {
      if (St == nNone) {
        St = nSign;
        Negative = true;
      } else if (St == nExpMark)
        St = nExpSign;
      else
        Bad();
    } else if (C == '+') {
      if (St == nExpMark)
        St = nExpSign;
      else
        Bad();
    } else if (C == '.') {
      if (St == nInt)
        St = nPoint;
      else
        Bad();
    } else if (C == 'e' || C == 'E') {
      if (St == nInt || St == nFrac)
        St = nExpMark;
      else
        Bad();
    } else if (C >= '0' && C <= '9') {
      const int Digit = C - '0';
      switch (St) {
        case nNone:
        case nSign:
          St = nInt;
          Value = -Digit;
          break;
        case nInt:
          if (Value == 0) Bad();  // a leading zero
          // Decided before the step, which must not overflow: at the
          // boundary only digits up to 8 still fit.
          Fits = Fits && (Value > MinDiv10 || (Value == MinDiv10 && Digit <= 8));
          if (Fits) Value = Value * 10 - Digit;
          break;
        case nPoint:
          St = nFrac;
          break;
        case nExpMark:
        case nExpSign:
          St = nExpDigit;
          break;
        default:
          break;  // fraction or exponent digits continue
      }
    } else if (IsStop(C)) {
      --Len;
      FReader->Backup();
      break;
    } else {
      Bad();
    }
  }
  if (St == nInt && Fits && (Value != std::numeric_limits<Int64>::min() || Negative)) {
    FPeekedInt64 = Negative ? Value : -Value;
    return jstInt64;
  }
  if (St == nInt || St == nFrac || St == nExpDigit) {
    FPeekedNumber[Len] = 0;
    return jstNumber;
  }
  Bad();
  return jstNone;
}

String TVivIzudeJSONReader::ReadQuotedText() {
  // Escapes are undone as the text is scanned, so that an escaped quote
  // does not end it; bytes of 0x80 and up are UTF-8.
  String Out;
  auto Invalid = [&Out] {
    throw EInvalidText(u"Invalid code at position " + Ascii(std::to_string(Out.size() + 1).c_str()));
  };
  for (;;) {
    const unsigned char C = static_cast<unsigned char>(FReader->NextChar());
    if (C == '"') break;
    if (C == '\\') {
      const char E = FReader->NextChar();
      switch (E) {
        case '"':
          Out += u'"';
          break;
        case '\\':
          Out += u'\\';
          break;
        case '/':
          Out += u'/';
          break;
        case 'b':
          Out += u'\b';
          break;
        case 'f':
          Out += u'\f';
          break;
        case 'n':
          Out += u'\n';
          break;
        case 'r':
          Out += u'\r';
          break;
        case 't':
          Out += u'\t';
          break;
        case 'u': {
          unsigned Code = 0;
          for (int I = 0; I < 4; ++I) {
            const int H = HexValue(FReader->NextChar());
            if (H < 0) Invalid();
            Code = Code * 16 + static_cast<unsigned>(H);
          }
          Out += static_cast<char16_t>(Code);
          break;
        }
        default:
          Invalid();
      }
    } else if (C < 0x20) {
      Invalid();  // a control character must be escaped
    } else if (C < 0x80) {
      Out += static_cast<char16_t>(C);
    } else {
      int More;
      char32_t Code, Min;
      if (C >= 0xC2 && C <= 0xDF) {
        More = 1;
        Code = C & 0x1F;
        Min = 0x80;
      } else if (C >= 0xE0 && C <= 0xEF) {
        More = 2;
        Code = C & 0x0F;
        Min = 0x800;
      } else if (C >= 0xF0 && C <= 0xF4) {
        More = 3;
        Code = C & 0x07;
        Min = 0x10000;
      } else {
        Invalid();
        return Out;
      }
      for (int I = 0; I < More; ++I) {
        const unsigned char K = static_cast<unsigned char>(FReader->NextChar());
        if ((K & 0xC0) != 0x80) Invalid();
        Code = (Code << 6) | (K & 0x3F);
      }
      if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) Invalid();
      AppendUtf16(Out, Code);
    }
  }
  return Out;
}

TVivIzudeJSONToken TVivIzudeJSONReader::Peek() {
  EnsurePeeked();
  switch (FPeeked) {
    case jstBeginObject:
      return jstoBeginObject;
    case jstEndObject:
      return jstoEndObject;
    case jstBeginArray:
      return jstoBeginArray;
    case jstEndArray:
      return jstoEndArray;
    case jstTrue:
    case jstFalse:
      return jstoBoolean;
    case jstNull:
      return jstoNull;
    case jstDoubleQuoted:
    case jstBuffered:
      return jstoText;
    case jstDoubleQuotedName:
      return jstoName;
    case jstInt64:
    case jstNumber:
      return jstoNumber;
    default:
      return jstoEOF;
  }
}

bool TVivIzudeJSONReader::HasNext() {
  EnsurePeeked();
  return FPeeked != jstEndObject && FPeeked != jstEndArray;
}

void TVivIzudeJSONReader::ReadBeginObject() {
  EnsurePeeked();
  if (FPeeked != jstBeginObject) throw EInvalidStateException(jstBeginObject);
  Push(ObjectEmpty);
  FPeeked = jstNone;
}

void TVivIzudeJSONReader::ReadEndObject() {
  EnsurePeeked();
  if (FPeeked != jstEndObject) throw EInvalidStateException(jstEndObject);
  --FStackSize;
  FPeeked = jstNone;
}

void TVivIzudeJSONReader::ReadBeginArray() {
  EnsurePeeked();
  if (FPeeked != jstBeginArray) throw EInvalidStateException(jstBeginArray);
  Push(ArrayEmpty);
  FPeeked = jstNone;
}

void TVivIzudeJSONReader::ReadEndArray() {
  EnsurePeeked();
  if (FPeeked != jstEndArray) throw EInvalidStateException(jstEndArray);
  --FStackSize;
  FPeeked = jstNone;
}

String TVivIzudeJSONReader::ReadName() {
  EnsurePeeked();
  if (FPeeked != jstDoubleQuotedName) throw EInvalidStateException(jstDoubleQuotedName);
  String Name = ReadQuotedText();
  FPeeked = jstNone;
  return Name;
}

void TVivIzudeJSONReader::ReadNull() {
  EnsurePeeked();
  if (FPeeked != jstNull) throw EInvalidStateException(jstNull);
  FPeeked = jstNone;
}

bool TVivIzudeJSONReader::ReadBoolean() {
  EnsurePeeked();
  if (FPeeked != jstTrue && FPeeked != jstFalse) throw EInvalidStateException(jstTrue);
  const bool Result = FPeeked == jstTrue;
  FPeeked = jstNone;
  return Result;
}

String TVivIzudeJSONReader::ReadString() {
  EnsurePeeked();
  String Result;
  switch (FPeeked) {
    case jstDoubleQuoted:
      Result = ReadQuotedText();
      break;
    case jstBuffered:
      Result = std::move(FPeekedString);
      FPeekedString.clear();
      break;
    case jstInt64:
      Result = Ascii(std::to_string(FPeekedInt64).c_str());
      break;
    case jstNumber:
      Result = PeekedNumberText();
      break;
    default:
      throw EInvalidStateException(jstDoubleQuoted);
  }
  FPeeked = jstNone;
  return Result;
}

const String& TVivIzudeJSONReader::BufferText() {
  if (FPeeked == jstDoubleQuoted)
    FPeekedString = ReadQuotedText();
  else if (FPeeked == jstNumber)
    FPeekedString = PeekedNumberText();
  FPeeked = jstBuffered;
  return FPeekedString;
}

double TVivIzudeJSONReader::ReadDouble() {
  EnsurePeeked();
  double Value = 0;
  switch (FPeeked) {
    case jstInt64:
      FPeeked = jstNone;
      return static_cast<double>(FPeekedInt64);
    case jstNumber:
      if (TryDouble(PeekedNumberText(), Value)) {
        FPeeked = jstNone;
        return Value;
      }
      [[fallthrough]];
    case jstDoubleQuoted:
    case jstBuffered: {
      const String& Text = BufferText();
      if (!TryDouble(Text, Value)) NotAFloat(Text);
      FPeekedString.clear();
      FPeeked = jstNone;
      return Value;
    }
    default:
      throw EInvalidStateException(jstNumber);
  }
}

Int64 TVivIzudeJSONReader::ReadInt64() {
  EnsurePeeked();
  if (FPeeked == jstInt64) {
    FPeeked = jstNone;
    return FPeekedInt64;
  }
  if (FPeeked != jstNumber && FPeeked != jstDoubleQuoted && FPeeked != jstBuffered)
    throw EInvalidStateException(jstInt64);
  const String& Text = BufferText();
  Int64 Result;
  if (!TryInteger(Text, Result)) {
    double Value;
    if (!TryDouble(Text, Value)) NotAFloat(Text);
    const double Rounded = std::nearbyint(Value);
    // 2^63 is the first double beyond Int64.
    if (!(Rounded >= -9223372036854775808.0 && Rounded < 9223372036854775808.0) || Rounded != Value)
      throw EInvalidStateException(jstInt64);
    Result = static_cast<Int64>(Rounded);
  }
  FPeekedString.clear();
  FPeeked = jstNone;
  return Result;
}

Integer TVivIzudeJSONReader::ReadInteger() {
  EnsurePeeked();
  if (FPeeked == jstInt64) {
    if (FPeekedInt64 < std::numeric_limits<Integer>::min() || FPeekedInt64 > std::numeric_limits<Integer>::max())
      throw EInvalidStateException(jstInt64);
    FPeeked = jstNone;
    return static_cast<Integer>(FPeekedInt64);
  }
  if (FPeeked != jstNumber && FPeeked != jstDoubleQuoted && FPeeked != jstBuffered)
    throw EInvalidStateException(jstInt64);
  const String& Text = BufferText();
  Integer Result;
  if (!TryInteger(Text, Result)) {
    double Value;
    if (!TryDouble(Text, Value)) NotAFloat(Text);
    const double Rounded = std::nearbyint(Value);
    if (!(Rounded >= -2147483648.0 && Rounded <= 2147483647.0) || Rounded != Value)
      throw EInvalidStateException(jstInt64);
    Result = static_cast<Integer>(Rounded);
  }
  FPeekedString.clear();
  FPeeked = jstNone;
  return Result;
}

void TVivIzudeJSONReader::SkipValue() {
  Integer Depth = 0;
  do {
    EnsurePeeked();
    switch (FPeeked) {
      case jstBeginObject:
        Push(ObjectEmpty);
        ++Depth;
        break;
      case jstBeginArray:
        Push(ArrayEmpty);
        ++Depth;
        break;
      case jstEndObject:
      case jstEndArray:
        --FStackSize;
        --Depth;
        break;
      case jstDoubleQuoted:
      case jstDoubleQuotedName:
        SkipQuotedText();
        break;
      default:
        break;
    }
    FPeeked = jstNone;
  } while (Depth > 0);
}
