#pragma once
// The FTP directory-listing parser: turns the free-form lines a server sends
// for LIST into entries (name, folder flag, size, time, permissions). Each
// line is tried as an EPLF fact line, then as a VMS line, then against Masks
// in order; the first mask that matches and whose captured fields hold
// together fills the entry. No line content makes ParseLines raise or read
// outside the line.
//
// Lines are parsed as the bytes the server sent, so that every entry keeps
// the exact bytes of its name (RawFileName) for the commands that name it
// again; names are shown as UTF-8 when their bytes are valid UTF-8, else in
// the system's ANSI code page (DecodeWireText).
//
// What makes captured fields hold together, beyond each field's own check:
// a name starts where a name can start (at the line's start or after a
// blank, with no blank of its own first), a line that begins with a Unix
// permission text is only taken by a mask that reads it, and a date lies in
// 1900-2100. A line that fails goes to UnparsedLines rather than becoming an
// entry cut from the middle of the line.
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
  // The name's bytes as the server listed them: what CWD, DELE and RMD send
  // back. A VMS folder's is its name without ".DIR;version".
  AnsiString RawFileName;
  // A symbolic link's target as listed ("name -> target"), bytes; empty
  // when the line shows none.
  AnsiString LinkTarget;
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
  // True when Value is an EPLF line that gave an entry (the name's bytes are
  // taken as the text's UTF-8).
  virtual bool ParseFactsLine(const String& Value);
  virtual void ClearMatchFields();
  // Value and NextValue are listing bytes (RawLines), Mask bytes of the
  // ANSI code page. Result: 0 no match, 1 match, 2 match that used
  // NextValue as well.
  virtual Integer MatchLineToMask(std::string_view Value, std::string_view NextValue, std::string_view Mask);
  // Trims the captured fields in place and tells whether they are plausible.
  virtual bool ValidateMatchFields();
  // False when the captured fields name no real date or time of day; the
  // line then gives no entry.
  virtual bool FillListRec(TFTPListRec& Value);
  // Empties List, Lines, RawLines and UnparsedLines; Masks stay. The
  // entries and line texts are kept (up to MaxSpare of each) to be filled
  // again by the next listing: a walk listing folder after folder then
  // reuses their memory instead of allocating it anew.
  virtual void Clear();
  static constexpr std::size_t MaxSpare = 8192;
  virtual Integer Count() const;
  virtual void Assign(const TFTPList& Value);
  // Appends the entries of Lines to List and the lines that gave none to
  // UnparsedLines. The bytes parsed are RawLines when it holds one entry
  // per line of Lines, else the UTF-8 of Lines (which RawLines then shows).
  virtual void ParseLines();
  // Lines and RawLines from a listing as the data connection delivered it:
  // lines end at CR LF, LF or CR; a byte-order mark selects UTF-8 or UTF-16.
  void SetListing(std::string_view Data);
  // UnparsedLines without the lines that carry no entry by nature (blank
  // lines, a Unix block count, a VMS directory header or total): the lines
  // that were not understood.
  std::vector<String> NotUnderstoodLines() const;

  std::vector<std::unique_ptr<TFTPListRec>> List;
  std::vector<String> Lines;
  // The bytes of each line of Lines: views into the listing SetListing was
  // given (or the UTF-8 of Lines), which the list keeps until the next
  // SetListing, Clear or ParseLines of other lines.
  std::vector<std::string_view> RawLines;
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
  // In a UTF-8 line, a month name is counted in characters, not bytes.
  // With StartAt above 0 the first StartAt steps are not run: their outcome
  // is the snapshot the mask run before took there (see ParseLines).
  Integer RunMask(const std::vector<ftplist_detail::MaskStep>& Steps, std::string_view Value,
                  std::string_view NextValue, bool RejectEarly, std::size_t StartAt = 0);
  // Whether Line is UTF-8 with bytes above ASCII (asked once per line).
  bool LineUtf8(std::string_view Line);
  // EPLF from bytes; Text is the line's text for OriginalLine.
  bool ParseFacts(std::string_view Value, const String& Text);
  // A VMS entry starting at Value (its name alone may wrap onto NextValue):
  // the lines it used (1 or 2), 0 when it is none.
  std::size_t ParseVMS(std::string_view Value, std::string_view NextValue, const String& Text);
  // The entry name the captured fields give, before trailing blanks go.
  std::string_view CapturedName() const;
  // The name's bytes and text, and a link's target, into Value; Captured
  // is the length of CapturedName before its trailing blanks went.
  void FillName(TFTPListRec& Value, std::string_view Name, std::size_t Captured) const;
  // A 36-character Monthnames value replaces the custom month-name row.
  void ApplyMonthnames();
  Integer ThreeMonthNumber();

  // Compiled masks, converted lines and caches of the running ParseLines.
  std::unique_ptr<TParseState> FState;
  // The bytes RawLines look into.
  AnsiString FRawListing;
  // RawLines as views into FRawListing, from Lines' UTF-8.
  void RawLinesFromLines();

  // Entries and line texts of earlier listings (see Clear).
  std::vector<std::unique_ptr<TFTPListRec>> FSpareRecs;
  std::vector<String> FSpareLines;
  // An empty entry, a kept one when there is one.
  std::unique_ptr<TFTPListRec> NewRec();
  void KeepSpare(std::unique_ptr<TFTPListRec> Rec);
  // Empties Lines, keeping its texts.
  void KeepSpareLines();
};
