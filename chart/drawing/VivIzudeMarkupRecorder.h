#pragma once
// A markup surface with fixed text metrics that records what is drawn: for
// tests, the fuzz target and the benchmark, which lay out and paint markup
// without a display. Every character is CharWidth pixels wide at size 8 and
// a line LineHeight pixels high, both scaled by Size / 8 (rounded).
#include <map>
#include <vector>

#include "chart/drawing/VivIzudeHTMLEngine.h"

enum TVivIzudeMarkupOp : Byte {
  moText,
  moCaption,
  moRectangle,
  moEllipse,
  moLine,
  moCheckBox,
  moRadio,
  moButton,
  moPicture,
  moListPicture
};

struct TVivIzudeMarkupRecord {
  TVivIzudeMarkupOp Op = moText;
  TRectF Rect;       // text box, shape, control or picture box
  TPointF From, To;  // moLine
  String Text;       // text, caption or picture name
  TVivIzudeMarkupFont Font;
  TColor Fill = -1, Stroke = -1;
  bool Checked = false;  // check box, radio; button: down
  bool Focused = false;
  Integer Index = -1;  // moListPicture
};

class TVivIzudeMarkupRecorder : public TVivIzudeMarkupSurface {
public:
  explicit TVivIzudeMarkupRecorder(Integer ACharWidth = 7, Integer ALineHeight = 13)
      : FCharWidth(ACharWidth), FLineHeight(ALineHeight) {}

  const std::vector<TVivIzudeMarkupRecord>& Records() const { return FRecords; }
  void Clear() { FRecords.clear(); }
  // With recording off the surface only measures.
  void SetRecording(bool Value) { FRecording = Value; }
  // The texts drawn, in order (moText only).
  std::vector<String> Texts() const;
  // Pictures the container holds and files that exist, by name and size.
  void AddPicture(const String& AName, Integer AWidth, Integer AHeight) { FPictures[AName] = {AWidth, AHeight}; }
  void AddFile(const String& APath, Integer AWidth, Integer AHeight) { FFiles[APath] = {AWidth, AHeight}; }
  // Every path the engine asked to load.
  const std::vector<String>& FilesAsked() const { return FFilesAsked; }
  void SetImageList(Integer ACount, TSize ACell) {
    FListCount = ACount;
    FListCell = ACell;
  }
  Integer Measurements() const { return FMeasurements; }

  TVivIzudeMarkupFont GetFont() override { return FFont; }
  void SetFont(const TVivIzudeMarkupFont& AFont) override { FFont = AFont; }
  TColor GetFillColor() override { return FFill; }
  void SetFillColor(TColor AColor) override { FFill = AColor; }
  TColor GetStrokeColor() override { return FStroke; }
  void SetStrokeColor(TColor AColor) override { FStroke = AColor; }
  void SetSolidStroke(float AWidth) override { FStrokeWidth = AWidth; }
  TSizeF MeasureText(const String& AText) override;
  void DrawText(const TRectF& ARect, const String& AText) override;
  void DrawCaption(const TRectF& ARect, const String& AText) override;
  void DrawRectangle(const TRectF& ARect) override;
  void DrawEllipse(const TRectF& ARect) override;
  void DrawLine(const TPointF& AFrom, const TPointF& ATo) override;
  void DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused) override;
  void DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused) override;
  void DrawButton(const TRectF& ARect, bool ADown, bool AFocused) override;
  std::unique_ptr<TVivIzudeMarkupPicture> FindPicture(const String& AName) override;
  std::unique_ptr<TVivIzudeMarkupPicture> LoadPicture(const String& AFileName) override;
  Integer ImageListCount() override { return FListCount; }
  TSize ImageListCellSize() override { return FListCell; }
  void DrawImageListPicture(Integer AIndex, float ALeft, float ATop) override;
  void DrawPicture(const TVivIzudeMarkupPicture& APicture, const TRectF& ARect) override;

private:
  void Add(TVivIzudeMarkupRecord ARecord);
  void AddControl(TVivIzudeMarkupOp AOp, const TRectF& ARect, bool AChecked, bool AFocused);
  Integer FCharWidth, FLineHeight;
  TVivIzudeMarkupFont FFont{u"Tahoma", 8, {}, 0};
  TColor FFill = 0xFFFFFF, FStroke = 0xC0C0C0;
  float FStrokeWidth = 1;
  bool FRecording = true;
  std::vector<TVivIzudeMarkupRecord> FRecords;
  std::map<String, TSize> FPictures, FFiles;
  std::vector<String> FFilesAsked;
  Integer FListCount = 0;
  TSize FListCell;
  Integer FMeasurements = 0;
};
