#pragma once
// Common controls wrapped: page control with tab sheets, rich edit, status
// bar with panels, up-down and track bar. State lives in the objects and is
// pushed into the windows when they are made.
#include <functional>
#include <memory>

#include "rtl/Streams.h"
#include "vcl/Classes.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

// ---------------------------------------------------------------- pages

class TPageControl;

// A page of a page control: set PageControl (not Parent) to put it there.
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // Index among all pages; TabIndex among the visible tabs (-1 when hidden).
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  Integer TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);

protected:
  void TextChanged() override;
  void BeforeDestruction() override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;  // not owned
  bool FTabVisible = true;
  TImageIndex FImageIndex = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent* AOwner);
  Integer PageCount() const { return static_cast<Integer>(FPages.size()); }
  TTabSheet* Pages(Integer Index) const { return FPages.at(static_cast<std::size_t>(Index)); }
  TTabSheet* ActivePage() const { return FActivePage; }
  // Shows Page (one of ours) and hides the others; fires no event.
  void SetActivePage(TTabSheet* Page);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  // The next (or previous) visible page after Current, wrapping.
  TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward) const;
  void SelectNextPage(bool GoForward);
  // The area a page fills, in client coordinates.
  TRect DisplayRect();

  // A user's change of tab: OnChanging may refuse it, OnChange follows it.
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void AlignControls(TControl* AControl) override;
  virtual bool CanChange();
  virtual void Change();

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTabs();
  std::vector<TTabSheet*> FPages;    // not owned
  TTabSheet* FActivePage = nullptr;  // not owned
  bool FUpdatingTabs = false;
};

// ---------------------------------------------------------------- rich edit

enum TAttributeType { atSelected, atDefaultText };

// Character formatting of a rich edit's selection (or of its default text).
class TTextAttributes : public TPersistent {
public:
  TTextAttributes(class TCustomRichEdit* RichEdit, TAttributeType Type) : FRichEdit(RichEdit), FType(Type) {}
  TColor Color() const;
  void SetColor(TColor Value);
  TFontStyles Style() const;
  void SetStyle(TFontStyles Value);
  String Name() const;
  void SetName(const String& Value);
  Integer Size() const;
  void SetSize(Integer Value);
  void Assign(TPersistent* Source) override;
  class TCustomRichEdit* RichEdit() const {
    return FRichEdit;
  }
  TAttributeType AttributeType() const { return FType; }

private:
  class TCustomRichEdit* FRichEdit;  // the owner
  TAttributeType FType;
};

// A rich-text edit (Msftedit.dll, else riched20.dll). Positions count a
// paragraph break as one character. Lines work on the plain text.
class TCustomRichEdit : public TCustomMemo {
public:
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;

  TTextAttributes* SelAttributes() const { return FSelAttributes.get(); }
  TTextAttributes* DefAttributes() const { return FDefAttributes.get(); }
  // Loading and saving treat the text as RTF unless PlainText.
  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool Value) { FPlainText = Value; }
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  // A resource holding RTF (or plain text), read as LoadFromStream does.
  void LoadFromResource(HINSTANCE Instance, const String& Name, const TResourceId& Type = RT_RCDATA);

  // Characters in the text, as selection positions count them.
  Integer GetTextLen();
  Integer RichSelStart();
  void SetRichSelStart(Integer Value);
  Integer RichSelLength();
  void SetRichSelLength(Integer Value);
  // Replaces the selection (the caret's place when nothing is selected).
  void ReplaceSelection(const String& Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void ApplyTextLimit() override;

private:
  void Stream(TStream& Stream, bool In);
  std::unique_ptr<TTextAttributes> FSelAttributes;
  std::unique_ptr<TTextAttributes> FDefAttributes;
  bool FPlainText = false;
  String FRtfBackup;  // the formatted text across a RecreateWnd
};

class TRichEdit : public TCustomRichEdit {
public:
  using TCustomRichEdit::TCustomRichEdit;
};

// ---------------------------------------------------------------- status bar

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel : public TCollectionItem {
public:
  explicit TStatusPanel(TCollection* Collection);
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel Value);
  void Assign(TPersistent* Source) override;

private:
  String FText;
  Integer FWidth = 50;
  TStatusPanelStyle FStyle = psText;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TOwnedCollection {
public:
  // PanelClass makes the panels (TStatusPanel when not given).
  explicit TStatusPanels(TStatusBar* Owner, TItemFactory PanelClass = ItemClass<TStatusPanel>());
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(Integer Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
  TStatusPanel* operator[](Integer Index) const { return Items(Index); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TStatusBar* FStatusBar;  // the owner
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// Along the bottom of its parent; it may hold other controls (placed over
// a panel with PanelRect).
class TStatusBar : public TWinControl {
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return FPanels.get(); }
  // One panel showing SimpleText instead of the panels.
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const String& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const String& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  // Panel Index's rectangle in client coordinates (empty without a window).
  TRect PanelRect(Integer Index);
  // The text the window shows for panel Index.
  String PanelText(Integer Index);
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawPanelEvent OnDrawPanel;

protected:
  // For a bar whose panels are of a class derived from TStatusPanel.
  TStatusBar(TComponent* AOwner, TCollection::TItemFactory PanelClass);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
  // A panel (or all of them) changed: the window gets the new parts and
  // texts. A descendant may follow panel changes here.
  virtual void UpdatePanels();
  virtual void UpdatePanel(Integer Index);

private:
  friend class TStatusPanels;
  std::unique_ptr<TStatusPanels> FPanels;
  std::unique_ptr<TCanvas> FCanvas;
  bool FSimplePanel = false;
  String FSimpleText;
  bool FSizeGrip = true;
};

// ---------------------------------------------------------------- up-down, track bar

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* AOwner);
  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  Integer Position();
  void SetPosition(Integer Value);
  Integer Increment() const { return FIncrement; }
  void SetIncrement(Integer Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  // The control (an edit) that shows the position; the up-down sits beside it.
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void DoClick(TUDBtnType Button);

private:
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Integer FIncrement = 1;
  bool FWrap = false;
  bool FThousands = true;
  TUDOrientation FOrientation = udVertical;
  TWinControl* FAssociate = nullptr;  // not owned; free notification
};

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
public:
  explicit TTrackBar(TComponent* AOwner);
  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);
  Integer Frequency() const { return FFrequency; }
  void SetFrequency(Integer Value);
  Integer PageSize() const { return FPageSize; }
  void SetPageSize(Integer Value);
  TTrackBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackBarOrientation Value);
  TTickStyle TickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle Value);
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  virtual void Changed();

private:
  Integer FMin = 0;
  Integer FMax = 10;
  Integer FPosition = 0;
  Integer FFrequency = 1;
  Integer FPageSize = 2;
  TTrackBarOrientation FOrientation = trHorizontal;
  TTickStyle FTickStyle = tsAuto;
};
