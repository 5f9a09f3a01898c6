#include "chart/view/ChartMetafile.h"

#include "rtl/Exceptions.h"

namespace {
const wchar_t* W(const String& S) { return reinterpret_cast<const wchar_t*>(S.c_str()); }
}  // namespace

TChartMetafile::TChartMetafile(Integer Width, Integer Height) : FWidth(Width), FHeight(Height) {}

TChartMetafile::~TChartMetafile() {
  if (FHandle) DeleteEnhMetaFile(FHandle);
}

UINT TChartMetafile::RecordCount() const {
  ENHMETAHEADER H{};
  if (!FHandle || !GetEnhMetaFileHeader(FHandle, sizeof(H), &H)) return 0;
  return H.nRecords;
}

void TChartMetafile::SaveToFile(const String& FileName) const {
  HENHMETAFILE Copy = FHandle ? CopyEnhMetaFileW(FHandle, W(FileName)) : nullptr;
  if (!Copy) throw EFCreateError(u"Cannot create file \"" + FileName + u"\"");
  DeleteEnhMetaFile(Copy);
}

void TChartMetafile::Draw(TCanvas& Canvas, const TRect& R) const {
  if (!FHandle) return;
  const RECT Rc{R.Left, R.Top, R.Right, R.Bottom};
  PlayEnhMetaFile(Canvas.Handle(), FHandle, &Rc);
}

TChartMetafileCanvas::TChartMetafileCanvas(TChartMetafile& M) : FMetafile(M) {
  // The frame in hundredths of a millimetre at the screen's resolution.
  HDC Screen = GetDC(nullptr);
  const int MmW = GetDeviceCaps(Screen, HORZSIZE), MmH = GetDeviceCaps(Screen, VERTSIZE);
  const int PxW = GetDeviceCaps(Screen, HORZRES), PxH = GetDeviceCaps(Screen, VERTRES);
  ReleaseDC(nullptr, Screen);
  RECT Frame{0, 0, PxW > 0 ? MulDiv(M.Width(), MmW * 100, PxW) : M.Width(),
             PxH > 0 ? MulDiv(M.Height(), MmH * 100, PxH) : M.Height()};
  FDC = CreateEnhMetaFileW(nullptr, nullptr, &Frame, nullptr);
  if (!FDC) throw EOSError(u"Cannot create a metafile");
  SetHandle(FDC);
}

TChartMetafileCanvas::~TChartMetafileCanvas() {
  SetHandle(nullptr);
  HENHMETAFILE H = CloseEnhMetaFile(FDC);
  if (FMetafile.FHandle) DeleteEnhMetaFile(FMetafile.FHandle);
  FMetafile.FHandle = H;
}
