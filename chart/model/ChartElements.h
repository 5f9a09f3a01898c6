#pragma once
// The settings elements of a chart of one pane: title, background, the two
// axis bands, range, margin, bands, grids, crosshair, navigator, legend, and
// the marker settings of a serie. Each stores a property only when it
// changes, then calls Changed (OnChange); owned fonts and pictures are
// values; Assign copies without notifying unless its comment says so.
#include "chart/model/ChartPersistent.h"
#include "chart/model/ChartTypes.h"

class TVivIzude;

class TChartTitle : public TChartPersistent {
public:
  explicit TChartTitle(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment V) {
    if (Store(FAlignment, V)) Changed();
  }
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment V) {
    if (Store(FVerticalAlignment, V)) Changed();
  }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer V) {
    if (Store(FBorderWidth, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (Store(FGradientSteps, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  // Changing the owned font in place does not notify; SetFont does.
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V);
  TTitlePosition Position() const { return FPosition; }
  void SetPosition(TTitlePosition V) {
    if (Store(FPosition, V)) Changed();
  }
  Integer Size() const { return FSize; }
  void SetSize(Integer V) {
    if (V >= 0 && Store(FSize, V)) Changed();
  }
  const String& Text() const { return FText; }
  void SetText(const String& V) {
    if (Store(FText, V)) Changed();
  }
  Integer TopSize() const { return (FPosition == tTop || FPosition == tBoth) ? FSize : 0; }
  Integer BottomSize() const { return (FPosition == tBottom || FPosition == tBoth) ? FSize : 0; }

  void Draw(TChartCanvas& Canvas, bool Top, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartTitle>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;  // not owned
  TAlignment FAlignment = taLeftJustify;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  TColor FBorderColor = clNone;
  Integer FBorderWidth = 0;
  TColor FColor = clNone;
  TColor FColorTo = clNone;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  TChartFont FFont;
  TTitlePosition FPosition = tNone;
  Integer FSize = 20;
  String FText;
};

// Draws a picture into R at the given placement (background, chart pattern).
void DrawPositionedGraphic(TChartCanvas& Canvas, const TChartPicture& Picture, TChartBackGroundPosition Position,
                           const TRect& R, double ScaleX, double ScaleY, Integer TileTop = 0, Integer TileLeft = 0);

class TChartBackground : public TChartPersistent {
public:
  explicit TChartBackground(TVivIzude* AOwner);
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }

  TChartBackGroundPosition BackGroundPosition() const { return FBackGroundPosition; }
  void SetBackGroundPosition(TChartBackGroundPosition V) {
    if (Store(FBackGroundPosition, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V);
  // Replacing the graphic notifies through the picture.
  TChartPicture& Picture() { return FPicture; }
  const TChartPicture& Picture() const { return FPicture; }
  void SetPicture(const TChartPicture& V);
  bool PictureVisible() const { return FPictureVisible; }
  void SetPictureVisible(bool V) {
    if (Store(FPictureVisible, V)) Changed();
  }

  virtual void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartBackground>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  TChartBackGroundPosition FBackGroundPosition = bpTopLeft;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FGradientSteps = 100;
  TColor FColor = clNone;
  TColor FColorTo = clNone;
  TChartFont FFont;
  TChartPicture FPicture;
  bool FPictureVisible = false;
};

// What the two chart-level axis bands share.
class TChartAxisBand : public TChartPersistent {
public:
  explicit TChartAxisBand(TVivIzude* AOwner) : FOwner(AOwner) {}
  TVivIzude* Owner() const { return FOwner; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment V) {
    if (Store(FAlignment, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  Integer LineWidth() const { return FLineWidth; }
  void SetLineWidth(Integer V) {
    if (Store(FLineWidth, V)) Changed();
  }
  bool Line() const { return FLine; }
  void SetLine(bool V) {
    if (Store(FLine, V)) Changed();
  }
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (Store(FLineColor, V)) Changed();
  }
  Integer Size() const { return FSize; }
  void SetSize(Integer V) {
    if (V >= 0 && Store(FSize, V)) Changed();
  }
  const String& Text() const { return FText; }
  void SetText(const String& V) {
    if (Store(FText, V)) Changed();
  }
  Integer Offset3D() const { return FOffset3D; }
  void SetOffset3D(Integer V) {
    if (Store(FOffset3D, V)) Changed();
  }
  bool Darken3D() const { return FDarken3D; }
  void SetDarken3D(bool V) {
    if (Store(FDarken3D, V)) Changed();
  }
  bool Enable3D() const { return FEnable3D; }
  void SetEnable3D(bool V) {
    if (Store(FEnable3D, V)) Changed();
  }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool V) {
    if (Store(FAutoSize, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }

protected:
  // Appends the keys every axis band stores.
  template <class C>
  static void AppendBandKeys(TChartKeys<C>& Keys);
  void AssignBand(const TChartAxisBand& S);
  // Line size of one side: LineWidth 1 gives 1 on the near (top/left) side
  // and 0 on the far side; other widths give LineWidth div 2.
  Integer LineSize(bool OnSide, bool NearSide) const;
  // Selects the band's brush (its colour, darkened for 3D) and line pen,
  // then fills R with its colour or gradient (reversed when Reverse).
  void FillBand(TChartCanvas& Canvas, const TRect& R, bool Reverse) const;
  TVivIzude* FOwner;
  TAlignment FAlignment = taCenter;
  TColor FColor = clNone;
  TColor FColorTo = clNone;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FGradientSteps = 100;
  Integer FLineWidth = 1;
  bool FLine = true;
  TColor FLineColor = clBlack;
  Integer FSize = 30;
  String FText;
  Integer FOffset3D = 20;
  bool FDarken3D = true;
  bool FEnable3D = false;
  bool FAutoSize = true;
  TChartFont FFont;
};

class TChartXAxis : public TChartAxisBand {
public:
  explicit TChartXAxis(TVivIzude* AOwner);
  void Assign(const TObject* Source) override;
  // The owned font's own changes notify too.
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont.Assign(V);
  }
  TChartXAxisPosition Position() const { return FPosition; }
  void SetPosition(TChartXAxisPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  TChartUnitType UnitType() const { return FUnitType; }
  void SetUnitType(TChartUnitType V) {
    if (Store(FUnitType, V)) Changed();
  }
  Integer TopSize() const;
  Integer BottomSize() const;
  Integer TopLineSize() const { return LineSize(FPosition == xTop || FPosition == xBoth, true); }
  Integer BottomLineSize() const { return LineSize(FPosition == xBottom || FPosition == xBoth, false); }
  void Draw(TChartCanvas& Canvas, TRect R, bool Top, double ScaleX, double ScaleY, bool Horizontal);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartXAxis>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  Integer SideSize(bool Bottom) const;
  TChartXAxisPosition FPosition = xBottom;
  TChartUnitType FUnitType = utNumber;
};

class TChartYAxis : public TChartAxisBand {
public:
  explicit TChartYAxis(TVivIzude* AOwner) : TChartAxisBand(AOwner) {}
  void Assign(const TObject* Source) override;
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont.Assign(V);
    Changed();
  }
  bool AutoUnits() const { return FAutoUnits; }
  void SetAutoUnits(bool V) {
    if (Store(FAutoUnits, V)) Changed();
  }
  TChartYAxisPosition Position() const { return FPosition; }
  void SetPosition(TChartYAxisPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  // The computed band widths; the setters write the overrides (-1 =
  // automatic) without notification.
  Integer LeftSize() const;
  Integer RightSize() const;
  void SetLeftSize(Integer V) { FLeftSizeOverride = V; }
  void SetRightSize(Integer V) { FRightSizeOverride = V; }
  Integer LeftLineSize() const { return LineSize(FPosition == yLeft || FPosition == yBoth, true); }
  Integer RightLineSize() const { return LineSize(FPosition == yRight || FPosition == yBoth, false); }
  void Draw(TChartCanvas& Canvas, TRect R, bool Left, double ScaleX, double ScaleY, bool Horizontal);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartYAxis>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  Integer SideSize(bool Right) const;
  Integer FLeftSizeOverride = -1;
  Integer FRightSizeOverride = -1;
  bool FAutoUnits = true;
  TChartYAxisPosition FPosition = yLeft;
};

class TChartRange : public TChartPersistent {
public:
  explicit TChartRange(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }
  bool ForceMaxRangeTo() const { return FForceMaxRangeTo; }
  void SetForceMaxRangeTo(bool V) { FForceMaxRangeTo = V; }
  Integer MaxRangeTo() const { return FMaxRangeTo; }
  void SetMaxRangeTo(Integer V) {
    if (Store(FMaxRangeTo, V)) Changed();
  }
  Integer RangeFrom() const { return FRangeFrom; }
  void SetRangeFrom(Integer V) {
    if (Store(FRangeFrom, V)) Changed();
  }
  Integer RangeTo() const { return FRangeTo; }
  void SetRangeTo(Integer V) {
    if (Store(FRangeTo, V)) Changed();
  }
  Integer MaximumScrollRange() const { return FMaximumScrollRange; }
  void SetMaximumScrollRange(Integer V) {
    if (Store(FMaximumScrollRange, V)) Changed();
  }
  Integer MinimumScrollRange() const { return FMinimumScrollRange; }
  void SetMinimumScrollRange(Integer V) {
    if (Store(FMinimumScrollRange, V)) Changed();
  }
  TDateTime StartDate() const { return FStartDate; }
  void SetStartDate(TDateTime V) {
    if (StoreFloat(FStartDate, V)) Changed();
  }
  // Whether a scroll or zoom window a..b may be taken under the limits.
  bool ScrollAllowed(Integer A, Integer B) const;
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartRange>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  bool FForceMaxRangeTo = true;
  Integer FMaxRangeTo = 10;
  Integer FRangeFrom = 0;
  Integer FRangeTo = 10;
  Integer FMaximumScrollRange = 0;
  Integer FMinimumScrollRange = 0;
  TDateTime FStartDate = 0;
};

class TChartMargin : public TChartPersistent {
public:
  explicit TChartMargin(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  Integer LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(Integer V) {
    if (V >= 0 && Store(FLeftMargin, V)) Changed();
  }
  Integer TopMargin() const { return FTopMargin; }
  void SetTopMargin(Integer V) {
    if (V >= 0 && Store(FTopMargin, V)) Changed();
  }
  Integer RightMargin() const { return FRightMargin; }
  void SetRightMargin(Integer V) {
    if (V >= 0 && Store(FRightMargin, V)) Changed();
  }
  Integer BottomMargin() const { return FBottomMargin; }
  void SetBottomMargin(Integer V) {
    if (V >= 0 && Store(FBottomMargin, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartMargin>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  Integer FBottomMargin = 0, FLeftMargin = 0, FRightMargin = 0, FTopMargin = 0;
};

class TChartBands : public TChartPersistent {
public:
  explicit TChartBands(TVivIzude* AOwner) : FOwner(AOwner) {}
  // Copies and then notifies once.
  void Assign(const TObject* Source) override;
  double Distance() const { return FDistance; }
  void SetDistance(double V) { FDistance = V; }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  TColor PrimaryColor() const { return FPrimaryColor; }
  void SetPrimaryColor(TColor V) {
    if (Store(FPrimaryColor, V)) Changed();
  }
  TColor PrimaryColorTo() const { return FPrimaryColorTo; }
  void SetPrimaryColorTo(TColor V) {
    if (Store(FPrimaryColorTo, V)) Changed();
  }
  TColor SecondaryColor() const { return FSecondaryColor; }
  void SetSecondaryColor(TColor V) {
    if (Store(FSecondaryColor, V)) Changed();
  }
  TColor SecondaryColorTo() const { return FSecondaryColorTo; }
  void SetSecondaryColorTo(TColor V) {
    if (Store(FSecondaryColorTo, V)) Changed();
  }
  Integer SerieIndex() const { return FSerieIndex; }
  void SetSerieIndex(Integer V) {
    if (V >= 0 && Store(FSerieIndex, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartBands>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  double FDistance = 2.0;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  TColor FPrimaryColor = clSilver, FPrimaryColorTo = clWhite, FSecondaryColor = clNavy, FSecondaryColorTo = clWhite;
  Integer FSerieIndex = 0;
  bool FVisible = false;
};

class TChartXYAxisText : public TChartPersistent {
public:
  void Assign(const TObject* Source) override;
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) {
    if (Store(FAngle, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont = V;
    Changed();
  }
  Integer Offset() const { return FOffset; }
  void SetOffset(Integer V) {
    if (Store(FOffset, V)) Changed();
  }
  TChartTextPosition Position() const { return FPosition; }
  void SetPosition(TChartTextPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  const String& Text() const { return FText; }
  void SetText(const String& V) {
    if (Store(FText, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartXYAxisText>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  Integer FAngle = 0;
  TChartFont FFont;
  Integer FOffset = 0;
  TChartTextPosition FPosition = ctLeft;
  String FText;
};

class TChartXGrid : public TChartPersistent {
public:
  explicit TChartXGrid(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  Integer MinorDistance() const { return FMinorDistance; }
  void SetMinorDistance(Integer V) {
    if (V >= 0 && Store(FMinorDistance, V)) Changed();
  }
  Integer MajorDistance() const { return FMajorDistance; }
  void SetMajorDistance(Integer V) {
    if (V >= 0 && Store(FMajorDistance, V)) Changed();
  }
  TColor MinorLineColor() const { return FMinorLineColor; }
  void SetMinorLineColor(TColor V) {
    if (Store(FMinorLineColor, V)) Changed();
  }
  TColor MajorLineColor() const { return FMajorLineColor; }
  void SetMajorLineColor(TColor V) {
    if (Store(FMajorLineColor, V)) Changed();
  }
  TPenStyle MinorLineStyle() const { return FMinorLineStyle; }
  void SetMinorLineStyle(TPenStyle V) {
    if (Store(FMinorLineStyle, V)) Changed();
  }
  TPenStyle MajorLineStyle() const { return FMajorLineStyle; }
  void SetMajorLineStyle(TPenStyle V) {
    if (Store(FMajorLineStyle, V)) Changed();
  }
  Integer MinorLineWidth() const { return FMinorLineWidth; }
  void SetMinorLineWidth(Integer V) {
    if (V >= 0 && Store(FMinorLineWidth, V)) Changed();
  }
  Integer MajorLineWidth() const { return FMajorLineWidth; }
  void SetMajorLineWidth(Integer V) {
    if (V >= 0 && Store(FMajorLineWidth, V)) Changed();
  }
  TChartFont& MinorFont() { return FMinorFont; }
  TChartFont& MajorFont() { return FMajorFont; }
  void SetMinorFont(const TChartFont& V) {
    if (&V != &FMinorFont) FMinorFont = V;
    Changed();
  }
  void SetMajorFont(const TChartFont& V) {
    if (&V != &FMajorFont) FMajorFont = V;
    Changed();
  }
  bool OnTop() const { return FOnTop; }
  void SetOnTop(bool V) {
    if (Store(FOnTop, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  bool AutoUnits() const { return FAutoUnits; }
  void SetAutoUnits(bool V) {
    if (Store(FAutoUnits, V)) Changed();
  }
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartXGrid>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  Integer FMinorDistance = 10, FMajorDistance = 20;
  TColor FMinorLineColor = clBlack, FMajorLineColor = clBlack;
  TPenStyle FMinorLineStyle = psSolid, FMajorLineStyle = psDot;
  Integer FMinorLineWidth = 1, FMajorLineWidth = 1;
  TChartFont FMinorFont, FMajorFont;
  bool FOnTop = false, FVisible = false, FAutoUnits = true;
};

class TChartYGrid : public TChartPersistent {
public:
  explicit TChartYGrid(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }
  bool AutoUnits() const { return FAutoUnits; }
  void SetAutoUnits(bool V) {
    if (Store(FAutoUnits, V)) Changed();
  }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  double MinorDistance() const { return FMinorDistance; }
  void SetMinorDistance(double V) {
    if (V >= 0 && StoreFloat(FMinorDistance, V)) Changed();
  }
  double MajorDistance() const { return FMajorDistance; }
  void SetMajorDistance(double V) {
    if (V >= 0 && StoreFloat(FMajorDistance, V)) Changed();
  }
  TColor MinorLineColor() const { return FMinorLineColor; }
  void SetMinorLineColor(TColor V) {
    if (Store(FMinorLineColor, V)) Changed();
  }
  TColor MajorLineColor() const { return FMajorLineColor; }
  void SetMajorLineColor(TColor V) {
    if (Store(FMajorLineColor, V)) Changed();
  }
  TPenStyle MinorLineStyle() const { return FMinorLineStyle; }
  void SetMinorLineStyle(TPenStyle V) {
    if (Store(FMinorLineStyle, V)) Changed();
  }
  TPenStyle MajorLineStyle() const { return FMajorLineStyle; }
  void SetMajorLineStyle(TPenStyle V) {
    if (Store(FMajorLineStyle, V)) Changed();
  }
  Integer MinorLineWidth() const { return FMinorLineWidth; }
  void SetMinorLineWidth(Integer V) {
    if (V >= 0 && Store(FMinorLineWidth, V)) Changed();
  }
  Integer MajorLineWidth() const { return FMajorLineWidth; }
  void SetMajorLineWidth(Integer V) {
    if (V >= 0 && Store(FMajorLineWidth, V)) Changed();
  }
  bool OnTop() const { return FOnTop; }
  void SetOnTop(bool V) {
    if (Store(FOnTop, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  Integer SerieIndex() const { return FSerieIndex; }
  void SetSerieIndex(Integer V) {
    if (V >= -1 && Store(FSerieIndex, V)) Changed();
  }
  bool ShowBorder() const { return FShowBorder; }
  void SetShowBorder(bool V) {
    if (Store(FShowBorder, V)) Changed();
  }
  virtual void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartYGrid>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  bool FAutoUnits = true;
  TColor FBorderColor = clNone;
  double FMinorDistance = 1.0, FMajorDistance = 2.0;
  TColor FMinorLineColor = clGray, FMajorLineColor = clSilver;
  TPenStyle FMinorLineStyle = psDot, FMajorLineStyle = psSolid;
  Integer FMinorLineWidth = 1, FMajorLineWidth = 1;
  bool FOnTop = false, FVisible = false;
  Integer FSerieIndex = 0;
  bool FShowBorder = false;
};

class TChartCrossHairYValues : public TChartPersistent {
public:
  void Assign(const TObject* Source) override;
  bool ShowSerieValues() const { return FShowSerieValues; }
  void SetShowSerieValues(bool V) {
    if (Store(FShowSerieValues, V)) Changed();
  }
  bool ShowYPosValue() const { return FShowYPosValue; }
  void SetShowYPosValue(bool V) {
    if (Store(FShowYPosValue, V)) Changed();
  }
  TChartCrossHairYValuePosition Position() const { return FPosition; }
  void SetPosition(TChartCrossHairYValuePosition V) {
    if (Store(FPosition, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartCrossHairYValues>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  bool FShowSerieValues = true, FShowYPosValue = false;
  TChartCrossHairYValuePosition FPosition{chYAxis};
};

class TChartCrossHair : public TChartPersistent {
public:
  explicit TChartCrossHair(TVivIzude* AOwner);
  void Assign(const TObject* Source) override;
  Integer Distance() const { return FDistance; }
  void SetDistance(Integer V) {
    if (Store(FDistance, V)) Changed();
  }
  TChartCrossHairType CrossHairType() const { return FCrossHairType; }
  void SetCrossHairType(TChartCrossHairType V) {
    if (Store(FCrossHairType, V)) Changed();
  }
  TChartCrossHairYValues& CrossHairYValues() { return FCrossHairYValues; }
  void SetCrossHairYValues(const TChartCrossHairYValues& V) {
    if (&V != &FCrossHairYValues) FCrossHairYValues.Assign(&V);
    Changed();
  }
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (Store(FLineColor, V)) Changed();
  }
  Integer LineWidth() const { return FLineWidth; }
  void SetLineWidth(Integer V) {
    if (V >= 0 && Store(FLineWidth, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  virtual void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartCrossHair>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  Integer FDistance = 0;
  TChartCrossHairType FCrossHairType = chtFullSizeCrossHairAtSeries;
  TChartCrossHairYValues FCrossHairYValues;
  TColor FLineColor = clNone;
  Integer FLineWidth = 1;
  bool FVisible = false;
};

class TChartSerieCrossHairYValue : public TChartPersistent {
public:
  void Assign(const TObject* Source) override;
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer V) {
    if (Store(FBorderWidth, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont = V;
    Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  // Fired by nobody here; a view may fire it after changing the font.
  TNotifyEvent OnFontChange;
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSerieCrossHairYValue>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TColor FBorderColor = clNone;
  Integer FBorderWidth = 0;
  TColor FColor = clNone, FColorTo = clNone;
  TChartFont FFont;
  Integer FGradientSteps = 0;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  bool FVisible = true;
};

class TChartNavigator : public TChartPersistent {
public:
  explicit TChartNavigator(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte V) {
    if (Store(FAlphaBlendValue, V)) Changed();
  }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool V) {
    if (Store(FAlphaBlend, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TChartNavigatorButtonState LeftButtonState() const { return FLeftButtonState; }
  void SetLeftButtonState(TChartNavigatorButtonState V) {
    if (Store(FLeftButtonState, V)) Changed();
  }
  TChartNavigatorButtonState RightButtonState() const { return FRightButtonState; }
  void SetRightButtonState(TChartNavigatorButtonState V) {
    if (Store(FRightButtonState, V)) Changed();
  }
  bool ScrollButtons() const { return FScrollButtons; }
  void SetScrollButtons(bool V) {
    if (Store(FScrollButtons, V)) Changed();
  }
  // Button arrow colours and pictures by button (0 left, 1 right) and state.
  TColor ButtonColor(int Button, TChartNavigatorButtonState State) const {
    return FButtonColors[Button & 1][State % 3];
  }
  void SetButtonColor(int Button, TChartNavigatorButtonState State, TColor V) {
    if (Store(FButtonColors[Button & 1][State % 3], V)) Changed();
  }
  TChartPicture& ButtonPicture(int Button, TChartNavigatorButtonState State) {
    return FButtonPictures[Button & 1][State % 3];
  }
  Integer ScrollButtonsSize() const { return FScrollButtonsSize; }
  void SetScrollButtonsSize(Integer V) {
    if (V >= 0 && Store(FScrollButtonsSize, V)) Changed();
  }
  Integer Size() const { return FSize; }
  void SetSize(Integer V) {
    if (V >= 0 && Store(FSize, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  Integer ScrollStep() const { return FScrollStep; }
  void SetScrollStep(Integer V) {
    if (Store(FScrollStep, V)) Changed();
  }
  Integer BottomSize() const;
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawArrow(TChartCanvas& Canvas, TRect R, bool Direction, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartNavigator>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TVivIzude* FOwner;
  Byte FAlphaBlendValue = 128;
  bool FAlphaBlend = true;
  TColor FColor = clWhite, FColorTo = clNone;
  TChartGradientDirection FGradientDirection = cgdVertical;
  Integer FGradientSteps = 100;
  TChartNavigatorButtonState FLeftButtonState = cnbNormal, FRightButtonState = cnbNormal;
  bool FScrollButtons = true;
  TColor FButtonColors[2][3] = {{clNone, clNone, clNone}, {clNone, clNone, clNone}};
  TChartPicture FButtonPictures[2][3];
  Integer FScrollButtonsSize = 11;
  Integer FScrollDelta = 0;
  Integer FSize = 20;
  bool FVisible = false;
  Integer FScrollStep = 1;
};

class TChartLegend : public TChartPersistent {
public:
  explicit TChartLegend(TVivIzude* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer V) {
    if (Store(FBorderWidth, V)) Changed();
  }
  Integer BorderRounding() const { return FBorderRounding; }
  void SetBorderRounding(Integer V) {
    if (Store(FBorderRounding, V)) Changed();
  }
  TChartBackGroundPosition BackGroundPosition() const { return FBackgroundPosition; }
  void SetBackGroundPosition(TChartBackGroundPosition V) {
    if (Store(FBackgroundPosition, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont = V;
    Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  Integer Left() const { return FLeft; }
  void SetLeft(Integer V) {
    if (Store(FLeft, V)) Changed();
  }
  Integer Top() const { return FTop; }
  void SetTop(Integer V) {
    if (Store(FTop, V)) Changed();
  }
  TChartPicture& Picture() { return FPicture; }
  void SetPicture(const TChartPicture& V) { FPicture.Assign(V); }
  Integer RectangleSize() const { return FRectangleSize; }
  void SetRectangleSize(Integer V) {
    if (V >= 0 && Store(FRectangleSize, V)) Changed();
  }
  Integer RectangleSpacing() const { return FRectangleSpacing; }
  void SetRectangleSpacing(Integer V) {
    if (V >= 0 && Store(FRectangleSpacing, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  TChartLegendAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TChartLegendAlignment V) {
    if (Store(FAlignment, V)) Changed();
  }
  // The legend box at scale 1 for the last series rectangle.
  TRect GetRectangle() const;
  virtual void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartLegend>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

protected:
  TVivIzude* FOwner;
  TColor FBorderColor = clBlack;
  Integer FBorderWidth = 1;
  Integer FBorderRounding = 0;
  TChartBackGroundPosition FBackgroundPosition = bpTopLeft;
  TColor FColor = clWhite, FColorTo = clNone;
  TChartFont FFont;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FLeft = 0;
  TChartPicture FPicture;
  Integer FRectangleSize = 10;
  Integer FRectangleSpacing = 5;
  Integer FTop = 0;
  bool FVisible = true;
  bool FDrawBkg = true;
  TChartLegendAlignment FAlignment = laCustom;
};

class TChartMarker : public TChartPersistent {
public:
  void Assign(const TObject* Source) override;
  TChartMarkerType MarkerType() const { return FMarkerType; }
  void SetMarkerType(TChartMarkerType V) {
    if (Store(FMarkerType, V)) Changed();
  }
  Integer MarkerSize() const { return FMarkerSize; }
  void SetMarkerSize(Integer V) {
    if (V >= 0 && Store(FMarkerSize, V)) Changed();
  }
  TColor MarkerColor() const { return FMarkerColor; }
  void SetMarkerColor(TColor V) {
    if (Store(FMarkerColor, V)) Changed();
  }
  TColor MarkerLineColor() const { return FMarkerLineColor; }
  void SetMarkerLineColor(TColor V) {
    if (Store(FMarkerLineColor, V)) Changed();
  }
  Integer MarkerLineWidth() const { return FMarkerLineWidth; }
  void SetMarkerLineWidth(Integer V) {
    if (V >= 0 && Store(FMarkerLineWidth, V)) Changed();
  }
  TChartPicture& MarkerPicture() { return FMarkerPicture; }
  const TChartPicture& MarkerPicture() const { return FMarkerPicture; }
  void SetMarkerPicture(const TChartPicture& V) {
    if (&V == &FMarkerPicture) return;
    FMarkerPicture.Assign(V);
    Changed();
  }
  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor V) {
    if (Store(FSelectedColor, V)) Changed();
  }
  TColor SelectedLineColor() const { return FSelectedLineColor; }
  void SetSelectedLineColor(TColor V) {
    if (Store(FSelectedLineColor, V)) Changed();
  }
  Integer SelectedLineWidth() const { return FSelectedLineWidth; }
  void SetSelectedLineWidth(Integer V) {
    if (Store(FSelectedLineWidth, V)) Changed();
  }
  Integer SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(Integer V) {
    if (Store(FSelectedIndex, V)) Changed();
  }
  Integer SelectedSize() const { return FSelectedSize; }
  void SetSelectedSize(Integer V) {
    if (Store(FSelectedSize, V)) Changed();
  }
  Integer DisplayIndex() const { return FDisplayIndex; }
  void SetDisplayIndex(Integer V) { FDisplayIndex = V; }
  bool IncreaseDecreaseMode() const { return FIncreaseDecreaseMode; }
  void SetIncreaseDecreaseMode(bool V) {
    if (Store(FIncreaseDecreaseMode, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartMarker>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TChartMarkerType FMarkerType = mNone;
  Integer FMarkerSize = 10;
  TColor FMarkerColor = clWhite, FMarkerLineColor = clBlack;
  Integer FMarkerLineWidth = 1;
  TChartPicture FMarkerPicture;
  TColor FSelectedColor = clNone, FSelectedLineColor = clNone;
  Integer FSelectedLineWidth = 1, FSelectedIndex = -1, FSelectedSize = 12, FDisplayIndex = 0;
  bool FIncreaseDecreaseMode = false;
};
