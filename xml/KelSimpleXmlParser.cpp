// XML parser: a single pass over a text stream of code points. Decisions are
// taken by peeking ahead; the node recognised then reads itself from the read
// cursor. Every error is an EKelSimpleXMLError whose message ends with the
// 1-based code-point position of the offending character; its fields hold that
// position with its line and column.
#include <memory>
#include <optional>
#include <utility>

#include "rtl/Resources.h"
#include "rtl/ScopeExit.h"
#include "rtl/Streams.h"
#include "xml/KelCharsets.h"
#include "xml/KelSimpleXml.h"
#include "xml/KelSimpleXmlPrivate.h"
#include "xml/KelSysUtils.h"
#include "xml/KelUnicode.h"

using namespace KelXml;

namespace {

const char* const SInvalidDocumentProlog = "Invalid Document: Unexpected text in file prolog at position ";
const char* const SBeginningOfTag = "Invalid XML Element: Expected beginning of tag but \"";
const char* const SMalformedTag = "Invalid XML Element: malformed tag found (no valid name) at position ";
const char* const SEndOfTag = "Invalid XML Element: Expected end of tag but \"";
const char* const SEndOfData = "Invalid XML Element: Unexpected end of data at position ";
const char* const STooDeep = "Invalid XML Element: elements nested too deeply at position ";
const char* const SPropChar = "Invalid XML Element: Unexpected character in property declaration (\"";
const char* const SPropQuote =
    "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but \"";
const char* const SCommentDashes = "Invalid Comment: \"--\" not allowed inside comments at position ";
const char* const SCommentEnd = "Invalid Comment: Unexpected end of data at position ";
const char* const SCDataEnd = "Invalid CDATA: Unexpected end of data at position ";

String Ascii(const char* S) { return Utf16FromAscii(S); }
String PositionText(TKelStringStream* S) { return IntText(S->PeekPosition()); }
String CharText(Cardinal C) { return String(1, CodePointToChar(C)); }

// Every parse error leaves here, with the peek cursor's place as its fields.
[[noreturn]] void Raise(String Message, TKelStringStream* S) {
  throw EKelSimpleXMLError(std::move(Message), S->PeekPosition(), S->PeekLine(), S->PeekColumn());
}

[[noreturn]] void RaisePlain(const char* Msg, TKelStringStream* S) { Raise(Ascii(Msg) + PositionText(S), S); }

// Messages of the form ...but "x" found at position n
[[noreturn]] void RaiseFound(const char* Msg, Cardinal C, TKelStringStream* S) {
  Raise(Ascii(Msg) + CharText(C) + u"\" found at position " + PositionText(S), S);
}

[[noreturn]] void RaisePropChar(Cardinal C, TKelStringStream* S) {
  Raise(Ascii(SPropChar) + CharText(C) + u"\" found at position " + PositionText(S) + u")", S);
}

[[noreturn]] void RaisePropQuote(Cardinal C, TKelStringStream* S) {
  Raise(Ascii(SPropQuote) + CharText(C) + u"\"  found at position " + PositionText(S), S);
}

[[noreturn]] void RaisePattern(const char* Kind, Cardinal Expected, Cardinal Found, TKelStringStream* S) {
  Raise(Ascii(Kind) + u": expected \"" + CharText(Expected) + u"\" but found \"" + CharText(Found) +
            u"\" at position " + PositionText(S),
        S);
}

void Append(String& S, Cardinal C) {
  if (C <= 0xFFFF) {
    S.push_back(static_cast<Char>(C));
  } else if (C <= 0x10FFFF) {
    C -= 0x10000;
    S.push_back(static_cast<Char>(0xD800 | (C >> 10)));
    S.push_back(static_cast<Char>(0xDC00 | (C & 0x3FF)));
  } else {
    S.push_back(u'\xFFFD');
  }
}

bool IsTagNameChar(Cardinal C) { return C == '-' || C == '.' || IsXmlNameChar(C); }

// Reads a fixed opener such as "<!--"; whitespace before a mismatch is skipped.
void ReadPattern(TKelStringStream* S, const char* Pattern, const char* Kind, const char* EndMessage) {
  for (const char* P = Pattern; *P;) {
    Cardinal C;
    if (!S->ReadUCS4(C)) RaisePlain(EndMessage, S);
    if (C == static_cast<Cardinal>(*P))
      ++P;
    else if (!IsXmlWhitespace(C))
      RaisePattern(Kind, static_cast<Cardinal>(*P), C, S);
  }
}

// Guards the recursion element -> child list -> element.
thread_local Integer ElementDepth = 0;

struct DepthGuard {
  explicit DepthGuard(TKelStringStream* S) {
    if (++ElementDepth > KelSimpleXMLMaxDepth) {
      --ElementDepth;
      RaisePlain(STooDeep, S);
    }
  }
  ~DepthGuard() { --ElementDepth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

// Byte-order mark at the stream's position, without moving it.
bool HasByteOrderMark(TStream* Stream) {
  Int64 Start = Stream->Position();
  Byte B[3] = {0, 0, 0};
  Integer N = Stream->Read(B, 3);
  Stream->SetPosition(Start);
  if (N >= 3 && B[0] == 0xEF && B[1] == 0xBB && B[2] == 0xBF) return true;
  return N >= 2 && B[0] == 0xFF && B[1] == 0xFE;
}

}  // namespace

// ---------------------------------------------------------------------------
// Document entry points

void TKelSimpleXML::LoadFromFile(const String& FileName, TKelStringEncoding Encoding, Word CodePage) {
  TMemoryStream Stream;
  Stream.LoadFromFile(FileName);
  Stream.SetPosition(0);
  LoadFromStream(&Stream, Encoding, CodePage);
}

void TKelSimpleXML::LoadFromResourceName(NativeUInt Instance, const String& ResName, TKelStringEncoding Encoding,
                                         Word CodePage) {
  TResourceStream Stream(Instance, ResName, RT_RCDATA);
  LoadFromStream(&Stream, Encoding, CodePage);
}

void TKelSimpleXML::LoadFromStream(TStream* Stream, TKelStringEncoding Encoding, Word CodePage) {
  FRoot->Clear();
  FProlog->Clear();
  std::unique_ptr<TMemoryStream> Decoded;
  if (OnDecodeStream) {
    Decoded = std::make_unique<TMemoryStream>();
    OnDecodeStream(this, Stream, Decoded.get());
    Decoded->SetPosition(0);
    Stream = Decoded.get();
  }
  std::unique_ptr<TKelStringStream> Text;
  switch (Encoding) {
    case seUTF8:
      Text = std::make_unique<TKelUTF8Stream>(Stream, false);
      break;
    case seUTF16:
      Text = std::make_unique<TKelUTF16Stream>(Stream, false);
      break;
    case seAuto: {
      // A byte-order mark names the encoding for certain; the declaration
      // must not switch such a text to another one.
      FLoadHasBOM = HasByteOrderMark(Stream);
      auto Auto = std::make_unique<TKelAutoStream>(Stream, false);
      if (CodePage != 0) Auto->SetCodePage(CodePage);
      Text = std::move(Auto);
      break;
    }
    default: {
      auto Ansi = std::make_unique<TKelAnsiStream>(Stream, false);
      Ansi->SetCodePage(CodePage);
      Text = std::move(Ansi);
      break;
    }
  }
  const TScopeExit Reset([this] { FLoadHasBOM = false; });
  Text->SkipBOM();
  LoadFromStringStream(Text.get());
  if (auto* Auto = dynamic_cast<TKelAutoStream*>(Text.get())) {
    FCodePage = Auto->CodePage();
    FEncoding = Auto->Encoding();
  } else if (auto* Ansi = dynamic_cast<TKelAnsiStream*>(Text.get())) {
    FCodePage = Ansi->CodePage();
    FEncoding = Encoding;
  } else {
    FCodePage = CodePage;
    FEncoding = Encoding;
  }
}

void TKelSimpleXML::LoadFromStringStream(TKelStringStream* StringStream) {
  DoLoadProgress(StringStream);
  {
    // One code point per fill while the prolog is read, so that the encoding
    // named by the declaration applies from the very next byte.
    const Integer Saved = StringStream->BufferSize();
    StringStream->SetBufferSize(1);
    const TScopeExit Restore([StringStream, Saved] { StringStream->SetBufferSize(Saved); });
    FProlog->LoadFromStringStream(StringStream);
  }
  FRoot->LoadFromStringStream(StringStream);
  DoLoadProgress(StringStream);
}

void TKelSimpleXML::LoadFromString(const String& Value) {
  TMemoryStream Stream;
  std::string Bytes;
  Bytes.reserve(Value.size() * 2);
  for (Char C : Value) {
    Bytes.push_back(static_cast<char>(C & 0xFF));
    Bytes.push_back(static_cast<char>(C >> 8));
  }
  if (!Bytes.empty()) Stream.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
  Stream.SetPosition(0);
  LoadFromStream(&Stream, seUTF16, 1200);
}

// ---------------------------------------------------------------------------
// Prolog

void TKelSimpleXMLElemsProlog::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  String Buf;
  for (;;) {
    Cardinal C;
    if (!S->PeekUCS4(C)) return;
    if (Buf.empty()) {
      if (IsXmlWhitespace(C)) continue;
      if (C != '<') RaisePlain(SInvalidDocumentProlog, S);
      Buf = u"<";
      continue;
    }
    if (!(IsXmlWhitespace(C) && Buf == u"<![CDATA")) Buf.push_back(CodePointToChar(C));
    TKelSimpleXMLElem* Node = nullptr;
    if (Buf == u"<![CDATA[") return;
    if (Buf == u"<!--")
      Node = new TKelSimpleXMLElemComment(FSimpleXML);
    else if (Buf == u"<?xml-stylesheet")
      Node = new TKelSimpleXMLElemSheet(FSimpleXML);
    else if (Buf == u"<?xml ") {
      // One declaration: a second one would switch the code page in the
      // middle of the text, and no single encoding could save it again.
      if (Header()) RaisePlain(SInvalidDocumentProlog, S);
      Node = new TKelSimpleXMLElemHeader(FSimpleXML);
    } else if (Buf == u"<!DOCTYPE")
      Node = new TKelSimpleXMLElemDocType(FSimpleXML);
    else if (Buf == u"<?mso-application")
      Node = new TKelSimpleXMLElemMSOApplication(FSimpleXML);
    else if (Buf.size() > 3 && Buf[1] == u'?' && IsXmlWhitespace(C))
      Node = new TKelSimpleXMLElemProcessingInstruction(FSimpleXML);
    else if (Buf.size() < 2 || Buf[1] == u'!')
      continue;
    else if (Buf[1] != u'?')
      return;
    if (!Node) continue;
    Add(Node);
    Node->LoadFromStringStream(S);
    Buf.clear();
  }
}

// ---------------------------------------------------------------------------
// Child lists

void TKelSimpleXMLElems::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  Clear();
  TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
  if (Doc) Doc->DoLoadProgress(S);
  const bool KeepWhitespace = Doc && Doc->Options().Contains(sxoKeepWhitespace);
  String Buf;
  bool TextSeen = false, WhitespaceSeen = false;
  for (;;) {
    Cardinal C;
    if (!S->PeekUCS4(C)) return;
    TKelSimpleXMLElem* Node = nullptr;
    if (Buf.empty()) {
      if (C == '<')
        Buf = u"<";
      else if (IsXmlWhitespace(C))
        WhitespaceSeen = true;
      else
        TextSeen = true;
      continue;
    }
    const bool Pending = TextSeen || (WhitespaceSeen && KeepWhitespace);
    if (C == ' ' || C == ':' || C == '>') {
      Node = new TKelSimpleXMLElemClassic(Doc);
      Buf.clear();
    } else if (C == '/' && Buf == u"<") {
      if (Pending) {
        Node = new TKelSimpleXMLElemText(Doc);
        Add(Node);
        Node->LoadFromStringStream(S);
      }
      return;
    } else if (C == '/') {
      Node = new TKelSimpleXMLElemClassic(Doc);
      Buf.clear();
    } else if (Pending) {
      Node = new TKelSimpleXMLElemText(Doc);
      TextSeen = WhitespaceSeen = false;
    } else {
      if (!(IsXmlWhitespace(C) && Buf == u"<![CDATA")) Buf.push_back(CodePointToChar(C));
      if (Buf == u"<![CDATA[")
        Node = new TKelSimpleXMLElemCData(Doc);
      else if (Buf == u"<!--")
        Node = new TKelSimpleXMLElemComment(Doc);
      else if (Buf == u"<?")
        Node = new TKelSimpleXMLElemProcessingInstruction(Doc);
      if (Node) Buf.clear();
    }
    if (Node) {
      Add(Node);
      Node->LoadFromStringStream(S);
    }
  }
}

