#pragma once
// Canvas graphics over GDI: colours, the font/pen/brush value objects that
// own their GDI handles, the canvas over a device context, device-
// independent bitmaps and icons (pictures decoded by GDI+ are in
// vcl/Pictures.h). Properties are a getter Name() and a setter
// SetName(Value); setters fire OnChange when the value really changes.
#include <memory>
#include <vector>

#include "imaging/RasterImage.h"
#include "rtl/Resources.h"
#include "rtl/Streams.h"
#include "rtl/SyncObjs.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"
#include "vcl/Classes.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

QUORVEL_DECLARE_EXCEPTION(EOutOfResources, Exception);

// System colours become the current RGB value; every other value comes back
// unchanged (clNone and clDefault included).
TColor ColorToRGB(TColor Color);

// The bytes from Stream's position to its end.
TBytes ReadStreamRest(TStream& Stream);

// ---------------------------------------------------------------- value objects

class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  // The cached handle is stale: the next Handle() call makes a new one (after
  // OnChange, so a canvas can first take the old one out of its DC).
  virtual void Changed();
  TGdiObject FResource;
  bool FStale = true;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };

class TFont : public TGraphicsObject {
public:
  TFont();
  void Assign(TPersistent* Source) override;
  HFONT Handle();

  const String& Name() const { return FName; }
  void SetName(const String& Value);
  // Size in points; Height in pixels, negative for the character height
  // (Height = -Size * PixelsPerInch / 72, rounded).
  Integer Size() const;
  void SetSize(Integer Value);
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  // Escapement/orientation in tenths of a degree.
  Integer Orientation() const { return FOrientation; }
  void SetOrientation(Integer Value);
  Byte Charset() const { return FCharset; }
  void SetCharset(Byte Value);
  // The resolution Size converts with; a form sets it on scaling.
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value > 0 ? Value : 96; }

private:
  String FName = u"Tahoma";
  Integer FHeight = -11;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontPitch FPitch = fpDefault;
  TFontQuality FQuality = fqDefault;
  Integer FOrientation = 0;
  Byte FCharset = DEFAULT_CHARSET;
  Integer FPixelsPerInch = 96;
};

enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
int PenModeToROP2(TPenMode Mode);

class TPen : public TGraphicsObject {
public:
  void Assign(TPersistent* Source) override;
  HPEN Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

private:
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBitmap;

class TBrush : public TGraphicsObject {
public:
  void Assign(TPersistent* Source) override;
  HBRUSH Handle();
  TColor Color() const { return FColor; }
  // Setting a colour while the style is bsClear makes the brush solid again.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned; it must outlive its use by the brush).
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;  // not owned
};

// ---------------------------------------------------------------- canvas

class TGraphic;

enum TCanvasStateItem : unsigned { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateItem, Byte>;

// Drawing on a device context. The DC is not owned by the base canvas; the
// font, pen and brush are selected on demand and taken out again before the
// DC is let go, so no GDI object is ever deleted while selected.
class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;

  // The DC, made on demand by CreateHandle for canvases that own one
  // (EInvalidOperation "Canvas does not allow drawing" for the base canvas).
  HDC Handle();
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

  // Takes the font, pen and brush out of the DC; the next drawing call
  // selects them afresh (before SaveDC/after RestoreDC, so that the DC never
  // holds an object the canvas has since replaced).
  void Refresh() { DeselectHandles(); }
  // Selects the font, pen and brush into the DC now, as a drawing call would:
  // a GDI object selected into the DC afterwards stays in force for the
  // following calls until the canvas's own object of that kind changes.
  void SelectTools() { RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid}); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
  TRect ClipRect();

  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  // The segment between an arc and its chord, outlined with the pen and filled with the brush.
  void Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);

  // Text in the font, on the brush (transparent when the brush is bsClear).
  void TextOut(Integer X, Integer Y, const String& Text);
  // Text clipped to R, starting at X, Y.
  void TextRect(const TRect& R, Integer X, Integer Y, const String& Text);
  // Text laid out in R by DrawTextW with DT_* Format flags; R is updated when
  // Format has DT_CALCRECT.
  void TextRect(TRect& R, const String& Text, UINT Format);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }

  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);
  DWORD CopyMode = SRCCOPY;

  TColor Pixel(Integer X, Integer Y);
  void SetPixel(Integer X, Integer Y, TColor Color);

  // Serialises drawing on a canvas shared with another thread.
  void Lock();
  void Unlock();
  bool TryLock();
  Integer LockCount() const { return FLockCount; }

protected:
  virtual void CreateHandle() {}
  // Takes the font, pen and brush out of the DC (their originals go back).
  void DeselectHandles();
  void RequiredState(TCanvasState State);

private:
  void ObjectChanged(TCanvasStateItem Flag);
  void ApplyTextColors();

  HDC FHandle = nullptr;  // owned by whoever set it
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  HGDIOBJ FOldFont = nullptr;
  HGDIOBJ FOldPen = nullptr;
  HGDIOBJ FOldBrush = nullptr;
  TPoint FPenPos;
  TCriticalSection FLock;
  Integer FLockCount = 0;
};

// Draws on a device context owned elsewhere for the guard's scope: the
// canvas takes DC and lets it go again (its font, pen and brush taken out)
// at the end, however the scope ends.
class TCanvasOnDC {
public:
  TCanvasOnDC(TCanvas& Canvas, HDC DC) : FCanvas(Canvas) { Canvas.SetHandle(DC); }
  ~TCanvasOnDC() { FCanvas.SetHandle(nullptr); }
  TCanvasOnDC(const TCanvasOnDC&) = delete;
  TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

private:
  TCanvas& FCanvas;
};

