#include "VclDemo.h"

#include <utility>

#include "rtl/SysUtils.h"

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
  OkButton->SetAnchors({akRight, akBottom});
  OkButton->SetParent(this);

  CancelButton = new TDemoButton(this);
  CancelButton->SetName(u"CancelButton");
  CancelButton->SetCaption(u"Cancel");
  CancelButton->Cancel = true;
  CancelButton->ModalResult = mrCancel;
  CancelButton->SetBounds(175, 55, 75, 25);
  CancelButton->SetAnchors({akRight, akBottom});
  CancelButton->SetParent(this);
}

namespace {
// A 16x16 picture for the image list: a coloured disc on magenta (the mask colour).
void DrawIcon(TBitmap& B, TColor Color, bool Square) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(16, 16);
  B.Canvas()->Brush()->SetColor(clFuchsia);
  B.Canvas()->FillRect(Rect(0, 0, 16, 16));
  B.Canvas()->Brush()->SetColor(Color);
  B.Canvas()->Pen()->SetColor(clBlack);
  if (Square)
    B.Canvas()->Rectangle(2, 2, 14, 14);
  else
    B.Canvas()->Ellipse(1, 1, 15, 15);
}

TAction* NewAction(TActionManager* List, const String& Name, const String& Caption, const String& Category,
                   TShortCut Key, TImageIndex Image) {
  auto* a = new TAction(List->Owner());
  a->SetName(Name);
  a->SetCaption(Caption);
  a->SetCategory(Category);
  a->SetShortCut(Key);
  a->SetImageIndex(Image);
  a->SetActionList(List);
  return a;
}
}  // namespace

