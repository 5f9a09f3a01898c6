#include "VclDemo.h"

TDemoPaintBox::TDemoPaintBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clWindow);
  SetDoubleBuffered(true);
  SetTabStop(true);
}

void TDemoPaintBox::Paint() {
  ++PaintCount;
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  c->Brush()->SetColor(clWindow);
  c->FillRect(r);
  c->Pen()->SetColor(clNavy);
  c->Pen()->SetWidth(2);
  c->Brush()->SetColor(RGBToColor(0x9C, 0xC3, 0xE6));
  c->Rectangle(10, 10, r.Width() / 2, r.Height() / 2);
  c->Brush()->SetColor(RGBToColor(0xF4, 0xB1, 0x83));
  c->Ellipse(r.Width() / 2 + 10, 10, r.Width() - 10, r.Height() / 2);
  c->Brush()->SetColor(clLime);
  c->Pie(20, r.Height() / 2 + 10, 20 + r.Height() / 3, r.Height() / 2 + 10 + r.Height() / 3, r.Width(), 0, 0, 0);
  c->Pen()->SetColor(clRed);
  c->MoveTo(r.Width() / 2, r.Height() - 10);
  c->LineTo(r.Width() - 10, r.Height() / 2 + 10);
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetStyle(fsBold);
  c->TextOut(r.Width() / 2, r.Height() - 40, u"Quorvel canvas");
}

TDemoBadge::TDemoBadge(TComponent* AOwner) : TGraphicControl(AOwner) { SetColor(clYellow); }

void TDemoBadge::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->Pen()->SetColor(clBlack);
  Canvas()->RoundRect(0, 0, Width(), Height(), 8, 8);
  Canvas()->Brush()->SetStyle(bsClear);
  TRect r = ClientRect();
  Canvas()->TextRect(r, u"badge", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TDemoButton::TDemoButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  StoreBounds(0, 0, 75, 25);
}

void TDemoButton::Click() {
  if (ModalResult != mrNone) {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
  }
  TCustomControl::Click();
}

void TDemoButton::DialogKey(Word& Key, TShiftState Shift, bool& Handled) {
  if ((Key == VK_ESCAPE && Cancel) || (Key == VK_RETURN && Default)) {
    Click();
    Handled = true;
    return;
  }
  TCustomControl::DialogKey(Key, Shift, Handled);
}

void TDemoButton::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(clBtnFace);
  Canvas()->Pen()->SetColor(Default ? clBlack : clBtnShadow);
  Canvas()->Rectangle(r);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextRect(r, Caption(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TDemoForm::TDemoForm(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"DemoForm");
  SetCaption(u"Quorvel class library demo");
  SetPosition(poScreenCenter);
  SetClientSize(640, 400);

  ToolPanel = new TPanel(this);
  ToolPanel->SetName(u"ToolPanel");
  ToolPanel->SetCaption(u"Tool bar");
  ToolPanel->SetHeight(32);
  ToolPanel->SetAlign(alTop);
  ToolPanel->SetParent(this);

  StatusPanel = new TPanel(this);
  StatusPanel->SetName(u"StatusPanel");
  StatusPanel->SetCaption(u"Ready");
  StatusPanel->SetAlignment(taLeftJustify);
  StatusPanel->SetBevelOuter(bvLowered);
  StatusPanel->SetHeight(22);
  StatusPanel->SetAlign(alBottom);
  StatusPanel->SetParent(this);

  LeftPanel = new TPanel(this);
  LeftPanel->SetName(u"LeftPanel");
  LeftPanel->SetCaption(u"Folders");
  LeftPanel->SetWidth(150);
  LeftPanel->SetAlign(alLeft);
  LeftPanel->SetParent(this);

  Badge = new TDemoBadge(this);
  Badge->SetName(u"Badge");
  Badge->SetBounds(10, 40, 60, 30);
  Badge->SetHint(u"A windowless control");
  Badge->SetShowHint(true);
  Badge->SetParent(LeftPanel);

  Splitter = new TSplitter(this);
  Splitter->SetName(u"Splitter");
  Splitter->SetLeft(150);
  Splitter->SetAlign(alLeft);
  Splitter->SetParent(this);

  PaintBox = new TDemoPaintBox(this);
  PaintBox->SetName(u"PaintBox");
  PaintBox->SetAlign(alClient);
  PaintBox->SetAlignWithMargins(true);
  PaintBox->SetParent(this);
}

TDemoDialog::TDemoDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"DemoDialog");
  SetCaption(u"Demo dialog");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientSize(260, 90);

  OkButton = new TDemoButton(this);
  OkButton->SetName(u"OkButton");
  OkButton->SetCaption(u"OK");
  OkButton->Default = true;
  OkButton->ModalResult = mrOk;
  OkButton->SetBounds(90, 55, 75, 25);
  OkButton->SetAnchors(akRight | akBottom);
  OkButton->SetParent(this);

  CancelButton = new TDemoButton(this);
  CancelButton->SetName(u"CancelButton");
  CancelButton->SetCaption(u"Cancel");
  CancelButton->Cancel = true;
  CancelButton->ModalResult = mrCancel;
  CancelButton->SetBounds(175, 55, 75, 25);
  CancelButton->SetAnchors(akRight | akBottom);
  CancelButton->SetParent(this);
}
