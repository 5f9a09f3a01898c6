#include "chart/drawing/VivIzudeMarkupRecorder.h"

#include <algorithm>
#include <cmath>

namespace {
class TNamedPicture : public TVivIzudeMarkupPicture {
public:
  TNamedPicture(const String& AName, TSize ASize) : Name(AName), Size(ASize) {}
  Integer Width() const override { return Size.cx; }
  Integer Height() const override { return Size.cy; }
  String Name;
  TSize Size;
};

float Scaled(Integer AValue, Integer ASize) { return std::nearbyint(static_cast<float>(AValue) * ASize / 8.0f); }
}  // namespace

std::vector<String> TVivIzudeMarkupRecorder::Texts() const {
  std::vector<String> Result;
  for (const auto& R : FRecords)
    if (R.Op == moText) Result.push_back(R.Text);
  return Result;
}

TSizeF TVivIzudeMarkupRecorder::MeasureText(const String& AText) {
  ++FMeasurements;
  return {Scaled(FCharWidth, FFont.Size) * static_cast<float>(AText.size()), Scaled(FLineHeight, FFont.Size)};
}

void TVivIzudeMarkupRecorder::Add(TVivIzudeMarkupRecord ARecord) {
  if (!FRecording) return;
  ARecord.Font = FFont;
  ARecord.Fill = FFill;
  ARecord.Stroke = FStroke;
  FRecords.push_back(std::move(ARecord));
}

static TVivIzudeMarkupRecord MakeRecord(TVivIzudeMarkupOp AOp, const TRectF& ARect, const String& AText = {}) {
  TVivIzudeMarkupRecord R;
  R.Op = AOp;
  R.Rect = ARect;
  R.Text = AText;
  return R;
}

void TVivIzudeMarkupRecorder::DrawText(const TRectF& ARect, const String& AText) {
  Add(MakeRecord(moText, ARect, AText));
}
void TVivIzudeMarkupRecorder::DrawCaption(const TRectF& ARect, const String& AText) {
  Add(MakeRecord(moCaption, ARect, AText));
}
void TVivIzudeMarkupRecorder::DrawRectangle(const TRectF& ARect) { Add(MakeRecord(moRectangle, ARect)); }
void TVivIzudeMarkupRecorder::DrawEllipse(const TRectF& ARect) { Add(MakeRecord(moEllipse, ARect)); }
void TVivIzudeMarkupRecorder::DrawLine(const TPointF& AFrom, const TPointF& ATo) {
  TVivIzudeMarkupRecord R = MakeRecord(moLine, {AFrom.X, AFrom.Y, ATo.X, ATo.Y});
  R.From = AFrom;
  R.To = ATo;
  Add(std::move(R));
}
void TVivIzudeMarkupRecorder::AddControl(TVivIzudeMarkupOp AOp, const TRectF& ARect, bool AChecked, bool AFocused) {
  TVivIzudeMarkupRecord R = MakeRecord(AOp, ARect);
  R.Checked = AChecked;
  R.Focused = AFocused;
  Add(std::move(R));
}
void TVivIzudeMarkupRecorder::DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused) {
  AddControl(moCheckBox, ARect, AChecked, AFocused);
}
void TVivIzudeMarkupRecorder::DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused) {
  AddControl(moRadio, ARect, AChecked, AFocused);
}
void TVivIzudeMarkupRecorder::DrawButton(const TRectF& ARect, bool ADown, bool AFocused) {
  AddControl(moButton, ARect, ADown, AFocused);
}

std::unique_ptr<TVivIzudeMarkupPicture> TVivIzudeMarkupRecorder::FindPicture(const String& AName) {
  const auto It = FPictures.find(AName);
  if (It == FPictures.end()) return nullptr;
  return std::make_unique<TNamedPicture>(AName, It->second);
}

std::unique_ptr<TVivIzudeMarkupPicture> TVivIzudeMarkupRecorder::LoadPicture(const String& AFileName) {
  FFilesAsked.push_back(AFileName);
  const auto It = FFiles.find(AFileName);
  if (It == FFiles.end()) return nullptr;
  return std::make_unique<TNamedPicture>(AFileName, It->second);
}

void TVivIzudeMarkupRecorder::DrawImageListPicture(Integer AIndex, float ALeft, float ATop) {
  TVivIzudeMarkupRecord R = MakeRecord(
      moListPicture, {ALeft, ATop, ALeft + static_cast<float>(FListCell.cx), ATop + static_cast<float>(FListCell.cy)});
  R.Index = AIndex;
  Add(std::move(R));
}

void TVivIzudeMarkupRecorder::DrawPicture(const TVivIzudeMarkupPicture& APicture, const TRectF& ARect) {
  const auto* Named = dynamic_cast<const TNamedPicture*>(&APicture);
  Add(MakeRecord(moPicture, ARect, Named ? Named->Name : String()));
}
