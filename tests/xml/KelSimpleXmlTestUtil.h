#pragma once
// Helpers of the XML document tests: documents from bytes and back.
#include <ostream>
#include <string>

#include "rtl/Streams.h"
#include "rtl/Unicode.h"
#include "xml/KelSimpleXml.h"

inline void LoadBytes(TKelSimpleXML& Doc, const std::string& Bytes, TKelStringEncoding Encoding = seAuto,
                      Word CodePage = 0) {
  TMemoryStream S;
  if (!Bytes.empty()) S.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
  S.SetPosition(0);
  Doc.LoadFromStream(&S, Encoding, CodePage);
}

inline std::string SaveBytes(TKelSimpleXML& Doc, TKelStringEncoding Encoding = seAuto, Word CodePage = 0) {
  TMemoryStream S;
  Doc.SaveToStream(&S, Encoding, CodePage);
  std::string Bytes(static_cast<size_t>(S.Size()), '\0');
  S.SetPosition(0);
  if (!Bytes.empty()) S.Read(Bytes.data(), static_cast<Integer>(Bytes.size()));
  return Bytes;
}

// The message of the EKelSimpleXMLError that Fn raises, as UTF-8; "" when none.
template <class F>
std::string XmlErrorOf(F Fn) {
  try {
    Fn();
  } catch (const EKelSimpleXMLError& E) {
    return UTF16ToUTF8(E.Message());
  }
  return std::string();
}

// Where the EKelSimpleXMLError that Fn raises places the fault; all -1 when
// nothing is raised.
struct TXmlErrorPlace {
  Int64 Offset = -1;
  Int64 Line = -1;
  Int64 Column = -1;
  bool operator==(const TXmlErrorPlace&) const = default;
};

inline std::ostream& operator<<(std::ostream& Out, const TXmlErrorPlace& P) {
  return Out << "offset " << P.Offset << ", line " << P.Line << ", column " << P.Column;
}

template <class F>
TXmlErrorPlace XmlErrorPlaceOf(F Fn) {
  try {
    Fn();
  } catch (const EKelSimpleXMLError& E) {
    return {E.Offset(), E.Line(), E.Column()};
  }
  return {};
}