// ---------------------------------------------------------------------------
// Attributes

void TKelSimpleXMLProps::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  Clear();
  TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
  int State = 0;
  String Name, Prefix, Value;
  bool PrefixSet = false;
  Cardinal Quote = 0;
  for (;;) {
    Cardinal C;
    if (!S->PeekUCS4(C)) return;
    if (State == 0) {
      if (IsXmlWhitespace(C)) {
        S->ReadUCS4(C);
      } else if (C == '-' || C == '.' || C == '_' || IsXmlNameStart(C)) {
        S->ReadUCS4(C);
        Name.clear();
        Append(Name, C);
        Prefix.clear();
        PrefixSet = false;
        State = 1;
      } else if (C == '/' || C == '>' || C == '?') {
        return;
      } else {
        RaisePropChar(C, S);
      }
      continue;
    }
    S->ReadUCS4(C);
    switch (State) {
      case 1:
        // One prefix at most and a name after it: "a::b=" or "a:=" could
        // not be written back as the same attribute.
        if (IsTagNameChar(C))
          Append(Name, C);
        else if (C == ':' && !PrefixSet && !Name.empty()) {
          Prefix = Name;
          PrefixSet = true;
          Name.clear();
        } else if (C == '=' && !Name.empty())
          State = 2;
        else if (IsXmlWhitespace(C) && !Name.empty())
          State = 4;
        else
          RaisePropChar(C, S);
        break;
      case 2:
        if (IsXmlWhitespace(C)) break;
        if (C != '"' && C != '\'') RaisePropQuote(C, S);
        Quote = C;
        Value.clear();
        State = 3;
        break;
      case 3:
        if (C == Quote) {
          if (Doc) Doc->DecodeValue(Value);
          Add(Name, Value)->SetNameSpace(Prefix);
          State = 0;
        } else {
          Append(Value, C);
        }
        break;
      case 4:
        if (IsXmlWhitespace(C)) break;
        if (C != '=') RaisePropChar(C, S);
        State = 2;
        break;
    }
  }
}

