#include "chart/drawing/VivIzudeUtils.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

const std::vector<String>& EntityNames() {
  static const std::vector<String> Names = {
      u"amp;",     u"lt;",      u"gt;",      u"quot;",    u"&nbsp;",  u"&eacute;", u"&egrave;", u"&euml;",
      u"&ecirc;",  u"&oacute;", u"&ograve;", u"&ouml;",   u"&ocirc;", u"&iacute;", u"&igrave;", u"&iuml;",
      u"&icirc;",  u"&uacute;", u"&ugrave;", u"&uuml;",   u"&ucirc;", u"&aacute;", u"&agrave;", u"&auml;",
      u"&acirc;",  u"&Eacute;", u"&Egrave;", u"&Euml;",   u"&Ecirc;", u"&Oacute;", u"&Ograve;", u"&Ouml;",
      u"&Ocirc;",  u"&Iacute;", u"&Igrave;", u"&Iuml;",   u"&Icirc;", u"&Uacute;", u"&Ugrave;", u"&Uuml;",
      u"&Ucirc;",  u"&Aacute;", u"&Agrave;", u"&Auml;",   u"&Acirc;", u"&ccedil;", u"&Ccedil;", u"&oslash;",
      u"&Oslash;", u"&aring;",  u"&Aring;",  u"&copy;",   u"&reg;",   u"&euro;",   u"&laquo;",  u"&raquo;",
      u"&atilde;", u"&Atilde;", u"&otilde;", u"&Otilde;", u"&trade;", u"&sect;",   u"&para;",   u"&szlig;",
      u"&pound;",  u"&dollar;", u"&sect;",   u"&permil;", u"&para;",  u"&apos;",   u"&yen;",    u"&curren;",
      u"&cent;",   u"&plusmn;", u"&iexcl;",  u"&deg;"};
  return Names;
}

const std::vector<String>& EntityChars() {
  // The non-breaking space is written as an ordinary space.
  static const std::vector<String> Chars = {
      u"&",      u"<",      u">",      u"\"",     u" ",      u"\u00E9", u"\u00E8", u"\u00EB", u"\u00EA", u"\u00F3",
      u"\u00F2", u"\u00F6", u"\u00F4", u"\u00ED", u"\u00EC", u"\u00EF", u"\u00EE", u"\u00FA", u"\u00F9", u"\u00FC",
      u"\u00FB", u"\u00E1", u"\u00E0", u"\u00E4", u"\u00E2", u"\u00C9", u"\u00C8", u"\u00CB", u"\u00CA", u"\u00D3",
      u"\u00D2", u"\u00D6", u"\u00D4", u"\u00CD", u"\u00CC", u"\u00CF", u"\u00CE", u"\u00DA", u"\u00D9", u"\u00DC",
      u"\u00DB", u"\u00C1", u"\u00C0", u"\u00C4", u"\u00C2", u"\u00E7", u"\u00C7", u"\u00F8", u"\u00D8", u"\u00E5",
      u"\u00C5", u"\u00A9", u"\u00AE", u"\u20AC", u"\u00AB", u"\u00BB", u"\u00E3", u"\u00C3", u"\u00F5", u"\u00D5",
      u"\u2122", u"\u00A7", u"\u00B6", u"\u00DF", u"\u00A3", u"$",      u"\u00A7", u"\u2030", u"\u00B6", u"'",
      u"\u00A5", u"\u00A4", u"\u00A2", u"\u00B1", u"\u00A1", u"\u00B0"};
  return Chars;
}

bool Contains(const String& S, const String& Sub) { return S.find(Sub) != String::npos; }

// Replaces every occurrence, left to right, never rescanning a replacement.
void ReplaceAll(String& S, const String& From, const String& To) {
  for (std::size_t P = S.find(From); P != String::npos; P = S.find(From, P + To.size())) S.replace(P, From.size(), To);
}

