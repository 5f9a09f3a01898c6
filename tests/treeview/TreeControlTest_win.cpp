// The tree in its window: a demo form with a three-column string tree of
// 100,000 nodes (lines, buttons, images, full-row selection, a header and
// a narrow column whose texts end in "..."), checked in-process against the
// geometry the tree computes and against pixels it paints through
// WM_PRINTCLIENT; screenshots are saved for people to look at.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TreeWindowTest_win.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"

namespace {

// Our own 16 x 16 artwork: a closed folder, an open folder, a text file and
// a picture file, drawn with GDI into a masked image list.
void DrawImages(TCustomImageList& List) {
  const TColor Mask = static_cast<TColor>(0xFF00FF);
  auto Fresh = [&] {
    auto B = std::make_unique<TBitmap>(16, 16);
    B->Canvas()->Brush()->SetColor(Mask);
    B->Canvas()->FillRect(TRect{0, 0, 16, 16});
    return B;
  };
  const TColor Folder = RGBToColor(0xF2, 0xC8, 0x4B), FolderDark = RGBToColor(0xB8, 0x8A, 0x1C);
  {
    auto B = Fresh();
    TCanvas* C = B->Canvas();
    C->Pen()->SetColor(FolderDark);
    C->Brush()->SetColor(Folder);
    C->Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}});
    C->Pen()->SetColor(RGBToColor(0xFF, 0xE8, 0x9A));
    C->MoveTo(2, 6);
    C->LineTo(14, 6);
    List.AddMasked(B.get(), Mask);
  }
  {
    auto B = Fresh();
    TCanvas* C = B->Canvas();
    C->Pen()->SetColor(FolderDark);
    C->Brush()->SetColor(RGBToColor(0xD9, 0xA8, 0x2E));
    C->Polygon({{1, 3}, {6, 3}, {7, 5}, {13, 5}, {13, 13}, {1, 13}});
    C->Brush()->SetColor(Folder);
    C->Polygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}});
    List.AddMasked(B.get(), Mask);
  }
  {
    auto B = Fresh();
    TCanvas* C = B->Canvas();
    C->Pen()->SetColor(RGBToColor(0x70, 0x70, 0x70));
    C->Brush()->SetColor(clWhite);
    C->Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
    C->Pen()->SetColor(RGBToColor(0x50, 0x78, 0xC8));
    for (Integer Y = 5; Y <= 12; Y += 2) {
      C->MoveTo(5, Y);
      C->LineTo(11, Y);
    }
    List.AddMasked(B.get(), Mask);
  }
  {
    auto B = Fresh();
    TCanvas* C = B->Canvas();
    C->Pen()->SetColor(RGBToColor(0x40, 0x60, 0x90));
    C->Brush()->SetColor(RGBToColor(0xA8, 0xD8, 0xF8));
    C->Rectangle(1, 2, 15, 14);
    C->Pen()->SetColor(RGBToColor(0x3C, 0x9A, 0x3C));
    C->Brush()->SetColor(RGBToColor(0x5C, 0xC0, 0x5C));
    C->Polygon({{2, 13}, {6, 7}, {9, 11}, {11, 9}, {14, 13}});
    C->Pen()->SetColor(RGBToColor(0xE0, 0xA0, 0x00));
    C->Brush()->SetColor(RGBToColor(0xFF, 0xD0, 0x30));
    C->Ellipse(10, 3, 14, 7);
    List.AddMasked(B.get(), Mask);
  }
}

constexpr Cardinal FolderCount = 1000;
constexpr Cardinal FilesPerFolder = 99;

class TTreeDemoForm : public TForm {
public:
  explicit TTreeDemoForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"TreeDemoForm");
    SetCaption(u"Quorvel tree view demo");
    SetClientSize(560, 360);
    Images = new TImageList(this, 16, 16);
    DrawImages(*Images);

    Tree = new TVastStringTree(this);
    Tree->SetName(u"Tree");
    Tree->SetAlign(alClient);
    Tree->SetImages(Images);
    TVTHeader& H = Tree->Header();
    const struct {
      const char16_t* Text;
      Integer Width;
      TAlignment Alignment;
    } Columns[] = {{u"Name", 230, taLeftJustify}, {u"Size", 90, taRightJustify}, {u"Modified", 80, taLeftJustify}};
    for (const auto& C : Columns) {
      TVastTreeColumn* Column = H.Columns().Add();
      Column->SetText(C.Text);
      Column->SetWidth(C.Width);
      Column->SetAlignment(C.Alignment);
    }
    H.SetMainColumn(0);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible, hoShowSortGlyphs});
    H.SetSortColumn(0);
    TCustomVastTreeOptions& O = Tree->TreeOptions();
    O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toFullRowSelect});
    O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowVertGridLines});
    O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree->OnInitNode = [](TBaseVastTree* Sender, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
      if (!Parent) States.Include(ivsHasChildren);
      (void)Sender;
    };
    Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = FilesPerFolder; };
    Tree->OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      Text = CellText(Node, Column);
    };
    Tree->OnGetImageIndex = [this](TBaseVastTree*, PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool&,
                                   TImageIndex& Index) {
      if (Column > 0 || Kind == ikState || Kind == ikOverlay) return;
      if (Node->Parent == Tree->RootNode())
        Index = Tree->GetExpanded(Node) ? 1 : 0;
      else
        Index = Node->Index % 3 == 0 ? 3 : 2;
    };
    Tree->SetParent(this);
  }

  static String Number(Cardinal N, int Digits) {
    std::string S = std::to_string(N);
    while (static_cast<int>(S.size()) < Digits) S.insert(S.begin(), '0');
    return String(S.begin(), S.end());
  }
  String CellText(PVastNode Node, TColumnIndex Column) const {
    const bool Folder = Node->Parent == Tree->RootNode();
    const Cardinal Top = Folder ? Node->Index : Node->Parent->Index;
    switch (Column) {
      case NoColumn:
      case 0:
        return Folder ? u"Folder " + Number(Top, 4)
                      : u"report_" + Number(Top, 4) + u"_" + Number(Node->Index, 2) +
                            (Node->Index % 3 == 0 ? u".png" : u".txt");
      case 1: {
        const Cardinal Kb = Folder ? 9900 + Top * 7 : 1 + (Top * 131 + Node->Index * 17) % 9000;
        return Number(Kb, 1) + u" KB";
      }
      default:
        return u"2026-" + Number(1 + Top % 12, 2) + u"-" + Number(1 + Node->Index % 28, 2) + u" 14:" +
               Number(Node->Index % 60, 2);
    }
  }

  // Builds the 100,000 nodes and opens the first folders.
  void Populate() {
    Tree->BeginUpdate();
    Tree->SetRootNodeCount(FolderCount);
    for (PVastNode Folder = Tree->GetFirst(); Folder; Folder = Tree->GetNextSibling(Folder))
      Tree->ValidateChildren(Folder, false);
    PVastNode First = Tree->GetFirst();
    Tree->SetExpanded(First, true);
    Tree->SetExpanded(Tree->GetNextSibling(Tree->GetNextSibling(First)), true);
    Tree->EndUpdate();
  }

  TImageList* Images;
  TVastStringTree* Tree;
};

class TTreeControlTest : public TTreeWindowTest<TTreeDemoForm> {
protected:
  void SetUp() override {
    ShowForm();
    Pump(100);
  }
  void TearDown() override { CloseForm(); }
  // The client area as the tree paints it through WM_PRINTCLIENT.
  std::unique_ptr<TBitmap> PrintClient() {
    auto B = std::make_unique<TBitmap>(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), PRF_CLIENT);
    return B;
  }
  // The whole window, header and frame included, as WM_PRINT paints it.
  std::unique_ptr<TBitmap> PrintWindowImage() {
    RECT R;
    GetWindowRect(Tree->Handle(), &R);
    auto B = std::make_unique<TBitmap>(R.right - R.left, R.bottom - R.top);
    SendMessageW(Tree->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    return B;
  }
  // What the screen shows over the form, for people to look at.
  void Screenshot(const char16_t* File) { ScreenshotForm(File, 50, SRCCOPY); }
  // Not theme aware: the tree draws its own pictures even when the system
  // has a theme (Wine's prefix may have one).
  void UseClassicLook() {
    TCustomVastTreeOptions& O = Tree->TreeOptions();
    O.SetPaintOptions(O.PaintOptions() - TVTPaintOptions{toThemeAware});
  }
  PVastNode Folder(Cardinal Index) {
    PVastNode Run = Tree->GetFirst();
    while (Run && Run->Index != Index) Run = Tree->GetNextSibling(Run);
    return Run;
  }
};

TEST_F(TTreeControlTest, HoldsAHundredThousandNodes) {
  EXPECT_EQ(Tree->TotalCount(), FolderCount * (1 + FilesPerFolder));
  EXPECT_EQ(Tree->VisibleCount(), FolderCount + 2 * FilesPerFolder);
  EXPECT_TRUE(Tree->Header().Options().Contains(hoVisible));
  // The header lives in the non-client area: the client starts below it.
  RECT Window, Client;
  GetWindowRect(Tree->Handle(), &Window);
  GetClientRect(Tree->Handle(), &Client);
  EXPECT_EQ(Tree->ClientHeight(), Tree->Height() - 4 - Tree->Header().Height() -
                                      (Tree->RangeX() > Tree->ClientWidth() ? GetSystemMetrics(SM_CYHSCROLL) : 0));
}

TEST_F(TTreeControlTest, ScrollRangeAndBarFollowTheRows) {
  const Integer Rows = static_cast<Integer>(Tree->VisibleCount());
  EXPECT_EQ(Tree->RangeY(), Rows * 18);
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(Tree->Handle(), SB_VERT, &Info));
  EXPECT_EQ(Info.nMax, Tree->RangeY());
  EXPECT_EQ(static_cast<Integer>(Info.nPage), Tree->ClientHeight() + 1);
  EXPECT_EQ(Tree->RangeX(), 230 + 90 + 80);

  // A page down moves by the client height; the bottom end by the range.
  SendMessageW(Tree->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Tree->OffsetY(), -Tree->ClientHeight());
  GetScrollInfo(Tree->Handle(), SB_VERT, &Info);
  EXPECT_EQ(Info.nPos, Tree->ClientHeight());
  SendMessageW(Tree->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Tree->OffsetY(), Tree->ClientHeight() - Tree->RangeY());
  SendMessageW(Tree->Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Tree->OffsetY(), 0);

  // Expanding every folder makes a range far beyond 16 bits; the bar holds it.
  Tree->FullExpand();
  EXPECT_EQ(Tree->RangeY(), static_cast<Integer>(FolderCount * (1 + FilesPerFolder)) * 18);
  GetScrollInfo(Tree->Handle(), SB_VERT, &Info);
  EXPECT_EQ(Info.nMax, Tree->RangeY());
  SendMessageW(Tree->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  GetScrollInfo(Tree->Handle(), SB_VERT, &Info);
  EXPECT_EQ(Info.nPos, Tree->RangeY() - Tree->ClientHeight());
  EXPECT_EQ(Tree->BottomNode(), Tree->GetLastVisible());
}

