#include "vcl/Printers.h"

namespace {

void Raise(const char16_t* Message) { throw EPrinter(Message); }

}  // namespace

TPrinter::TPrinter() = default;

TPrinter::TPrinter(HDC DC) : FDC(DC) {}

TPrinter::~TPrinter() {
  if (FPrinting) {
    // A job left open is abandoned, not printed half-way.
    try {
      AbortDocument();
    } catch (...) {
      // A destructor may not throw, and the job is being dropped anyway.
    }
  }
  Unbind();
  if (FOwnsDC && FDC) DeleteDC(FDC);
}

bool TPrinter::SetPrinterName(const String& Name) {
  if (FPrinting) Raise(u"Printing in progress");
  if (FOwnsDC && FDC) DeleteDC(FDC);
  FDC = CreateDCW(L"WINSPOOL", reinterpret_cast<const wchar_t*>(Name.c_str()), nullptr, nullptr);
  FOwnsDC = FDC != nullptr;
  return FDC != nullptr;
}

Integer TPrinter::PageWidth() const {
  HDC DC = DeviceContext();
  return DC ? GetDeviceCaps(DC, HORZRES) : 0;
}

Integer TPrinter::PageHeight() const {
  HDC DC = DeviceContext();
  return DC ? GetDeviceCaps(DC, VERTRES) : 0;
}

Integer TPrinter::PixelsPerInch() const {
  HDC DC = DeviceContext();
  const Integer Result = DC ? GetDeviceCaps(DC, LOGPIXELSY) : 0;
  return Result > 0 ? Result : 96;
}

void TPrinter::Bind() { FCanvas.SetHandle(DeviceContext()); }

void TPrinter::Unbind() { FCanvas.SetHandle(nullptr); }

void TPrinter::BeginDoc() {
  if (FPrinting) Raise(u"Printing in progress");
  StartDocument();
  FPrinting = true;
  FPageNumber = 1;
  try {
    StartPage();
    Bind();
  } catch (...) {
    FPrinting = false;
    AbortDocument();
    throw;
  }
}

void TPrinter::NewPage() {
  if (!FPrinting) Raise(u"Printer is not currently printing");
  Unbind();
  EndPage();
  StartPage();
  ++FPageNumber;
  Bind();
}

void TPrinter::EndDoc() {
  if (!FPrinting) Raise(u"Printer is not currently printing");
  Unbind();
  FPrinting = false;
  try {
    EndPage();
  } catch (...) {
    // The last page failed: the job is abandoned, not left open.
    AbortDocument();
    throw;
  }
  EndDocument();
}

void TPrinter::Abort() {
  if (!FPrinting) return;
  Unbind();
  FPrinting = false;
  AbortDocument();
}

void TPrinter::StartDocument() {
  if (!FDC) Raise(u"There is no default printer currently selected");
  DOCINFOW Info{};
  Info.cbSize = sizeof(Info);
  Info.lpszDocName = reinterpret_cast<const wchar_t*>(FTitle.c_str());
  if (StartDocW(FDC, &Info) <= 0) Raise(u"Printing failed");
}

void TPrinter::StartPage() {
  if (::StartPage(FDC) <= 0) Raise(u"Printing failed");
}

void TPrinter::EndPage() {
  if (::EndPage(FDC) <= 0) Raise(u"Printing failed");
}

void TPrinter::EndDocument() {
  if (::EndDoc(FDC) <= 0) Raise(u"Printing failed");
}

void TPrinter::AbortDocument() {
  if (FDC) ::AbortDoc(FDC);
}
