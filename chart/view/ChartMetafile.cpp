#include "chart/view/ChartMetafile.h"

#include "rtl/Exceptions.h"

TChartMetafile::TChartMetafile(Integer Width, Integer Height) : FWidth(Width), FHeight(Height) {}

TChartMetafile::~TChartMetafile() = default;

UINT TChartMetafile::RecordCount() const {
  ENHMETAHEADER H{};
  if (!FHandle || !GetEnhMetaFileHeader(FHandle.Get(), sizeof(H), &H)) return 0;
  return H.nRecords;
}

void TChartMetafile::SaveToFile(const String& FileName) const {
  const TMetafileHandle Copy(FHandle ? CopyEnhMetaFileW(FHandle.Get(), WideCStr(FileName)) : nullptr);
  if (!Copy) throw EFCreateError(u"Cannot create file \"" + FileName + u"\"");
}

void TChartMetafile::Draw(TCanvas& Canvas, const TRect& R) const {
  if (!FHandle) return;
  const RECT Rc{R.Left, R.Top, R.Right, R.Bottom};
  PlayEnhMetaFile(Canvas.Handle(), FHandle.Get(), &Rc);
}

TChartMetafileCanvas::TChartMetafileCanvas(TChartMetafile& M) : FMetafile(M) {
  // The frame in hundredths of a millimetre at the screen's resolution.
  int MmW, MmH, PxW, PxH;
  {
    const TWindowDC Screen(nullptr);
    MmW = GetDeviceCaps(Screen.Get(), HORZSIZE);
    MmH = GetDeviceCaps(Screen.Get(), VERTSIZE);
    PxW = GetDeviceCaps(Screen.Get(), HORZRES);
    PxH = GetDeviceCaps(Screen.Get(), VERTRES);
  }
  RECT Frame{0, 0, PxW > 0 ? MulDiv(M.Width(), MmW * 100, PxW) : M.Width(),
             PxH > 0 ? MulDiv(M.Height(), MmH * 100, PxH) : M.Height()};
  FDC = CreateEnhMetaFileW(nullptr, nullptr, &Frame, nullptr);
  if (!FDC) throw EOSError(u"Cannot create a metafile");
  SetHandle(FDC);
}

TChartMetafileCanvas::~TChartMetafileCanvas() {
  SetHandle(nullptr);
  FMetafile.FHandle.Reset(CloseEnhMetaFile(FDC));
}