// ---------------------------------------------------------------------------
// Node parsers

void TKelSimpleXMLElemClassic::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  String NameBuf, Local, Prefix, EndName;
  bool EndTagRead = false;
  int State = 0;
  std::optional<DepthGuard> Depth;
  for (bool Done = false; !Done;) {
    Cardinal C;
    if (!S->ReadUCS4(C)) {
      // No tag at all is an empty text; a tag cut short is a damaged file,
      // which must never load as if it were whole.
      if (State == 0) return;
      RaisePlain(SEndOfData, S);
    }
    switch (State) {
      case 0:
        if (C == '<') {
          Depth.emplace(S);
          State = 1;
        } else if (!IsXmlWhitespace(C)) {
          RaiseFound(SBeginningOfTag, C, S);
        }
        break;
      case 1:
        if (IsTagNameChar(C))
          Append(NameBuf, C);
        else if (C == ':' && Prefix.empty()) {
          Prefix = NameBuf;
          NameBuf.clear();
        } else if (IsXmlWhitespace(C)) {
          if (NameBuf.empty()) RaisePlain(SMalformedTag, S);
          Local = NameBuf;
          Properties()->LoadFromStringStream(S);
          State = 2;
        } else if ((C == '/' || C == '>') && !NameBuf.empty()) {
          // "<>" or "<p:>" has no name, and a nameless element would be
          // saved without its tags.
          Local = NameBuf;
          if (C == '/') {
            State = 3;
          } else {
            Items()->LoadFromStringStream(S);
            State = 4;
          }
        } else {
          RaisePlain(SMalformedTag, S);
        }
        break;
      case 2:
        if (IsXmlWhitespace(C)) break;
        if (C == '/')
          State = 3;
        else if (C == '>') {
          Items()->LoadFromStringStream(S);
          State = 4;
        } else
          RaiseFound(SEndOfTag, C, S);
        break;
      case 3:
        if (C != '>') RaiseFound(SEndOfTag, C, S);
        Done = true;
        break;
      case 4:
        if (IsXmlWhitespace(C)) break;
        if (C != '<') RaiseFound(SEndOfTag, C, S);
        State = 5;
        break;
      case 5:
        if (C != '/') RaiseFound(SEndOfTag, C, S);
        State = 6;
        break;
      case 6:
        if (IsTagNameChar(C) || C == ':') {
          Append(EndName, C);
          break;
        }
        if (C != '>' && !IsXmlWhitespace(C)) RaisePlain(SMalformedTag, S);
        {
          bool Match = Prefix.empty() ? Local == EndName : TextEquals(Prefix + u":" + Local, EndName, false);
          if (!Match)
            Raise(u"Invalid XML Element: Erroneous end of tag, expecting </" + Local + u"> but </" + EndName +
                      u"> found at position " + PositionText(S),
                  S);
        }
        if (C != '>') {
          do {
            if (!S->ReadUCS4(C)) RaisePlain(SEndOfData, S);
          } while (IsXmlWhitespace(C));
          if (C != '>') RaiseFound(SEndOfTag, C, S);
        }
        EndTagRead = true;
        Done = true;
        break;
    }
  }
  String ValueText;
  bool HasText = false;
  if (EndTagRead && FItems && FItems->Count() == 1) {
    if (auto* Text = dynamic_cast<TKelSimpleXMLElemText*>(FItems->GetItem(0))) {
      ValueText = Text->Value();
      HasText = true;
      FItems.reset();
    }
  }
  SetName(Local);
  if (HasText)
    FValue = ValueText;
  else {
    FValue.clear();
    if (FSimpleXML) FSimpleXML->DecodeValue(FValue);
  }
  FNameSpace = Prefix;
  if (FSimpleXML) {
    FSimpleXML->DoTagParsed(FName);
    FSimpleXML->DoValueParsed(FName, FValue);
  }
}

