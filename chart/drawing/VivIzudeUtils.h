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
#include "rtl/Geometry.h"
#include "rtl/Resources.h"
#include "rtl/Set.h"
#include "rtl/Streams.h"
#include "rtl/StringList.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

using TVivIzudeUtilsCharSet = std::vector<Char>;

#ifdef _WIN32
#include <functional>

class TComponent;
class TControl;
class TCustomForm;
class TFont;
class TGraphic;
class TPicture;
class TWinControl;

// The kinds and buttons of TVivIzudeUtils::Message, as the class library's
// message dialogs name them.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
using TMsgDlgButtons = TSet<TMsgDlgBtn, Byte>;

// One call of the shell: OpenFile and OpenURL fill it and hand it to the
// shell executor in force.
struct TVivShellRequest {
  String Verb;
  String File;
  String Parameters;
  String Directory;
  Integer ShowCommand = 0;
};
// ShellExecuteW by default; tests put their own in place so that no
// browser or document starts. Answers the one replaced.
using TVivShellExecutor = std::function<void(const TVivShellRequest&)>;
TVivShellExecutor SetVivShellExecutor(TVivShellExecutor Executor);

// Bounds of a picture download: a server that is slow, silent or sends
// too much cannot hold the caller or fill its memory.
struct TVivDownloadLimits {
  Int64 MaxBytes = 32 * 1024 * 1024;
  Integer ConnectMs = 15000;  // establishing the connection
  Integer ReceiveMs = 15000;  // each wait for data
  Integer TotalMs = 60000;    // the whole transfer
};
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
  // AStrings cleared, then AInput split at ADelimiter alone (strict
  // delimiting; the list's quote character still groups).
  static void Split(Char ADelimiter, const String& AInput, TStrings& AStrings);
  // Pos(ASubValue, AValue), also stored in AResult; VarPosNoCase on the
  // upper-cased (ASCII) texts.
  static Integer VarPos(const String& ASubValue, const String& AValue, Integer& AResult);
  static Integer VarPosNoCase(const String& ASubValue, const String& AValue, Integer& AResult);

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
  // The integer text as seconds since 1970-01-01 (UTC); EConvertError for
  // a text that is no integer.
  static TDateTime EpochToDateTime(const String& AEpoch);
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
  // The top-level form of the control; nullptr when it has none.
  static TCustomForm* GetParentForm(TControl* AControl);
  // The user's documents folder; Exception when the system has none.
  static String GetDocumentsPath();
  // The open dialog (the file must exist), in ADefaultFolder or else the
  // documents folder; AFilter as "Text|*.txt|All|*.*". True and AFileName
  // set when a file was chosen.
  static bool SelectFile(String& AFileName, const String& ADefaultFolder, const String& AFilter);
  // The save dialog (asking before an overwrite) in AFileName's folder or
  // else the documents folder, proposing AFileName's name; a chosen name
  // without extension takes AFileName's. True and AFileName set on confirmation.
  static bool SaveFile(String& AFileName, const String& AFilter);
  // AFilter ("Text|*.txt|All|*.*") as the dialogs take it: each part ended
  // by a zero character, the whole by a second one.
  static String DialogFilter(const String& AFilter);
  // A message box centred on the screen; answers the button chosen as a
  // modal result (mrOk, mrCancel, mrYes...).
  static Integer Message(const String& AMessage);
  static Integer Message(const String& AMessage, TMsgDlgType ADialogType, TMsgDlgButtons AButtons,
                         Integer AHelpContext);
  // The shell's "open" of a file or an address (AControlReference unused).
  static void OpenFile(const String& AFile, TObject* AControlReference = nullptr);
  static void OpenURL(const String& AURL);
  // The request OpenFile and OpenURL hand to the shell.
  static TVivShellRequest ShellOpenRequest(const String& ATarget);
  // FontList cleared and filled with the screen's font family names,
  // each once (ignoring case), sorted.
  static void GetFonts(TStringList* FontList);
  // ASize in pixels at 96 per inch, as points: Round(ASize / 96 * 72).
  static void SetFontSize(TFont* AFont, float ASize);
  // The cursor in screen pixels.
  static TPointF GetMousePos();
  // The body of an HTTP or HTTPS picture, read only when the server calls
  // it an image (an empty stream otherwise); the stream is positioned at
  // its end and owned by the caller. Exception "Unable to initialize
  // Wininet", "Cannot open URL %s" (no connection, another scheme, a
  // time-out before the reply) or, past a limit, "Cannot read URL %s".
  static std::unique_ptr<TMemoryStream> DownloadImage(const String& AURL);
  static std::unique_ptr<TMemoryStream> DownloadImage(const String& AURL, const TVivDownloadLimits& ALimits);
#endif
};

// The Version text of the library's components: "1.0.0.0" for 1, 0, 0, 0.
String FormatVersionString(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild);

#ifdef _WIN32
// A new picture with a bitmap of the control's size, the control painted
// into it when it has a window (blank otherwise). Owned by the caller.
std::unique_ptr<TPicture> ControlToPicture(TWinControl* AControl);
#endif
