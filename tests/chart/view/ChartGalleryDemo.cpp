// The charts beyond the pie in a window of their own, two to a row, with
// their crosshairs, zoom controls and trackers to try by hand. With a
// folder argument it saves each chart there as a PNG file and exits.
#include <cstring>

#include "ChartGallery.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR CommandLine, int) {
  Application->Initialize();
  const String Folder(reinterpret_cast<const Char*>(CommandLine));
  TForm* Form = TCustomForm::Create<TForm>(Application);
  Form->SetCaption(u"Quorvel charts");
  const Integer W = 640, H = 420;
  Form->SetClientWidth(2 * W);
  Form->SetClientHeight(3 * H);
  std::vector<TVivGDIPChartView*> Views;
  for (const TGalleryEntry& E : GalleryEntries()) {
    TVivGDIPChartView* View = CreateGalleryView(Form, E.Kind);
    const Integer I = static_cast<Integer>(Views.size());
    View->SetBounds((I % 2) * W, (I / 2) * H, W, H);
    // One tracker on the screen is enough for a person to try.
    if (I > 0) View->Tracker().SetVisible(false);
    View->SetParent(Form);
    Views.push_back(View);
  }
  Form->Show();
  if (Folder.empty()) {
    Application->Run();
    return 0;
  }
  Application->ProcessMessages();
  for (std::size_t I = 0; I < Views.size(); ++I) {
    const char* Name = GalleryEntries()[I].Name;
    try {
      Views[I]->SaveToImage(Folder + u"\\" + String(Name, Name + std::strlen(Name)) + u".png", W, H, itPNG, 100);
    } catch (const EChartImageError&) {
      return 1;
    }
  }
  return 0;
}