void TKelSimpleXMLElemText::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  String Text;
  Cardinal C;
  while (S->PeekUCS4(C) && C != '<') {
    S->ReadUCS4(C);
    Append(Text, C);
  }
  if (!FSimpleXML) {
    FValue = Text;
    return;
  }
  FSimpleXML->DecodeValue(Text);
  String Trimmed = Text;
  const TKelSimpleXMLOptions O = FSimpleXML->Options();
  if (O.Contains(sxoTrimPrecedingTextWhitespace)) Trimmed = TrimLeftControl(Trimmed);
  if (O.Contains(sxoTrimFollowingTextWhitespace)) Trimmed = TrimRightControl(Trimmed);
  FValue = (Trimmed.empty() && O.Contains(sxoKeepWhitespace)) ? Text : Trimmed;
  FSimpleXML->DoValueParsed(String(), FValue);
}

void TKelSimpleXMLElemComment::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  ReadPattern(S, "<!--", "Invalid Comment", SCommentEnd);
  String Content;
  auto Next = [S]() {
    Cardinal C;
    if (!S->ReadUCS4(C)) RaisePlain(SCommentEnd, S);
    return C;
  };
  for (;;) {
    Cardinal C = Next();
    if (C != '-') {
      Append(Content, C);
      continue;
    }
    Cardinal C2 = Next();
    if (C2 != '-') {
      Content.push_back(u'-');
      Append(Content, C2);
      continue;
    }
    if (Next() != '>') RaisePlain(SCommentDashes, S);
    break;
  }
  FValue = Content;
  if (FSimpleXML) FSimpleXML->DoValueParsed(String(), FValue);
}

