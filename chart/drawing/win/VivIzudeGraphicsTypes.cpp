#include "chart/drawing/win/VivIzudeGraphicsTypes.h"

#include <cmath>

namespace {
TColor Translated(TColor Value) {
  if (Value == clNone) return gcNull;
  if (Value == clDefault) return static_cast<TColor>(0xFF00000Fu);
  return Value;
}
// Unequal also when either value is not a number.
bool Differs(float A, float B) { return !(A == B); }
}  // namespace

// ---------------------------------------------------------------- fill
TVivIzudeCustomGraphicsFill::TVivIzudeCustomGraphicsFill(TVivIzudeGraphicsFillKind AKind, TColor AColor)
    : FKind(AKind), FColor(AColor), FTexture(std::make_unique<TPicture>()) {
  FTexture->OnChange = [this](TObject*) { Changed(); };
}

TVivIzudeCustomGraphicsFill::~TVivIzudeCustomGraphicsFill() { FTexture->OnChange = nullptr; }

void TVivIzudeCustomGraphicsFill::Changed() {
  if (OnChanged && FUpdateCount == 0) OnChanged(this);
}

void TVivIzudeCustomGraphicsFill::SetColorField(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Translated(Value);
  Changed();
}

void TVivIzudeCustomGraphicsFill::SetKind(TVivIzudeGraphicsFillKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed();
}

void TVivIzudeCustomGraphicsFill::SetOrientation(TVivIzudeGraphicsFillOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TVivIzudeCustomGraphicsFill::SetOpacity(float Value) {
  if (!Differs(FOpacity, Value)) return;
  FOpacity = Value;
  Changed();
}

void TVivIzudeCustomGraphicsFill::SetTexture(TPicture* Value) {
  if (Value == FTexture.get()) return;
  FTexture->Assign(Value);
  Changed();
}

void TVivIzudeCustomGraphicsFill::SetTextureMode(TVivIzudeGraphicsTextureMode Value) {
  if (FTextureMode == Value) return;
  FTextureMode = Value;
  Changed();
}

void TVivIzudeCustomGraphicsFill::Assign(TPersistent* Source) {
  if (auto* Fill = dynamic_cast<TVivIzudeCustomGraphicsFill*>(Source)) {
    if (Fill != this) {
      FColor = Fill->FColor;
      FColorTo = Fill->FColorTo;
      FColorMirror = Fill->FColorMirror;
      FColorMirrorTo = Fill->FColorMirrorTo;
      FKind = Fill->FKind;
      FOrientation = Fill->FOrientation;
      FOpacity = Fill->FOpacity;
      FTexture->Assign(Fill->FTexture.get());
      FTextureMode = Fill->FTextureMode;
    }
  } else if (auto* Stroke = dynamic_cast<TVivIzudeCustomGraphicsStroke*>(Source)) {
    FColor = Stroke->Color();
    FColorTo = FColorMirror = FColorMirrorTo = gcNull;
    FKind = gfkSolid;
    FOrientation = gfoVertical;
    FOpacity = 1;
  }
  Changed();
}

// ---------------------------------------------------------------- stroke
TVivIzudeCustomGraphicsStroke::TVivIzudeCustomGraphicsStroke(TVivIzudeGraphicsStrokeKind AKind, TColor AColor)
    : FKind(AKind), FColor(AColor) {}

void TVivIzudeCustomGraphicsStroke::Changed() {
  if (OnChanged && FUpdateCount == 0) OnChanged(this);
}

void TVivIzudeCustomGraphicsStroke::SetKind(TVivIzudeGraphicsStrokeKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed();
}

void TVivIzudeCustomGraphicsStroke::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Translated(Value);
  Changed();
}

void TVivIzudeCustomGraphicsStroke::SetWidth(float Value) {
  if (!Differs(FWidth, Value)) return;
  FWidth = Value;
  Changed();
}

void TVivIzudeCustomGraphicsStroke::SetOpacity(float Value) {
  if (!Differs(FOpacity, Value)) return;
  FOpacity = Value;
  Changed();
}

void TVivIzudeCustomGraphicsStroke::Assign(TPersistent* Source) {
  if (auto* Stroke = dynamic_cast<TVivIzudeCustomGraphicsStroke*>(Source)) {
    FColor = Stroke->FColor;
    FKind = Stroke->FKind;
    FOpacity = Stroke->FOpacity;
    FWidth = Stroke->FWidth;
  } else if (auto* Fill = dynamic_cast<TVivIzudeCustomGraphicsFill*>(Source)) {
    FColor = Fill->Color();
    FKind = gskSolid;
    FWidth = 1;
    FOpacity = 1;
  }
  Changed();
}

// ---------------------------------------------------------------- font
void TVivIzudeGraphicsFont::Changed() {
  TFont::Changed();
  if (OnChanged && FUpdateCount == 0) OnChanged(this);
}

void TVivIzudeGraphicsFont::Assign(TPersistent* Source) {
  TFont::Assign(Source);
  Changed();
}

// ---------------------------------------------------------------- save state
TVivIzudeGraphicsSaveState::TVivIzudeGraphicsSaveState()
    : FFont(std::make_unique<TVivIzudeGraphicsFont>()),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0xC0C0C0)),
      FFill(std::make_unique<TVivIzudeGraphicsFill>(gfkSolid, 0xFFFFFF)) {}