TEST_F(TTreeControlTest, HitPositionsAndDisplayRectanglesMatchTheGeometry) {
  PVastNode Folder0 = Folder(0);
  PVastNode Child = Tree->GetFirstChild(Folder0);
  TVTOffsets O;
  Tree->GetOffsets(Child, O, ofsRightOfText, 0);
  // A child row: indent of two levels, the image, then the text.
  EXPECT_EQ(O[ofsCheckBox], 4 + 2 + 2 * 18);
  EXPECT_EQ(O[ofsLabel], O[ofsImage] + 16 + 2);
  const TRect Row = Tree->GetDisplayRect(Child, NoColumn, false);
  EXPECT_EQ(Row.Top, 18);
  EXPECT_EQ(Row.Bottom, 36);
  const TRect Cell = Tree->GetDisplayRect(Child, 1, false);
  EXPECT_EQ(Cell.Left, 230);
  EXPECT_EQ(Cell.Right, 230 + 90 - 1);

  struct TCase {
    Integer X, Y;
    PVastNode Node;
    TColumnIndex Column;
    THitPosition Position;
  } Cases[] = {
      {O[ofsToggleButton] - 18 + 4, 9, Folder0, 0, hiOnItemButtonExact},
      {O[ofsImage] + 8, 27, Child, 0, hiOnNormalIcon},
      {O[ofsText] + 5, 27, Child, 0, hiOnItemLabel},
      {250, 27, Child, 1, hiOnItem},
      {360, 45, Child->NextSibling, 2, hiOnItem},
  };
  for (const TCase& C : Cases) {
    THitInfo Hit;
    Tree->GetHitTestInfoAt(C.X, C.Y, true, Hit);
    EXPECT_EQ(Hit.HitNode, C.Node) << C.X << "," << C.Y;
    EXPECT_EQ(Hit.HitColumn, C.Column) << C.X << "," << C.Y;
    EXPECT_TRUE(Hit.HitPositions.Contains(C.Position)) << C.X << "," << C.Y;
  }

  // After scrolling, rectangles and hits move with the offset.
  Tree->SetOffsetY(-100);
  EXPECT_EQ(Tree->GetDisplayRect(Child, NoColumn, false).Top, 18 - 100);
  THitInfo Hit;
  Tree->GetHitTestInfoAt(100, 5, true, Hit);
  Integer Top;
  EXPECT_EQ(Hit.HitNode, Tree->GetNodeAt(0, 105, false, Top));
  EXPECT_EQ(Top, 90);
}

TEST_F(TTreeControlTest, PaintedPixelsAtComputedPoints) {
  // The classic pictures, whatever theme the system has.
  UseClassicLook();
  // Rows: folder 0 (closed), folder 1 (closed), folder 2 (open), its files.
  Tree->SetExpanded(Folder(0), false);
  PVastNode Open = Folder(2);
  PVastNode Selected = Tree->GetNextSibling(Tree->GetFirstChild(Open));  // row 4
  Tree->SetSelected(Selected, true);
  Tree->SetFocusedNode(Selected);
  Pump(30);
  auto Client = PrintClient();
  TCanvas* C = Client->Canvas();
  const TColor Selection = ColorToRGB(GetFocus() == Tree->Handle() ? Tree->Colors().FocusedSelectionColor()
                                                                   : Tree->Colors().UnfocusedSelectionColor());
  const TRect SelectedRow = Tree->GetDisplayRect(Selected, NoColumn, false);
  // Full-row selection: the fill reaches into the last column, away from text.
  EXPECT_EQ(C->Pixel(230 + 90 + 70, SelectedRow.Top + 2), Selection);
  EXPECT_EQ(C->Pixel(230 + 5, SelectedRow.Top + 1), Selection);
  // An unselected row is the window colour there.
  EXPECT_EQ(C->Pixel(230 + 90 + 70, SelectedRow.Top + 18 + 2), ColorToRGB(clWindow));

  // The vertical grid line on the last pixel column of column 0: dotted, so
  // one of two neighbouring pixels has the grid colour.
  const TColor Grid = ColorToRGB(Tree->Colors().GridLineColor());
  const Integer GridY = Tree->GetDisplayRect(Tree->GetNextSibling(Selected), NoColumn, false).Top + 4;
  EXPECT_TRUE(C->Pixel(229, GridY) == Grid || C->Pixel(229, GridY + 1) == Grid);
  EXPECT_EQ(C->Pixel(228, GridY), ColorToRGB(clWindow));

  // The button of a collapsed folder: frame in the tree-line colour, the
  // cross of its plus in the font colour.
  PVastNode Closed = Folder(1);
  ASSERT_LT(Tree->GetDisplayRect(Closed, NoColumn, false).Bottom, Tree->ClientHeight());
  ASSERT_FALSE(Tree->GetExpanded(Closed));
  TVTOffsets O;
  Tree->GetOffsets(Closed, O, ofsText, 0);
  const TRect ClosedRow = Tree->GetDisplayRect(Closed, NoColumn, false);
  // Centred on the 16-pixel image: the row middle less half the button.
  const Integer ButtonTop = ClosedRow.Top + (18 - 9) / 2;
  const Integer BX = O[ofsToggleButton];
  EXPECT_EQ(C->Pixel(BX, ButtonTop + 4), ColorToRGB(Tree->Colors().TreeLineColor()));  // left frame
  EXPECT_EQ(C->Pixel(BX + 4, ButtonTop + 4), ColorToRGB(Tree->Font()->Color()));       // centre of the cross
  EXPECT_EQ(C->Pixel(BX + 4, ButtonTop + 2), ColorToRGB(Tree->Font()->Color()));       // its vertical bar
  EXPECT_EQ(C->Pixel(BX + 2, ButtonTop + 2), ColorToRGB(clWindow));                    // inside, off the cross
  // An expanded folder shows a minus: no vertical bar.
  const Integer OpenTop = Tree->GetDisplayRect(Open, NoColumn, false).Top + (18 - 9) / 2;
  EXPECT_EQ(C->Pixel(BX + 4, OpenTop + 2), ColorToRGB(clWindow));
  EXPECT_EQ(C->Pixel(BX + 4, OpenTop + 4), ColorToRGB(Tree->Font()->Color()));
  Client->SetPixelFormat(pf24bit);
  Client->SaveToFile(u"treeview_printclient.bmp");

  // The header's divider between the first two columns: the right edge of a
  // raised head is its shadow; the next head starts with its highlight.
  auto Whole = PrintWindowImage();
  const TRect HR = Tree->HeaderRect();
  const Integer HY = HR.Top + Tree->Header().Height() / 2;
  const TColor Divider = Whole->Canvas()->Pixel(HR.Left + 230 - 1, HY);
  EXPECT_TRUE(Divider == ColorToRGB(static_cast<TColor>(0xFF000000u | COLOR_3DDKSHADOW)) ||
              Divider == ColorToRGB(clBtnShadow))
      << std::hex << Divider;
  const TColor NextHead = Whole->Canvas()->Pixel(HR.Left + 230, HY);
  EXPECT_TRUE(NextHead == ColorToRGB(clBtnHighlight) ||
              NextHead == ColorToRGB(static_cast<TColor>(0xFF000000u | COLOR_3DLIGHT)))
      << std::hex << NextHead;
  EXPECT_EQ(Whole->Canvas()->Pixel(HR.Left + 100, HY), ColorToRGB(clBtnFace));
  Whole->SetPixelFormat(pf24bit);
  Whole->SaveToFile(u"treeview_print.bmp");
}

TEST_F(TTreeControlTest, BlendedSelectionMixesTheSelectionColourIn) {
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toUseBlendedSelection});
  PVastNode Node = Tree->GetFirstChild(Folder(0));
  Tree->SetSelected(Node, true);
  auto Client = PrintClient();
  const TColor Sel = ColorToRGB(GetFocus() == Tree->Handle() ? Tree->Colors().FocusedSelectionColor()
                                                             : Tree->Colors().UnfocusedSelectionColor());
  auto Mix = [](Integer C, Integer D) { return (C * 128 + D * (256 - 128)) >> 8; };
  const Integer R = Mix(Sel & 0xFF, 255), G = Mix((Sel >> 8) & 0xFF, 255), B = Mix((Sel >> 16) & 0xFF, 255);
  const TRect Row = Tree->GetDisplayRect(Node, NoColumn, false);
  EXPECT_EQ(Client->Canvas()->Pixel(230 + 90 + 70, Row.Top + 3), static_cast<TColor>(R | (G << 8) | (B << 16)));
}

TEST_F(TTreeControlTest, EmptyTreeShowsItsMessageInGrey) {
  auto* Empty = new TVastStringTree(Form.get());
  Empty->SetBounds(0, 0, 300, 120);
  Empty->SetEmptyListMessage(u"Nothing to show yet");
  Empty->SetParent(Form.get());
  Pump(30);
  auto CountGrey = [&] {
    TBitmap B(Empty->ClientWidth(), Empty->ClientHeight());
    SendMessageW(Empty->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), PRF_CLIENT);
    int Grey = 0;
    for (Integer Y = 0; Y < 24; ++Y)
      for (Integer X = 40; X < 200; ++X)  // right of the tree lines, which are grey too
        if (B.Canvas()->Pixel(X, Y) == ColorToRGB(clGrayText)) ++Grey;
    return Grey;
  };
  EXPECT_GT(CountGrey(), 10);
  Empty->SetRootNodeCount(2);
  EXPECT_EQ(CountGrey(), 0);
}

