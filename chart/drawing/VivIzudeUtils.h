#pragma once
// The chart library's shared helpers (class methods only, never
// instantiated): markup entities and tag helpers, JSON string escaping, URL
// coding, hex coding of data, picture format detection, character sets,
// ISO dates and small arithmetic. Portable; the platform helpers (dialogs,
// resources, fonts, downloads, the clipboard) are in win/. Positions are
// 1-based; "ignoring case" means ASCII letters.
#include <cstddef>
#include <vector>

#include "rtl/DateUtils.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

using TVivIzudeUtilsCharSet = std::vector<Char>;

// The picture formats FindGraphicClass tells apart by their first bytes.
enum TVivGraphicFormat { gfUnknown, gfTIFF, gfBitmap, gfJPEG, gfPNG, gfMetafile, gfGIF, gfIcon };

class TVivIzudeUtils {
public:
  TVivIzudeUtils() = delete;

  // ---- markup
  static Integer IPos(const String& su, const String& s);
  static bool TagReplaceString(const String& Srch, const String& Repl, String& Dest);
  static Integer IndexOfTextInArray(const String& AText, const std::vector<String>& AValues);
  static Integer GetMarkupIndex(const String& Markup);
  static String GetSpecialChar(Integer Value);
  static String FixMarkup(String su, bool SpecialChars = true);
  static String UnFixMarkup(String su, bool SpecialChars = true);
  static bool IsHTML(const String& AValue);
  static bool IsHTMLUnicode(const String& AValue) { return IsHTML(AValue); }
  static String HTMLStrip(String AHTML);
  // The 76 entity names and their characters, in table order.
  static const std::vector<String>& MarkupNames();
  static const std::vector<String>& MarkupChars();

  // ---- escaping
  static String EscapeString(const String& AValue);
  // Exception "Unexpected end of string" or "Invalid code at position %s".
  static String UnescapeString(const String& AValue);
  static String URLEncode(const String& AURL);
  static String URLDecode(const String& AURL);

  // ---- hex coding
  // EConvertError for a pair that is not hexadecimal; an odd last character is ignored.
  static TBytes HexStrToBytes(const String& AValue);
  static String SaveStreamToHexStr(TStream& AStream);
  static void LoadStreamFromHexStr(const String& AHexStr, TStream& AStream);
  // The format the data starts with; false (gfUnknown) when none is known.
  static bool FindGraphicClass(const void* Buffer, Int64 BufferSize, TVivGraphicFormat& GraphicClass);

  // ---- character sets
  static TVivIzudeUtilsCharSet NumericCharSet();
  static TVivIzudeUtilsCharSet AlphaCharSet();
  static TVivIzudeUtilsCharSet CreateCharSet(const String& AValue);
  static TVivIzudeUtilsCharSet AddCharSet(const TVivIzudeUtilsCharSet& ACharSet1, const TVivIzudeUtilsCharSet& ACharSet2);
  static TVivIzudeUtilsCharSet SubCharSet(const TVivIzudeUtilsCharSet& ACharSet1, const TVivIzudeUtilsCharSet& ACharSet2);
  static bool CharInSet(Char ch, const TVivIzudeUtilsCharSet& ACharSet);
  static Char FirstChar(const TVivIzudeUtilsCharSet& ACharset, const String& AValue, Integer& spos);
  static Char CharInStr(const String& s, Integer Index);
  static String StripLogicSpaces(const String& AValue);
  static Integer ClosingParenthesis(const String& s1);

  // ---- paths, dates, numbers
  static String AddBackslash(const String& AValue);
  static String AddForwardslash(const String& AValue);
  static String DateTimeToISO(TDateTime ADateTime);
  static TDateTime ISOToDateTime(const String& AISOString);
  static Integer MulDivInt(Integer nNumber, Integer nNumerator, Integer nDenominator);
  static float MulDivSingle(float nNumber, float nNumerator, float nDenominator);
  static String EnDeCrypt(const String& AValue);
};

// The Version text of the library's components: "1.0.0.0" for 1, 0, 0, 0.
String FormatVersionString(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild);
