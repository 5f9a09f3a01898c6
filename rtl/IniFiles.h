#pragma once
// INI settings files: TCustomIniFile, what settings are read and written
// through, and TMemIniFile, a whole file held in memory.
//
// TMemIniFile reads the whole file when it is constructed (a missing file
// gives an empty one), keeps sections and keys in memory in file order, and
// writes everything back with UpdateFile (creating the file). Section and
// key names compare without regard to case unless CaseSensitive. Reading the
// file: each line is trimmed; blank lines and lines starting with ';' are
// dropped (so UpdateFile does not write them back); "[name]" opens a
// section (a section named twice is one section); "key = value" is stored
// as "key=value" with both sides trimmed; a line without '=' is kept (and
// written back) but names no key; lines before the first section are
// ignored.
//
// Typed values are text: integers in decimal (ReadInteger also takes "$1F"
// and "0x1F"; any other text gives the default), Booleans "1" / "0"
// (ReadBool: any non-zero integer is true), floats and date-times with the
// given TFormatSettings or, without one, with TFormatSettings::Invariant()
// ('.' decimal separator, "MM/dd/yyyy HH:mm:ss"), so files read the same on
// every system. Text that does not convert gives the default.
#include "rtl/Encoding.h"
#include "rtl/FormatSettings.h"
#include "rtl/StringList.h"
#include "rtl/Types.h"

class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(const String& AFileName) : FFileName(AFileName) {}
  ~TCustomIniFile() override = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const String& FileName() const { return FFileName; }

  // The value of an existing key, even empty; Default when the section or
  // the key is missing.
  virtual String ReadString(const String& Section, const String& Ident, const String& Default) const = 0;
  virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;

  Integer ReadInteger(const String& Section, const String& Ident, Integer Default) const;
  void WriteInteger(const String& Section, const String& Ident, Integer Value);
  Int64 ReadInt64(const String& Section, const String& Ident, Int64 Default) const;
  void WriteInt64(const String& Section, const String& Ident, Int64 Value);
  bool ReadBool(const String& Section, const String& Ident, bool Default) const;
  void WriteBool(const String& Section, const String& Ident, bool Value);
  double ReadFloat(const String& Section, const String& Name, double Default) const;
  double ReadFloat(const String& Section, const String& Name, double Default,
                   const TFormatSettings& AFormatSettings) const;
  void WriteFloat(const String& Section, const String& Name, double Value);
  void WriteFloat(const String& Section, const String& Name, double Value, const TFormatSettings& AFormatSettings);
  TDateTime ReadDateTime(const String& Section, const String& Name, TDateTime Default) const;
  TDateTime ReadDateTime(const String& Section, const String& Name, TDateTime Default,
                         const TFormatSettings& AFormatSettings) const;
  void WriteDateTime(const String& Section, const String& Name, TDateTime Value);
  void WriteDateTime(const String& Section, const String& Name, TDateTime Value,
                     const TFormatSettings& AFormatSettings);

  // Strings is cleared, then filled: the section's key names / every section
  // name / the section's "key=value" lines.
  virtual void ReadSection(const String& Section, TStrings* Strings) const = 0;
  void ReadSection(const String& Section, TStrings& Strings) const { ReadSection(Section, &Strings); }
  virtual void ReadSections(TStrings* Strings) const = 0;
  void ReadSections(TStrings& Strings) const { ReadSections(&Strings); }
  virtual void ReadSectionValues(const String& Section, TStrings* Strings) const = 0;
  void ReadSectionValues(const String& Section, TStrings& Strings) const { ReadSectionValues(Section, &Strings); }

  virtual bool SectionExists(const String& Section) const = 0;
  virtual bool ValueExists(const String& Section, const String& Ident) const;
  virtual void EraseSection(const String& Section) = 0;
  virtual void DeleteKey(const String& Section, const String& Ident) = 0;
  virtual void UpdateFile() = 0;

protected:
  void SetFileName(const String& Value) { FFileName = Value; }

private:
  String FFileName;
};

class TMemIniFile : public TCustomIniFile {
public:
  // Loads FileName when it exists. Without an encoding the file's byte-order
  // mark decides (UTF-8, UTF-16LE/BE), else the ANSI code page; UpdateFile
  // writes back in the encoding read (or given).
  explicit TMemIniFile(const String& AFileName, TEncoding* AEncoding = nullptr);
  TMemIniFile(const String& AFileName, TEncoding* AEncoding, bool ACaseSensitive);
  // Writes the file first when AutoSave is on and something changed.
  ~TMemIniFile() override;

  String ReadString(const String& Section, const String& Ident, const String& Default) const override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  using TCustomIniFile::ReadSection;
  using TCustomIniFile::ReadSections;
  using TCustomIniFile::ReadSectionValues;
  void ReadSection(const String& Section, TStrings* Strings) const override;
  void ReadSections(TStrings* Strings) const override;
  void ReadSectionValues(const String& Section, TStrings* Strings) const override;
  // A section is there once written or read from the file, even when empty.
  bool SectionExists(const String& Section) const override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  // Writes every section: "[name]", its lines, a blank line.
  void UpdateFile() override;

  // Empties the file in memory.
  void Clear();
  // Appends the file's lines (as UpdateFile writes them) to List.
  void GetStrings(TStrings* List) const;
  // Replaces the content by the lines of List, read as a file's lines.
  void SetStrings(const TStrings* List);
  // Uses another file name from now on; with Reload, reads that file.
  void Rename(const String& AFileName, bool Reload);

  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  // The encoding UpdateFile writes with (nullptr: the ANSI code page).
  TEncoding* Encoding() const { return FEncoding.Get(); }
  void SetEncoding(TEncoding* Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool AutoSave() const { return FAutoSave; }
  void SetAutoSave(bool Value) { FAutoSave = Value; }

private:
  TStringList* FindSection(const String& Section) const;
  TStringList* AddSection(const String& Section);
  void LoadValues();

  TStringList FSections;  // names, each with its owned TStringList of lines
  THeldEncoding FEncoding;
  bool FCaseSensitive = false;
  bool FModified = false;
  bool FAutoSave = false;
};
