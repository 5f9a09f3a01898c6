#pragma once
// Translating the forms from the loaded table (uIntl's ListeTraduction) and
// writing a form's current texts out as table lines (the "unlocalize"
// export). The table's component lines are "<Form>.<Component>=f1~f2~...";
// what each field means depends on the component's class.
#include <vector>

#include "rtl/Types.h"
#include "vcl/Classes.h"

class TCustomForm;

// Translates Form: its caption, then each component in creation order
// (menu items captioned "-" never).
void TraduireForm(TCustomForm* Form);
// The table lines of Form's texts, first line "<Form>=<caption>"; line
// breaks inside a text become "|".
std::vector<String> LignesExport(TCustomForm* Form);
// Writes LignesExport(Form) to FileName as text of the system code page; a
// failure to write is ignored. Returns whether the file was written.
bool ExportForm(TCustomForm* Form, const String& FileName);
