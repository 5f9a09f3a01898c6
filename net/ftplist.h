#pragma once
// The FTP directory-listing parser: turns the free-form lines a server sends
// for LIST into entries (name, folder flag, size, time, permissions). Each
// line is tried as an EPLF fact line, then against Masks in order; the first
// mask that matches and whose captured fields look plausible fills the entry.
// No line content makes ParseLines raise or read outside the line.
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "rtl/Types.h"

namespace ftplist_detail {
struct MaskStep;
}

class TFTPListRec : public TObject {
public:
  void Assign(const TFTPListRec& Value) { *this = Value; }

  String FileName;
  // Symbolic links count as folders.
  bool Directory = false;
  bool Readable = false;
  Int64 FileSize = 0;
  // Local time as the server printed it.
  TDateTime FileTime = 0;
  String OriginalLine;
  // The text of the mask that accepted the line, or "EPLF".
  String Mask;
  // The ten-character permission text, when the mask captured one.
  String Permission;
};

class TFTPList : public TObject {
public:
  // Fills Masks with the 37 built-in masks.
  TFTPList();
  ~TFTPList() override;
  TFTPList(const TFTPList&) = delete;
  TFTPList& operator=(const TFTPList&) = delete;

  // nullptr when Index is outside the list.
  TFTPListRec* Items(Integer Index) const { return GetListItem(Index); }

  virtual TFTPListRec* GetListItem(Integer Index) const;
  // True when Value is an EPLF line that gave an entry.
  virtual bool ParseFactsLine(const String& Value);
  virtual void ClearMatchFields();
  // Value, NextValue and Mask are bytes of the ANSI code page. Result: 0 no
  // match, 1 match, 2 match that used NextValue as well.
  virtual Integer MatchLineToMask(std::string_view Value, std::string_view NextValue,
                                  std::string_view Mask);
  // Trims the captured fields in place and tells whether they are plausible.
  virtual bool ValidateMatchFields();
  // False when the captured fields name no real date or time of day; the
  // line then gives no entry.
  virtual bool FillListRec(TFTPListRec& Value);
  // Empties List, Lines and UnparsedLines; Masks stay.
  virtual void Clear();
  virtual Integer Count() const;
  virtual void Assign(const TFTPList& Value);
  // Appends the entries of Lines to List and the lines that gave none to
  // UnparsedLines.
  virtual void ParseLines();

  std::vector<std::unique_ptr<TFTPListRec>> List;
  std::vector<String> Lines;
  std::vector<String> Masks;
  std::vector<String> UnparsedLines;

  // The local clock: "today" and "now" of the year rollback, read once per
  // ParseLines call. Defaults to the system's local time (Now).
  std::function<TDateTime()> Clock;

  // Scratch fields of the last mask attempt, as bytes of the ANSI code page.
  AnsiString Monthnames;
  AnsiString BlockSize;
  AnsiString DirFlagValue;
  AnsiString FileName;
  AnsiString VMSFileName;
  AnsiString Day;
  AnsiString Month;
  AnsiString ThreeMonth;
  AnsiString YearTime;
  AnsiString Year;
  AnsiString Hours;
  AnsiString HoursModif;
  AnsiString Minutes;
  AnsiString Seconds;
  AnsiString Size;
  AnsiString Permissions;
  AnsiString DirFlag;

private:
  struct TParseState;

  TDateTime CurrentTime() const;
  // Converts and compiles Masks when they changed since the last parse.
  void PrepareMasks();
  // Matches a compiled mask; with RejectEarly it fails as soon as a
  // complete field would fail ValidateMatchFields.
  Integer RunMask(const std::vector<ftplist_detail::MaskStep>& Steps, std::string_view Value,
                  std::string_view NextValue, bool RejectEarly);
  // The entry name the captured fields give, before trailing blanks go.
  std::string_view CapturedName() const;
  // A 36-character Monthnames value replaces the custom month-name row.
  void ApplyMonthnames();
  Integer ThreeMonthNumber();

  // Compiled masks, converted lines and caches of the running ParseLines.
  std::unique_ptr<TParseState> FState;
};