TEST_F(TTreeControlTest, BorderWidthShowsABandInTheBorderColour) {
  const Integer Before = Tree->ClientWidth();
  Tree->Colors().Set(TVTColors::BorderIndex, clRed);
  Tree->SetBorderWidth(3);
  EXPECT_EQ(Tree->ClientWidth(), Before - 6);
  auto Whole = PrintWindowImage();
  const Integer Y = Whole->Height() / 2;
  // Inside the 2-pixel sunken client edge: three pixels of border colour,
  // then the client.
  EXPECT_EQ(Whole->Canvas()->Pixel(2, Y), ColorToRGB(clRed));
  EXPECT_EQ(Whole->Canvas()->Pixel(4, Y), ColorToRGB(clRed));
  EXPECT_NE(Whole->Canvas()->Pixel(5, Y), ColorToRGB(clRed));
  // The header sits inside the band as well.
  EXPECT_EQ(Tree->HeaderRect().Left, 2 + 3);
  EXPECT_EQ(Tree->HeaderRect().Top, 2 + 3);
}

TEST_F(TTreeControlTest, TextEventsShortenAndDrawInsteadOfTheTree) {
  auto DarkPixels = [&](const TBitmap& B, Integer Left, Integer Right, Integer Top, Integer Bottom) {
    int Dark = 0;
    for (Integer Y = Top; Y < Bottom; ++Y)
      for (Integer X = Left; X < Right; ++X)
        if ((const_cast<TBitmap&>(B).Canvas()->Pixel(X, Y) & 0xFF) < 0x60) ++Dark;
    return Dark;
  };
  auto Before = PrintClient();
  ASSERT_GT(DarkPixels(*Before, 232, 318, 1, 17), 10);  // "9900 KB" in the first row
  std::vector<Integer> Spaces;
  Tree->OnShortenString = [&](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex Column, const String&, Integer Space,
                              String& Result, bool& Done) {
    if (Column == 2) Spaces.push_back(Space);
    Result = u"x";
    Done = true;
  };
  Tree->OnDrawText = [&](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex Column, const String&, const TRect&,
                         bool& DefaultDraw) { DefaultDraw = Column != 1; };
  auto After = PrintClient();
  EXPECT_EQ(DarkPixels(*After, 232, 318, 1, 17), 0);
  ASSERT_FALSE(Spaces.empty());
  // The narrow column's text space: 80 pixels less the grid line, the
  // margin and images margin before the label, and the text margins.
  EXPECT_EQ(Spaces.front(), 80 - 1 - (4 + 2) - 2 * 4);
}

TEST_F(TTreeControlTest, OwnersDrawHeadsOrTheirElements) {
  TVTHeader& H = Tree->Header();
  H.SetOptions(H.Options() + TVTHeaderOptions{hoOwnerDraw});
  H.Columns()[1].SetStyle(vsOwnerDraw);
  Tree->OnHeaderDraw = [](TVTHeader*, TCanvas* Canvas, TVastTreeColumn*, const TRect& R, bool, bool, TVTDropMarkMode) {
    Canvas->Brush()->SetColor(clRed);
    Canvas->FillRect(R);
  };
  auto Whole = PrintWindowImage();
  const TRect HR = Tree->HeaderRect();
  const Integer HY = HR.Top + H.Height() / 2;
  EXPECT_EQ(Whole->Canvas()->Pixel(HR.Left + 230 + 45, HY), ColorToRGB(clRed));
  EXPECT_EQ(Whole->Canvas()->Pixel(HR.Left + 100, HY), ColorToRGB(clBtnFace));

  // With both element events the owner draws the elements it claims.
  std::vector<std::pair<TVastTreeColumn*, THeaderPaintElements>> Calls;
  Tree->OnHeaderDrawQueryElements = [](TVTHeader*, THeaderPaintInfo& Info, THeaderPaintElements& Elements) {
    if (Info.Column && Info.Column->Index() == 0) Elements = THeaderPaintElements{hpeText, hpeOverlay};
  };
  Tree->OnAdvancedHeaderDraw = [&](TVTHeader*, THeaderPaintInfo& Info, const THeaderPaintElements& Elements) {
    Calls.push_back({Info.Column, Elements});
  };
  PrintWindowImage();
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].first, &H.Columns()[0]);
  EXPECT_EQ(Calls[0].second.Bits(), (THeaderPaintElements{hpeText, hpeOverlay}.Bits()));
}

TEST_F(TTreeControlTest, ShadedButtonsComeFromTheProgramsBitmaps) {
  // The classic pictures, whatever theme the system has.
  UseClassicLook();
  Tree->SetButtonFillMode(fmShaded);
  TBitmap* Plus = Tree->ButtonBitmap(false);
  TBitmap* Minus = Tree->ButtonBitmap(true);
  ASSERT_EQ(Plus->Width(), 9);
  EXPECT_EQ(Plus->Canvas()->Pixel(4, 2), RGBToColor(0x1E, 0x3A, 0x5C));   // the vertical bar of the plus
  EXPECT_NE(Minus->Canvas()->Pixel(4, 2), RGBToColor(0x1E, 0x3A, 0x5C));  // none in the minus
  EXPECT_EQ(Plus->Canvas()->Pixel(0, 4), RGBToColor(0x7A, 0x8A, 0x99));   // the frame
  // And a closed folder's row shows it.
  Tree->SetExpanded(Folder(0), false);
  auto Client = PrintClient();
  TVTOffsets O;
  Tree->GetOffsets(Folder(1), O, ofsCheckBox, 0);
  const Integer Top = Tree->GetDisplayRect(Folder(1), NoColumn, false).Top + (18 - 9) / 2;
  EXPECT_EQ(Client->Canvas()->Pixel(O[ofsToggleButton] + 4, Top + 2), RGBToColor(0x1E, 0x3A, 0x5C));
  Screenshot(u"treeview_shaded_buttons.bmp");
}

TEST_F(TTreeControlTest, BackgroundPictureTilesAndScrollsOrStays) {
  // An 8 x 8 picture: red left half, blue right half.
  TBitmap Tile(8, 8);
  Tile.Canvas()->Brush()->SetColor(clRed);
  Tile.Canvas()->FillRect(TRect{0, 0, 4, 8});
  Tile.Canvas()->Brush()->SetColor(clBlue);
  Tile.Canvas()->FillRect(TRect{4, 0, 8, 8});
  TPicture Picture;
  Picture.SetGraphic(&Tile);
  Tree->SetBackground(&Picture);
  Tree->SetBackgroundOffsetX(2);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowBackground});
  Tree->Clear();
  Tree->SetRootNodeCount(3);  // a short tree: most of the client is below the rows
  const Integer Y = 60;       // below the three rows
  auto ColourAt = [&](Integer X) { return PrintClient()->Canvas()->Pixel(X, Y); };
  // Tiles start at x = 2: x 98..101 is a tile's red half, 102..105 its blue.
  EXPECT_EQ(ColourAt(100), ColorToRGB(clRed));
  EXPECT_EQ(ColourAt(104), ColorToRGB(clBlue));
  // Under a row too (away from its text).
  EXPECT_EQ(PrintClient()->Canvas()->Pixel(202, 3), ColorToRGB(clRed));
  // The tiles scroll with the content: four pixels sideways swap the halves.
  Tree->Header().Columns()[2].SetWidth(500);
  Tree->SetOffsetX(-4);
  EXPECT_EQ(ColourAt(100), ColorToRGB(clBlue));
  // Static: the picture once, at the offset in the window; elsewhere the
  // window colour.
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toStaticBackground});
  Tree->SetBackgroundOffsetY(Y - 4);
  EXPECT_EQ(ColourAt(3), ColorToRGB(clRed));
  EXPECT_EQ(ColourAt(7), ColorToRGB(clBlue));
  EXPECT_EQ(ColourAt(102), ColorToRGB(clWindow));
}

// The system records these helpers fill carry their own sizes (sizeof, not
// a 32-bit constant), so the calls succeed in the 64-bit build as well.
TEST_F(TTreeControlTest, SystemRecordHelpersWorkAtThisPointerSize) {
  TBitmap Target(32, 32);
  Target.Canvas()->Brush()->SetColor(clWhite);
  Target.Canvas()->FillRect(TRect{0, 0, 32, 32});
  DrawImageGrayed(Form->Images, Target.Canvas(), 8, 8, 0);  // the closed folder, greyed
  int Drawn = 0;
  for (Integer Y = 8; Y < 24; ++Y)
    for (Integer X = 8; X < 24; ++X)
      if (Target.Canvas()->Pixel(X, Y) != ColorToRGB(clWhite)) ++Drawn;
  EXPECT_GT(Drawn, 20);
  HIGHCONTRASTW Contrast{};
  Contrast.cbSize = sizeof(Contrast);
  const bool Asked = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(Contrast), &Contrast, 0) != 0;
  EXPECT_TRUE(Asked);
  EXPECT_EQ(IsHighContrastOn(), Asked && (Contrast.dwFlags & HCF_HIGHCONTRASTON) != 0);
  Integer W = 0, H = 0;
  TBitmap Dib(10, 7);
  Dib.SetPixelFormat(pf32bit);
  EXPECT_NE(SelectedBitmapBits(Dib.Canvas()->Handle(), W, H), nullptr);
  EXPECT_EQ(W, 10);
  EXPECT_EQ(H < 0 ? -H : H, 7);
}

