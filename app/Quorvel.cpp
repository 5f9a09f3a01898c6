// The program's entry: the application object titled "Quorvel", the four
// forms in their order (the main window first: it is the main form), and
// the message loop.
#include "app/APropos.h"
#include "app/fMain.h"
#include "app/fOptions.h"
#include "app/fSites.h"
#include "vcl/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->Initialize();
    Application->SetTitle(u"Quorvel");
    Application->CreateForm(Main);
    Application->CreateForm(formSites);
    Application->CreateForm(BoiteAPropos);
    Application->CreateForm(BoiteOptions);
    Application->Run();
    // The forms go now, while everything they use at their end is alive:
    // the main window writes the settings file as it is destroyed, which
    // past this function would run after other parts of the program
    // already ended.
    Application->DestroyComponents();
  } catch (...) {
    Application->HandleException(nullptr);
    return 1;
  }
  return 0;
}
