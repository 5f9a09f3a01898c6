// XML documents (the settings file, FileZilla's site file): any bytes load
// or fail with the library's error, and a document that loaded survives a
// save and a load with the same elements, attributes and texts, so that
// saving settings never damages them.
//
// A refused document's error places the fault inside the text: a line and
// column that the offset can reach, the offset no further than the bytes.
//
// Texts are compared without the blanks around them: with indentation on,
// the writer puts text that sits between child elements on lines of its
// own, and the reader keeps those line breaks. Documents holding an
// instruction named "xml" that is not the declaration ("<?xml\t...?>") are
// loaded, as the reader reads them, but not saved: such an instruction is
// written back as a declaration.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/common/FuzzCheck.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "xml/KelSimpleXml.h"

namespace {

std::string Describe(TKelSimpleXMLElem* Elem, int Depth = 0) {
  std::string Out(static_cast<std::size_t>(Depth) * 2, ' ');
  Out += "<" + FuzzText(Elem->Name());
  for (Integer I = 0; I < Elem->PropertyCount(); ++I) {
    TKelSimpleXMLProp* Prop = Elem->Properties()->GetItem(I);
    Out += " " + FuzzText(Prop->Name()) + "=" + FuzzText(Prop->Value());
  }
  Out += "> " + FuzzText(Trim(Elem->Value())) + "\n";
  for (Integer I = 0; I < Elem->ItemCount(); ++I) {
    TKelSimpleXMLElem* Child = Elem->Items()->GetItem(I);
    if (Child->Name().empty() && Trim(Child->Value()).empty()) continue;  // blanks between elements
    Out += Describe(Child, Depth + 1);
  }
  return Out;
}

bool IsXmlInstruction(const TKelSimpleXMLElem* Elem) {
  if (!dynamic_cast<const TKelSimpleXMLElemProcessingInstruction*>(Elem) ||
      dynamic_cast<const TKelSimpleXMLElemHeader*>(Elem))
    return false;
  const String& N = Elem->Name();
  return N.size() == 3 && (N[0] | 0x20) == u'x' && (N[1] | 0x20) == u'm' && (N[2] | 0x20) == u'l';
}

bool HoldsXmlInstruction(TKelSimpleXMLElem* Elem) {
  if (IsXmlInstruction(Elem)) return true;
  for (Integer I = 0; I < Elem->ItemCount(); ++I)
    if (HoldsXmlInstruction(Elem->Items()->GetItem(I))) return true;
  return false;
}

void CheckPlace(const EKelSimpleXMLError& E, std::size_t Size) {
  const std::string Where = "offset " + std::to_string(E.Offset()) + ", line " + std::to_string(E.Line()) +
                            ", column " + std::to_string(E.Column()) + " of " + std::to_string(Size) + " bytes";
  if (E.Offset() == 0) {
    FuzzCheck(E.Column() == 0 && E.Line() <= 1, "an error before the text has a column: " + Where);
    return;
  }
  FuzzCheck(E.Offset() <= static_cast<Int64>(Size), "an error placed beyond the text: " + Where);
  FuzzCheck(E.Line() >= 1 && E.Column() >= 1, "an error in the text without a line and column: " + Where);
  FuzzCheck(E.Line() - 1 + E.Column() <= E.Offset(), "an error's line and column lie beyond its offset: " + Where);
}

void Reload(TKelSimpleXML& Doc, const String& Text, const std::string& Was, const char* How) {
  try {
    Doc.LoadFromString(Text);
  } catch (const Exception& E) {
    FuzzFail(std::string("a document saved ") + How + " does not load again (" + FuzzText(E.Message()) + "):\n" +
             FuzzText(Text));
  }
  const std::string Is = Describe(Doc.Root());
  FuzzCheck(Is == Was, std::string("a document changes when saved ") + How + " and loaded:\n" + Was + "---\n" + Is);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TKelSimpleXML Doc;
  TBytesStream Input(FuzzBytes(Data, Size));
  try {
    Doc.LoadFromStream(&Input);
  } catch (const EKelSimpleXMLError& E) {
    CheckPlace(E, Size);
    return 0;
  } catch (const Exception&) {
    return 0;  // refused with a clear error
  }
  for (TKelSimpleItem* Item : *Doc.Prolog())
    if (IsXmlInstruction(static_cast<TKelSimpleXMLElem*>(Item))) return 0;
  if (HoldsXmlInstruction(Doc.Root())) return 0;
  const std::string Was = Describe(Doc.Root());

  TKelSimpleXML Again;
  Reload(Again, Doc.SaveToString(), Was, "as text");

  // Through bytes, as the settings file is written: UTF-8 with a mark.
  TBytesStream Bytes;
  Doc.SaveToStream(&Bytes, seUTF8);
  Bytes.SetPosition(0);
  TKelSimpleXML FromBytes;
  try {
    FromBytes.LoadFromStream(&Bytes);
  } catch (const Exception& E) {
    FuzzFail("a document saved as UTF-8 does not load again (" + FuzzText(E.Message()) + ")");
  }
  const std::string Is = Describe(FromBytes.Root());
  FuzzCheck(Is == Was, "a document changes through UTF-8 bytes:\n" + Was + "---\n" + Is);
  return 0;
}
