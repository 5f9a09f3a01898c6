// Data exchange under Wine with the real OLE clipboard and drag loop: copy,
// cut and paste within a tree and between two trees, the formats left by a
// flush, forged clipboard data refused, and an OLE drag from one tree to
// the other driven by real mouse input. Each state is saved as a picture.
#include <gtest/gtest.h>

#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TreeWindowTest_win.h"
#include "rtl/Win32Handles.h"
#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDragImage_win.h"
#include "vcl/Forms.h"

namespace {

// Keys name the nodes: "n<key>".
void Keyed(TVastStringTree* Tree) {
  Tree->SetNodeDataSize(4);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
  O.SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  Tree->OnGetText = [](TBaseVastTree* T, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
    const std::string S = "n" + std::to_string(*T->GetNodeData<Integer>(Node));
    Text = String(S.begin(), S.end());
  };
  Tree->OnSaveNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->WriteBuffer(T->GetNodeData(N), 4); };
  Tree->OnLoadNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->ReadBuffer(T->GetNodeData(N), 4); };
  Tree->SetClipboardFormats({u"Vast Tree Data", u"Unicode text", u"CSV", u"HTML Format"});
  Tree->OnDragAllowed = [](TBaseVastTree*, PVastNode, TColumnIndex, bool& Allowed) { Allowed = true; };
  Tree->OnDragOver = [](TBaseVastTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Integer&, bool& Accept) {
    Accept = true;
  };
  Tree->OnDragDrop = [Tree](TBaseVastTree*, TObject*, IDataObject* Data, const TFormatArray&, TShiftState, TPoint,
                            Integer& Effect, TDropMode Mode) {
    const TVTNodeAttachMode Attach = Mode == dmAbove    ? amInsertBefore
                                     : Mode == dmBelow  ? amInsertAfter
                                     : Mode == dmOnNode ? amAddChildLast
                                                        : amAddChildLast;
    Tree->ProcessDrop(Data, Tree->DropTargetNode(), Effect, Attach);
  };
}

class TClipboardForm : public TForm {
public:
  explicit TClipboardForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(u"Tree data exchange");
    SetClientSize(520, 320);
    SetLeft(40);
    SetTop(40);
    Tree = new TVastStringTree(this);
    Tree->SetAlign(alLeft);
    Tree->SetWidth(260);
    Keyed(Tree);
    Tree->SetParent(this);
    Other = new TVastStringTree(this);
    Other->SetAlign(alClient);
    Keyed(Other);
    Other->SetParent(this);
  }
  PVastNode Add(TVastStringTree* T, PVastNode Parent, Integer K) {
    PVastNode N = T->AddChild(Parent);
    *T->GetNodeData<Integer>(N) = K;
    return N;
  }
  // Tree: "1(11 12) 2(21 22) 3(31 32) 4(41 42)", Other: "101 102".
  void Populate() {
    for (Integer K = 1; K <= 4; ++K) {
      PVastNode N = Add(Tree, nullptr, K);
      Add(Tree, N, K * 10 + 1);
      Add(Tree, N, K * 10 + 2);
      Tree->SetExpanded(N, true);
    }
    Add(Other, nullptr, 101);
    Add(Other, nullptr, 102);
  }
  TVastStringTree* Tree;
  TVastStringTree* Other;
};

std::string Shape(TBaseVastTree* T, PVastNode Parent = nullptr) {
  std::string S;
  for (PVastNode Run = T->GetFirstChildNoInit(Parent); Run; Run = Run->NextSibling) {
    if (!S.empty()) S += ' ';
    S += std::to_string(*T->GetNodeData<Integer>(Run));
    if (Run->FirstChild) S += "(" + Shape(T, Run) + ")";
  }
  return S;
}

