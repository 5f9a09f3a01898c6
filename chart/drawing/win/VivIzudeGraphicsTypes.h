#pragma once
// The drawing layer's value objects: how shapes are filled, how outlines are
// stroked, which font text uses, and the snapshot the facade's SaveState
// keeps. Each notifies its owner of every change through OnChanged, held
// back while an update counter (BeginUpdate/EndUpdate) is above 0.
//
// Colours: a setter given clNone stores -1 (no colour) and clDefault the
// button-face reference 0xFF00000F; the comparison with the stored value is
// made before that translation.
#include <memory>

#include "chart/drawing/VivIzudeGraphicsTypes.h"
#include "vcl/Classes.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

inline constexpr TColor gcNull = -1;

class TVivIzudeCustomGraphicsFill : public TPersistent {
public:
  // Kind and colour as given (no clNone/clDefault translation here).
  explicit TVivIzudeCustomGraphicsFill(TVivIzudeGraphicsFillKind AKind = gfkSolid, TColor AColor = 0xFFFFFF);
  ~TVivIzudeCustomGraphicsFill() override;
  // From a fill: everything; from a stroke: its colour as a plain solid
  // fill; from anything else nothing. Then one change notification.
  void Assign(TPersistent* Source) override;
  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate() {
    --FUpdateCount;
    Changed();
  }

  TVivIzudeGraphicsFillKind Kind() const { return FKind; }
  void SetKind(TVivIzudeGraphicsFillKind Value);
  TVivIzudeGraphicsFillOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TVivIzudeGraphicsFillOrientation Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { SetColorField(FColor, Value); }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor Value) { SetColorField(FColorTo, Value); }
  TColor ColorMirror() const { return FColorMirror; }
  void SetColorMirror(TColor Value) { SetColorField(FColorMirror, Value); }
  TColor ColorMirrorTo() const { return FColorMirrorTo; }
  void SetColorMirrorTo(TColor Value) { SetColorField(FColorMirrorTo, Value); }
  float Opacity() const { return FOpacity; }
  void SetOpacity(float Value);
  // The owned texture picture; changing its contents notifies the fill.
  TPicture* Texture() const { return FTexture.get(); }
  void SetTexture(TPicture* Value);
  TVivIzudeGraphicsTextureMode TextureMode() const { return FTextureMode; }
  void SetTextureMode(TVivIzudeGraphicsTextureMode Value);
  TNotifyEvent OnChanged;

protected:
  void Changed();

private:
  void SetColorField(TColor& Field, TColor Value);
  Integer FUpdateCount = 0;
  TVivIzudeGraphicsFillOrientation FOrientation = gfoVertical;
  TVivIzudeGraphicsFillKind FKind;
  TColor FColor, FColorTo = 0x808080, FColorMirror = gcNull, FColorMirrorTo = gcNull;
  float FOpacity = 1;
  std::unique_ptr<TPicture> FTexture;
  TVivIzudeGraphicsTextureMode FTextureMode = gtmStretch;
};

class TVivIzudeGraphicsFill : public TVivIzudeCustomGraphicsFill {
public:
  using TVivIzudeCustomGraphicsFill::TVivIzudeCustomGraphicsFill;
};

class TVivIzudeCustomGraphicsStroke : public TPersistent {
public:
  explicit TVivIzudeCustomGraphicsStroke(TVivIzudeGraphicsStrokeKind AKind = gskSolid, TColor AColor = 0xC0C0C0);
  // From a stroke: everything; from a fill: its colour as a plain solid
  // stroke of width 1; from anything else nothing. Then one notification.
  void Assign(TPersistent* Source) override;
  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate() {
    --FUpdateCount;
    Changed();
  }
  TVivIzudeGraphicsStrokeKind Kind() const { return FKind; }
  void SetKind(TVivIzudeGraphicsStrokeKind Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  float Width() const { return FWidth; }
  void SetWidth(float Value);
  float Opacity() const { return FOpacity; }
  void SetOpacity(float Value);
  TNotifyEvent OnChanged;

protected:
  void Changed();

private:
  Integer FUpdateCount = 0;
  TVivIzudeGraphicsStrokeKind FKind;
  TColor FColor;
  float FWidth = 1;
  float FOpacity = 1;
};

class TVivIzudeGraphicsStroke : public TVivIzudeCustomGraphicsStroke {
public:
  using TVivIzudeCustomGraphicsStroke::TVivIzudeCustomGraphicsStroke;
};

// A class-library font whose every change also fires OnChanged.
class TVivIzudeGraphicsFont : public TFont {
public:
  TVivIzudeGraphicsFont() = default;
  void Assign(TPersistent* Source) override;
  // The drawing layer copies fonts through this.
  virtual void AssignSource(TPersistent* Source) { Assign(Source); }
  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate() {
    --FUpdateCount;
    Changed();
  }
  TNotifyEvent OnChanged;

protected:
  void Changed() override;

private:
  Integer FUpdateCount = 0;
};

// What the facade's SaveState hands back: copies of its fill, stroke and
// font and two save counters its back ends fill in.
class TVivIzudeGraphicsSaveState : public TPersistent {
public:
  TVivIzudeGraphicsSaveState();
  Integer SaveDC = 0;
  Integer CustomSaveDC = 0;
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  // Copy into the owned objects; those are never replaced.
  void SetFill(TVivIzudeGraphicsFill* Value) { FFill->Assign(Value); }
  void SetStroke(TVivIzudeGraphicsStroke* Value) { FStroke->Assign(Value); }
  void SetFont(TVivIzudeGraphicsFont* Value) { FFont->AssignSource(Value); }

private:
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
};