TDemoControlsForm::TDemoControlsForm(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"DemoControlsForm");
  SetCaption(u"Quorvel standard controls");
  SetPosition(poScreenCenter);
  SetClientSize(700, 480);
  SetShowHint(true);

  Images = new TImageList(this);
  Images->SetName(u"Images");
  for (const auto& [color, square] : {std::pair{clRed, true}, {clLime, false}, {clBlue, true}}) {
    TBitmap icon;
    DrawIcon(icon, color, square);
    Images->AddMasked(&icon, clFuchsia);
  }

  Actions = new TActionManager(this);
  Actions->SetName(u"Actions");
  Actions->SetImages(Images);
  aOpen = NewAction(Actions, u"aOpen", u"&Open...", u"&File", ShortCut('O', ssCtrl), 0);
  aSave = NewAction(Actions, u"aSave", u"&Save", u"&File", ShortCut('S', ssCtrl), 1);
  aConnect = NewAction(Actions, u"aConnect", u"&Connect", u"&File", ShortCut(VK_F5, TShiftState()), 2);
  aQuit = NewAction(Actions, u"aQuit", u"&Quit", u"&File", 0, -1);
  aAbout = NewAction(Actions, u"aAbout", u"&About...", u"&?", ShortCut(VK_F1, TShiftState()), -1);
  aQuit->OnExecute = [this](TObject*) { Close(); };

  menuMain = new TActionMainMenuBar(this);
  menuMain->SetName(u"menuMain");
  menuMain->SetActionManager(Actions);
  menuMain->SetParent(this);
  TMenuItem* file = new TMenuItem(this);
  file->Add(NewActionItem(this, aOpen));
  file->Add(NewActionItem(this, aSave));
  file->Add(NewLine(this));
  file->Add(NewActionItem(this, aConnect));
  file->Add(NewLine(this));
  file->Add(NewActionItem(this, aQuit));
  menuMain->Items()->Add(file);
  menuMain->AddCategory(u"&?");

  pTop = new TPanel(this);
  pTop->SetName(u"pTop");
  pTop->SetCaption(u"");
  pTop->SetHeight(50);
  pTop->SetAlign(alTop);
  pTop->SetParent(this);

  lblHost = new TLabel(this);
  lblHost->SetName(u"lblHost");
  lblHost->SetCaption(u"&Host:");
  lblHost->SetLeft(8);
  lblHost->SetTop(6);
  lblHost->SetTransparent(true);
  lblHost->SetParent(pTop);

  edHost = new TEdit(this);
  edHost->SetName(u"edHost");
  edHost->SetBounds(8, 22, 140, 21);
  edHost->SetParent(pTop);
  lblHost->SetFocusControl(edHost);

  edPass = new TEdit(this);
  edPass->SetName(u"edPass");
  edPass->SetBounds(156, 22, 100, 21);
  edPass->SetPasswordChar(u'*');
  edPass->SetParent(pTop);

  cbPassive = new TCheckBox(this);
  cbPassive->SetName(u"cbPassive");
  cbPassive->SetCaption(u"Passive");
  cbPassive->SetBounds(264, 24, 70, 17);
  cbPassive->SetChecked(true);
  cbPassive->SetParent(pTop);

  cbUnit = new TComboBox(this);
  cbUnit->SetName(u"cbUnit");
  cbUnit->SetStyle(csDropDownList);
  cbUnit->SetBounds(340, 22, 70, 21);
  cbUnit->SetParent(pTop);
  cbUnit->Items()->Add(u"Mio");
  cbUnit->Items()->Add(u"Gio");
  cbUnit->SetItemIndex(1);

  btnConnect = new TButton(this);
  btnConnect->SetName(u"btnConnect");
  btnConnect->SetBounds(420, 20, 90, 25);
  btnConnect->SetDefault(true);
  btnConnect->SetAction(aConnect);
  btnConnect->SetParent(pTop);

  SBar = new TStatusBar(this);
  SBar->SetName(u"SBar");
  SBar->SetParent(this);
  for (Integer width : {80, 117, 110, 50}) SBar->Panels()->Add()->SetWidth(width);
  SBar->Panels()->Items(0)->SetText(u"Disconnected");
  SBar->Panels()->Items(1)->SetStyle(psOwnerDraw);
  SBar->Panels()->Items(2)->SetText(u"10 GiB free");
  SBar->Panels()->Items(2)->SetAlignment(taRightJustify);
  SBar->OnDrawPanel = [this](TStatusBar* Bar, TStatusPanel*, const TRect& R) {
    TCanvas* c = Bar->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(R);
    TRect used = {R.Left + 2, R.Top + 2, R.Left + 2 + (R.Width() - 4) * Usage / 100, R.Bottom - 2};
    c->Brush()->SetColor(clNavy);
    c->FillRect(used);
  };

  PageControl1 = new TPageControl(this);
  PageControl1->SetName(u"PageControl1");
  PageControl1->SetAlign(alClient);
  PageControl1->SetParent(this);

  tsGeneral = new TTabSheet(this);
  tsGeneral->SetName(u"tsGeneral");
  tsGeneral->SetCaption(u"General");
  tsGeneral->SetPageControl(PageControl1);
  tsLog = new TTabSheet(this);
  tsLog->SetName(u"tsLog");
  tsLog->SetCaption(u"Log");
  tsLog->SetPageControl(PageControl1);
  tsPictures = new TTabSheet(this);
  tsPictures->SetName(u"tsPictures");
  tsPictures->SetCaption(u"Pictures");
  tsPictures->SetPageControl(PageControl1);

  meComment = new TMemo(this);
  meComment->SetName(u"meComment");
  meComment->SetBounds(8, 8, 220, 90);
  meComment->SetScrollBars(ssVertical);
  meComment->SetParent(tsGeneral);
  meComment->Lines()->Add(u"First line");
  meComment->Lines()->Add(u"Second line");

  gbMode = new TGroupBox(this);
  gbMode->SetName(u"gbMode");
  gbMode->SetCaption(u"Transfer mode");
  gbMode->SetBounds(240, 8, 160, 70);
  gbMode->SetParent(tsGeneral);
  rbActive = new TRadioButton(this);
  rbActive->SetName(u"rbActive");
  rbActive->SetCaption(u"Active");
  rbActive->SetBounds(10, 20, 120, 17);
  rbActive->SetParent(gbMode);
  rbPassive = new TRadioButton(this);
  rbPassive->SetName(u"rbPassive");
  rbPassive->SetCaption(u"Passive");
  rbPassive->SetBounds(10, 42, 120, 17);
  rbPassive->SetParent(gbMode);
  rbPassive->SetChecked(true);

  lbSites = new TListBox(this);
  lbSites->SetName(u"lbSites");
  lbSites->SetBounds(410, 8, 150, 90);
  lbSites->SetParent(tsGeneral);
  for (const char16_t* site : {u"ftp.example.org", u"files.example.net", u"mirror.example.com"})
    lbSites->Items()->Add(site);

  tbZoom = new TTrackBar(this);
  tbZoom->SetName(u"tbZoom");
  tbZoom->SetBounds(8, 110, 200, 30);
  tbZoom->SetMax(20);
  tbZoom->SetPosition(5);
  tbZoom->SetParent(tsGeneral);
  stZoom = new TStaticText(this);
  stZoom->SetName(u"stZoom");
  stZoom->SetCaption(u"Zoom 5");
  stZoom->SetLeft(216);
  stZoom->SetTop(116);
  stZoom->SetParent(tsGeneral);
  tbZoom->OnChange = [this](TObject*) { stZoom->SetCaption(u"Zoom " + IntToStr(tbZoom->Position())); };

  meLog = new TRichEdit(this);
  meLog->SetName(u"meLog");
  meLog->SetAlign(alClient);
  meLog->SetReadOnly(true);
  meLog->SetScrollBars(ssVertical);
  meLog->SetParent(tsLog);

  pmLog = new TPopupMenu(this);
  pmLog->SetName(u"pmLog");
  pmLog->SetImages(Images);
  mStopScroll = NewItem(this, u"Stop scrolling");
  mStopScroll->SetName(u"mStopScroll");
  mStopScroll->SetAutoCheck(true);
  mClearLog = NewItem(this, u"Clear", ShortCut(VK_DELETE, ssCtrl), [this](TObject*) { meLog->Clear(); });
  mClearLog->SetName(u"mClearLog");
  mClearLog->SetImageIndex(0);
  pmLog->Items()->Add(mStopScroll);
  pmLog->Items()->Add(NewLine(this));
  pmLog->Items()->Add(mClearLog);
  meLog->SetPopupMenu(pmLog);

  imgLogo = new TImage(this);
  imgLogo->SetName(u"imgLogo");
  imgLogo->SetBounds(8, 8, 128, 128);
  imgLogo->SetStretch(true);
  imgLogo->SetProportional(true);
  imgLogo->SetCenter(true);
  {
    TBitmap logo(64, 32);
    logo.Canvas()->Brush()->SetColor(RGBToColor(0x9C, 0xC3, 0xE6));
    logo.Canvas()->FillRect(Rect(0, 0, 64, 32));
    logo.Canvas()->Brush()->SetColor(clNavy);
    logo.Canvas()->Ellipse(4, 4, 28, 28);
    imgLogo->Picture()->SetGraphic(&logo);
  }
  imgLogo->SetParent(tsPictures);
  shpDisk = new TShape(this);
  shpDisk->SetName(u"shpDisk");
  shpDisk->SetShape(stCircle);
  shpDisk->Brush()->SetColor(clYellow);
  shpDisk->SetBounds(150, 8, 80, 60);
  shpDisk->SetParent(tsPictures);

  // Connect is possible once there is a host, as in the program.
  Actions->OnUpdate = [this](TBasicAction*, bool&) {
    if (aConnect) aConnect->SetEnabled(!edHost->Text().empty());
  };
}

void TDemoControlsForm::AddLogLine(const String& Text, TColor Color) {
  const Integer length = meLog->GetTextLen();
  meLog->SetRichSelStart(length);
  meLog->SelAttributes()->SetColor(Color);
  meLog->ReplaceSelection((length > 0 ? u"\r\n" : u"") + Text);
}
