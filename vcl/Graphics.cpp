#include "vcl/Graphics.h"

#include <algorithm>
#include <cstring>

#include "rtl/SysUtils.h"
#include "vcl/Pictures.h"

TBytes ReadStreamRest(TStream& Stream) {
  const Int64 left = Stream.Size() - Stream.Position();
  TBytes bytes(static_cast<std::size_t>(std::max<Int64>(left, 0)));
  if (!bytes.empty()) Stream.ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  return bytes;
}

// ---------------------------------------------------------------- colours

TColor ColorToRGB(TColor Color) {
  if (Color < 0) return static_cast<TColor>(GetSysColor(Color & 0xFF));
  return Color;
}

// ---------------------------------------------------------------- value objects

void TGraphicsObject::Changed() {
  FStale = true;
  if (OnChange) OnChange(this);
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FName = f->FName;
    FHeight = ::MulDiv(f->FHeight, FPixelsPerInch, f->FPixelsPerInch);
    FStyle = f->FStyle;
    FColor = f->FColor;
    FPitch = f->FPitch;
    FQuality = f->FQuality;
    FOrientation = f->FOrientation;
    FCharset = f->FCharset;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HFONT TFont::Handle() {
  if (FStale || !FResource) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    static const BYTE qualities[] = {DEFAULT_QUALITY,          DRAFT_QUALITY,       PROOF_QUALITY,
                                     NONANTIALIASED_QUALITY,   ANTIALIASED_QUALITY, CLEARTYPE_QUALITY,
                                     CLEARTYPE_NATURAL_QUALITY};
    lf.lfQuality = qualities[FQuality];
    lf.lfPitchAndFamily = static_cast<BYTE>(FPitch == fpFixed      ? FIXED_PITCH
                                            : FPitch == fpVariable ? VARIABLE_PITCH
                                                                   : DEFAULT_PITCH);
    const std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
    std::memcpy(lf.lfFaceName, FName.data(), n * sizeof(wchar_t));
    FResource.Reset(CreateFontIndirectW(&lf));
    FStale = false;
  }
  return static_cast<HFONT>(FResource.Get());
}

void TFont::SetName(const String& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  Changed();
}