class TTreeClipboardTest : public TTreeWindowTest<TClipboardForm> {
protected:
  void SetUp() override {
    OleInitialize(nullptr);
    ShowForm();
    Other = Form->Other;
    SetForegroundWindow(Form->Handle());
    Pump(100);
  }
  void TearDown() override {
    CloseForm();
    OleSetClipboard(nullptr);
    OleUninitialize();
  }
  PVastNode Find(TBaseVastTree* T, Integer K) {
    for (PVastNode Run = T->GetFirstNoInit(); Run; Run = T->GetNextNoInit(Run))
      if (*T->GetNodeData<Integer>(Run) == K) return Run;
    return nullptr;
  }
  void Select(TBaseVastTree* T, std::initializer_list<Integer> Keys) {
    T->ClearSelection();
    for (Integer K : Keys) T->SetSelected(Find(T, K), true);
  }
  static std::u16string ClipboardText() {
    std::u16string Text;
    const TOpenClipboard Clipboard(nullptr);
    if (!Clipboard.Opened()) return Text;
    HANDLE Data = GetClipboardData(CF_UNICODETEXT);
    const TGlobalLock Lock(static_cast<HGLOBAL>(Data));
    if (Lock.Data()) Text = static_cast<const char16_t*>(Lock.Data());
    return Text;
  }
  // Raw blocks on the system clipboard, as another program could put them.
  static void PutRaw(const std::vector<std::pair<UINT, TBytes>>& Blocks) {
    OleSetClipboard(nullptr);
    const TOpenClipboard Clipboard(nullptr);
    ASSERT_TRUE(Clipboard.Opened());
    EmptyClipboard();
    for (const auto& [Format, Bytes] : Blocks) {
      HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
      {
        const TGlobalLock Lock(Block);
        std::memcpy(Lock.Data(), Bytes.data(), Bytes.size());
      }
      SetClipboardData(Format, Block);
    }
  }
  void Screenshot(const char16_t* File) { ScreenshotForm(File, 80, SRCCOPY | CAPTUREBLT); }
  TVastStringTree* Other = nullptr;
};

TEST_F(TTreeClipboardTest, CopyAndPasteWithinATreeAndIntoAnother) {
  Select(Tree, {2, 4});
  Tree->CopyToClipboard();
  EXPECT_TRUE(Tree->TreeStates().Contains(tsCopyPending));
  EXPECT_EQ(Tree->CutCopyCount(), 2u);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_VASTTREE));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_VTCSV));
  // The texts of the copied rows, rendered through the export.
  const std::u16string Text = ClipboardText();
  EXPECT_NE(Text.find(u"n2"), std::u16string::npos);
  EXPECT_NE(Text.find(u"n4"), std::u16string::npos);
  EXPECT_EQ(Text.find(u"n1"), std::u16string::npos);
  Screenshot(u"treeclip_copied.bmp");
  // Pasted into the same tree: copies as the last children of the focus.
  Tree->SetFocusedNode(Find(Tree, 1));
  EXPECT_TRUE(Tree->PasteFromClipboard());
  EXPECT_EQ(Shape(Tree), "1(11 12 2(21 22) 4(41 42)) 2(21 22) 3(31 32) 4(41 42)");
  // And into the other tree, at its end; the source keeps its nodes.
  Other->SetFocusedNode(nullptr);
  EXPECT_TRUE(Other->PasteFromClipboard());
  EXPECT_EQ(Shape(Other), "101 102 2(21 22) 4(41 42)");
  EXPECT_TRUE(Tree->TreeStates().Contains(tsCopyPending));
  Other->FullExpand();
  Screenshot(u"treeclip_pasted.bmp");
  // Another object on the clipboard ends the copy.
  OleSetClipboard(nullptr);
  EXPECT_FALSE(Tree->TreeStates().Contains(tsCopyPending));
  EXPECT_EQ(Tree->CutCopyCount(), 0u);
}

TEST_F(TTreeClipboardTest, CutAndPasteMovesTheNodes) {
  Select(Tree, {3});
  Tree->CutToClipboard();
  EXPECT_TRUE(Tree->TreeStates().Contains(tsCutPending));
  Screenshot(u"treeclip_cut.bmp");
  Other->SetFocusedNode(Find(Other, 101));
  EXPECT_TRUE(Other->PasteFromClipboard());
  EXPECT_EQ(Shape(Other), "101(3(31 32)) 102");
  EXPECT_EQ(Shape(Tree), "1(11 12) 2(21 22) 4(41 42)");
  EXPECT_FALSE(Tree->TreeStates().Contains(tsCutPending));
  // Within one tree: moved, never into its own subtree.
  Select(Tree, {1, 4});
  Tree->CutToClipboard();
  Tree->SetFocusedNode(Find(Tree, 41));
  EXPECT_TRUE(Tree->PasteFromClipboard());
  EXPECT_EQ(Shape(Tree), "2(21 22) 4(41(1(11 12)) 42)");
  EXPECT_EQ(Tree->CutCopyCount(), 0u);
  Other->FullExpand();
  Tree->FullExpand();
  Screenshot(u"treeclip_cut_pasted.bmp");
}

