#pragma once
// The chart library's shared helpers (class methods only, never
// instantiated): markup entities and tag helpers, JSON string escaping, URL
// coding, hex coding of data, picture format detection, character sets,
// ISO dates and small arithmetic. Portable; the platform helpers (dialogs,
// resources, fonts, downloads, the clipboard) are in win/. Positions are
// 1-based; "ignoring case" means ASCII letters.
#include <cstddef>
#include <memory>
#include <vector>

#include "rtl/DateUtils.h"
#include "rtl/Resources.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

using TVivIzudeUtilsCharSet = std::vector<Char>;

#ifdef _WIN32
class TComponent;
class TCustomForm;
class TStringList;
class TGraphic;
class TPicture;
#endif

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
  static TVivIzudeUtilsCharSet AddCharSet(const TVivIzudeUtilsCharSet& ACharSet1,
                                          const TVivIzudeUtilsCharSet& ACharSet2);
  static TVivIzudeUtilsCharSet SubCharSet(const TVivIzudeUtilsCharSet& ACharSet1,
                                          const TVivIzudeUtilsCharSet& ACharSet2);
  static bool CharInSet(Char ch, const TVivIzudeUtilsCharSet& ACharSet);
  static Char FirstChar(const TVivIzudeUtilsCharSet& ACharset, const String& AValue, Integer& spos);
  static Char CharInStr(const String& s, Integer Index);
  static String StripLogicSpaces(const String& AValue);
  static Integer ClosingParenthesis(const String& s1);

  static String StripThousandSep(const String& ps);

  // ---- filter expressions
  // AValue1 a filter expression ("a*|b*", "(a*|b*)&*2", ">10", "!abc"),
  // evaluated strictly left to right against AValue2.
  static bool MatchStrEx(const String& AValue1, const String& AValue2, bool ACaseSensitive);
  static bool MatchStr(const String& AValue1, const String& AValue2, bool ACaseSensitive);
  // s0a the mask (comparisons, "!", "*", "?"), s1a the value.
  static bool Matches(const String& s0a, const String& s1a);
  // A date (and optional time) in the order and separators of the format
  // settings; false for anything else.
  static bool IsDate(const String& AValue, TDateTime& ADate);

  // ---- paths, dates, numbers
  static String AddBackslash(const String& AValue);
  static String AddForwardslash(const String& AValue);
  static String DateTimeToISO(TDateTime ADateTime);
  static TDateTime ISOToDateTime(const String& AISOString);
  static Integer MulDivInt(Integer nNumber, Integer nNumerator, Integer nDenominator);
  static float MulDivSingle(float nNumber, float nNumerator, float nDenominator);
  static String EnDeCrypt(const String& AValue);

#ifdef _WIN32
  // ---- pictures (the class library's graphic classes)
  // A new empty graphic of the class that reads Format; nullptr for a
  // format no class of the library reads (metafiles).
  static std::unique_ptr<TGraphic> NewGraphic(TVivGraphicFormat Format);
  // The picture as JPEG data: a copy when it is JPEG already, else drawn on
  // ABackgroundColor (white for -1 or clNone) and compressed at
  // Round(AQuality * 100). nullptr when the picture's format is not known.
  static std::unique_ptr<TMemoryStream> ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
                                                                  TColor ABackgroundColor);
  static String SaveBitmapToHexStr(TPicture* ABitmap);
  // ABitmap unchanged when the data is no picture of a known format.
  static void LoadBitmapFromHexStr(const String& AHexStr, TPicture* ABitmap);
  static std::unique_ptr<TPicture> CreateBitmapFromHexStr(const String& AHexStr);

  // ---- platform
  static String GetAppPath();
  static NativeUInt GetHInstance();
  // The RCDATA resource, or nullptr when the module has none of that name.
  static std::unique_ptr<TResourceStream> GetResourceStream(const String& AResourceName, NativeUInt AInstance);
  static std::unique_ptr<TResourceStream> GetResourceStream(const String& AResourceName);
  static void Log(const String& AMessage);
  // The display scale: the main form's (else AOwner's owner form's) logical
  // pixels per inch over 96 when it is a scaled TForm; 1 otherwise.
  static float GetDPIScale(TComponent* AOwner = nullptr);
  static bool IsHighDPIScale() { return GetDPIScale(nullptr) > 1; }
  // The first form up AComponent's owner chain; nullptr when none.
  static TCustomForm* GetOwnerForm(TComponent* AComponent);

  // ---- fonts
  // The screen's font family names, each once, sorted.
  static void GetFonts(TStringList* FontList);
#endif
};

// The Version text of the library's components: "1.0.0.0" for 1, 0, 0, 0.
String FormatVersionString(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild);