// Replaces the first occurrence while any is left (a replacement that
// recreates the text is scanned again).
void ReplaceWhile(String& S, const String& From, const String& To) {
  for (std::size_t P = S.find(From); P != String::npos; P = S.find(From)) S.replace(P, From.size(), To);
}

int HexValue(Char C) {
  if (C >= u'0' && C <= u'9') return C - u'0';
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  return -1;
}

const char16_t HexDigits[] = u"0123456789ABCDEF";

String PositionText(std::size_t Position) {
  const std::string S = std::to_string(Position);
  return String(S.begin(), S.end());
}

}  // namespace

const std::vector<String>& TVivIzudeUtils::MarkupNames() { return EntityNames(); }
const std::vector<String>& TVivIzudeUtils::MarkupChars() { return EntityChars(); }

// ---------------------------------------------------------------- markup
Integer TVivIzudeUtils::IPos(const String& su, const String& s) { return Pos(UpperCase(su), UpperCase(s)); }

bool TVivIzudeUtils::TagReplaceString(const String& Srch, const String& Repl, String& Dest) {
  const Integer P = IPos(Srch, Dest);
  if (P <= 0) return false;
  Dest.replace(static_cast<std::size_t>(P - 1), Srch.size(), Repl);
  return true;
}

Integer TVivIzudeUtils::IndexOfTextInArray(const String& AText, const std::vector<String>& AValues) {
  const bool Exact = Contains(AText, u"cute") || Contains(AText, u"grave") || Contains(AText, u"uml") ||
                     Contains(AText, u"circ") || Contains(AText, u"tilde");
  const String Upper = UpperCase(AText);
  for (std::size_t i = 0; i < AValues.size(); ++i)
    if (Exact ? AValues[i] == AText : UpperCase(AValues[i]) == Upper) return static_cast<Integer>(i);
  return -1;
}

Integer TVivIzudeUtils::GetMarkupIndex(const String& Markup) { return IndexOfTextInArray(Markup, EntityNames()); }

String TVivIzudeUtils::GetSpecialChar(Integer Value) {
  if (Value < 1 || Value > static_cast<Integer>(EntityChars().size())) return {};
  return EntityChars()[static_cast<std::size_t>(Value - 1)];
}

String TVivIzudeUtils::FixMarkup(String su, bool SpecialChars) {
  ReplaceAll(su, u"&", u"*amp;");
  ReplaceAll(su, u"*amp;", u"&amp;");
  ReplaceAll(su, u"\"", u"&quot;");
  ReplaceAll(su, u"<", u"&lt;");
  ReplaceAll(su, u">", u"&gt;");
  if (SpecialChars)
    for (std::size_t Row = 3; Row < EntityChars().size(); ++Row)
      while (Contains(su, EntityChars()[Row]))
        if (!TagReplaceString(EntityChars()[Row], EntityNames()[Row], su)) break;
  return su;
}

String TVivIzudeUtils::UnFixMarkup(String su, bool SpecialChars) {
  ReplaceWhile(su, u"&lt;", u"<");
  ReplaceWhile(su, u"&gt;", u">");
  ReplaceAll(su, u"&amp;", u"&");
  ReplaceWhile(su, u"&quot;", u"\"");
  if (SpecialChars)
    for (std::size_t Row = 3; Row < EntityNames().size(); ++Row)
      while (Contains(su, EntityNames()[Row]))
        if (!TagReplaceString(EntityNames()[Row], EntityChars()[Row], su)) break;
  return su;
}

bool TVivIzudeUtils::IsHTML(const String& AValue) {
  return Contains(AValue, u"</") || Contains(AValue, u"/>") || Contains(UpperCase(AValue), u"<BR>");
}

String TVivIzudeUtils::HTMLStrip(String AHTML) {
  for (const char16_t* Tag : {u"<BR>", u"<HR>"})
    while (Contains(UpperCase(AHTML), Tag)) {
      const std::size_t P = UpperCase(AHTML).find(Tag);
      AHTML.replace(P, 4, u"\r\n");
    }
  String Result;
  while (true) {
    const std::size_t Lt = AHTML.find(u'<');
    if (Lt == String::npos) break;
    Result += AHTML.substr(0, Lt);
    const std::size_t Gt = AHTML.find(u'>');
    if (Gt == String::npos) {
      AHTML.clear();
      break;
    }
    AHTML.erase(0, Gt + 1);
  }
  return Result + AHTML;
}