TEST_F(TTreeControlTest, NarrowColumnsEndTheirTextsWithAnEllipsis) {
  // 80 pixels cannot hold "2026-01-01 14:00": the painted text is shortened,
  // and the shortening the painter uses answers a prefix plus "...".
  TBitmap Measure(1, 1);
  Measure.Canvas()->SetFont(Tree->Font());
  PVastNode Node = Folder(0);
  const String Full = Form->CellText(Node, 2);
  ASSERT_GT(Measure.Canvas()->TextWidth(Full), 80 - 8);
  const String Short = ShortenTextWithEllipsis(Measure.Canvas()->Handle(), Full, 80 - 1 - 8, 0);
  ASSERT_GE(Short.size(), 4u);
  EXPECT_EQ(Short.substr(Short.size() - 3), u"...");
  EXPECT_EQ(Full.compare(0, Short.size() - 3, Short.substr(0, Short.size() - 3)), 0);
  // The column-less tree never shortens.
  EXPECT_EQ(ShortenTextWithEllipsis(Measure.Canvas()->Handle(), Full, 1000, 0), Full);

  // The painted cell: its text is the longest prefix plus "..." that fits
  // the cell's text space (the cell less its grid line, its margin and the
  // text margin at both ends), stays inside the column, and ends in three
  // dots on the base line (nothing of its last "..." rises above them).
  const TRect Cell = Tree->GetDisplayRect(Node, 2, false);
  const Integer Space = Cell.Width() - 1 - Tree->Margin() - 2 * Tree->TextMargin();
  const String Painted = ShortenTextWithEllipsis(Measure.Canvas()->Handle(), Full, Space, 0);
  ASSERT_GE(Painted.size(), 4u);
  EXPECT_EQ(Painted.substr(Painted.size() - 3), u"...");
  EXPECT_GT(Measure.Canvas()->TextWidth(Full.substr(0, Painted.size() - 2) + u"..."), Space);
  auto Client = PrintClient();
  const TRect Row = Tree->GetDisplayRect(Node, 2, false);
  auto Ink = [&](Integer X, Integer Y) {
    const TColor C = Client->Canvas()->Pixel(X, Y);
    return (C & 0xFF) < 0x80 && ((C >> 8) & 0xFF) < 0x80 && ((C >> 16) & 0xFF) < 0x80;
  };
  Integer Left = -1, Right = -1, Top = Row.Bottom, Bottom = Row.Top;
  for (Integer X = Row.Left + 1; X < Row.Right - 1; ++X)
    for (Integer Y = Row.Top + 1; Y < Row.Bottom - 1; ++Y)
      if (Ink(X, Y)) {
        if (Left < 0) Left = X;
        Right = X;
        Top = std::min(Top, Y);
        Bottom = std::max(Bottom, Y);
      }
  ASSERT_GE(Left, 0);
  EXPECT_LT(Right, Row.Right - 1);
  // Ink is the text's width less the side bearings of its first and last
  // letters.
  EXPECT_LE(Right - Left + 1, Measure.Canvas()->TextWidth(Painted));
  EXPECT_GE(Right - Left + 1, Measure.Canvas()->TextWidth(Painted) - 3);
  const Integer Dots = Measure.Canvas()->TextWidth(u"...");
  int Runs = 0;
  bool InRun = false;
  for (Integer X = Right - Dots + 2; X <= Right; ++X) {
    bool Any = false;
    for (Integer Y = Top; Y <= Bottom; ++Y) {
      if (!Ink(X, Y)) continue;
      Any = true;
      EXPECT_GE(Y, Bottom - 2) << "ink above the base line at x " << X;
    }
    if (Any && !InRun) ++Runs;
    InRun = Any;
  }
  EXPECT_EQ(Runs, 3);
}