Integer TFont::Size() const { return -::MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer Value) { SetHeight(-::MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  // The colour is not part of the GDI font: keep the handle.
  const bool stale = FStale;
  Changed();
  FStale = stale;
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::SetQuality(TFontQuality Value) {
  if (Value == FQuality) return;
  FQuality = Value;
  Changed();
}

void TFont::SetOrientation(Integer Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

void TFont::SetCharset(Byte Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}

int PenModeToROP2(TPenMode Mode) {
  static const int rops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return rops[Mode];
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HPEN TPen::Handle() {
  if (FStale || !FResource) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FResource.Reset(CreatePen(styles[FStyle], FWidth, static_cast<COLORREF>(ColorToRGB(FColor))));
    FStale = false;
  }
  return static_cast<HPEN>(FResource.Get());
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(Integer Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HBRUSH TBrush::Handle() {
  if (FStale || !FResource) {
    HBRUSH brush;
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(FColor));
    if (FBitmap && FBitmap->Handle()) {
      brush = CreatePatternBrush(FBitmap->Handle());
    } else if (FStyle == bsSolid) {
      brush = CreateSolidBrush(rgb);
    } else if (FStyle == bsClear) {
      LOGBRUSH lb{BS_NULL, 0, 0};
      brush = CreateBrushIndirect(&lb);
    } else {
      static const int hatches[] = {0,        0,           HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL,
                                    HS_CROSS, HS_DIAGCROSS};
      brush = CreateHatchBrush(hatches[FStyle], rgb);
    }
    FResource.Reset(brush);
    FStale = false;
  }
  return static_cast<HBRUSH>(FResource.Get());
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  Changed();
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = [this](TObject*) { ObjectChanged(csFontValid); };
  FPen->OnChange = [this](TObject*) { ObjectChanged(csPenValid); };
  FBrush->OnChange = [this](TObject*) { ObjectChanged(csBrushValid); };
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
  RequiredState(csHandleValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  DeselectHandles();
  FHandle = Value;
  FState = Value ? TCanvasState(csHandleValid) : TCanvasState();
  if (Value) MoveToEx(Value, FPenPos.X, FPenPos.Y, nullptr);
}

void TCanvas::DeselectHandles() {
  if (FHandle) {
    if (FOldFont) SelectObject(FHandle, FOldFont);
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
  }
  FOldFont = FOldPen = FOldBrush = nullptr;
  FState = FState * csHandleValid;
}

void TCanvas::ObjectChanged(TCanvasStateItem Flag) {
  if (!FState.Contains(Flag) || !FHandle) return;
  HGDIOBJ& old = Flag == csFontValid ? FOldFont : Flag == csPenValid ? FOldPen : FOldBrush;
  if (old) SelectObject(FHandle, old);
  old = nullptr;
  FState.Exclude(Flag);
}

void TCanvas::RequiredState(TCanvasState State) {
  const TCanvasState need = State - FState;
  if (need.Empty()) return;
  if (need.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation(u"Canvas does not allow drawing");
  }
  auto select = [this](HGDIOBJ object, HGDIOBJ& old) {
    HGDIOBJ previous = SelectObject(FHandle, object);
    if (!old) old = previous;
  };
  if (need.Contains(csFontValid)) {
    select(FFont->Handle(), FOldFont);
    FState.Include(csFontValid);
  }
  if (need.Contains(csPenValid)) {
    select(FPen->Handle(), FOldPen);
    SetROP2(FHandle, PenModeToROP2(FPen->Mode()));
    FState.Include(csPenValid);
  }
  if (need.Contains(csBrushValid)) {
    select(FBrush->Handle(), FOldBrush);
    FState.Include(csBrushValid);
  }
}

TRect TCanvas::ClipRect() {
  RECT r{};
  GetClipBox(Handle(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState(csHandleValid);
  MoveToEx(FHandle, X, Y, nullptr);
  FPenPos = {X, Y};
}

void TCanvas::LineTo(Integer X, Integer Y) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  FPenPos = {X, Y};
}

namespace {
std::vector<POINT> ToPoints(const std::vector<TPoint>& Points) {
  std::vector<POINT> out;
  out.reserve(Points.size());
  for (const TPoint& p : Points) out.push_back(POINT{p.X, p.Y});
  return out;
}
RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }
}  // namespace

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const auto pts = ToPoints(Points);
  ::Polyline(FHandle, pts.data(), static_cast<int>(pts.size()));
  FPenPos = Points.back();
  MoveToEx(FHandle, FPenPos.X, FPenPos.Y, nullptr);
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const auto pts = ToPoints(Points);
  ::Polygon(FHandle, pts.data(), static_cast<int>(pts.size()));
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::FillRect(const TRect& R) {
  RequiredState({csHandleValid, csBrushValid});
  const RECT rc = ToRECT(R);
  ::FillRect(FHandle, &rc, FBrush->Handle());
}

void TCanvas::FrameRect(const TRect& R) {
  RequiredState({csHandleValid, csBrushValid});
  const RECT rc = ToRECT(R);
  ::FrameRect(FHandle, &rc, FBrush->Handle());
}

void TCanvas::ApplyTextColors() {
  SetTextColor(FHandle, static_cast<COLORREF>(ColorToRGB(FFont->Color())));
  if (FBrush->Style() == bsClear) {
    SetBkMode(FHandle, TRANSPARENT);
  } else {
    SetBkMode(FHandle, OPAQUE);
    SetBkColor(FHandle, static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
  }
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ApplyTextColors();
  ExtTextOutW(FHandle, X, Y, 0, nullptr, WideCStr(Text), static_cast<UINT>(Text.size()), nullptr);
  MoveTo(X + TextWidth(Text), Y);
}

void TCanvas::TextRect(const TRect& R, Integer X, Integer Y, const String& Text) {
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ApplyTextColors();
  const RECT rc = ToRECT(R);
  UINT options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutW(FHandle, X, Y, options, &rc, WideCStr(Text), static_cast<UINT>(Text.size()), nullptr);
}

void TCanvas::TextRect(TRect& R, const String& Text, UINT Format) {
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ApplyTextColors();
  RECT rc = ToRECT(R);
  DrawTextW(FHandle, WideCStr(Text), static_cast<int>(Text.size()), &rc, Format);
  if (Format & DT_CALCRECT) R = {rc.left, rc.top, rc.right, rc.bottom};
}

TSize TCanvas::TextExtent(const String& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32W(FHandle, WideCStr(Text), static_cast<int>(Text.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Graphic->Draw(*this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Graphic->Draw(*this, R);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect) {
  if (!Source) return;
  RequiredState({csHandleValid, csBrushValid});
  HDC src = Source->Handle();
  SetStretchBltMode(FHandle, COLORONCOLOR);
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, SourceRect.Left, SourceRect.Top,
             SourceRect.Width(), SourceRect.Height(), CopyMode);
}

TColor TCanvas::Pixel(Integer X, Integer Y) { return static_cast<TColor>(GetPixel(Handle(), X, Y)); }

void TCanvas::SetPixel(Integer X, Integer Y, TColor Color) {
  SetPixelV(Handle(), X, Y, static_cast<COLORREF>(ColorToRGB(Color)));
}

void TCanvas::Lock() {
  FLock.Enter();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.Leave();
}

bool TCanvas::TryLock() {
  if (!FLock.TryEnter()) return false;
  ++FLockCount;
  return true;
}

// ---------------------------------------------------------------- TGraphic

void TGraphic::SaveToStream(TStream&) { throw EInvalidGraphic(u"Saving is not supported for " + ClassName()); }

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(stream);
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TBitmap

class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { SetHandle(nullptr); }

protected:
  void CreateHandle() override { SetHandle(FBitmap->MemoryDC()); }

private:
  TBitmap* FBitmap;  // the owner
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(Integer AWidth, Integer AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
  FCanvas.reset();
  // The picture leaves the DC before either goes.
  if (FDC) SelectObject(FDC->Get(), FOldBitmap);
}

Integer TBitmap::BitsPerPixel() const {
  switch (FPixelFormat) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

Integer TBitmap::BytesPerScanLine() const { return ((FWidth * BitsPerPixel() + 31) / 32) * 4; }

HDC TBitmap::MemoryDC() {
  if (!FDC) {
    FDC = std::make_unique<TMemoryDC>();
    FOldBitmap = GetCurrentObject(FDC->Get(), OBJ_BITMAP);
    if (FBitmap) SelectObject(FDC->Get(), FBitmap.Get());
  }
  return FDC->Get();
}

namespace {
// The 16 colours of a pf4bit picture, in the VGA order.
constexpr TColor kVgaColors[16] = {clBlack, clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clSilver,
                                   clGray,  clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};

RGBQUAD ToQuad(TColor C) {
  return RGBQUAD{static_cast<Byte>(C >> 16), static_cast<Byte>(C >> 8), static_cast<Byte>(C), 0};
}

// A BITMAPINFO with room for a full palette (or the three BI_BITFIELDS masks,
// which take the place of the colour table). New pictures get a fixed
// palette: black and white for pf1bit, the VGA colours for pf4bit, and for
// pf8bit a 6x6x6 colour cube, a grey ramp and the VGA colours, so that the
// pure primaries, black, white and the VGA greys are exact. Black is the
// first entry and white the last, as WHITENESS and BLACKNESS expect.
struct TBitmapInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};
  TBitmapInfo(Integer W, Integer H, Integer Bpp, bool TopDown, bool Masks565 = false) {
    Header.biSize = sizeof(BITMAPINFOHEADER);
    Header.biWidth = W;
    Header.biHeight = TopDown ? -H : H;
    Header.biPlanes = 1;
    Header.biBitCount = static_cast<WORD>(Bpp);
    Header.biCompression = BI_RGB;
    if (Bpp == 1) {
      Colors[1] = ToQuad(clWhite);
    } else if (Bpp == 4) {
      for (int i = 0; i < 16; ++i) Colors[i] = ToQuad(kVgaColors[i]);
    } else if (Bpp == 8) {
      int n = 0;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            Colors[n++] = RGBQUAD{static_cast<Byte>(b * 51), static_cast<Byte>(g * 51), static_cast<Byte>(r * 51), 0};
      for (int i = 1; n < 240; ++i, ++n) {
        const Byte v = static_cast<Byte>(i * 10);
        Colors[n] = RGBQUAD{v, v, v, 0};
      }
      for (TColor c : kVgaColors) Colors[n++] = ToQuad(c);
    } else if (Bpp == 16 && Masks565) {
      Header.biCompression = BI_BITFIELDS;
      const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(Colors, masks, sizeof(masks));
    }
    if (Bpp <= 8) Header.biClrUsed = 1u << Bpp;
  }
  // The bytes between the header and the pixels.
  DWORD TableBytes() const {
    if (Header.biCompression == BI_BITFIELDS) return 3 * sizeof(DWORD);
    return Header.biClrUsed * sizeof(RGBQUAD);
  }
  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};
}  // namespace

void TBitmap::Recreate(Integer AWidth, Integer AHeight, TPixelFormat Format, bool Keep) {
  if (Format == pfCustom) throw EInvalidGraphic(u"Unsupported pixel format");
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  const TPixelFormat oldFormat = FPixelFormat;
  FPixelFormat = Format;
  TGdiObject fresh;
  void* bits = nullptr;
  if (AWidth > 0 && AHeight > 0) {
    TBitmapInfo info(AWidth, AHeight, BitsPerPixel(), true, Format == pf16bit);
    HBITMAP handle = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle) {
      FPixelFormat = oldFormat;
      throw EOutOfResources(u"Out of system resources");
    }
    fresh.Reset(handle);
    TMemoryDC dc;
    {
      TSelectGuard select(dc.Get(), handle);
      PatBlt(dc.Get(), 0, 0, AWidth, AHeight, WHITENESS);
      if (Keep && FBitmap)
        BitBlt(dc.Get(), 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), MemoryDC(), 0, 0, SRCCOPY);
    }
  }
  if (FDC) SelectObject(FDC->Get(), fresh ? fresh.Get() : FOldBitmap);
  FBitmap = std::move(fresh);
  FBits = bits;
  FWidth = FBitmap ? AWidth : 0;
  FHeight = FBitmap ? AHeight : 0;
  Changed();
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  Recreate(AWidth, AHeight, FPixelFormat, true);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  Recreate(FWidth, FHeight, Value, true);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
  if (Value == FAlphaFormat) return;
  if (Value == afDefined && FPixelFormat == pf32bit && FBits) {
    for (Integer y = 0; y < FHeight; ++y) {
      auto* p = static_cast<Byte*>(ScanLine(y));
      for (Integer x = 0; x < FWidth; ++x, p += 4) {
        const unsigned a = p[3];
        p[0] = static_cast<Byte>(p[0] * a / 255);
        p[1] = static_cast<Byte>(p[1] * a / 255);
        p[2] = static_cast<Byte>(p[2] * a / 255);
      }
    }
  }
  FAlphaFormat = Value;
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

void* TBitmap::ScanLine(Integer Row) {
  if (!FBits || Row < 0 || Row >= FHeight) throw EInvalidGraphic(u"Scan line index out of range");
  GdiFlush();
  return static_cast<Byte*>(FBits) + static_cast<std::size_t>(Row) * static_cast<std::size_t>(BytesPerScanLine());
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (!FBitmap) return clDefault;
  return static_cast<TColor>(GetPixel(MemoryDC(), 0, FHeight - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  FTransparentMode = Value;
  if (Value == tmAuto) FTransparentColor = clDefault;
  Changed();
}

void TBitmap::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    Recreate(b->FWidth, b->FHeight, b->FPixelFormat, false);
    if (FBits && b->FBits) {
      GdiFlush();
      std::memcpy(FBits, b->FBits, static_cast<std::size_t>(BytesPerScanLine()) * static_cast<std::size_t>(FHeight));
      // The indices only mean something with the source's own palette.
      if (BitsPerPixel() <= 8) {
        RGBQUAD colors[256];
        const UINT n = GetDIBColorTable(b->MemoryDC(), 0, 256, colors);
        if (n) SetDIBColorTable(MemoryDC(), 0, n, colors);
      }
    }
    FAlphaFormat = b->FAlphaFormat;
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed();
    return;
  }
  if (auto* g = dynamic_cast<TGdiPlusGraphic*>(Source)) {
    Assign(g->Bitmap());
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas& ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC dst = ACanvas.Handle();
  HDC src = MemoryDC();
  if (FPixelFormat == pf32bit && FAlphaFormat != afIgnored) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, blend);
  } else if (FTransparent) {
    TransparentBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
                   static_cast<UINT>(ColorToRGB(TransparentColor()) & 0xFFFFFF));
  } else if (Rect.Width() == FWidth && Rect.Height() == FHeight) {
    BitBlt(dst, Rect.Left, Rect.Top, FWidth, FHeight, src, 0, 0, ACanvas.CopyMode);
  } else {
    SetStretchBltMode(dst, HALFTONE);
    SetBrushOrgEx(dst, 0, 0, nullptr);
    StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, ACanvas.CopyMode);
  }
}

void TBitmap::SaveToStream(TStream& Stream) {
  const Integer bpp = BitsPerPixel();
  const Integer rowBytes = FWidth > 0 ? BytesPerScanLine() : 0;
  TBitmapInfo info(FWidth, FHeight, bpp, false, FPixelFormat == pf16bit);
  if (bpp <= 8 && FBitmap) GetDIBColorTable(MemoryDC(), 0, info.Header.biClrUsed, info.Colors);
  const DWORD paletteBytes = info.TableBytes();
  const DWORD imageBytes = static_cast<DWORD>(rowBytes) * static_cast<DWORD>(FHeight);
  info.Header.biSizeImage = imageBytes;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + paletteBytes;
  file.bfSize = file.bfOffBits + imageBytes;
  Stream.WriteBuffer(&file, sizeof(file));
  Stream.WriteBuffer(&info.Header, sizeof(BITMAPINFOHEADER));
  if (paletteBytes) Stream.WriteBuffer(info.Colors, paletteBytes);
  for (Integer y = FHeight - 1; y >= 0; --y) Stream.WriteBuffer(ScanLine(y), rowBytes);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const TBytes bytes = ReadStreamRest(Stream);
  DecodePicture(bytes.data(), bytes.size(), *this);
  FAlphaFormat = afIgnored;
}

void TBitmap::LoadFromHBitmap(HBITMAP Source) {
  BITMAP info{};
  if (!Source || !GetObjectW(Source, sizeof(info), &info)) throw EInvalidGraphic(u"Invalid bitmap handle");
  TPixelFormat format;
  switch (info.bmBitsPixel) {
    case 1:
      format = pf1bit;
      break;
    case 4:
      format = pf4bit;
      break;
    case 8:
      format = pf8bit;
      break;
    case 16:
      format = pf16bit;
      break;
    case 32:
      format = pf32bit;
      break;
    default:
      format = pf24bit;
  }
  Recreate(info.bmWidth, info.bmHeight, format, false);
  if (!FBits) return;
  TBitmapInfo wanted(FWidth, FHeight, BitsPerPixel(), true, format == pf16bit);
  GetDIBits(TWindowDC(nullptr).Get(), Source, 0, static_cast<UINT>(FHeight), FBits, wanted.Get(), DIB_RGB_COLORS);
  // GetDIBits answers with the source's palette; the indices refer to it.
  if (BitsPerPixel() <= 8) SetDIBColorTable(MemoryDC(), 0, wanted.Header.biClrUsed, wanted.Colors);
  Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& Name) {
  HANDLE image = LoadImageW(Instance, WideCStr(Name), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) throw EResNotFound(u"Resource " + Name + u" not found");
  TGdiObject owned(image);
  LoadFromHBitmap(static_cast<HBITMAP>(image));
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResId) {
  HANDLE image = LoadImageW(Instance, MAKEINTRESOURCEW(ResId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) throw EResNotFound(u"Resource " + IntToStr(ResId) + u" not found");
  TGdiObject owned(image);
  LoadFromHBitmap(static_cast<HBITMAP>(image));
}

void TBitmap::LoadFromPixels32(Integer W, Integer H, const void* Bits, Integer Stride, TAlphaFormat Format) {
  Recreate(W, H, pf32bit, false);
  if (FBits) {
    GdiFlush();
    for (Integer y = 0; y < H; ++y)
      std::memcpy(ScanLine(y), static_cast<const Byte*>(Bits) + static_cast<std::ptrdiff_t>(y) * Stride,
                  static_cast<std::size_t>(W) * 4);
  }
  FAlphaFormat = Format;
  Changed();
}

// ---------------------------------------------------------------- TIcon

namespace {
TSize IconSize(HICON Icon) {
  ICONINFO info{};
  if (!Icon || !GetIconInfo(Icon, &info)) return {0, 0};
  TGdiObject color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (color) {
    GetObjectW(color.Get(), sizeof(bm), &bm);
    return {bm.bmWidth, bm.bmHeight};
  }
  // A monochrome icon: the AND and XOR masks stacked in one bitmap.
  GetObjectW(mask.Get(), sizeof(bm), &bm);
  return {bm.bmWidth, bm.bmHeight / 2};
}

#pragma pack(push, 2)
struct TIconDirEntry {
  Byte Width, Height, ColorCount, Reserved;
  Word Planes, BitCount;
  DWORD BytesInRes, ImageOffset;
};
#pragma pack(pop)
}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

void TIcon::TakeHandle(TIconHandle Value, TBytes Data) {
  FHandle = std::move(Value);
  FData = std::move(Data);
  const TSize size = IconSize(FHandle.Get());
  FWidth = size.cx;
  FHeight = size.cy;
  Changed();
}

void TIcon::SetHandle(HICON Value) {
  if (Value != FHandle.Get()) TakeHandle(TIconHandle(Value), {});
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle.Release();
  FWidth = FHeight = 0;
  FData.clear();
  Changed();
  return h;
}

void TIcon::SetSize(Integer AWidth, Integer AHeight) {
  FRequestedWidth = std::max(0, AWidth);
  FRequestedHeight = std::max(0, AHeight);
}

void TIcon::Assign(TPersistent* Source) {
  if (auto* icon = dynamic_cast<TIcon*>(Source)) {
    if (icon == this) return;
    TBytes data = icon->FData;
    TIconHandle copy(icon->FHandle ? CopyIcon(icon->FHandle.Get()) : nullptr);
    if (icon->FHandle && !copy) throw EOutOfResources(u"Out of system resources");
    TakeHandle(std::move(copy), std::move(data));
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas& ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(ACanvas.Handle(), Rect.Left, Rect.Top, FHandle.Get(), Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& Stream) {
  TBytes data = ReadStreamRest(Stream);
  const String invalid = u"Invalid icon";
  if (data.size() < 6) throw EInvalidGraphic(invalid);
  Word kind, count;
  std::memcpy(&kind, &data[2], 2);
  std::memcpy(&count, &data[4], 2);
  if (data[0] || data[1] || kind != 1 || count == 0 || data.size() < 6 + std::size_t{count} * sizeof(TIconDirEntry))
    throw EInvalidGraphic(invalid);
  // The entry of the wanted size with the most colours, else the first.
  std::size_t best = 0;
  Integer bestBits = -1;
  for (std::size_t i = 0; i < count; ++i) {
    TIconDirEntry e;
    std::memcpy(&e, &data[6 + i * sizeof(TIconDirEntry)], sizeof(e));
    const Integer w = e.Width ? e.Width : 256, h = e.Height ? e.Height : 256;
    if (FRequestedWidth && w == FRequestedWidth && h == (FRequestedHeight ? FRequestedHeight : FRequestedWidth) &&
        e.BitCount > bestBits)
      best = i, bestBits = e.BitCount;
  }
  TIconDirEntry e;
  std::memcpy(&e, &data[6 + best * sizeof(TIconDirEntry)], sizeof(e));
  if (e.ImageOffset > data.size() || e.BytesInRes > data.size() - e.ImageOffset) throw EInvalidGraphic(invalid);
  const Integer w = e.Width ? e.Width : 256, h = e.Height ? e.Height : 256;
  TIconHandle icon(
      CreateIconFromResourceEx(&data[e.ImageOffset], e.BytesInRes, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR));
  if (!icon) throw EInvalidGraphic(invalid);
  TakeHandle(std::move(icon), std::move(data));
}

void TIcon::SaveToStream(TStream& Stream) {
  if (FData.empty()) throw EInvalidGraphic(u"Saving is not supported for an icon made from a handle");
  Stream.WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

void TIcon::LoadFromResourceName(HINSTANCE Instance, const String& Name) {
  HANDLE image = LoadImageW(Instance, WideCStr(Name), IMAGE_ICON, FRequestedWidth, FRequestedHeight, LR_DEFAULTSIZE);
  if (!image) throw EResNotFound(u"Resource " + Name + u" not found");
  TakeHandle(TIconHandle(static_cast<HICON>(image)), {});
}

void TIcon::LoadFromResourceID(HINSTANCE Instance, Integer ResId) {
  HANDLE image =
      LoadImageW(Instance, MAKEINTRESOURCEW(ResId), IMAGE_ICON, FRequestedWidth, FRequestedHeight, LR_DEFAULTSIZE);
  if (!image) throw EResNotFound(u"Resource " + IntToStr(ResId) + u" not found");
  TakeHandle(TIconHandle(static_cast<HICON>(image)), {});
}

HBITMAP CreateDib32(Integer Width, Integer Height, void*& Bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Bits = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &Bits, nullptr, 0);
}

TGdiObject DibSectionCopy(TBitmap& Picture) {
  if (Picture.Width() <= 0 || Picture.Height() <= 0) return {};
  void* bits = nullptr;
  TGdiObject dib(CreateDib32(Picture.Width(), Picture.Height(), bits));
  if (!dib || !bits) return {};
  GdiFlush();
  const std::size_t row = static_cast<std::size_t>(Picture.Width()) * 4;
  for (Integer y = 0; y < Picture.Height(); ++y)
    std::memcpy(static_cast<Byte*>(bits) + row * static_cast<std::size_t>(y), Picture.ScanLine(y), row);
  return dib;
}
