#pragma once
// The component through which the application handles an XML file: it owns
// one document and forwards properties, events, loads and saves to it.
#include <memory>

#include "xml/KelSimpleXml.h"

class TKelHackSimpleXML : public TKelSimpleXML {};

// The component base (vcl/) is not part of the portable layer; the
// owner is accepted for the same call shape and not used (the application
// always passes nil and frees the component itself).
class TOxSimpleXML : public TObject {
public:
  explicit TOxSimpleXML(TObject* AOwner = nullptr);
  ~TOxSimpleXML() override;
  TOxSimpleXML(const TOxSimpleXML&) = delete;
  TOxSimpleXML& operator=(const TOxSimpleXML&) = delete;

  TObject* Owner() const { return FOwner; }
  TKelSimpleXML* SimpleXML() const { return FKelSimpleXML.get(); }

  const String& FileName() const { return FKelSimpleXML->FileName(); }
  void SetFileName(const String& Value) { FKelSimpleXML->SetFileName(Value); }
  const String& IndentString() const { return FKelSimpleXML->IndentString(); }
  void SetIndentString(const String& Value) { FKelSimpleXML->SetIndentString(Value); }
  TKelSimpleXMLOptions Options() const { return FKelSimpleXML->Options(); }
  void SetOptions(TKelSimpleXMLOptions Value) { FKelSimpleXML->SetOptions(Value); }
  TKelSimpleXMLElemsProlog* Prolog() const { return FKelSimpleXML->Prolog(); }
  void SetProlog(TKelSimpleXMLElemsProlog* Value) { FKelSimpleXML->SetProlog(Value); }
  TKelSimpleXMLElemClassic* Root() const { return FKelSimpleXML->Root(); }
  void SetRoot(TKelSimpleXMLElemClassic* Value) { FKelSimpleXML->SetRoot(Value); }
  String XMLData() { return FKelSimpleXML->XMLData(); }
  void SetXMLData(const String& Value) { FKelSimpleXML->SetXMLData(Value); }

  // Events live in the document; these read and write its handlers.
  const TKelOnSimpleProgress& OnSaveProgress() const { return FKelSimpleXML->OnSaveProgress; }
  void SetOnSaveProgress(TKelOnSimpleProgress Value) { FKelSimpleXML->OnSaveProgress = std::move(Value); }
  const TKelOnSimpleProgress& OnLoadProgress() const { return FKelSimpleXML->OnLoadProgress; }
  void SetOnLoadProgress(TKelOnSimpleProgress Value) { FKelSimpleXML->OnLoadProgress = std::move(Value); }
  const TKelOnSimpleXMLParsed& OnTagParsed() const { return FKelSimpleXML->OnTagParsed; }
  void SetOnTagParsed(TKelOnSimpleXMLParsed Value) { FKelSimpleXML->OnTagParsed = std::move(Value); }
  const TKelOnValueParsed& OnValueParsed() const { return FKelSimpleXML->OnValueParsed; }
  void SetOnValueParsed(TKelOnValueParsed Value) { FKelSimpleXML->OnValueParsed = std::move(Value); }
  const TKelSimpleXMLEncodeEvent& OnEncodeValue() const { return FKelSimpleXML->OnEncodeValue; }
  void SetOnEncodeValue(TKelSimpleXMLEncodeEvent Value) { FKelSimpleXML->OnEncodeValue = std::move(Value); }
  const TKelSimpleXMLEncodeEvent& OnDecodeValue() const { return FKelSimpleXML->OnDecodeValue; }
  void SetOnDecodeValue(TKelSimpleXMLEncodeEvent Value) { FKelSimpleXML->OnDecodeValue = std::move(Value); }
  const TKelSimpleXMLEncodeStreamEvent& OnEncodeStream() const { return FKelSimpleXML->OnEncodeStream; }
  void SetOnEncodeStream(TKelSimpleXMLEncodeStreamEvent Value) { FKelSimpleXML->OnEncodeStream = std::move(Value); }
  const TKelSimpleXMLEncodeStreamEvent& OnDecodeStream() const { return FKelSimpleXML->OnDecodeStream; }
  void SetOnDecodeStream(TKelSimpleXMLEncodeStreamEvent Value) { FKelSimpleXML->OnDecodeStream = std::move(Value); }

  virtual void EncodeValue(String& Value) { FKelSimpleXML->EncodeValue(Value); }
  virtual void DecodeValue(String& Value) { FKelSimpleXML->DecodeValue(Value); }

  void LoadFromFile(const String& FileName, TKelStringEncoding Encoding = seAuto, Word CodePage = 0) {
    FKelSimpleXML->LoadFromFile(FileName, Encoding, CodePage);
  }
  void LoadFromStream(TStream* Stream, TKelStringEncoding Encoding = seAuto, Word CodePage = 0) {
    FKelSimpleXML->LoadFromStream(Stream, Encoding, CodePage);
  }
  void LoadFromString(const String& Value) { FKelSimpleXML->LoadFromString(Value); }
  void LoadFromResourceName(NativeUInt Instance, const String& ResName) {
    FKelSimpleXML->LoadFromResourceName(Instance, ResName, seAuto, 0);
  }
  void SaveToFile(const String& FileName, TKelStringEncoding Encoding = seAuto, Word CodePage = 0) {
    FKelSimpleXML->SaveToFile(FileName, Encoding, CodePage);
  }
  void SaveToStream(TStream* Stream, TKelStringEncoding Encoding = seAuto, Word CodePage = 0) {
    FKelSimpleXML->SaveToStream(Stream, Encoding, CodePage);
  }
  String SaveToString() { return FKelSimpleXML->SaveToString(); }

private:
  TObject* FOwner;  // not owned
  std::unique_ptr<TKelHackSimpleXML> FKelSimpleXML;
};