void TKelSimpleXMLElemCData::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  ReadPattern(S, "<![CDATA[", "Invalid CDATA", SCDataEnd);
  String Content;
  auto Next = [S]() {
    Cardinal C;
    if (!S->ReadUCS4(C)) RaisePlain(SCDataEnd, S);
    return C;
  };
  for (bool Done = false; !Done;) {
    Cardinal C = Next();
    if (C != ']') {
      Append(Content, C);
      continue;
    }
    Cardinal C2 = Next();
    if (C2 != ']') {
      Content.push_back(u']');
      Append(Content, C2);
      continue;
    }
    for (;;) {
      Cardinal C3 = Next();
      if (C3 == '>') {
        Done = true;
        break;
      }
      if (C3 == ']') {
        Content.push_back(u']');
        continue;
      }
      Content += u"]]";
      Append(Content, C3);
      break;
    }
  }
  FValue = Content;
  if (FSimpleXML) FSimpleXML->DoValueParsed(String(), FValue);
}

void TKelSimpleXMLElemProcessingInstruction::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  String NameBuf, Prefix;
  bool PrefixSet = false;
  int State = 0;
  for (bool Done = false; !Done;) {
    Cardinal C;
    if (!S->ReadUCS4(C)) RaisePlain(SCommentEnd, S);
    switch (State) {
      case 0:
        if (C == '<')
          State = 1;
        else if (!IsXmlWhitespace(C))
          RaiseFound(SBeginningOfTag, C, S);
        break;
      case 1:
        if (C != '?') RaisePlain(SMalformedTag, S);
        State = 2;
        break;
      case 2:
        if (IsTagNameChar(C))
          Append(NameBuf, C);
        else if (C == ':' && !PrefixSet) {
          Prefix = NameBuf;
          PrefixSet = true;
          NameBuf.clear();
        } else if (IsXmlWhitespace(C) && !NameBuf.empty()) {
          Properties()->LoadFromStringStream(S);
          State = 3;
        } else if (C == '?')
          State = 4;
        else
          RaisePlain(SMalformedTag, S);
        break;
      case 3:
        if (IsXmlWhitespace(C)) break;
        if (C != '?') RaiseFound(SEndOfTag, C, S);
        State = 4;
        break;
      case 4:
        if (C != '>') RaiseFound(SEndOfTag, C, S);
        Done = true;
        break;
    }
  }
  SetName(NameBuf);
  FNameSpace = Prefix;
}