TEST_F(TTreeClipboardTest, AFlushLeavesTheDataWithoutTheReference) {
  Select(Tree, {1});
  Tree->CopyToClipboard();
  Tree->FlushClipboard();
  EXPECT_FALSE(Tree->TreeStates().Contains(tsCopyPending));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_VASTTREE));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_VTREFERENCE));
  EXPECT_NE(ClipboardText().find(u"n1"), std::u16string::npos);
  // Pasting the flushed data copies it.
  EXPECT_TRUE(Other->PasteFromClipboard());
  EXPECT_EQ(Shape(Other), "101 102 1(11 12)");
  EXPECT_EQ(Shape(Tree), "1(11 12) 2(21 22) 3(31 32) 4(41 42)");
}

// A reference that names no live tree of this process is no source: the
// data is copied, nothing is followed, the other tree keeps its nodes.
TEST_F(TTreeClipboardTest, ForgedReferencesAndLengthsAreRefused) {
  Select(Tree, {2});
  const TBytes Block = MakeNativeBlock(Tree->RenderNativeTreeData(false));
  const Cardinal Pid = GetCurrentProcessId();
  TBaseVastTree* Real = Tree;
  struct TCase {
    const char* Name;
    TBytes Reference;
  };
  const TCase Cases[] = {
      {"an address beside the tree",
       EncodeTreeReference(reinterpret_cast<TBaseVastTree*>(reinterpret_cast<std::uintptr_t>(Real) + 16), Pid)},
      {"an address nowhere", EncodeTreeReference(reinterpret_cast<TBaseVastTree*>(std::uintptr_t{0x41414140}), Pid)},
      {"another process", EncodeTreeReference(Real, Pid ^ 0x5A5A)},
      {"a short record", TBytes{1, 2, 3}},
  };
  Integer Expected = 2;
  for (const TCase& C : Cases) {
    PutRaw({{CF_VASTTREE, Block}, {CF_VTREFERENCE, C.Reference}});
    Select(Tree, {2});
    Other->SetFocusedNode(nullptr);
    EXPECT_TRUE(Other->PasteFromClipboard()) << C.Name;
    EXPECT_EQ(Shape(Tree), "1(11 12) 2(21 22) 3(31 32) 4(41 42)") << C.Name;
    ++Expected;
    EXPECT_EQ(Other->RootNodeCount(), static_cast<Cardinal>(Expected)) << C.Name;
  }
  // A count larger than the block: nothing is pasted.
  TBytes Lying = Block;
  Lying[0] = 0xF0;
  Lying[1] = 0xFF;
  PutRaw({{CF_VASTTREE, Lying}});
  const Cardinal Before = Other->RootNodeCount();
  EXPECT_FALSE(Other->PasteFromClipboard());
  EXPECT_EQ(Other->RootNodeCount(), Before);
  Other->FullExpand();
  Screenshot(u"treeclip_forged.bmp");
}

