// XML writer: chooses the encoding, writes the byte-order mark, normalises
// the declaration and writes every node through a text stream.
#include <memory>

#include "rtl/Streams.h"
#include "xml/KelCharsets.h"
#include "xml/KelSimpleXml.h"
#include "xml/KelSimpleXmlPrivate.h"

using namespace KelXml;

namespace {

const Char* const CRLF = u"\r\n";

void Put(TKelStringStream* S, const String& Text) {
  if (!Text.empty()) S->WriteString(Text, 1, static_cast<Integer>(Text.size()));
}

bool AutoIndent(const TKelSimpleXML* Doc) { return Doc && Doc->Options().Contains(sxoAutoIndent); }

String LineEnd(const TKelSimpleXML* Doc) { return AutoIndent(Doc) ? String(CRLF) : String(); }

String Encoded(TKelSimpleXML* Doc, String Value) {
  if (Doc) Doc->EncodeValue(Value);
  return Value;
}

std::string StreamBytes(TMemoryStream& Stream) {
  std::string Bytes(static_cast<size_t>(Stream.Size()), '\0');
  Stream.SetPosition(0);
  if (!Bytes.empty()) Stream.Read(Bytes.data(), static_cast<Integer>(Bytes.size()));
  return Bytes;
}

}  // namespace

// ---------------------------------------------------------------------------
// Document entry points

void TKelSimpleXML::ResolveAutoEncoding(TKelStringEncoding& Encoding, Word& CodePage) {
  if (Encoding == seAuto) {
    if (TKelSimpleXMLElemHeader* Header = FProlog->Header()) {
      CodePage = CharsetNameToCodePage(Header->Encoding());
      Encoding = seAnsi;
    } else {
      Encoding = FEncoding;
      CodePage = FCodePage;
    }
  }
  // The remembered encoding of an auto-detected load may say "ANSI" for a
  // code page that is really one of the Unicode forms.
  if (Encoding == seAuto || Encoding == seAnsi) {
    Encoding = CodePage == 65001 ? seUTF8 : CodePage == 1200 ? seUTF16 : seAnsi;
  }
}

void TKelSimpleXML::SaveToStream(TStream* Stream, TKelStringEncoding Encoding, Word CodePage) {
  TStream* Target = Stream;
  std::unique_ptr<TMemoryStream> Raw;
  if (OnEncodeStream) {
    Raw = std::make_unique<TMemoryStream>();
    Target = Raw.get();
  }
  ResolveAutoEncoding(Encoding, CodePage);
  std::unique_ptr<TKelStringStream> Text;
  if (Encoding == seUTF8) {
    Text = std::make_unique<TKelUTF8Stream>(Target, false);
    FCodePage = 65001;
  } else if (Encoding == seUTF16) {
    Text = std::make_unique<TKelUTF16Stream>(Target, false);
    FCodePage = 1200;
  } else {
    auto Ansi = std::make_unique<TKelAnsiStream>(Target, false);
    Ansi->SetCodePage(CodePage);
    Text = std::move(Ansi);
  }
  if (!FOptions.Contains(sxoDoNotSaveBOM)) Text->WriteBOM();
  SaveToStringStream(Text.get());
  Text->Flush();
  Text.reset();
  if (Raw) {
    Raw->SetPosition(0);
    OnEncodeStream(this, Raw.get(), Stream);
  }
}

void TKelSimpleXML::SaveToStringStream(TKelStringStream* StringStream) {
  FSaveCount = FRoot->ChildsCount() + FProlog->Count();
  FSaveCurrent = 0;
  if (OnSaveProgress) OnSaveProgress(this, 0, FSaveCount);
  if (!FOptions.Contains(sxoDoNotSaveProlog)) FProlog->SaveToStringStream(StringStream);
  FRoot->SaveToStringStream(StringStream, FBaseIndentString);
  if (OnSaveProgress) OnSaveProgress(this, FSaveCount, FSaveCount);
}

String TKelSimpleXML::SaveToString() { return SaveToStringEncoding(seAuto, 0); }

String TKelSimpleXML::SaveToStringEncoding(TKelStringEncoding Encoding, Word CodePage) {
  ResolveAutoEncoding(Encoding, CodePage);
  TMemoryStream Stream;
  SaveToStream(&Stream, Encoding, CodePage);
  std::string Bytes = StreamBytes(Stream);
  if (Encoding == seUTF16) {
    String R;
    R.reserve(Bytes.size() / 2);
    for (size_t I = 0; I + 1 < Bytes.size(); I += 2)
      R.push_back(static_cast<Char>(static_cast<Byte>(Bytes[I]) | (static_cast<Byte>(Bytes[I + 1]) << 8)));
    return R;
  }
  return CodePageToUnicode(Bytes, Encoding == seUTF8 ? Word(65001) : CodePage);
}