// Holds a canvas's lock for the guard's scope.
class TCanvasLock {
public:
  explicit TCanvasLock(TCanvas& Canvas) : FCanvas(Canvas) { Canvas.Lock(); }
  ~TCanvasLock() { FCanvas.Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

private:
  TCanvas& FCanvas;
};

// ---------------------------------------------------------------- graphics

class TGraphic : public TPersistent {
public:
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  // Draws the whole graphic into Rect (stretched when sizes differ).
  virtual void Draw(TCanvas& ACanvas, const TRect& Rect) = 0;
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  TNotifyEvent OnChange;

protected:
  void Changed();
  bool FTransparent = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A top-down DIB section with its own memory DC for the canvas. pf1bit,
// pf4bit and pf8bit hold palette indices (new pictures get a fixed palette
// in which black, white, the primaries and the VGA colours are exact);
// pf15bit is 5-5-5 and pf16bit 5-6-5 in a 16-bit word; pfDevice is kept as
// a 32-bit DIB. pfCustom raises EInvalidGraphic.
class TBitmap : public TGraphic {
public:
  TBitmap();
  TBitmap(Integer AWidth, Integer AHeight);
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  Integer Width() const override { return FWidth; }
  Integer Height() const override { return FHeight; }
  void SetWidth(Integer Value) { SetSize(Value, FHeight); }
  void SetHeight(Integer Value) { SetSize(FWidth, Value); }
  // Keeps the overlapping part of the picture; new pixels are white.
  void SetSize(Integer AWidth, Integer AHeight);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value) { SetPixelFormat(Value ? pf1bit : pfDevice); }
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  // afDefined premultiplies the pixels now (stored afPremultiplied after).
  void SetAlphaFormat(TAlphaFormat Value);

  TCanvas* Canvas();
  HBITMAP Handle() const { return static_cast<HBITMAP>(FBitmap.Get()); }
  // First byte of row Row (0 = top); rows are 4-byte aligned.
  void* ScanLine(Integer Row);
  Integer BytesPerScanLine() const;

  // tmAuto takes the colour of the bottom-left pixel.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  // BMP files of the bitmap's own format are written; any picture GDI+ can
  // read is loaded (as pf32bit).
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // A BITMAP resource; EResNotFound "Resource <name> not found" if absent.
  void LoadFromResourceName(HINSTANCE Instance, const String& Name);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResId);
  // Takes a copy of Source's pixels in this bitmap's format.
  void LoadFromHBitmap(HBITMAP Source);
  // Copies W x H 32-bit rows (premultiplied ARGB, top-down) into a new pf32bit picture.
  void LoadFromPixels32(Integer W, Integer H, const void* Bits, Integer Stride, TAlphaFormat Format);

private:
  friend class TBitmapCanvas;
  void Recreate(Integer AWidth, Integer AHeight, TPixelFormat Format, bool Keep);
  HDC MemoryDC();
  Integer BitsPerPixel() const;

  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TAlphaFormat FAlphaFormat = afIgnored;
  TGdiObject FBitmap;
  void* FBits = nullptr;           // owned by FBitmap
  std::unique_ptr<TMemoryDC> FDC;  // made on demand, with FBitmap selected
  HGDIOBJ FOldBitmap = nullptr;    // FDC's own bitmap, back in it before it goes
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
};

// A new 32-bit top-down DIB section of Width x Height pixels, selected in
// no device context; Bits receives its memory. nullptr when it cannot be
// made.
HBITMAP CreateDib32(Integer Width, Integer Height, void*& Bits);

// A 32-bit top-down DIB section holding the pixels of Picture (which is
// pf32bit), selected in no device context, for the system controls that
// take a bitmap of their own and draw its alpha. Empty when Picture has no
// pixels or the section cannot be made.
TGdiObject DibSectionCopy(TBitmap& Picture);

// An icon held as an HICON and drawn with DrawIconEx, so
// its mask (or alpha) is always honoured: icons are transparent.
class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* Source) override;

  Integer Width() const override { return FWidth; }
  Integer Height() const override { return FHeight; }
  bool Empty() const override { return !FHandle; }
  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}

  HICON Handle() const { return FHandle.Get(); }
  // Takes ownership of Value (nullptr empties the icon).
  void SetHandle(HICON Value);
  // Gives up ownership: the caller destroys the handle.
  HICON ReleaseHandle();
  // The size LoadFrom* ask for; 0 x 0 takes the image's own size (the
  // first one of an ICO file, SM_CXICON for resources).
  void SetSize(Integer AWidth, Integer AHeight);

  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  // ICO data: the entry nearest the wanted size (else the first) becomes
  // the icon; saving writes the data loaded last.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // An ICON resource; EResNotFound "Resource <name> not found" if absent.
  void LoadFromResourceName(HINSTANCE Instance, const String& Name);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResId);

private:
  void TakeHandle(TIconHandle Value, TBytes Data);

  TIconHandle FHandle;
  Integer FWidth = 0;
  Integer FHeight = 0;
  Integer FRequestedWidth = 0;
  Integer FRequestedHeight = 0;
  TBytes FData;  // the ICO file the icon came from, if any
};
