#pragma once
// The library's clipboard class: plain text, RTF, HTML in the system's HTML
// clipboard format, pictures, the library's own binary stream format and a
// rich-editor stream format, each put on and taken off the system clipboard
// by a class method that opens and closes the clipboard itself. A clipboard
// held by another program raises EClipboardError; a missing format gives a
// nil stream, an empty text or an empty picture.
#include <memory>

#include "chart/drawing/VivIzudeUtils.h"
#include "rtl/Exceptions.h"
#include "vcl/Pictures.h"

QUORVEL_DECLARE_EXCEPTION(EClipboardError, Exception);

enum TVivClipBoardFormat { cfText, cfRTF, cfHTML, cfBitmap, cfBitmapWin, cfStream, cfRichTextStream };

// The registered identifiers, filled when the program starts (in the order
// rich-editor stream, library stream, RTF, HTML).
struct TVivClipBoardFormats {
  UINT RichTextStream = 0;
  UINT Stream = 0;
  UINT Bitmap = 2;  // CF_BITMAP
  UINT RTF = 0;
  UINT HTML = 0;
};
const TVivClipBoardFormats& VivClipBoardFormats();

class TVivClipBoard {
public:
  TVivClipBoard() = delete;
  static String GetFormat(TVivClipBoardFormat AFormat);
  static bool HasFormat(TVivClipBoardFormat AFormat);
  // Any format but HTML.
  static bool HasContent();
  static void Clear();
  static void SetText(const String& AText);
  static String GetText();
  // The stream's whole memory, whatever its position; other formats stay.
  static void SetStream(TMemoryStream* AStream);
  // A new stream at position 0, or nullptr.
  static std::unique_ptr<TMemoryStream> GetStream();
  static void SetBitmap(TPicture* ABitmap);
  // A new picture, empty when the clipboard holds none.
  static std::unique_ptr<TPicture> GetBitmap();
  static void SetRichTextStream(TMemoryStream* AStream);
  static std::unique_ptr<TMemoryStream> GetRichTextStream();
  static void SetRTF(const String& ARTF);
  static String GetRTF();
  // A complete HTML clipboard document around the fragment (UTF-8).
  static void SetHTML(const String& AHTML);
  // The whole document (description, context and fragment) as text.
  static String GetHTML();
  // The HTML clipboard document SetHTML places, without its terminating zero.
  static std::string HTMLClipboardData(const String& AHTML);
};
