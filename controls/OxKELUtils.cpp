#include "controls/OxKELUtils.h"

#include <cstdlib>

String RemoveChar(const String& S, Char C) {
  String out;
  out.reserve(S.size());
  for (Char c : S)
    if (c != C) out += c;
  return out;
}

String TrimLeadingSpaces(const String& S) {
  const std::size_t first = S.find_first_not_of(u' ');
  return first == String::npos ? String() : S.substr(first);
}

String TrimTrailingSpaces(const String& S) {
  const std::size_t last = S.find_last_not_of(u' ');
  return last == String::npos ? String() : S.substr(0, last + 1);
}

String TrimSpaces(const String& S) { return TrimTrailingSpaces(TrimLeadingSpaces(S)); }

String RepeatChar(Char C, Integer N) { return N > 0 ? String(static_cast<std::size_t>(N), C) : String(); }

String NormalizeNumberText(const String& S) { return NormalizeNumberText(S, FormatSettings); }

String NormalizeNumberText(const String& S, const TFormatSettings& Settings) {
  const Char d = Settings.DecimalSeparator;
  const Char t = Settings.ThousandSeparator;
  String text = TrimSpaces(S);
  if (d != t) text = RemoveChar(text, t);
  String out;
  out.reserve(text.size());
  for (Char c : text) {
    if (c == u'.' && d != u'.' && t != u'.') c = d;
    if (c == u',' && d != u',' && t != u',') c = d;
    if (c == u'+' || c == u'-' || (c >= u'0' && c <= u'9') || c == d || c == t) out += c;
  }
  if (out.empty()) return u"0";
  if (out == u"-") return u"-0";
  return out;
}

Integer AbsRectWidth(const TRect& R) { return std::abs(R.Right - R.Left); }
Integer AbsRectHeight(const TRect& R) { return std::abs(R.Bottom - R.Top); }