TEST_F(TTreeControlTest, TreeViewQueriesAnswerOnlyForOwnNodes) {
  PVastNode Folder0 = Folder(0);
  HWND W = Tree->Handle();
  EXPECT_EQ(SendMessageW(W, TVM_GETNEXTITEM, TVGN_ROOT, 0), reinterpret_cast<LRESULT>(Folder0));
  EXPECT_EQ(SendMessageW(W, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(Folder0)), 0);
  EXPECT_EQ(SendMessageW(W, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(Folder0)),
            reinterpret_cast<LRESULT>(Folder0->FirstChild));
  // A handle that is not one of ours is never followed.
  alignas(16) Byte Fake[256] = {};
  EXPECT_EQ(SendMessageW(W, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(Fake)), 0);
  TVITEMW Item{};
  Item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_STATE;
  Item.hItem = reinterpret_cast<HTREEITEM>(Folder0);
  wchar_t Text[5];
  Item.pszText = Text;
  Item.cchTextMax = 5;
  ASSERT_EQ(SendMessageW(W, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&Item)), 1);
  EXPECT_EQ(std::wstring(Text), L"Fold");
  EXPECT_EQ(Item.cChildren, static_cast<int>(FilesPerFolder));
  EXPECT_TRUE(Item.state & TVIS_EXPANDED);
  Item.hItem = reinterpret_cast<HTREEITEM>(Fake);
  EXPECT_EQ(SendMessageW(W, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&Item)), 0);
  RECT R{};
  std::memcpy(&R, &Folder0, sizeof(Folder0));
  ASSERT_EQ(SendMessageW(W, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&R)), 1);
  EXPECT_EQ(R.top, 0);
  EXPECT_EQ(R.bottom, 18);
  // Nobody provides accessibility objects here.
  EXPECT_EQ(SendMessageW(W, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
}

// Any program may post these codes with any pointer: what the pointers
// lead to is read and written only where that is safe, and only our own
// nodes are answered for. Sends from this thread with sound pointers are
// still answered.
TEST_F(TTreeControlTest, TreeViewQueriesWithBadPointersNeitherCrashNorWrite) {
  HWND W = Tree->Handle();
  PVastNode Folder0 = Folder(0);
  // Memory that was there and is gone (kept reserved, so that nothing else
  // comes to live at that address during the test).
  void* Freed = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(Freed, nullptr);
  std::memset(Freed, 0x33, 4096);
  ASSERT_TRUE(VirtualFree(Freed, 4096, MEM_DECOMMIT));
  // Two pages, the second reserved only: a text buffer running off the end
  // of the first.
  auto* Pages = static_cast<Byte*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(Pages, nullptr);
  ASSERT_NE(VirtualAlloc(Pages, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
  // A read-only page holding sound requests for our own node.
  auto* ReadOnly = static_cast<Byte*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(ReadOnly, nullptr);
  auto* Fixed = reinterpret_cast<TVITEMW*>(ReadOnly);
  Fixed->mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_STATE;
  Fixed->hItem = reinterpret_cast<HTREEITEM>(Folder0);
  Fixed->pszText = reinterpret_cast<wchar_t*>(ReadOnly + 2048);
  Fixed->cchTextMax = 16;
  std::memcpy(ReadOnly + 1024, &Folder0, sizeof(Folder0));
  DWORD Old = 0;
  ASSERT_TRUE(VirtualProtect(ReadOnly, 4096, PAGE_READONLY, &Old));
  std::vector<Byte> Before(ReadOnly, ReadOnly + 4096);
  // Writable records whose text goes to freed memory or off the end.
  TVITEMW ToFreed{};
  ToFreed.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN;
  ToFreed.hItem = reinterpret_cast<HTREEITEM>(Folder0);
  ToFreed.pszText = static_cast<wchar_t*>(Freed);
  ToFreed.cchTextMax = 16;
  TVITEMW OffTheEnd = ToFreed;
  OffTheEnd.pszText = reinterpret_cast<wchar_t*>(Pages + 4096 - 4);
  std::memset(Pages + 4096 - 4, 0x5A, 4);
  const TVITEMW ToFreedBefore = ToFreed, OffTheEndBefore = OffTheEnd;

  const LPARAM BadBuffers[] = {0x10, reinterpret_cast<LPARAM>(Freed), reinterpret_cast<LPARAM>(Pages + 4096 - 8),
                               reinterpret_cast<LPARAM>(ReadOnly), reinterpret_cast<LPARAM>(ReadOnly + 1024)};
  for (UINT Msg : {TVM_GETITEMRECT, TVM_GETITEMW}) {
    for (LPARAM P : BadBuffers) {
      EXPECT_TRUE(PostMessageW(W, Msg, 0, P));
      EXPECT_EQ(SendMessageW(W, Msg, 0, P), 0) << Msg << " " << std::hex << P;
    }
  }
  for (LPARAM P : BadBuffers) {
    EXPECT_TRUE(PostMessageW(W, TVM_GETNEXTITEM, TVGN_CHILD, P));
    EXPECT_EQ(SendMessageW(W, TVM_GETNEXTITEM, TVGN_CHILD, P), 0);
  }
  for (TVITEMW* Item : {&ToFreed, &OffTheEnd}) {
    EXPECT_TRUE(PostMessageW(W, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(Item)));
    EXPECT_EQ(SendMessageW(W, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(Item)), 0);
  }
  Pump(50);
  EXPECT_TRUE(std::equal(Before.begin(), Before.end(), ReadOnly));
  EXPECT_EQ(std::memcmp(&ToFreed, &ToFreedBefore, sizeof(TVITEMW)), 0);
  EXPECT_EQ(std::memcmp(&OffTheEnd, &OffTheEndBefore, sizeof(TVITEMW)), 0);
  EXPECT_EQ(Pages[4096 - 4], 0x5A);

  // Made writable, the same requests are answered.
  ASSERT_TRUE(VirtualProtect(ReadOnly, 4096, PAGE_READWRITE, &Old));
  ASSERT_EQ(SendMessageW(W, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(ReadOnly)), 1);
  EXPECT_EQ(std::wstring(Fixed->pszText), L"Folder 0000");
  EXPECT_EQ(Fixed->cChildren, static_cast<int>(FilesPerFolder));
  ASSERT_EQ(SendMessageW(W, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(ReadOnly + 1024)), 1);
  EXPECT_EQ(reinterpret_cast<RECT*>(ReadOnly + 1024)->bottom, 18);
  VirtualFree(ReadOnly, 0, MEM_RELEASE);
  VirtualFree(Pages, 0, MEM_RELEASE);
  VirtualFree(Freed, 0, MEM_RELEASE);
}

// A thumb dragged far down a tree taller than 65535 pixels lands exactly:
// the position comes from the bar, not from the message's 16 bits.
TEST_F(TTreeControlTest, ThumbTrackingBeyondSixteenBitsPositionsExactly) {
  Tree->FullExpand();
  ASSERT_GT(Tree->RangeY(), 1000000);
  HWND W = Tree->Handle();
  const int Pos = 1234567;
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_POS;
  Info.nPos = Pos;
  SetScrollInfo(W, SB_VERT, &Info, FALSE);
  SendMessageW(W, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(Pos & 0xFFFF)), 0);
  EXPECT_TRUE(Tree->TreeStates().Contains(tsThumbTracking));
  EXPECT_EQ(Tree->OffsetY(), -Pos);
  SendMessageW(W, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  EXPECT_FALSE(Tree->TreeStates().Contains(tsThumbTracking));
  EXPECT_EQ(Tree->OffsetY(), -Pos);
  Integer Top = 0;
  EXPECT_EQ(Tree->AbsoluteIndex(Tree->GetNodeAt(0, 0, true, Top)), static_cast<Cardinal>(Pos / 18));
  Screenshot(u"treeview_thumb_track.bmp");
}

TEST_F(TTreeControlTest, WheelScrollsBySystemLinesAndShiftGoesSideways) {
  UINT Lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  ASSERT_NE(Lines, static_cast<UINT>(WHEEL_PAGESCROLL));
  SendMessageW(Tree->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Tree->OffsetY(), -static_cast<Integer>(Lines) * 18);
  // With Ctrl a notch is a page.
  SendMessageW(Tree->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Tree->OffsetY(), -static_cast<Integer>(Lines) * 18 - Tree->ClientHeight());
  // With Shift it goes sideways: make the columns wider than the window.
  Tree->Header().Columns()[2].SetWidth(500);
  const Integer Y = Tree->OffsetY();
  SendMessageW(Tree->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Tree->OffsetY(), Y);
  EXPECT_LT(Tree->OffsetX(), 0);
}

// Registered providers make the tree's accessible objects; this program
// registers none.
class TFakeProvider : public IVTAccessibleProvider {
public:
  explicit TFakeProvider(IAccessible* Answer) : FAnswer(Answer) {}
  IAccessible* CreateIAccessible(TBaseVastTree*) override {
    ++Calls;
    return FAnswer;
  }
  int Calls = 0;

private:
  IAccessible* FAnswer;
};

TEST_F(TTreeControlTest, AccessibilityFactoryChoosesProviders) {
  TVTAccessibilityFactory& F = TVTAccessibilityFactory::GetAccessibilityFactory();
  EXPECT_EQ(F.ProviderCount(), 0);
  EXPECT_EQ(F.CreateIAccessible(Tree, nullptr, nullptr), nullptr);
  auto* TreeObject = reinterpret_cast<IAccessible*>(0x1000);
  TFakeProvider First(TreeObject), Second(nullptr);
  F.RegisterAccessibleProvider(&First);
  F.RegisterAccessibleProvider(&First);
  EXPECT_EQ(F.ProviderCount(), 1);
  F.RegisterAccessibleProvider(&Second);
  EXPECT_EQ(F.CreateIAccessible(Tree, nullptr, nullptr), TreeObject);  // the tree's own object: the first
  // The item object: the later providers first; none answers, so the first.
  EXPECT_EQ(F.CreateIAccessible(Tree, TreeObject, nullptr), TreeObject);
  EXPECT_EQ(Second.Calls, 1);
  F.UnRegisterAccessibleProvider(&Second);
  F.UnRegisterAccessibleProvider(&Second);
  F.UnRegisterAccessibleProvider(&First);
  EXPECT_EQ(F.ProviderCount(), 0);
}

// An accessible object that only counts its references.
class TCountedAccessible : public IAccessible {
public:
  LONG Refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override {
    if (IsEqualIID(Id, IID_IUnknown) || IsEqualIID(Id, IID_IDispatch) || IsEqualIID(Id, IID_IAccessible)) {
      *Object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--Refs); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(long*, long*, long*, long*, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

// Hands out a new reference to its one object whenever asked.
class TCountingProvider : public IVTAccessibleProvider {
public:
  explicit TCountingProvider(TCountedAccessible& Object) : FObject(Object) {}
  IAccessible* CreateIAccessible(TBaseVastTree*) override {
    ++Calls;
    FObject.AddRef();
    return &FObject;
  }
  int Calls = 0;

private:
  TCountedAccessible& FObject;
};

// Requests for the window's own object (not the client's) make the objects
// too, without handing them out: the test keeps them in process.
TEST_F(TTreeControlTest, TheAccessibleObjectIsMadeOnceAndLetGoWithTheWindow) {
  TVTAccessibilityFactory& F = TVTAccessibilityFactory::GetAccessibilityFactory();
  TCountedAccessible Object;
  TCountingProvider Provider(Object);
  F.RegisterAccessibleProvider(&Provider);
  const LONG Before = Object.Refs;
  for (int I = 0; I < 3; ++I) SendMessageW(Tree->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW));
  // Asked for the tree's object once and for an item object once, not per request.
  EXPECT_EQ(Provider.Calls, 2);
  EXPECT_EQ(Object.Refs, Before + 2);
  // A new window lets the old object go, and the next request asks anew.
  Tree->RecreateWnd();
  Pump(30);
  EXPECT_EQ(Object.Refs, Before);
  SendMessageW(Tree->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW));
  EXPECT_EQ(Provider.Calls, 4);
  EXPECT_EQ(Object.Refs, Before + 2);
  F.UnRegisterAccessibleProvider(&Provider);
  Tree->RecreateWnd();
  Pump(30);
  EXPECT_EQ(Object.Refs, Before);
}

TEST_F(TTreeControlTest, AFreedImageListIsForgotten) {
  ASSERT_EQ(Tree->Images(), Form->Images);
  const Integer LabelBefore = Tree->GetOffset(ofsLabel, Tree->GetFirst());
  delete Form->Images;
  Form->Images = nullptr;
  EXPECT_EQ(Tree->Images(), nullptr);
  // Rows lose their image space and still paint.
  EXPECT_EQ(Tree->GetOffset(ofsLabel, Tree->GetFirst()), LabelBefore - 18);
  auto Client = PrintClient();
  EXPECT_EQ(Client->Canvas()->Pixel(Tree->ClientWidth() - 5, 5), ColorToRGB(clWindow));
}

TEST_F(TTreeControlTest, FixedColumnStaysWhileTheRestScrolls) {
  TVastTreeColumns& Cols = Tree->Header().Columns();
  Cols[0].SetOptions(Cols[0].Options() + TVTColumnOptions{coFixed});
  Cols[2].SetWidth(600);
  Tree->UpdateScrollBars(true);
  ASSERT_GT(Tree->RangeX(), Tree->ClientWidth());
  SendMessageW(Tree->Handle(), WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Tree->OffsetX(), -(Tree->ClientWidth() - 230));
  // A hit in the fixed column is not shifted by the scroll.
  THitInfo Hit;
  Tree->GetHitTestInfoAt(100, 5, true, Hit);
  EXPECT_EQ(Hit.HitColumn, 0);
  EXPECT_EQ(Hit.HitPoint.X, 100);
  Tree->GetHitTestInfoAt(240, 5, true, Hit);
  EXPECT_EQ(Hit.HitPoint.X, 240 + Tree->EffectiveOffsetX());
  // The fixed column still shows the folder's image at its place.
  auto Client = PrintClient();
  const Integer ImageX = Tree->GetOffset(ofsImage, Tree->GetFirst());
  EXPECT_NE(Client->Canvas()->Pixel(ImageX + 8, 9), ColorToRGB(clWindow));
  // The header scrolls with the columns: the heads of columns 1 and 2 have
  // moved left out of view, so no divider stands where an unscrolled copy
  // of column 0 would end, and the fixed head keeps its divider.
  auto Whole = PrintWindowImage();
  const TRect HR = Tree->HeaderRect();
  const Integer HY = HR.Top + Tree->Header().Height() / 2;
  EXPECT_EQ(Whole->Canvas()->Pixel(HR.Left + 2 * 230 - 1, HY), ColorToRGB(clBtnFace));
  EXPECT_NE(Whole->Canvas()->Pixel(HR.Left + 230 - 1, HY), ColorToRGB(clBtnFace));
  Screenshot(u"treeview_fixed_column.bmp");
}

TEST_F(TTreeControlTest, AnimationStepsByTheClock) {
  Cardinal Now = 0;
  Tree->Clock = [&Now] { return ++Now; };  // one millisecond per look
  std::vector<std::pair<Integer, Integer>> Calls;
  Tree->Animate(100, 200, [&](Integer Step, Integer Size) {
    Calls.push_back({Step, Size});
    return true;
  });
  ASSERT_GE(Calls.size(), 2u);
  EXPECT_EQ(Calls.front(), (std::pair<Integer, Integer>{0, 1}));
  EXPECT_EQ(Calls.back(), (std::pair<Integer, Integer>{0, 0}));
  // A callback that stops at once still gets the closing call.
  Calls.clear();
  Tree->Animate(100, 200, [&](Integer Step, Integer Size) {
    Calls.push_back({Step, Size});
    return false;
  });
  ASSERT_EQ(Calls.size(), 2u);
  EXPECT_EQ(Calls.back(), (std::pair<Integer, Integer>{0, 0}));
}

TEST_F(TTreeControlTest, AnimatedToggleSlidesThenSettles) {
  Cardinal Looks = 0;
  Tree->Clock = [&Looks] { return ++Looks; };
  Tree->SetAnimationDuration(50);
  ASSERT_TRUE(Tree->TreeOptions().AnimationOptions().Contains(toAnimatedToggle));
  PVastNode Opened = Folder(1);  // on the second row once folder 0 is closed
  Tree->SetExpanded(Folder(0), false);
  Looks = 0;
  Tree->SetExpanded(Opened, true);
  EXPECT_GT(Looks, 0u);  // the slide ran on the tree's clock
  EXPECT_TRUE(Tree->GetExpanded(Opened));
  auto Client = PrintClient();
  // After the slide the first file of folder 3 is painted in its row.
  const TRect R = Tree->GetDisplayRect(Opened->FirstChild, NoColumn, false);
  EXPECT_EQ(Client->Canvas()->Pixel(200, R.Top + 1), ColorToRGB(clWindow));
  EXPECT_EQ(Tree->GetNodeAt(0, R.Top + 1), Opened->FirstChild);
}

TPoint ClientOrigin(HWND Wnd);

TEST_F(TTreeControlTest, ScreenshotsOfTheDemo) {
  PVastNode Folder0 = Folder(0);
  PVastNode Pick = Tree->GetNextSibling(Tree->GetNextSibling(Tree->GetFirstChild(Folder0)));
  Tree->SetFocus();
  Tree->SetSelected(Pick, true);
  Tree->SetFocusedNode(Pick);
  Pump(50);
  Screenshot(u"treeview_demo.bmp");
  // Scrolled by pages, a line and a half page back: each scroll moves what
  // is on the window and paints only what comes into view.
  for (WPARAM Code : {SB_PAGEDOWN, SB_PAGEDOWN, SB_LINEDOWN, SB_PAGEDOWN, SB_PAGEDOWN, SB_PAGEDOWN, SB_LINEUP}) {
    SendMessageW(Tree->Handle(), WM_VSCROLL, Code, 0);
    Tree->Update();
  }
  Tree->SetOffsetY(Tree->OffsetY() + Tree->ClientHeight() / 2);
  Tree->Update();
  Pump(50);
  EXPECT_GT(Tree->TopNode()->Index, 0u);
  Screenshot(u"treeview_demo_scrolled.bmp");
  // What the window shows after those scrolls is exactly what a fresh
  // paint of the same view gives.
  auto Shown = testsupport::WindowSurfaceImage(Tree->Handle());
  const TPoint Origin = ClientOrigin(Tree->Handle());
  auto Fresh = PrintClient();
  int Different = 0;
  for (Integer Y = 0; Y < Tree->ClientHeight(); ++Y)
    for (Integer X = 0; X < Tree->ClientWidth(); ++X)
      if (Shown->Canvas()->Pixel(Origin.X + X, Origin.Y + Y) != Fresh->Canvas()->Pixel(X, Y)) ++Different;
  EXPECT_EQ(Different, 0);
  Tree->Invalidate();
  Tree->Update();
  Screenshot(u"treeview_demo_repainted.bmp");
}

// Where the client area's origin lies in the window.
TPoint ClientOrigin(HWND Wnd) {
  POINT P{0, 0};
  ClientToScreen(Wnd, &P);
  RECT R;
  GetWindowRect(Wnd, &R);
  return TPoint{P.x - R.left, P.y - R.top};
}

int CountPixels(TCanvas* C, const TRect& R, const std::function<bool(TColor)>& Test) {
  int N = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X)
      if (Test(C->Pixel(X, Y))) ++N;
  return N;
}

bool Dark(TColor C) { return (C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60; }

TEST_F(TTreeControlTest, HeadsShowPicturesAndCheckBoxes) {
  TVTHeader& H = Tree->Header();
  TVastTreeColumns& Cols = H.Columns();
  H.SetImages(Form->Images);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoShowImages});
  H.SetSortColumn(NoColumn);
  Cols[0].SetImageIndex(0);  // the main column: a closed folder
  Cols[2].SetImageIndex(0);  // the same picture in another column
  Cols[1].SetCheckBox(true);
  Cols[1].SetCheckState(csCheckedNormal);
  auto Whole = PrintWindowImage();
  TCanvas* C = Whole->Canvas();
  const TRect HR = Tree->HeaderRect();
  const Integer CX = ClientOrigin(Tree->Handle()).X;
  // Heads draw inside a 2-pixel edge, then the margin; the main column's
  // picture lines up with the rows' pictures, the others sit 2 pixels left.
  ASSERT_TRUE(Cols[0].HasImage());
  EXPECT_EQ(Cols[0].ImageRect().Left, 2 + 4);
  EXPECT_EQ(Cols[0].ImageRect().Width(), 16);
  ASSERT_TRUE(Cols[2].HasImage());
  EXPECT_EQ(Cols[2].ImageRect().Left, 230 + 90 + 2 + 4 - 2);
  const TColor FolderFill = RGBToColor(0xF2, 0xC8, 0x4B);
  for (TColumnIndex I : {0, 2})
    EXPECT_EQ(C->Pixel(CX + Cols[I].ImageRect().Left + 8, HR.Top + Cols[I].ImageRect().Top + 9), FolderFill) << I;
  // The caption follows the picture: the head needs text, spacing and
  // picture.
  TBitmap Measure(1, 1);
  Measure.Canvas()->SetFont(Tree->Font());
  EXPECT_EQ(Tree->CaptionWidth(0), Measure.Canvas()->TextWidth(u"Name") + 2 + 3 + 16);
  const Integer TextLeft = CX + Cols[0].ImageRect().Right + 3;
  EXPECT_GT(CountPixels(C, TRect{TextLeft, HR.Top + 3, TextLeft + 30, HR.Bottom - 3}, Dark), 10);
  // The right-aligned "Size" keeps its check box left of its caption,
  // inside its head, checked: a white box with a dark tick.
  ASSERT_TRUE(Cols[1].HasImage());
  const TRect Box = Cols[1].ImageRect();
  EXPECT_GE(Box.Left, 230);
  EXPECT_LE(Box.Right, 230 + 90);
  EXPECT_EQ(Box.Width(), 13);
  const TRect Inside{CX + Box.Left + 3, HR.Top + Box.Top + 3, CX + Box.Right - 3, HR.Top + Box.Bottom - 3};
  EXPECT_GT(CountPixels(C, Inside, [](TColor P) { return P == ColorToRGB(clWindow); }), 5);
  EXPECT_GT(CountPixels(C, Inside, Dark), 3);
  Cols[1].SetCheckState(csUncheckedNormal);
  Whole = PrintWindowImage();
  EXPECT_EQ(CountPixels(Whole->Canvas(), Inside, Dark), 0);
  // A sort arrow after the caption; squeezed into a narrow head the arrow
  // stays and the picture goes.
  H.SetSortColumn(2);
  Cols[1].SetCheckState(csCheckedNormal);
  Screenshot(u"treeview_header_glyphs.bmp");
  Whole = PrintWindowImage();
  EXPECT_TRUE(Cols[2].HasImage());
  Cols[2].SetWidth(30);
  Whole = PrintWindowImage();
  EXPECT_FALSE(Cols[2].HasImage());
}

TEST_F(TTreeControlTest, HeaderFontListsAndHeightFollowTheirOwners) {
  TVTHeader& H = Tree->Header();
  // The header's own font; with ParentFont it follows the tree's.
  const Integer Plain = Tree->CaptionWidth(0);
  TVTHeaderFont Big = H.Font();
  Big.Height = -20;
  Big.Style = TFontStyles{fsBold}.Bits();
  H.SetFont(Big);
  EXPECT_GT(Tree->CaptionWidth(0), Plain + 10);
  H.SetParentFont(true);
  Tree->Font()->SetHeight(-15);
  EXPECT_EQ(H.Font().Height, -15);
  // A taller header is a smaller client area at once.
  const Integer Client = Tree->ClientHeight();
  H.SetHeight(H.Height() + 11);
  EXPECT_EQ(Tree->ClientHeight(), Client - 11);
  // Lists that go away are forgotten: check images fall back to the system's.
  auto* Checks = new TImageList(nullptr, 13, 13);
  Tree->SetCustomCheckImages(Checks);
  EXPECT_EQ(Tree->CheckImageKind(), ckCustom);
  delete Checks;
  EXPECT_EQ(Tree->CustomCheckImages(), nullptr);
  EXPECT_EQ(Tree->CheckImageKind(), ckSystemDefault);
  auto* Pictures = new TImageList(nullptr, 16, 16);
  H.SetImages(Pictures);
  delete Pictures;
  EXPECT_EQ(H.Images(), nullptr);
  PrintWindowImage();
}

TEST_F(TTreeControlTest, UnbufferedPaintingLooksAsBuffered) {
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowHorzGridLines});
  Tree->SetSelected(Tree->GetFirstChild(Folder(0)), true);
  Tree->SetSelected(Folder(0)->FirstChild->NextSibling->NextSibling, true);
  const TVTInternalPaintOptions Options{poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poGridLines};
  // An odd left edge and a target inside a larger picture: the dotted
  // lines keep their phase and everything its place.
  const TRect Window{3, 7, 403, 7 + 200};
  const TPoint Target{5, 11};
  auto Paint = [&](bool Unbuffered) {
    auto B = std::make_unique<TBitmap>(420, 230);
    B->SetPixelFormat(pf32bit);
    B->Canvas()->Brush()->SetColor(clLime);
    B->Canvas()->FillRect(TRect{0, 0, 420, 230});
    TVTInternalPaintOptions P = Options;
    if (Unbuffered) P.Include(poUnbuffered);
    Tree->PaintTree(B->Canvas(), Window, Target, P);
    return B;
  };
  auto Buffered = Paint(false), Direct = Paint(true);
  int Different = 0;
  for (Integer Y = 0; Y < 230; ++Y)
    for (Integer X = 0; X < 420; ++X)
      if (Buffered->Canvas()->Pixel(X, Y) != Direct->Canvas()->Pixel(X, Y)) ++Different;
  EXPECT_EQ(Different, 0);
  // Nothing outside the target rectangle was touched.
  EXPECT_EQ(Direct->Canvas()->Pixel(2, 100), ColorToRGB(clLime));
  EXPECT_EQ(Direct->Canvas()->Pixel(100, 11 + 200), ColorToRGB(clLime));
  EXPECT_NE(Direct->Canvas()->Pixel(100, 11 + 199), ColorToRGB(clLime));
  // The first row starts above the target as far as the window cuts it.
  EXPECT_EQ(Direct->Canvas()->Pixel(100, 11 - 7 - 1), ColorToRGB(clLime));
  EXPECT_NE(Direct->Canvas()->Pixel(100, 11 - 7), ColorToRGB(clLime));
}

