#pragma once
// Windows only. A printer: pages drawn on a device context between BeginDoc
// and EndDoc. TPrinter prints on a printer's device context (opened by the
// printer's name, or one the caller made); a descendant that prints
// elsewhere (a picture per page) replaces the page hooks and the page size.
#include <memory>

#include "rtl/Exceptions.h"
#include "rtl/Win32.h"
#include "vcl/Graphics.h"

QUORVEL_DECLARE_EXCEPTION(EPrinter, Exception);

class TPrinter {
public:
  // No device yet: SetPrinterName or a descendant provides one.
  TPrinter();
  // Prints on DC, which stays the caller's.
  explicit TPrinter(HDC DC);
  virtual ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // Opens the printer of that name; False (and no device) when it cannot.
  bool SetPrinterName(const String& Name);
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  // EPrinter "Printing in progress" when a job runs already, or the
  // system's refusal.
  void BeginDoc();
  // EPrinter "Printer is not currently printing" outside a job.
  void NewPage();
  void EndDoc();
  // Ends a running job without finishing it.
  void Abort();
  bool Printing() const { return FPrinting; }
  Integer PageNumber() const { return FPageNumber; }
  // The canvas of the current page (the device's while a job runs).
  TCanvas* Canvas() { return &FCanvas; }
  // The printable page in device pixels.
  virtual Integer PageWidth() const;
  virtual Integer PageHeight() const;
  // The device's vertical resolution (dots per inch), by which fonts are
  // sized in points on the page.
  virtual Integer PixelsPerInch() const;

protected:
  // Hooks around the device's own document and page calls; a descendant
  // may draw elsewhere. The canvas is bound to DeviceContext() while a job
  // runs.
  virtual HDC DeviceContext() const { return FDC; }
  virtual void StartDocument();
  virtual void StartPage();
  virtual void EndPage();
  virtual void EndDocument();
  virtual void AbortDocument();

private:
  void Bind();
  void Unbind();
  HDC FDC = nullptr;
  bool FOwnsDC = false;
  bool FPrinting = false;
  Integer FPageNumber = 0;
  String FTitle;
  TCanvas FCanvas;
};
