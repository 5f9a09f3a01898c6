#pragma once
// Writes JSON text token by token and refuses every sequence of calls that
// would not give one well-formed document whose root is an object or an
// array. The text is collected in memory and handed to the target stream in
// one piece, and only when the document is complete: a writer abandoned
// half-way (an exception) leaves the target untouched. Close delivers it
// and reports a failing target; otherwise destruction delivers it. Names and
// strings are escaped to 7-bit text; numbers never depend on the locale.
#include <string>

#include "chart/widgets/VivIzudeJSONReader.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

class TVivIzudeJSONStreamWriter : public TObject {
public:
  explicit TVivIzudeJSONStreamWriter(TStream* AStream) : FStream(AStream) {}
  void Write(const String& Value);
  void WriteAscii(const char* Value, std::size_t Length) { FText.append(Value, Length); }
  void WriteAscii(const std::string& Value) { FText += Value; }
  // Copies the text to the target at its position, once.
  void Deliver();
  bool Delivered() const { return FDelivered; }

private:
  TStream* FStream;
  std::string FText;
  bool FDelivered = false;
};

class TVivIzudeJSONWriter : public TObject {
public:
  QUORVEL_DECLARE_EXCEPTION(ECannotWriteName, Exception);
  QUORVEL_DECLARE_EXCEPTION(EMultipleRootNotAllowed, Exception);
  QUORVEL_DECLARE_EXCEPTION(EObjectOrArrayExpected, Exception);
  QUORVEL_DECLARE_EXCEPTION(EInvalidNesting, Exception);
  QUORVEL_DECLARE_EXCEPTION(EMissingValue, Exception);
  QUORVEL_DECLARE_EXCEPTION(ETooManyDepthLevels, Exception);
  QUORVEL_DECLARE_EXCEPTION(EEmptyJson, Exception);
  QUORVEL_DECLARE_EXCEPTION(EEmptyName, Exception);

  explicit TVivIzudeJSONWriter(TStream* AStream);
  ~TVivIzudeJSONWriter() override;
  TVivIzudeJSONWriter(const TVivIzudeJSONWriter&) = delete;
  TVivIzudeJSONWriter& operator=(const TVivIzudeJSONWriter&) = delete;

  Integer IndentLength() const { return static_cast<Integer>(FIndent.size()); }
  void SetIndentLength(Integer Value);

  TVivIzudeJSONWriter& WriteBeginObject();
  TVivIzudeJSONWriter& WriteBeginArray();
  TVivIzudeJSONWriter& WriteEndObject();
  TVivIzudeJSONWriter& WriteEndArray();
  TVivIzudeJSONWriter& WriteName(const String& Name);
  TVivIzudeJSONWriter& WriteString(const String& Value);
  TVivIzudeJSONWriter& WriteRawString(const String& Value);
  TVivIzudeJSONWriter& WriteBoolean(bool Value);
  TVivIzudeJSONWriter& WriteNull();
  TVivIzudeJSONWriter& WriteDouble(double Value);
  TVivIzudeJSONWriter& WriteInteger(Int64 Value);
  void Close();

  // The general form with at most 15 significant digits: "0.1", "1E20",
  // "1.5E-7"; always with "." as the decimal point.
  static std::string FormatDouble(double Value);
  // Quote, backslash, every control character and every code unit of 128
  // and above become \uXXXX; the rest is written as it is.
  static std::string EscapeString(const String& Value);

private:
  TVivIzudeJSONStreamWriter* FWriter;
  Byte FStack[VivIzudeJSONScope::MaxDepth];
  Integer FStackSize = 0;
  std::string FIndent;
  const char* FSeparator = ":";
  String FDeferredName;

  bool Complete() const;
  Byte& Top();
  void Push(Byte Scope);
  void WriteLineBreak();
  void BeforeName();
  void WriteDeferredName();
  void BeforeValue(bool Opening);
  TVivIzudeJSONWriter& Open(Byte Scope, char Bracket);
  TVivIzudeJSONWriter& CloseScope(Byte Empty, Byte Filled, char Bracket);
  TVivIzudeJSONWriter& Scalar(const std::string& Text);
};