// A DIB section of Bits bits per pixel over a file mapping twice its size:
// the second half is marked, so a write past the pixels shows there.
class TMarkedDib {
public:
  TMarkedDib(Integer Width, Integer Height, WORD Bits) : FWidth(Width), FHeight(Height) {
    const DWORD Stride = ((Width * Bits + 31) / 32) * 4;
    FSize = Stride * static_cast<DWORD>(Height);
    FMapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2 * FSize, nullptr));
    FView = static_cast<Byte*>(MapViewOfFile(FMapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 2 * FSize));
    std::memset(FView + FSize, 0xA5, FSize);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = Height;  // bottom-up, the usual layout
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = Bits;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Pixels = nullptr;
    FBitmap.Reset(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Pixels, FMapping.Get(), 0));
    FOld = SelectObject(FDC.Get(), FBitmap.Get());
    FCanvas.SetHandle(FDC.Get());
    FCanvas.Brush()->SetColor(clLime);
    FCanvas.FillRect(TRect{0, 0, Width, Height});
  }
  ~TMarkedDib() {
    FCanvas.SetHandle(nullptr);
    SelectObject(FDC.Get(), FOld);
    if (FView) UnmapViewOfFile(FView);
  }
  bool Valid() const { return FView && FBitmap; }
  TCanvas* Canvas() { return &FCanvas; }
  HDC DC() const { return FDC.Get(); }
  // Whether the bytes after the pixels are untouched.
  bool TailIntact() const {
    GdiFlush();
    return std::all_of(FView + FSize, FView + 2 * FSize, [](Byte B) { return B == 0xA5; });
  }

