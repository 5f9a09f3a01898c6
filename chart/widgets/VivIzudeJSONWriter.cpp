#include "chart/widgets/VivIzudeJSONWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

using namespace VivIzudeJSONScope;

void TVivIzudeJSONStreamWriter::Write(const String& Value) {
  // Escaped text is 7-bit; a raw string may hold more, which goes out as UTF-8.
  for (std::size_t I = 0; I < Value.size(); ++I) {
    char32_t C = Value[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Value.size() && Value[I + 1] >= 0xDC00 && Value[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (Value[++I] - 0xDC00);
    }
    if (C < 0x80) {
      FText += static_cast<char>(C);
    } else if (C < 0x800) {
      FText += static_cast<char>(0xC0 | (C >> 6));
      FText += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
      FText += static_cast<char>(0xE0 | (C >> 12));
      FText += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      FText += static_cast<char>(0x80 | (C & 0x3F));
    } else {
      FText += static_cast<char>(0xF0 | (C >> 18));
      FText += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
      FText += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      FText += static_cast<char>(0x80 | (C & 0x3F));
    }
  }
}

void TVivIzudeJSONStreamWriter::Deliver() {
  if (FDelivered) return;
  FDelivered = true;
  FStream->WriteBuffer(FText.data(), static_cast<Int64>(FText.size()));
}

// ---------------------------------------------------------------------------

TVivIzudeJSONWriter::TVivIzudeJSONWriter(TStream* AStream) : FWriter(new TVivIzudeJSONStreamWriter(AStream)) {
  Push(DocumentEmpty);
}

TVivIzudeJSONWriter::~TVivIzudeJSONWriter() {
  try {
    if (Complete()) FWriter->Deliver();
  } catch (...) {
    // A destructor cannot report; Close is the way to hear of a failing target.
  }
  delete FWriter;
}

bool TVivIzudeJSONWriter::Complete() const {
  return FStackSize == 1 && FStack[0] == DocumentDone && FDeferredName.empty();
}

void TVivIzudeJSONWriter::SetIndentLength(Integer Value) {
  if (Value > 0) {
    FIndent.assign(static_cast<std::size_t>(Value), ' ');
    FSeparator = ": ";
  } else {
    FIndent.clear();
    FSeparator = ":";
  }
}

Byte& TVivIzudeJSONWriter::Top() {
  if (FStackSize <= 0) throw EEmptyJson(u"Json is still empty. Cannot perform operation.");
  return FStack[FStackSize - 1];
}

void TVivIzudeJSONWriter::Push(Byte Scope) {
  if (FStackSize >= MaxDepth) throw ETooManyDepthLevels(u"Maximum level of nested structured reached.");
  FStack[FStackSize++] = Scope;
}

void TVivIzudeJSONWriter::WriteLineBreak() {
  if (FIndent.empty()) return;
  FWriter->WriteAscii("\r\n", 2);
  for (Integer I = 1; I < FStackSize; ++I) FWriter->WriteAscii(FIndent);
}

void TVivIzudeJSONWriter::BeforeName() {
  Byte& Scope = Top();
  if (Scope == ObjectFilled)
    FWriter->WriteAscii(",", 1);
  else if (Scope != ObjectEmpty)
    throw ECannotWriteName(u"Cannot write name in current Json scope");
  WriteLineBreak();
  Top() = NamePending;
}

void TVivIzudeJSONWriter::WriteDeferredName() {
  if (FDeferredName.empty()) return;
  BeforeName();
  FWriter->WriteAscii("\"", 1);
  FWriter->WriteAscii(EscapeString(FDeferredName));
  FWriter->WriteAscii("\"", 1);
  FDeferredName.clear();
}

void TVivIzudeJSONWriter::BeforeValue(bool Opening) {
  Byte& Scope = Top();
  switch (Scope) {
    case DocumentEmpty:
      if (!Opening) throw EObjectOrArrayExpected(u"Object or array expected as top-level value");
      Scope = DocumentDone;
      break;
    case ArrayEmpty:
      Scope = ArrayFilled;
      WriteLineBreak();
      break;
    case ArrayFilled:
      FWriter->WriteAscii(",", 1);
      WriteLineBreak();
      break;
    case NamePending:
      FWriter->WriteAscii(FSeparator);
      Scope = ObjectFilled;
      break;
    case DocumentDone:
      throw EMultipleRootNotAllowed(u"Multiple root values not allowed");
    default:
      throw EInvalidNesting(u"Invalid nesting. Not all arrays/objects were properly closed.");
  }
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::Open(Byte Scope, char Bracket) {
  WriteDeferredName();
  BeforeValue(true);
  Push(Scope);
  FWriter->WriteAscii(&Bracket, 1);
  return *this;
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::CloseScope(Byte Empty, Byte Filled, char Bracket) {
  const Byte Scope = Top();
  if (Scope != Empty && Scope != Filled)
    throw EInvalidNesting(u"Invalid nesting. Not all arrays/objects were properly closed.");
  if (!FDeferredName.empty()) throw EMissingValue(u"Json value missing");
  --FStackSize;
  if (Scope == Filled) WriteLineBreak();
  FWriter->WriteAscii(&Bracket, 1);
  return *this;
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::Scalar(const std::string& Text) {
  WriteDeferredName();
  BeforeValue(false);
  FWriter->WriteAscii(Text);
  return *this;
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteBeginObject() { return Open(ObjectEmpty, '{'); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteBeginArray() { return Open(ArrayEmpty, '['); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteEndObject() { return CloseScope(ObjectEmpty, ObjectFilled, '}'); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteEndArray() { return CloseScope(ArrayEmpty, ArrayFilled, ']'); }

TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteName(const String& Name) {
  if (Name.empty()) throw EEmptyName(u"Cannot write empty name");
  if (!FDeferredName.empty()) throw EMissingValue(u"Json value missing");
  Top();  // EEmptyJson on an empty stack
  FDeferredName = Name;
  return *this;
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteString(const String& Value) {
  return Scalar("\"" + EscapeString(Value) + "\"");
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteRawString(const String& Value) {
  WriteDeferredName();
  BeforeValue(false);
  FWriter->WriteAscii("\"", 1);
  FWriter->Write(Value);
  FWriter->WriteAscii("\"", 1);
  return *this;
}

TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteBoolean(bool Value) { return Scalar(Value ? "true" : "false"); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteNull() { return Scalar("null"); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteDouble(double Value) { return Scalar(FormatDouble(Value)); }
TVivIzudeJSONWriter& TVivIzudeJSONWriter::WriteInteger(Int64 Value) { return Scalar(std::to_string(Value)); }

void TVivIzudeJSONWriter::Close() {
  if (FStackSize != 1 || FStack[0] != DocumentDone)
    throw EInvalidNesting(u"Invalid nesting. Not all arrays/objects were properly closed.");
  FWriter->Deliver();
}

namespace {

std::string GeneralForm(double Value, int Digits15or17) {
  char Buf[64];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific, Digits15or17 - 1);
  std::string Sci(Buf, R.ptr);
  const std::size_t EPos = Sci.find('e');
  const int Exp = std::stoi(Sci.substr(EPos + 1));
  std::string Digits;
  const bool Negative = Sci[0] == '-';
  for (std::size_t I = Negative ? 1 : 0; I < EPos; ++I)
    if (Sci[I] != '.') Digits += Sci[I];
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  std::string Out = Negative ? "-" : "";
  const int N = static_cast<int>(Digits.size());
  if (Exp >= 15 || Exp < -5) {
    Out += Digits[0];
    if (N > 1) Out += "." + Digits.substr(1);
    Out += "E" + std::to_string(Exp);
  } else if (Exp < 0) {
    Out += "0." + std::string(static_cast<std::size_t>(-Exp - 1), '0') + Digits;
  } else if (N <= Exp + 1) {
    Out += Digits + std::string(static_cast<std::size_t>(Exp + 1 - N), '0');
  } else {
    Out += Digits.substr(0, static_cast<std::size_t>(Exp + 1)) + "." + Digits.substr(static_cast<std::size_t>(Exp + 1));
  }
  return Out;
}

}  // namespace

std::string TVivIzudeJSONWriter::FormatDouble(double Value) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Value == 0) return "0";
  std::string Out = GeneralForm(Value, 15);
  // Near the largest double, fifteen digits round up beyond it; such a
  // value is written with seventeen so that it reads back.
  double Back = 0;
  auto R = std::from_chars(Out.data(), Out.data() + Out.size(), Back);
  if (R.ec != std::errc()) Out = GeneralForm(Value, 17);
  return Out;
}

std::string TVivIzudeJSONWriter::EscapeString(const String& Value) {
  static const char Hex[] = "0123456789ABCDEF";
  std::string Out;
  Out.reserve(Value.size());
  for (char16_t C : Value) {
    switch (C) {
      case u'"':
      case u'\\':
      case u'\b':
      case u'\f':
      case u'\n':
      case u'\r':
      case u'\t':
        break;
      default:
        // Other control characters are escaped too: the reader, like the
        // standard, takes none of them raw.
        if (C >= 0x20 && C < 0x80) {
          Out += static_cast<char>(C);
          continue;
        }
    }
    const char E[6] = {'\\', 'u', Hex[(C >> 12) & 15], Hex[(C >> 8) & 15], Hex[(C >> 4) & 15], Hex[C & 15]};
    Out.append(E, 6);
  }
  return Out;
}
