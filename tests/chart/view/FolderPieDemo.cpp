// The main window's pie in a window of its own. Without arguments it shows
// the 14-slice pie; with a folder it saves the three data sets there as
// PNG files and exits.
#include <cstring>

#include "FolderPie.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR CommandLine, int) {
  Application->Initialize();
  TForm* Form = TCustomForm::Create<TForm>(Application);
  Form->SetCaption(u"Quorvel folder pie");
  Form->SetClientWidth(420);
  Form->SetClientHeight(560);
  TVivGDIPChartView* View = CreateFolderPieView(Form);
  View->SetParent(Form);
  View->SetAlign(alClient);
  const String Folder(reinterpret_cast<const Char*>(CommandLine));
  if (!Folder.empty()) {
    Form->Show();
    for (const TFolderPieSet& Set : FolderPieSets()) {
      const String Name(Set.Name, Set.Name + std::strlen(Set.Name));
      FillFolderPie(*View, u"Dossier de /www : 1,2 Mio\r\n/www/" + Name, Set.Values);
      TBitmap Picture(View->Width(), View->Height());
      Picture.SetPixelFormat(pf24bit);
      View->PaintTo(Picture.Canvas()->Handle(), 0, 0);
      try {
        SaveBitmapToImage(Picture.Handle(), Folder + u"\\" + Name + u".png", itPNG, 100);
      } catch (const EChartImageError&) {
        return 1;
      }
    }
    return 0;
  }
  const TFolderPieSet& Set = FolderPieSets().back();
  FillFolderPie(*View, u"Dossier de /www : 1,2 Mio\r\n/www", Set.Values);
  Form->Show();
  Application->Run();
  return 0;
}