void TKelSimpleXML::SaveToFile(const String& FileName, TKelStringEncoding Encoding, Word CodePage) {
  TMemoryStream Stream;
  SaveToStream(&Stream, Encoding, CodePage);
  std::string Bytes = StreamBytes(Stream);
  ReplaceFileContents(FileName, Bytes.data(), Bytes.size());
}

// ---------------------------------------------------------------------------
// Lists

void TKelSimpleXMLElems::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  for (TKelSimpleXMLElem* Child : *this) Child->SaveToStringStream(StringStream, Level);
}

void TKelSimpleXMLProps::SaveToStringStream(TKelStringStream* StringStream) {
  for (TKelSimpleXMLProp* P : FProperties) P->SaveToStringStream(StringStream);
}

void TKelSimpleXMLProp::SaveToStringStream(TKelStringStream* StringStream) {
  String V = Encoded(SimpleXML(), FValue);
  String Out = u" ";
  if (!FNameSpace.empty()) Out += FNameSpace + u":";
  Out += FName + u"=\"" + V + u"\"";
  Put(StringStream, Out);
}

void TKelSimpleXMLElemsProlog::SaveToStringStream(TKelStringStream* StringStream) {
  FindHeader();
  for (TKelSimpleItem* Item : FElems->Items())
    static_cast<TKelSimpleXMLElem*>(Item)->SaveToStringStream(StringStream, String());
}

// ---------------------------------------------------------------------------
// Nodes

void TKelSimpleXMLElemClassic::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  // Names are written as they are: a character reference is no name
  // character, and the reader would refuse the file.
  const String Full = FullName();
  const String Eol = LineEnd(FSimpleXML);
  const bool Named = !FName.empty();
  if (Named) {
    Put(StringStream, Level + u"<" + Full);
    if (FProps) FProps->SaveToStringStream(StringStream);
  }
  if (ItemCount() > 0) {
    if (Named) Put(StringStream, u">" + Eol);
    String ChildLevel = AutoIndent(FSimpleXML) ? Level + FSimpleXML->IndentString() : Level;
    FItems->SaveToStringStream(StringStream, ChildLevel);
    if (Named) Put(StringStream, Level + u"</" + Full + u">" + Eol);
  } else if (Named) {
    if (!FValue.empty())
      Put(StringStream, u">" + Encoded(FSimpleXML, FValue) + u"</" + Full + u">" + Eol);
    else
      Put(StringStream, u"/>" + Eol);
  }
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemText::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  if (!FValue.empty()) Put(StringStream, Level + Encoded(FSimpleXML, FValue) + LineEnd(FSimpleXML));
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemComment::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  // "--" may not appear in a comment and a last "-" would run into the "-->":
  // a blank after every dash followed by another dash (or by the end) keeps
  // the file readable and changes the text as little as possible.
  String Value;
  Value.reserve(FValue.size());
  for (size_t I = 0; I < FValue.size(); ++I) {
    Value.push_back(FValue[I]);
    if (FValue[I] == u'-' && (I + 1 == FValue.size() || FValue[I + 1] == u'-')) Value.push_back(u' ');
  }
  Put(StringStream, Level + u"<!--" + Value + u"-->" + LineEnd(FSimpleXML));
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemCData::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  String Value = FValue;
  // "]]>" cannot stand inside a section: close it after "]]" and reopen.
  for (size_t P = Value.find(u"]]>"); P != String::npos; P = Value.find(u"]]>", P + 15))
    Value.replace(P, 3, u"]]]]><![CDATA[>");
  Put(StringStream, Level + u"<![CDATA[" + Value + u"]]>" + LineEnd(FSimpleXML));
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemDocType::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  Put(StringStream, Level + u"<!DOCTYPE " + FValue + u">" + LineEnd(FSimpleXML));
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemProcessingInstruction::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  String Out = Level + u"<?";
  if (!FNameSpace.empty()) Out += FNameSpace + u":";
  Put(StringStream, Out + FName);
  if (FProps) FProps->SaveToStringStream(StringStream);
  Put(StringStream, u"?>" + LineEnd(FSimpleXML));
  if (FSimpleXML) FSimpleXML->DoSaveProgress();
}

void TKelSimpleXMLElemHeader::SaveToStringStream(TKelStringStream* StringStream, const String& Level) {
  TKelSimpleXMLProps* Props = Properties();
  if (!Props->Find(u"version")) Props->Insert(0, u"version", String(u"1.0"));
  if (!Props->Find(u"encoding")) Props->Add(u"encoding", DefaultEncoding());
  TKelSimpleXMLProp* Standalone = Props->Find(u"standalone");
  const Char* Flag = (Standalone && Standalone->Value() == u"yes") ? u"yes" : u"no";
  if (Standalone)
    Standalone->SetValue(Flag);
  else
    Props->Add(u"standalone", Flag);
  Props->SortProperties({u"version", u"encoding", u"standalone"});
  TKelSimpleXMLElemProcessingInstruction::SaveToStringStream(StringStream, Level);
}