// The data object's answers: requests checked medium, aspect and index in
// turn; the enumerator skips only as far as there are descriptors; an
// object that outlives its tree (still on the clipboard) answers E_FAIL
// instead of reaching into the freed tree.
TEST_F(TTreeClipboardTest, TheDataObjectAnswersAndOutlivesItsTree) {
  Select(Tree, {1});
  TComPtr<IDataObject> Data(Tree->CreateDragDataObject());
  ASSERT_TRUE(Data);
  FORMATETC Csv{CF_VTCSV, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
  EXPECT_EQ(Data->QueryGetData(&Csv), DV_E_TYMED);
  Csv.tymed = TYMED_HGLOBAL;
  EXPECT_EQ(Data->QueryGetData(&Csv), S_OK);
  Csv.dwAspect = DVASPECT_ICON;
  EXPECT_EQ(Data->QueryGetData(&Csv), DV_E_DVASPECT);
  Csv.dwAspect = DVASPECT_CONTENT;
  Csv.lindex = 0;
  EXPECT_EQ(Data->QueryGetData(&Csv), DV_E_LINDEX);
  FORMATETC Bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(Data->QueryGetData(&Bitmap), DV_E_CLIPFORMAT);
  // The tree's own records, as a stream when the caller takes one.
  FORMATETC Native{CF_VASTTREE, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM | TYMED_HGLOBAL};
  STGMEDIUM Medium{};
  ASSERT_EQ(Data->GetData(&Native, &Medium), S_OK);
  EXPECT_EQ(Medium.tymed, static_cast<DWORD>(TYMED_ISTREAM));
  STATSTG Stat{};
  Medium.pstm->Stat(&Stat, STATFLAG_NONAME);
  EXPECT_EQ(Stat.cbSize.QuadPart, Tree->RenderNativeTreeData(false).size());
  ReleaseStgMedium(&Medium);

  TComPtr<IEnumFORMATETC> Enum;
  ASSERT_EQ(Data->EnumFormatEtc(DATADIR_GET, Enum.Put()), S_OK);
  EXPECT_EQ(Enum->Skip(4), S_OK);  // four formats offered
  EXPECT_EQ(Enum->Skip(1), S_FALSE);
  Enum->Reset();
  FORMATETC Got[8];
  ULONG Fetched = 0;
  EXPECT_EQ(Enum->Next(8, Got, &Fetched), S_OK);
  EXPECT_EQ(Fetched, 4u);
  EXPECT_EQ(Got[0].cfFormat, CF_VASTTREE);
  EXPECT_EQ(Enum->Next(1, Got, &Fetched), S_FALSE);
  TComPtr<IEnumFORMATETC> Dead;
  EXPECT_EQ(Data->EnumFormatEtc(DATADIR_SET, Dead.Put()), OLE_S_USEREG);

  // The tree goes; the object stays.
  FORMATETC Reference{static_cast<CLIPFORMAT>(CF_VTREFERENCE), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  ASSERT_EQ(Data->GetData(&Reference, &Medium), S_OK);
  ReleaseStgMedium(&Medium);
  delete Form->Tree;
  Tree = nullptr;
  Form->Tree = nullptr;
  EXPECT_EQ(Data->GetData(&Reference, &Medium), E_FAIL);
  Native.tymed = TYMED_HGLOBAL;
  EXPECT_EQ(Data->GetData(&Native, &Medium), E_FAIL);
}

// Real mouse input from a second thread drives the system's drag loop: a
// node of one tree is dragged onto a node of the other. Between trees the
// drag proposes a copy; from a source that allows moving only it moves, and
// the target moves the nodes itself, so the source deletes nothing more.
TEST_F(TTreeClipboardTest, OleDragsCopyOrMoveNodesBetweenTrees) {
  Tree->TreeOptions().SetAutoOptions(Tree->TreeOptions().AutoOptions() + TVTAutoOptions{toAutoDeleteMovedNodes});
  std::vector<std::string> Seen;
  Other->OnDragDrop = [&](TBaseVastTree*, TObject* Source, IDataObject* Data, const TFormatArray& Formats,
                          TShiftState Shift, TPoint, Integer& Effect, TDropMode Mode) {
    Seen.push_back(Source == static_cast<TBaseVastTree*>(Tree) ? "from the tree" : "from elsewhere");
    Seen.push_back(std::find(Formats.begin(), Formats.end(), CF_VASTTREE) != Formats.end() ? "with data" : "bare");
    Seen.push_back(Mode == dmOnNode ? "on node" : "beside");
    Seen.push_back(Effect == DropEffectMove ? "move" : Effect == DropEffectCopy ? "copy" : "other");
    Seen.push_back(Shift.Contains(ssLeft) ? "left button" : "no button");
    Other->ProcessDrop(Data, Other->DropTargetNode(), Effect, amAddChildLast);
  };
  bool ImageShown = false;
  std::atomic<bool> Shot{false};
  const char16_t* ShotFile = nullptr;
  Other->OnDragOver = [&](TBaseVastTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Integer&,
                          bool& Accept) {
    Accept = true;
    if (Tree->DragImage() && Tree->DragImage()->Visible()) ImageShown = true;
    // The picture is taken inside the drag loop, where the drag is shown.
    if (Shot.exchange(false) && ShotFile) {
      Other->Update();
      testsupport::ScreenImageOfWindow(Form->Handle(), SRCCOPY | CAPTUREBLT)->SaveToFile(ShotFile);
    }
  };
  const int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
  auto Mouse = [&](TPoint P, DWORD Flags) {
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = static_cast<LONG>((P.X * 65536 + ScreenW / 2) / ScreenW);
    In.mi.dy = static_cast<LONG>((P.Y * 65536 + ScreenH / 2) / ScreenH);
    In.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    SendInput(1, &In, sizeof(In));
  };
  auto Drag = [&](Integer FromKey, Integer ToKey, const char16_t* File) {
    Seen.clear();
    ShotFile = File;
    const TRect From = Tree->GetDisplayRect(Find(Tree, FromKey), NoColumn, true);
    const TPoint Start = Tree->ClientToScreen(TPoint{From.Left + 6, (From.Top + From.Bottom) / 2});
    const TRect To = Other->GetDisplayRect(Find(Other, ToKey), NoColumn, true);
    const TPoint End = Other->ClientToScreen(TPoint{To.Left + 6, (To.Top + To.Bottom) / 2});
    std::atomic<bool> Done{false};
    std::thread Driver([&] {
      Mouse(Start, 0);
      Sleep(150);
      Mouse(Start, MOUSEEVENTF_LEFTDOWN);
      Sleep(200);
      for (int I = 1; I <= 10; ++I) {
        Mouse(TPoint{Start.X + (End.X - Start.X) * I / 10, Start.Y + (End.Y - Start.Y) * I / 10}, 0);
        Sleep(80);
      }
      Mouse(End, 0);
      Sleep(200);
      Shot = true;
      Mouse(TPoint{End.X + 1, End.Y}, 0);
      Sleep(400);
      Mouse(TPoint{End.X + 1, End.Y}, MOUSEEVENTF_LEFTUP);
      Sleep(300);
      Done = true;
    });
    testsupport::PumpMessagesUntil([&] { return Done.load(); }, 15000);
    Driver.join();
    Pump(200);
  };

  Drag(3, 102, u"treeclip_dragging.bmp");
  std::printf("drag picture %s\n", ImageShown ? "drawn by the tree" : "not drawn by the tree");
  EXPECT_EQ(Seen, (std::vector<std::string>{"from the tree", "with data", "on node", "copy", "left button"}));
  EXPECT_EQ(Shape(Other), "101 102(3(31 32))");
  EXPECT_EQ(Shape(Tree), "1(11 12) 2(21 22) 3(31 32) 4(41 42)");
  EXPECT_EQ(Tree->LastDragEffect(), DropEffectCopy);
  EXPECT_FALSE(Tree->Dragging());
  EXPECT_FALSE(Other->IsDropTarget());

  // A source that allows moving only.
  Tree->SetDragOperations(TDragOperations{doMove});
  Drag(4, 101, u"treeclip_dragging_move.bmp");
  EXPECT_EQ(Seen, (std::vector<std::string>{"from the tree", "with data", "on node", "move", "left button"}));
  EXPECT_EQ(Shape(Other), "101(4(41 42)) 102(3(31 32))");
  EXPECT_EQ(Shape(Tree), "1(11 12) 2(21 22) 3(31 32)");
  EXPECT_EQ(Tree->LastDragEffect(), DropEffectNone);
  EXPECT_FALSE(Tree->Dragging());
  Other->FullExpand();
  Screenshot(u"treeclip_dropped.bmp");
}

// Real mouse input from a second thread, pressed at Start, moved in steps
// to End and released there; Middle runs on the driving thread once the
// pointer rests at End, before the release.
void DriveMouseDrag(TPoint Start, TPoint End, const std::function<void()>& Middle) {
  const int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
  auto Mouse = [&](TPoint P, DWORD Flags) {
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = static_cast<LONG>((P.X * 65536 + ScreenW / 2) / ScreenW);
    In.mi.dy = static_cast<LONG>((P.Y * 65536 + ScreenH / 2) / ScreenH);
    In.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    SendInput(1, &In, sizeof(In));
  };
  std::atomic<bool> Done{false};
  std::thread Driver([&] {
    Mouse(Start, 0);
    Sleep(150);
    Mouse(Start, MOUSEEVENTF_LEFTDOWN);
    Sleep(200);
    for (int I = 1; I <= 10; ++I) {
      Mouse(TPoint{Start.X + (End.X - Start.X) * I / 10, Start.Y + (End.Y - Start.Y) * I / 10}, 0);
      Sleep(80);
    }
    Mouse(End, 0);
    Sleep(200);
    Middle();
    Mouse(TPoint{End.X + 1, End.Y}, 0);
    Sleep(400);
    Mouse(TPoint{End.X + 1, End.Y}, MOUSEEVENTF_LEFTUP);
    Sleep(300);
    Done = true;
  });
  testsupport::PumpMessagesUntil([&] { return Done.load(); }, 15000);
  Driver.join();
}

// The class library's own drag (dtVCL), driven by real mouse input: a node
// of one tree dragged onto a node of the other reaches the target as
// CM_DRAG messages, the target's OnDragDrop moves it, and both trees end
// the drag with their drag states left.
TEST_F(TTreeClipboardTest, ClassLibraryDragMovesANodeToTheOtherTree) {
  Tree->SetDragType(dtVCL);
  Pump(100);
  std::vector<std::string> Seen;
  bool Entered = false, SourceSawItself = false, DraggingMidway = false, TargetMidway = false;
  std::atomic<bool> Shot{false};
  Tree->OnDragOver = [&](TBaseVastTree*, TObject* Source, TShiftState, TDragState, TPoint, TDropMode, Integer&,
                         bool& Accept) {
    SourceSawItself = SourceSawItself || Source == static_cast<TBaseVastTree*>(Tree);
    Accept = false;
  };
  Other->OnDragOver = [&](TBaseVastTree*, TObject* Source, TShiftState, TDragState State, TPoint, TDropMode, Integer&,
                          bool& Accept) {
    Accept = Source == static_cast<TBaseVastTree*>(Tree);
    if (State == dsDragEnter) Entered = true;
    if (Shot.exchange(false)) {
      DraggingMidway = Tree->Dragging();
      TargetMidway = Other->DropTargetNode() == Find(Other, 102);
      Other->Update();
      testsupport::ScreenImageOfWindow(Form->Handle(), SRCCOPY | CAPTUREBLT)->SaveToFile(u"treeclip_vcldrag.bmp");
    }
  };
  Other->OnDragDrop = [&](TBaseVastTree*, TObject* Source, IDataObject* Data, const TFormatArray& Formats,
                          TShiftState Shift, TPoint, Integer& Effect, TDropMode Mode) {
    Seen.push_back(Source == static_cast<TBaseVastTree*>(Tree) ? "from the tree" : "other");
    Seen.push_back(Data == nullptr && Formats.empty() ? "no data object" : "data object");
    Seen.push_back(Mode == dmOnNode ? "on node" : "beside");
    Seen.push_back(Effect == DropEffectCopy ? "copy" : Effect == DropEffectMove ? "move" : "other");
    Seen.push_back(Shift.Contains(ssCtrl) ? "ctrl" : "no keys");
    Tree->MoveTo(Tree->GetFirstSelected(), Other->DropTargetNode(), amAddChildLast, false);
  };
  const TRect From = Tree->GetDisplayRect(Find(Tree, 2), NoColumn, true);
  const TPoint Start = Tree->ClientToScreen(TPoint{From.Left + 6, (From.Top + From.Bottom) / 2});
  const TRect To = Other->GetDisplayRect(Find(Other, 102), NoColumn, true);
  const TPoint End = Other->ClientToScreen(TPoint{To.Left + 6, (To.Top + To.Bottom) / 2});
  DriveMouseDrag(Start, End, [&] {
    Shot = true;
    Sleep(150);
  });
  Pump(200);
  EXPECT_TRUE(DraggingMidway);
  EXPECT_TRUE(TargetMidway);
  EXPECT_TRUE(Entered);
  EXPECT_TRUE(SourceSawItself);
  EXPECT_EQ(Seen, (std::vector<std::string>{"from the tree", "no data object", "on node", "copy", "no keys"}));
  EXPECT_EQ(Shape(Other), "101 102(2(21 22))");
  EXPECT_EQ(Shape(Tree), "1(11 12) 3(31 32) 4(41 42)");
  EXPECT_FALSE(Tree->Dragging());
  EXPECT_EQ(Other->DropTargetNode(), nullptr);
  // The source ends every drag state; the target keeps only the mark that
  // the drag left it.
  for (TVastTreeState S : {tsVCLDragging, tsVCLDragPending, tsVCLDragFinished, tsUserDragObject, tsLeftButtonDown})
    EXPECT_FALSE(Tree->TreeStates().Contains(S)) << static_cast<int>(S);
  for (TVastTreeState S : {tsVCLDragging, tsVCLDragPending, tsUserDragObject})
    EXPECT_FALSE(Other->TreeStates().Contains(S)) << static_cast<int>(S);
  EXPECT_EQ(GetCapture(), nullptr);
  Other->FullExpand();
  Screenshot(u"treeclip_vcldropped.bmp");

  // A release where nothing accepts drops nothing: the drag is given up.
  const TPoint Outside = Tree->ClientToScreen(TPoint{From.Left + 6, Tree->ClientHeight() - 4});
  Seen.clear();
  DriveMouseDrag(Start, Outside, [] {});
  Pump(200);
  EXPECT_TRUE(Seen.empty());
  EXPECT_EQ(Shape(Tree), "1(11 12) 3(31 32) 4(41 42)");
  EXPECT_FALSE(Tree->Dragging());
  EXPECT_FALSE(Tree->TreeStates().Contains(tsVCLDragging));

  // Escape over a target that accepts gives the drag up: nothing drops.
  DriveMouseDrag(Start, End, [] {
    INPUT Keys[2]{};
    Keys[0].type = Keys[1].type = INPUT_KEYBOARD;
    Keys[0].ki.wVk = Keys[1].ki.wVk = VK_ESCAPE;
    Keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, Keys, sizeof(INPUT));
    Sleep(150);
  });
  Pump(200);
  EXPECT_TRUE(Seen.empty());
  EXPECT_EQ(Shape(Tree), "1(11 12) 3(31 32) 4(41 42)");
  EXPECT_FALSE(Tree->Dragging());
  EXPECT_EQ(Other->DropTargetNode(), nullptr);
}

// An OLE drag whose picture the tree draws itself: where the target marks
// the row under the pointer, the picture's background is taken anew from
// the target, so the mark shows through the picture.
TEST_F(TTreeClipboardTest, DragImageTakesTheTargetsRepaintedRowsUnderIt) {
  int Checks = 0, Stale = 0, Marked = 0;
  std::atomic<bool> Shot{false};
  Other->OnDragOver = [&](TBaseVastTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Integer&,
                          bool& Accept) {
    Accept = true;
    TVTDragImage* Image = Tree->DragImage();
    PVastNode Target = Other->DropTargetNode();
    if (!Image || !Image->Visible() || !Target) return;
    // A pixel of the target's label beside its text.
    const TRect Label = Other->GetDisplayRect(Target, NoColumn, true);
    const TPoint Local{Label.Left + 1, (Label.Top + Label.Bottom) / 2};
    const TPoint P = Other->ClientToScreen(Local);
    const TColor Under = Image->BackgroundPixel(P);
    if (Under == clNone) return;
    TBitmap Print(Other->Width(), Other->Height());
    Print.SetPixelFormat(pf32bit);
    SendMessageW(Other->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Print.Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    RECT Window;
    GetWindowRect(Other->Handle(), &Window);
    const COLORREF Now = GetPixel(Print.Canvas()->Handle(), P.X - Window.left, P.Y - Window.top);
    ++Checks;
    if (static_cast<COLORREF>(Under) != Now) ++Stale;
    if (Now != static_cast<COLORREF>(ColorToRGB(Other->Color()))) ++Marked;
    if (Shot.exchange(false))
      testsupport::ScreenImageOfWindow(Form->Handle(), SRCCOPY | CAPTUREBLT)->SaveToFile(u"treeclip_dragimage.bmp");
  };
  Other->OnDragDrop = [&](TBaseVastTree*, TObject*, IDataObject* Data, const TFormatArray&, TShiftState, TPoint,
                          Integer& Effect,
                          TDropMode) { Other->ProcessDrop(Data, Other->DropTargetNode(), Effect, amAddChildLast); };
  const TRect From = Tree->GetDisplayRect(Find(Tree, 3), NoColumn, true);
  const TPoint Start = Tree->ClientToScreen(TPoint{From.Left + 6, (From.Top + From.Bottom) / 2});
  const TRect To = Other->GetDisplayRect(Find(Other, 101), NoColumn, true);
  const TPoint End = Other->ClientToScreen(TPoint{To.Left + 6, (To.Top + To.Bottom) / 2});
  DriveMouseDrag(Start, End, [&] {
    Shot = true;
    Sleep(150);
  });
  Pump(200);
  if (Checks == 0 && !Tree->DragImage()) GTEST_SKIP() << "the system draws the drag picture here";
  EXPECT_GT(Checks, 0);
  EXPECT_GT(Marked, 0);
  EXPECT_EQ(Stale, 0);
  EXPECT_EQ(Shape(Other), "101(3(31 32)) 102");
}

}  // namespace