private:
  Integer FWidth, FHeight;
  DWORD FSize = 0;
  TKernelHandle FMapping;
  Byte* FView = nullptr;
  TGdiObject FBitmap;
  TMemoryDC FDC;
  HGDIOBJ FOld = nullptr;
  TCanvas FCanvas;
};

// The blends write pixels directly: they take only 32-bit bitmaps, cut
// every run to them, and a tree painted straight onto another kind of
// bitmap fills its selection instead of blending it.
TEST_F(TTreeControlTest, BlendsStayInsideTheirBitmapAndFillWhereTheyCannotBlend) {
  TMarkedDib Dib24(50, 20, 24), Dib32(50, 20, 32), Source32(50, 20, 32);
  ASSERT_TRUE(Dib24.Valid() && Dib32.Valid() && Source32.Valid());
  Integer W = 0, H = 0;
  EXPECT_EQ(SelectedBitmapBits(Dib24.DC(), W, H), nullptr);
  EXPECT_EQ(W, 0);
  EXPECT_NE(SelectedBitmapBits(Dib32.DC(), W, H), nullptr);
  // Runs reaching past every edge: cut to the bitmap.
  const TRect Beyond{-30, -10, 80, 45};
  AlphaBlendRect(nullptr, Dib24.DC(), Beyond, TPoint{0, 0}, abmColor, 128, 0x0000FF);
  AlphaBlendRect(nullptr, Dib32.DC(), Beyond, TPoint{0, 0}, abmColor, 128, 0x0000FF);
  AlphaBlendRect(Source32.DC(), Dib32.DC(), TRect{0, 0, 50, 20}, TPoint{30, 15}, abmConstant, 128, 0);
  AlphaBlendRect(Source32.DC(), Dib32.DC(), TRect{20, 5, 120, 60}, TPoint{-10, -3}, abmPerPixel, 0, 0);
  AlphaBlendRect(Source32.DC(), Dib24.DC(), TRect{0, 0, 50, 20}, TPoint{0, 0}, abmMaster, 128, 0);
  EXPECT_TRUE(Dib24.TailIntact());
  EXPECT_TRUE(Dib32.TailIntact());
  EXPECT_EQ(Dib24.Canvas()->Pixel(25, 10), ColorToRGB(clLime));  // nothing blended there
  EXPECT_NE(Dib32.Canvas()->Pixel(49, 19), ColorToRGB(clLime));  // the corners were reached
  EXPECT_NE(Dib32.Canvas()->Pixel(0, 0), ColorToRGB(clLime));

  // The tree painted straight onto a 24-bit bitmap with blended selection
  // and a rubber band looks as it does without blending.
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  PVastNode Picked = Tree->GetFirstChild(Folder(0));
  Tree->SetSelected(Picked, true);
  const TRect Window{0, 0, 400, 120};
  const TVTInternalPaintOptions Options{poBackground, poColumnColor, poDrawSelection, poGridLines, poUnbuffered};
  TMarkedDib Plain(400, 120, 32), Blended24(400, 120, 24), Blended32(400, 120, 32);
  Tree->PaintTree(Plain.Canvas(), Window, TPoint{0, 0}, Options);
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toUseBlendedSelection});
  Tree->PaintTree(Blended24.Canvas(), Window, TPoint{0, 0}, Options);
  Tree->PaintTree(Blended32.Canvas(), Window, TPoint{0, 0}, Options);
  const Integer RowY = Tree->GetDisplayRect(Picked, NoColumn, false).Top + 9;
  EXPECT_EQ(Blended24.Canvas()->Pixel(380, RowY), Plain.Canvas()->Pixel(380, RowY));
  EXPECT_NE(Blended32.Canvas()->Pixel(380, RowY), Plain.Canvas()->Pixel(380, RowY));  // a real blend there
  int Different = 0;
  for (Integer Y = 0; Y < 120; ++Y)
    for (Integer X = 0; X < 400; ++X)
      if (Blended24.Canvas()->Pixel(X, Y) != Plain.Canvas()->Pixel(X, Y)) ++Different;
  EXPECT_EQ(Different, 0);
  // A blended rubber band over the 24-bit bitmap: its frame, nothing past it.
  // (A press beside the texts of a multiple-selection tree starts it.)
  Tree->SetDrawSelectionMode(smBlendedRectangle);
  O.SetSelectionOptions(O.SelectionOptions() - TVTSelectionOptions{toFullRowSelect} +
                        TVTSelectionOptions{toMultiSelect});
  SendMessageW(Tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(235, 60));
  SendMessageW(Tree->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(225, 70));
  SendMessageW(Tree->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 100));
  ASSERT_TRUE(Tree->IsMouseSelecting());
  BYTE Keys[256];
  GetKeyboardState(Keys);
  Keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(Keys);
  TMarkedDib Band24(400, 120, 24), Band32(400, 120, 32);
  const TRect BandWindow{0, -Tree->OffsetY(), 400, -Tree->OffsetY() + 120};
  Tree->PaintTree(Band24.Canvas(), BandWindow, TPoint{0, 0}, Options);
  Tree->PaintTree(Band32.Canvas(), BandWindow, TPoint{0, 0}, Options);
  Keys[VK_LBUTTON] = 0;
  SetKeyboardState(Keys);
  SendMessageW(Tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 100));
  EXPECT_TRUE(Band24.TailIntact());
  EXPECT_TRUE(Blended24.TailIntact());
  const TColor Frame = ColorToRGB(Tree->Colors().SelectionRectangleBorderColor());
  EXPECT_EQ(Band24.Canvas()->Pixel(40, 80), Frame);
  EXPECT_EQ(Band32.Canvas()->Pixel(40, 80), Frame);
  // Inside the band only the 32-bit picture is tinted.
  EXPECT_NE(Band24.Canvas()->Pixel(200, 85), Band32.Canvas()->Pixel(200, 85));
}

TEST_F(TTreeControlTest, ToggleSlidesMoveBothRegionsAndFillColumns) {
  Tree->SetAnimationDuration(0);  // the set-up toggles jump
  Tree->SetExpanded(Folder(0), false);
  Tree->SetExpanded(Folder(2), false);
  const Integer CH = Tree->ClientHeight();
  const Integer Distance = static_cast<Integer>(FilesPerFolder) * 18;
  // Folder 5 opens with its children taller than the space below it.
  PVastNode F5 = Folder(5);
  TToggleSlide Plain = Tree->ToggleSlideFor(F5, true, Distance);
  EXPECT_TRUE(Plain.Opening);
  EXPECT_EQ(Plain.Gap, 6 * 18);
  EXPECT_EQ(Plain.AboveDistance, 0);
  EXPECT_EQ(Plain.BelowDistance, CH - 6 * 18);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetAnimationOptions(O.AnimationOptions() + TVTAnimationOptions{toAdvancedAnimatedToggle});
  // They do not fit at all: the view will put the folder on top, so the
  // rows above it leave upwards meanwhile.
  TToggleSlide Both = Tree->ToggleSlideFor(F5, true, Distance);
  EXPECT_EQ(Both.AboveDistance, 5 * 18);
  EXPECT_EQ(Both.BelowDistance, CH - 6 * 18);
  // Closing the last folder at the end of the range: the view comes down
  // by the whole height, so only the rows above move.
  PVastNode Last = Tree->GetLastChild(nullptr);
  Tree->SetExpanded(Last, true);
  Tree->SetOffsetY(-Tree->RangeY());
  const TRect LastRow = Tree->GetDisplayRect(Last, NoColumn, false);
  TToggleSlide Closing = Tree->ToggleSlideFor(Last, false, Distance);
  EXPECT_FALSE(Closing.Opening);
  EXPECT_EQ(Closing.Gap, LastRow.Bottom);
  EXPECT_EQ(Closing.GapHeight, CH - LastRow.Bottom);
  EXPECT_EQ(Closing.AboveDistance, CH);
  EXPECT_EQ(Closing.BelowDistance, 0);
  O.SetAnimationOptions(O.AnimationOptions() - TVTAnimationOptions{toAdvancedAnimatedToggle});
  Tree->SetExpanded(Last, false);
  Tree->SetOffsetY(0);

  // The strip a slide opens shows each column's colour, all the way.
  TVastTreeColumns& Cols = Tree->Header().Columns();
  Cols[1].SetOptions(Cols[1].Options() - TVTColumnOptions{coParentColor});
  Cols[1].SetColor(clRed);
  Tree->Update();
  Pump(50);
  // A slow clock: every step of the slide is taken.
  Cardinal Looks = 0;
  Tree->Clock = [&Looks] { return ++Looks; };
  Tree->SetAnimationDuration(2000);
  PVastNode F1 = Folder(1);
  const TRect Row = Tree->GetDisplayRect(F1, NoColumn, false);
  Tree->SetExpanded(F1, true);
  auto Shot = testsupport::WindowSurfaceImage(Tree->Handle());
  const TPoint CO = ClientOrigin(Tree->Handle());
  const TRect Strip{CO.X, CO.Y + Row.Bottom, CO.X, CO.Y + CH};
  EXPECT_EQ(CountPixels(Shot->Canvas(), TRect{CO.X + 240, Strip.Top, CO.X + 310, Strip.Bottom},
                        [](TColor P) { return P != ColorToRGB(clRed); }),
            0);
  EXPECT_EQ(CountPixels(Shot->Canvas(), TRect{CO.X + 20, Strip.Top, CO.X + 220, Strip.Bottom},
                        [](TColor P) { return P != ColorToRGB(clWindow); }),
            0);
  Pump(50);
}