// ---------------------------------------------------------------- escaping
String TVivIzudeUtils::EscapeString(const String& AValue) {
  String R;
  for (Char C : AValue) {
    switch (C) {
      case u'"':
        R += u"\\u0022";
        break;
      case u'\\':
        R += u"\\u005C";
        break;
      case u'\b':
        R += u"\\u0008";
        break;
      case u'\f':
        R += u"\\u000C";
        break;
      case u'\n':
        R += u"\\u000A";
        break;
      case u'\r':
        R += u"\\u000D";
        break;
      case u'\t':
        R += u"\\u0009";
        break;
      default:
        if (C < 128) {
          R += C;
        } else {
          R += u"\\u";
          for (int Shift = 12; Shift >= 0; Shift -= 4) R += HexDigits[(C >> Shift) & 15];
        }
    }
  }
  return R;
}

String TVivIzudeUtils::UnescapeString(const String& AValue) {
  String R;
  for (std::size_t i = 0; i < AValue.size(); ++i) {
    if (AValue[i] != u'\\') {
      R += AValue[i];
      continue;
    }
    if (i + 1 >= AValue.size()) throw Exception(u"Unexpected end of string");
    const Char Next = AValue[i + 1];
    if (Next == u'\\') {
      R += u'\\';
      ++i;
      continue;
    }
    int Code = -1;
    if (Next == u'u' && i + 6 <= AValue.size()) {
      Code = 0;
      for (std::size_t k = i + 2; k < i + 6 && Code >= 0; ++k) {
        const int D = HexValue(AValue[k]);
        Code = D < 0 ? -1 : Code * 16 + D;
      }
    }
    if (Code < 0) throw Exception(u"Invalid code at position " + PositionText(i + 1));
    R += static_cast<Char>(Code);
    i += 5;
  }
  return R;
}

String TVivIzudeUtils::URLEncode(const String& AURL) {
  const std::string Bytes = UTF16ToUTF8(AURL);
  String R;
  for (unsigned char B : Bytes) {
    const bool Keep =
        B == '-' || B == '.' || B == '_' || (B >= '0' && B <= '9') || (B >= 'A' && B <= 'Z') || (B >= 'a' && B <= 'z');
    if (Keep) {
      R += static_cast<Char>(B);
    } else {
      R += u'%';
      R += HexDigits[B >> 4];
      R += HexDigits[B & 15];
    }
  }
  return R;
}

String TVivIzudeUtils::URLDecode(const String& AURL) {
  std::string Bytes;
  const auto Upper = [](Char C) { return (C >= u'0' && C <= u'9') || (C >= u'A' && C <= u'F'); };
  for (std::size_t i = 0; i < AURL.size(); ++i) {
    if (AURL[i] != u'%') {
      Bytes += static_cast<char>(AURL[i] & 0xFF);
      continue;
    }
    // Fewer than two characters follow: the "%" alone is dropped.
    if (i + 2 >= AURL.size()) continue;
    if (Upper(AURL[i + 1]) && Upper(AURL[i + 2]))
      Bytes += static_cast<char>(HexValue(AURL[i + 1]) * 16 + HexValue(AURL[i + 2]));
    i += 2;
  }
  return Trim(UTF8ToUTF16(Bytes));
}

// ---------------------------------------------------------------- hex coding
TBytes TVivIzudeUtils::HexStrToBytes(const String& AValue) {
  TBytes R(AValue.size() / 2);
  for (std::size_t i = 0; i < R.size(); ++i) {
    const int Hi = HexValue(AValue[i * 2]), Lo = HexValue(AValue[i * 2 + 1]);
    if (Hi < 0 || Lo < 0) throw EConvertError(u"'" + AValue.substr(i * 2, 2) + u"' is not a valid hexadecimal value");
    R[i] = static_cast<Byte>(Hi * 16 + Lo);
  }
  return R;
}