void TKelSimpleXMLElemHeader::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelSimpleXMLElemProcessingInstruction::LoadFromStringStream(StringStream);
  // The declaration is read before its encoding is known, so it must be
  // ASCII: anything else would be read in one code page and saved in another.
  for (Integer I = 0; I < PropertyCount(); ++I) {
    const TKelSimpleXMLProp* Prop = Properties()->GetItem(I);
    for (const String* Text : {&Prop->Name(), &Prop->Value()})
      for (Char C : *Text)
        if (C > 0x7E) RaisePlain(SInvalidDocumentProlog, StringStream);
  }
  TKelSimpleXMLProp* P = Properties()->GetItemNamed(u"encoding");
  Word CP = (P && !P->Value().empty()) ? CharsetNameToCodePage(P->Value()) : Word(0);
  if (auto* Auto = dynamic_cast<TKelAutoStream*>(StringStream)) {
    // A byte-order mark names the encoding for certain: the declaration
    // must not switch such a text to another one.
    if (Auto->BOM().empty()) Auto->SetCodePage(CP);
  } else if (auto* Ansi = dynamic_cast<TKelAnsiStream*>(StringStream)) {
    Ansi->SetCodePage(CP);
  } else if (!dynamic_cast<TKelUTF8Stream*>(StringStream) && !dynamic_cast<TKelUTF16Stream*>(StringStream)) {
    throw EKelSimpleXMLError(u"No matching charset");
  }
}

void TKelSimpleXMLElemDocType::LoadFromStringStream(TKelStringStream* StringStream) {
  TKelStringStream* S = StringStream;
  if (FSimpleXML) FSimpleXML->DoLoadProgress(S);
  ReadPattern(S, "<!DOCTYPE", "Invalid Header", SCommentEnd);
  String Content;
  Cardinal Terminator = '>';
  for (;;) {
    Cardinal C;
    if (!S->ReadUCS4(C)) RaisePlain(SCommentEnd, S);
    if (C == Terminator && C == '>') break;
    if (C == Terminator)
      Terminator = '>';
    else if (C == '[')
      Terminator = ']';
    Append(Content, C);
  }
  FValue = TrimLeftAsciiSpace(Content);
  if (FSimpleXML) FSimpleXML->DoValueParsed(String(), FValue);
}