TEST_F(TTreeControlTest, RightToLeftPutsColumnsRowsAndBandAtTheRight) {
  // The classic pictures, whatever theme the system has.
  UseClassicLook();
  Tree->SetAnimationDuration(0);
  Tree->SetBiDiMode(bdRightToLeft);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  Pump(50);
  ASSERT_TRUE(GetWindowLongW(Tree->Handle(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR);
  const Integer CW = Tree->ClientWidth();
  ASSERT_LT(Tree->RangeX(), CW);
  const Integer Shift = Tree->RightToLeftOffset(true);
  EXPECT_EQ(Shift, CW - 400);
  // The columns end at the right edge of the client area.
  Integer L, R;
  Tree->Header().Columns().GetColumnBounds(0, L, R);
  EXPECT_EQ(L, Shift);
  EXPECT_EQ(Tree->GetDisplayRect(Folder(0), 2, false).Right, CW - 1);
  // The main column reads right to left: the button at its right end, the
  // text next to it, nothing at its left end.
  PVastNode Folder1 = Folder(1);
  Tree->SetExpanded(Folder(0), false);
  const TRect Row1 = Tree->GetDisplayRect(Folder1, NoColumn, false);
  auto Client = PrintClient();
  TCanvas* C = Client->Canvas();
  TVTOffsets Off;
  Tree->GetOffsets(Folder1, Off, ofsText, 0);
  const Integer ColumnRight = Shift + 230;
  // Mirrored from the cell's right edge, which the grid line takes one
  // pixel of.
  const Integer ButtonLeft = ColumnRight - 1 - Off[ofsToggleButton] - 9;
  const Integer ButtonTop = Row1.Top + (18 - 9) / 2;
  EXPECT_EQ(C->Pixel(ButtonLeft, ButtonTop + 4), ColorToRGB(Tree->Colors().TreeLineColor()));
  EXPECT_EQ(C->Pixel(ButtonLeft + 4, ButtonTop + 4), ColorToRGB(Tree->Font()->Color()));
  const Integer LabelEnd = ColumnRight - Off[ofsLabel];
  EXPECT_GT(CountPixels(C, TRect{LabelEnd - 60, Row1.Top + 2, LabelEnd, Row1.Bottom - 2}, Dark), 10);
  EXPECT_EQ(CountPixels(C, TRect{Shift + 2, Row1.Top + 2, Shift + 60, Row1.Bottom - 2}, Dark), 0);
  EXPECT_EQ(C->Pixel(Shift / 2, Row1.Top + 5), ColorToRGB(clWindow));
  // Hits follow the picture.
  THitInfo Hit;
  Tree->GetHitTestInfoAt(LabelEnd - 10, Row1.Top + 9, true, Hit);
  EXPECT_EQ(Hit.HitNode, Folder1);
  EXPECT_TRUE(Hit.HitPositions.Contains(hiOnItemLabel));
  Tree->GetHitTestInfoAt(Shift + 10, Row1.Top + 9, true, Hit);
  EXPECT_TRUE(Hit.HitPositions.Contains(hiOnItemLeft));
  Tree->GetHitTestInfoAt(ButtonLeft + 4, Row1.Top + 9, true, Hit);
  EXPECT_TRUE(Hit.HitPositions.Contains(hiOnItemButton));
  // The header's heads sit over their columns: the divider after "Name".
  auto Whole = PrintWindowImage();
  const TRect HR = Tree->HeaderRect();
  const Integer CX = ClientOrigin(Tree->Handle()).X;
  const Integer HY = HR.Top + Tree->Header().Height() / 2;
  const TColor Divider = Whole->Canvas()->Pixel(CX + Shift + 230 - 1, HY);
  EXPECT_TRUE(Divider == ColorToRGB(static_cast<TColor>(0xFF000000u | COLOR_3DDKSHADOW)) ||
              Divider == ColorToRGB(clBtnShadow))
      << std::hex << Divider;
  EXPECT_EQ(Whole->Canvas()->Pixel(CX + 230 - 1, HY), ColorToRGB(clBtnFace));
  // A rubber band over the texts at the right selects their rows; over the
  // empty left part of the column it selects nothing.
  BYTE Keys[256];
  GetKeyboardState(Keys);
  Keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(Keys);
  // The band starts left of the columns, where nothing is hit.
  const Integer X0 = Shift - 30, Y0 = Row1.Top + 3, Y1 = Row1.Top + 3 * 18 + 9;
  auto Band = [&](Integer X1) {
    // The real pointer where the band ends: moves the system reports while
    // the picture is taken agree with it.
    const TPoint End = Tree->ClientToScreen(TPoint{X1, Y1});
    SetCursorPos(End.X, End.Y);
    Tree->ClearSelection();
    SendMessageW(Tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X0, Y0));
    SendMessageW(Tree->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X0 + 10, Y0 + 10));
    SendMessageW(Tree->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X1, Y1));
  };
  Band(Shift + 60);
  EXPECT_TRUE(Tree->IsMouseSelecting());
  EXPECT_EQ(Tree->SelectedCount(), 0);
  SendMessageW(Tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(Shift + 60, Y1));
  Band(LabelEnd - 5);
  EXPECT_EQ(Tree->SelectionRect().Left, -30);
  EXPECT_EQ(Tree->SelectedCount(), 4);
  Screenshot(u"treeview_right_to_left.bmp");
  SendMessageW(Tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(LabelEnd - 5, Y1));
  Keys[VK_LBUTTON] = 0;
  SetKeyboardState(Keys);
  EXPECT_EQ(Tree->SelectedCount(), 4);
}

TEST_F(TTreeControlTest, TheDropTargetFollowsTheOptionAndTheWindow) {
  // The window is a drop target exactly while toAcceptOLEDrop is set,
  // whatever the order of changes and re-creations.
  OleInitialize(nullptr);
  auto Registered = [&] { return GetPropW(Tree->Handle(), L"OleDropTargetInterface") != nullptr; };
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetMiscOptions(O.MiscOptions() - TVTMiscOptions{toAcceptOLEDrop});
  EXPECT_FALSE(Registered());
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toAcceptOLEDrop});
  EXPECT_TRUE(Registered());
  Tree->RecreateWnd();
  Pump(30);
  EXPECT_TRUE(O.MiscOptions().Contains(toAcceptOLEDrop));
  EXPECT_TRUE(Registered());
  EXPECT_TRUE(IsWindowVisible(Tree->Handle()));
  O.SetMiscOptions(O.MiscOptions() - TVTMiscOptions{toAcceptOLEDrop});
  Tree->RecreateWnd();
  Pump(30);
  EXPECT_FALSE(Registered());
}

}  // namespace

// With hoAutoResize the auto-size column takes what the others leave of
// the client width, when the option is set and whenever the window is
// resized, and also for a tree whose window is made already laid out.
TEST(TTreeAutoResize, TheAutoSizeColumnFollowsTheClientWidth) {
  Application->Initialize();
  struct TDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TForm, TDeleter> Form(TCustomForm::Create<TForm>(Application));
  Form->SetClientSize(400, 200);
  auto* Tree = new TVastStringTree(Form.get());
  Tree->SetAlign(alClient);
  TVTHeader& H = Tree->Header();
  for (Integer W : {300, 80}) H.Columns().Add()->SetWidth(W);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible, hoAutoResize});
  H.SetAutoSizeIndex(0);
  Tree->SetParent(Form.get());
  Form->Show();
  Application->ProcessMessages();
  const auto Fits = [&] { return H.Columns()[0].Width() + H.Columns()[1].Width() == Tree->ClientWidth(); };
  EXPECT_TRUE(Fits()) << H.Columns()[0].Width() << " + 80 vs " << Tree->ClientWidth();
  Form->SetClientSize(600, 200);
  Application->ProcessMessages();
  EXPECT_GT(Tree->ClientWidth(), 500);
  EXPECT_TRUE(Fits()) << H.Columns()[0].Width() << " + 80 vs " << Tree->ClientWidth();
  Form->SetClientSize(250, 200);
  Application->ProcessMessages();
  EXPECT_TRUE(Fits()) << H.Columns()[0].Width() << " + 80 vs " << Tree->ClientWidth();
}

// The exports take the control's font and colour, and a font that
// OnPaintText sets on its canvas for one cell.
TEST_F(TTreeControlTest, ExportsUseTheControlFontAndThePaintTextFont) {
  auto* T = new TVastStringTree(Form.get());
  T->SetBounds(0, 0, 300, 120);
  T->SetParent(Form.get());
  T->Font()->SetName(u"Arial");
  T->SetColor(clWindow);
  T->Header().Columns().Add()->SetText(u"c");
  T->AddChild(nullptr);
  PVastNode Marked = T->AddChild(nullptr);
  T->OnGetText = [&](TBaseVastTree*, PVastNode N, TColumnIndex, TVSTTextType, String& Text) {
    Text = N == Marked ? u"marked" : u"plain";
  };
  T->OnPaintText = [&](TBaseVastTree*, TCanvas* Canvas, PVastNode N, TColumnIndex, TVSTTextType) {
    ASSERT_NE(Canvas, nullptr);
    if (N != Marked) return;
    Canvas->Font()->SetStyle(TFontStyles{fsBold});
    Canvas->Font()->SetColor(clRed);
  };
  const String Html = T->ContentToHTML(tstAll);
  const String Window = [] {
    const auto C = static_cast<Cardinal>(ColorToRGB(clWindow));
    wchar_t Text[8];
    swprintf(Text, 8, L"#%02X%02X%02X", C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
    return String(reinterpret_cast<const char16_t*>(Text));
  }();
  EXPECT_NE(Html.find(u"bgcolor=" + Window), String::npos);
  EXPECT_NE(Html.find(u".default{font-family: 'Arial'; "), String::npos);
  EXPECT_NE(Html.find(u" <td class=\"normalborder\"  height="), String::npos);  // the plain cell
  EXPECT_NE(Html.find(u"font-weight: bold; text-decoration: none; color: #FF0000;\" height="), String::npos)
      << std::string(Html.begin(), Html.end());
  EXPECT_EQ(Html.find(u"bold; text-decoration: none; color: #FF0000;\" height=\"18px\" align=left>plain"),
            String::npos);
  const RawByteString Rtf = T->ContentToRTF(tstAll);
  EXPECT_NE(Rtf.find("{\\f0 Arial;}"), std::string::npos) << Rtf;
  EXPECT_NE(Rtf.find("\\red255\\green0\\blue0;"), std::string::npos) << Rtf;
  EXPECT_NE(Rtf.find("\\b\\cf2"), std::string::npos) << Rtf;
  delete T;
}