String TVivIzudeUtils::SaveStreamToHexStr(TStream& AStream) {
  AStream.SetPosition(0);
  String R;
  Byte Buffer[4096];
  for (Integer N; (N = AStream.Read(Buffer, sizeof(Buffer))) > 0;)
    for (Integer i = 0; i < N; ++i) {
      R += HexDigits[Buffer[i] >> 4];
      R += HexDigits[Buffer[i] & 15];
    }
  return R;
}

void TVivIzudeUtils::LoadStreamFromHexStr(const String& AHexStr, TStream& AStream) {
  const TBytes Bytes = HexStrToBytes(AHexStr);
  if (!Bytes.empty()) AStream.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

bool TVivIzudeUtils::FindGraphicClass(const void* Buffer, Int64 BufferSize, TVivGraphicFormat& GraphicClass) {
  GraphicClass = gfUnknown;
  if (!Buffer || BufferSize <= 0) return false;
  const auto* B = static_cast<const Byte*>(Buffer);
  const auto Has = [BufferSize](Int64 N) { return BufferSize >= N; };
  const auto Word16 = [B](int At) { return B[At] | (B[At + 1] << 8); };
  const auto Long32 = [B](int At) {
    return Cardinal(B[At]) | (Cardinal(B[At + 1]) << 8) | (Cardinal(B[At + 2]) << 16) | (Cardinal(B[At + 3]) << 24);
  };
  static const Byte Png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (Has(4) &&
      ((B[0] == 'I' && B[1] == 'I' && Word16(2) == 42) || (B[0] == 'M' && B[1] == 'M' && Word16(2) == 0x2A00)))
    GraphicClass = gfTIFF;
  else if (Has(2) && B[0] == 'B' && B[1] == 'M')
    GraphicClass = gfBitmap;
  else if (Has(2) && B[0] == 0xFF && B[1] == 0xD8)
    GraphicClass = gfJPEG;
  else if (Has(8) && std::equal(Png, Png + 8, B))
    GraphicClass = gfPNG;
  else if ((Has(4) && Long32(0) == 0x9AC6CDD7u) ||
           (Has(44) && Long32(0) == 1 && B[40] == ' ' && B[41] == 'E' && B[42] == 'M' && B[43] == 'F'))
    GraphicClass = gfMetafile;
  else if (Has(3) && B[0] == 'G' && B[1] == 'I' && B[2] == 'F')
    GraphicClass = gfGIF;
  else if (Has(4) && Word16(2) == 1)
    GraphicClass = gfIcon;
  return GraphicClass != gfUnknown;
}

// ---------------------------------------------------------------- character sets
TVivIzudeUtilsCharSet TVivIzudeUtils::NumericCharSet() { return CreateCharSet(u"0123456789"); }
TVivIzudeUtilsCharSet TVivIzudeUtils::AlphaCharSet() {
  return CreateCharSet(u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
}
TVivIzudeUtilsCharSet TVivIzudeUtils::CreateCharSet(const String& AValue) { return {AValue.begin(), AValue.end()}; }
TVivIzudeUtilsCharSet TVivIzudeUtils::AddCharSet(const TVivIzudeUtilsCharSet& A, const TVivIzudeUtilsCharSet& B) {
  TVivIzudeUtilsCharSet R(A);
  R.insert(R.end(), B.begin(), B.end());
  return R;
}
TVivIzudeUtilsCharSet TVivIzudeUtils::SubCharSet(const TVivIzudeUtilsCharSet& A, const TVivIzudeUtilsCharSet& B) {
  TVivIzudeUtilsCharSet R;
  for (Char C : A)
    if (!CharInSet(C, B)) R.push_back(C);
  return R;
}
bool TVivIzudeUtils::CharInSet(Char ch, const TVivIzudeUtilsCharSet& ACharSet) {
  for (Char C : ACharSet)
    if (C == ch) return true;
  return false;
}

Char TVivIzudeUtils::FirstChar(const TVivIzudeUtilsCharSet& ACharset, const String& AValue, Integer& spos) {
  int Quotes = 0;
  for (std::size_t i = 0; i < AValue.size(); ++i) {
    if (AValue[i] == u'"') ++Quotes;
    if (Quotes % 2 == 0 && CharInSet(AValue[i], ACharset)) {
      spos = static_cast<Integer>(i + 1);
      return AValue[i];
    }
  }
  spos = -1;
  return 0;
}

Char TVivIzudeUtils::CharInStr(const String& s, Integer Index) {
  if (Index < 1 || Index > static_cast<Integer>(s.size())) return 0;
  return s[static_cast<std::size_t>(Index - 1)];
}

String TVivIzudeUtils::StripLogicSpaces(const String& AValue) {
  String R;
  int Quotes = 0;
  for (Char C : AValue) {
    if (C == u'"') ++Quotes;
    if (C == u' ' && Quotes % 2 == 0) continue;
    R += C;
  }
  return R;
}

Integer TVivIzudeUtils::ClosingParenthesis(const String& s1) {
  int Open = 0, Close = 0;
  for (std::size_t i = 0; i < s1.size(); ++i) {
    if (s1[i] == u'(') ++Open;
    if (s1[i] == u')') {
      ++Close;
      if (Open == Close) return static_cast<Integer>(i + 1);
    }
  }
  return 0;
}

// ---------------------------------------------------------------- paths, dates, numbers
String TVivIzudeUtils::AddBackslash(const String& AValue) {
  return (AValue.empty() || AValue.back() == u'\\') ? AValue : AValue + u"\\";
}
String TVivIzudeUtils::AddForwardslash(const String& AValue) {
  return (AValue.empty() || AValue.back() == u'/') ? AValue : AValue + u"/";
}

String TVivIzudeUtils::DateTimeToISO(TDateTime ADateTime) {
  Word Y, Mo, D, H, Mi, S, Ms;
  DecodeDateTime(ADateTime, Y, Mo, D, H, Mi, S, Ms);
  const auto Pad = [](int V, int Width) {
    std::string T = std::to_string(V);
    while (static_cast<int>(T.size()) < Width) T.insert(T.begin(), '0');
    return String(T.begin(), T.end());
  };
  return Pad(Y, 4) + Pad(Mo, 2) + Pad(D, 2) + u"T" + Pad(H, 2) + Pad(Mi, 2) + Pad(S, 2);
}

TDateTime TVivIzudeUtils::ISOToDateTime(const String& AISOString) {
  const auto Field = [&AISOString](std::size_t From, std::size_t Length) {
    if (From - 1 >= AISOString.size()) return 0;
    return StrToIntDef(AISOString.substr(From - 1, Length), 0);
  };
  int Y = Field(1, 4), Mo = Field(6, 2), D = Field(9, 2);
  if (Y == 0) Y = 1;
  if (Mo == 0) Mo = 1;
  if (D == 0) D = 1;
  const int H = Field(12, 2), Mi = Field(15, 2), S = Field(18, 2);
  if (Y < 0 || Mo < 0 || D < 0 || H < 0 || Mi < 0 || S < 0) throw EConvertError(u"Invalid argument to date encode");
  return EncodeDate(static_cast<Word>(Y), static_cast<Word>(Mo), static_cast<Word>(D)) +
         EncodeTime(static_cast<Word>(H), static_cast<Word>(Mi), static_cast<Word>(S), 0);
}

Integer TVivIzudeUtils::MulDivInt(Integer nNumber, Integer nNumerator, Integer nDenominator) {
  if (nDenominator == 0) return -1;
  const Int64 Product = static_cast<Int64>(nNumber) * nNumerator;
  Int64 Q = Product / nDenominator;
  const Int64 Rem = Product % nDenominator;
  // Half away from zero: a remainder of at least half the divisor rounds outwards.
  if (Rem != 0 && 2 * (Rem < 0 ? -Rem : Rem) >= (nDenominator < 0 ? -Int64(nDenominator) : Int64(nDenominator)))
    Q += ((Product < 0) != (nDenominator < 0)) ? -1 : 1;
  return static_cast<Integer>(Q);
}

float TVivIzudeUtils::MulDivSingle(float nNumber, float nNumerator, float nDenominator) {
  const auto R = [](float V) { return static_cast<Integer>(std::nearbyint(V)); };
  return static_cast<float>(MulDivInt(R(nNumber), R(nNumerator), R(nDenominator)));
}

String TVivIzudeUtils::EnDeCrypt(const String& AValue) {
  String R(AValue);
  for (Char& C : R) {
    const unsigned Low = C & 0xFF;
    C = static_cast<Char>((Low & 0xE0) | ((Low & 0x1F) ^ 5));
  }
  return R;
}

String FormatVersionString(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild) {
  const std::string S = std::to_string(AMajor) + "." + std::to_string(AMinor) + "." + std::to_string(ARelease) + "." +
                        std::to_string(ABuild);
  return String(S.begin(), S.end());
}

// ---------------------------------------------------------------- filter expressions
void TVivIzudeUtils::Split(Char ADelimiter, const String& AInput, TStrings& AStrings) {
  AStrings.Clear();
  AStrings.SetDelimiter(ADelimiter);
  AStrings.SetStrictDelimiter(true);
  AStrings.SetDelimitedText(AInput);
}

Integer TVivIzudeUtils::VarPos(const String& ASubValue, const String& AValue, Integer& AResult) {
  AResult = Pos(ASubValue, AValue);
  return AResult;
}

Integer TVivIzudeUtils::VarPosNoCase(const String& ASubValue, const String& AValue, Integer& AResult) {
  return VarPos(UpperCase(ASubValue), UpperCase(AValue), AResult);
}

TDateTime TVivIzudeUtils::EpochToDateTime(const String& AEpoch) { return UnixToDateTime(StrToInt64(AEpoch)); }

String TVivIzudeUtils::StripThousandSep(const String& ps) {
  String R;
  for (Char C : ps)
    if (C != FormatSettings.ThousandSeparator) R += C;
  return R;
}

bool TVivIzudeUtils::IsDate(const String& AValue, TDateTime& ADate) {
  const String Format = UpperCase(FormatSettings.ShortDateFormat);
  const std::size_t PD = Format.find(u'D'), PM = Format.find(u'M'), PY = Format.find(u'Y');
  if (PD == String::npos || PM == String::npos || PY == String::npos) return false;
  const Char Sep = FormatSettings.DateSeparator;
  const std::size_t S1 = AValue.find(Sep);
  if (S1 == String::npos) return false;
  const std::size_t S2 = AValue.find(Sep, S1 + 1);
  if (S2 == String::npos) return false;
  String Third = Trim(AValue.substr(S2 + 1)), TimePart;
  const std::size_t Space = Third.find(u' ');
  if (Space != String::npos) {
    TimePart = Third.substr(Space);
    Third = Third.substr(0, Space);
  }
  Integer Fields[3];
  if (!TryStrToInt(AValue.substr(0, S1), Fields[0]) || !TryStrToInt(AValue.substr(S1 + 1, S2 - S1 - 1), Fields[1]) ||
      !TryStrToInt(Third, Fields[2]))
    return false;
  // Field order follows the first appearance of D, M and Y in the format.
  const std::size_t Order[3] = {PD, PM, PY};
  Integer Values[3];  // day, month, year
  for (int i = 0; i < 3; ++i) {
    int Rank = 0;
    for (int j = 0; j < 3; ++j) Rank += Order[j] < Order[i];
    Values[i] = Fields[Rank];
  }
  const Integer Day = Values[0], Month = Values[1], Year = Values[2];
  if (Day >= 32 || Month > 12) return false;
  Integer Hour = 0, Minute = 0, Second = 0;
  TimePart = Trim(TimePart);
  if (!TimePart.empty()) {
    const Char TSep = FormatSettings.TimeSeparator;
    const std::size_t T1 = TimePart.find(TSep);
    if (T1 == String::npos || !TryStrToInt(TimePart.substr(0, T1), Hour) || Hour > 23) return false;
    const std::size_t T2 = TimePart.find(TSep, T1 + 1);
    if (T2 != String::npos) {
      if (!TryStrToInt(TimePart.substr(T1 + 1, T2 - T1 - 1), Minute) || !TryStrToInt(TimePart.substr(T2 + 1), Second) ||
          Second > 60)
        return false;
    } else if (!TryStrToInt(TimePart.substr(T1 + 1), Minute)) {
      return false;
    }
    if (Minute >= 60) return false;
  }
  if (Day < 0 || Month < 0 || Year < 0 || Year > 9999 || Minute < 0 || Second < 0 || Hour < 0) return false;
  TDateTime D, T;
  if (!TryEncodeDate(static_cast<Word>(Year), static_cast<Word>(Month), static_cast<Word>(Day), D) ||
      !TryEncodeTime(static_cast<Word>(Hour), static_cast<Word>(Minute), static_cast<Word>(Second), 0, T))
    return false;
  ADate = D + T;
  return true;
}

namespace {

// The operand after the comparison operator at Pos (its length OpLength).
String ComparisonOperand(const String& Mask, std::size_t Pos, std::size_t OpLength) {
  std::size_t i = Pos + OpLength;
  while (i < Mask.size() && Mask[i] == u' ') ++i;
  String Operand;
  bool InQuotes = false;
  for (; i < Mask.size(); ++i) {
    const Char C = Mask[i];
    if (C == u'"') InQuotes = !InQuotes;
    if (C == u' ' || (!InQuotes && (C == u'&' || C == u'|'))) break;
    Operand += C;
  }
  if (!Operand.empty() && Operand.front() == u'"') Operand.erase(0, 1);
  if (!Operand.empty() && Operand.back() == u'"') Operand.pop_back();
  return Operand;
}

// -1, 0 or 1 as Value compares with Operand: as numbers, as dates, or as texts.
int CompareOperand(const String& Value, const String& Operand) {
  TDateTime DV = 0, DO = 0;
  const bool ValueDate = TVivIzudeUtils::IsDate(Value, DV), OperandDate = TVivIzudeUtils::IsDate(Operand, DO);
  double NV = 0, NO = 0;
  if (!ValueDate && !OperandDate && TryStrToFloat(TVivIzudeUtils::StripThousandSep(Value), NV) &&
      TryStrToFloat(TVivIzudeUtils::StripThousandSep(Operand), NO))
    return NV < NO ? -1 : (NV > NO ? 1 : 0);
  if (ValueDate && OperandDate) return DV < DO ? -1 : (DV > DO ? 1 : 0);
  return Value < Operand ? -1 : (Value > Operand ? 1 : 0);
}

bool Wildcard(const String& Mask, const String& Value) {
  if (Mask.empty() || Value.empty()) return true;
  std::size_t d = 0, e = 0;
  bool Negate = false;
  bool Matched = true;
  while (Matched && !(d >= Mask.size() && e >= Value.size())) {
    if (d >= Mask.size()) {
      Matched = false;
      break;
    }
    const Char M = Mask[d];
    if (M == u'!') {
      Negate = true;
      ++d;
    } else if (M == u'"') {
      ++d;
    } else if (M == u'*') {
      while (d < Mask.size() && Mask[d] == u'*') ++d;
      const String Rest = Mask.substr(d);
      Matched = false;
      // Suffixes from the last character alone up to the one that starts
      // one character before e.
      const std::size_t First = e > 0 ? e - 1 : 0;
      for (std::size_t k = Value.size(); k-- > First;)
        if (TVivIzudeUtils::Matches(Rest, Value.substr(k))) {
          Matched = true;
          break;
        }
      break;
    } else if (M == u'?') {
      if (e >= Value.size()) {
        Matched = false;
      } else {
        ++d;
        ++e;
      }
    } else {
      if (e >= Value.size() || Value[e] != M) {
        Matched = false;
      } else {
        ++d;
        ++e;
      }
    }
  }
  return Negate ? !Matched : Matched;
}

}  // namespace

bool TVivIzudeUtils::Matches(const String& s0a, const String& s1a) {
  bool G = true, L = true, GPresent = false, LPresent = false;
  const std::size_t PG = s0a.find(u'>'), PL = s0a.find(u'<');
  if (PG != String::npos) {
    const bool OrEqual = PG + 1 < s0a.size() && s0a[PG + 1] == u'=';
    const int C = CompareOperand(s1a, ComparisonOperand(s0a, PG, OrEqual ? 2 : 1));
    G = OrEqual ? C >= 0 : C > 0;
    GPresent = true;
  }
  if (PL != String::npos) {
    const bool OrEqual = PL + 1 < s0a.size() && s0a[PL + 1] == u'=';
    const int C = CompareOperand(s1a, ComparisonOperand(s0a, PL, OrEqual ? 2 : 1));
    L = OrEqual ? C <= 0 : C < 0;
    LPresent = true;
  }
  if (s0a.find(u'!') != String::npos) {
    GPresent = true;
    LPresent = true;
  }
  if (s0a.find(u'^') != String::npos && (GPresent || LPresent)) return L || G;
  if (s0a.find(u'&') != String::npos && GPresent && LPresent) return L && G;
  if (PG != String::npos && G) return true;
  if (PL != String::npos && L) return true;
  return Wildcard(s0a, s1a);
}

bool TVivIzudeUtils::MatchStr(const String& AValue1, const String& AValue2, bool ACaseSensitive) {
  return ACaseSensitive ? Matches(AValue1, AValue2) : Matches(AnsiUpperCase(AValue1), AnsiUpperCase(AValue2));
}

bool TVivIzudeUtils::MatchStrEx(const String& AValue1, const String& AValue2, bool ACaseSensitive) {
  String S = StripLogicSpaces(Trim(AValue1));
  if (!S.empty() && S.front() == u'=') S.erase(0, 1);
  if (S.empty()) return AValue2.empty();
  if (S == u"*" && AValue2.empty()) return false;
  const TVivIzudeUtilsCharSet Operators = CreateCharSet(u"(;^&|");
  bool Result = false;
  Char Preceding = 0;  // 0: the first term
  const auto Combine = [&Result, &Preceding](bool Term) {
    switch (Preceding) {
      case 0:
        Result = Term;
        break;
      case u'&':
        Result = Result && Term;
        break;
      case u'(':
        break;
      default:
        Result = Result || Term;
        break;
    }
  };
  while (true) {
    Integer Pos = -1;
    const Char Op = FirstChar(Operators, S, Pos);
    if (Pos < 0) {
      Combine(MatchStr(S, AValue2, ACaseSensitive));
      break;
    }
    if (Pos == 1 && Op == u'(') {
      const Integer Close = ClosingParenthesis(S);
      if (Close <= 0) {
        // An unclosed parenthesis: the rest is one term.
        Combine(MatchStrEx(S.substr(1), AValue2, ACaseSensitive));
        break;
      }
      Combine(MatchStrEx(S.substr(1, static_cast<std::size_t>(Close - 2)), AValue2, ACaseSensitive));
      S.erase(0, static_cast<std::size_t>(Close));
      Preceding = u'(';
      continue;
    }
    Combine(MatchStr(S.substr(0, static_cast<std::size_t>(Pos - 1)), AValue2, ACaseSensitive));
    Preceding = Op;
    S.erase(0, static_cast<std::size_t>(Pos));
  }
  return Result;
}
