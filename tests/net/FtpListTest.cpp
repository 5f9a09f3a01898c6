#include "net/ftplist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "net/netutil.h"
#include "rtl/DateUtils.h"
#include "rtl/Unicode.h"

namespace {

const std::array<String, 12> kEnglishMonths = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                               u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

TDateTime At(Word y, Word mo, Word d, Word h = 0, Word mi = 0, Word s = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

constexpr int kVms = 100;

class FtpListTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetSystemShortMonthNames(kEnglishMonths);
    SetNow(At(2024, 6, 15, 12, 0, 0));
  }
  // The month rows are process-wide: leave them as the next test expects.
  void TearDown() override { SetSystemShortMonthNames(kEnglishMonths); }

  void SetNow(TDateTime now) {
    list.Clock = [now] { return now; };
  }

  void Parse(const std::vector<std::string>& lines) {
    list.Clear();
    for (const auto& line : lines) list.Lines.push_back(UTF8ToUTF16(line));
    list.ParseLines();
  }

  // 1-based number of the built-in mask that made the entry, 0 for EPLF,
  // kVms for the VMS reader.
  int MaskNumber(const TFTPListRec& rec) const {
    if (rec.Mask == u"EPLF") return 0;
    if (rec.Mask == u"VMS") return kVms;
    for (std::size_t i = 0; i < list.Masks.size(); ++i) {
      if (list.Masks[i] == rec.Mask) return static_cast<int>(i) + 1;
    }
    return -1;
  }

  TFTPList list;
};

TEST_F(FtpListTest, ThirtySevenBuiltInMasksWithTheirLengths) {
  // Every blank of a mask counts: a lost one moves every field after it.
  const std::vector<std::size_t> lengths = {41, 41, 33, 33, 32, 31, 33, 23, 23, 25, 25, 25, 25, 22, 21, 39, 25, 25, 25,
                                            25, 36, 32, 30, 24, 43, 42, 34, 74, 77, 55, 61, 53, 59, 39, 39, 56, 56};
  ASSERT_EQ(list.Masks.size(), lengths.size());
  for (std::size_t i = 0; i < lengths.size(); ++i) EXPECT_EQ(list.Masks[i].size(), lengths[i]) << "mask " << i + 1;
  EXPECT_EQ(list.Masks[0], u"pppppppppp $!!!S*$TTT$DD$hh mm ss$YYYY$n*");
  EXPECT_EQ(list.Masks[28].substr(0, 4), u"n*\\x");
  EXPECT_EQ(list.Masks[36], u"  d" + String(51, u' ') + u"n*");
}

struct ListingCase {
  const char* what;
  std::vector<std::string> lines;
  int mask;  // 0: EPLF
  const char* name;
  Int64 size;
  bool directory;
  bool readable;
  TDateTime time;
  const char* permission;
};

// "Now" is 2024-06-15 12:00 for every case.
std::vector<ListingCase> ListingCases() {
  const TDateTime thisYearJan14 = At(2024, 1, 14, 10, 30);
  return {
      // Unix ls -l, with permission text, link count, owner and group.
      {"unix time with seconds and year",
       {"-rw-r--r--   1 owner    group         100 Jan 14 10:30:45 2021 fulltime"},
       1,
       "fulltime",
       100,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       "-rw-r--r--"},
      {"unix day before month, seconds and year",
       {"-rw-r--r--   1 owner    group         100 14 Jan 10:30:45 2021 fulltime2"},
       2,
       "fulltime2",
       100,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       "-rw-r--r--"},
      {"unix folder, time of this year",
       {"drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs"},
       3,
       "docs",
       4096,
       true,
       false,
       thisYearJan14,
       "drwxr-xr-x"},
      {"unix file with a year and a blank in its name",
       {"-rw-r--r--   1 owner    group     1234567 Mar  5  2019 file name.txt"},
       3,
       "file name.txt",
       1234567,
       false,
       true,
       At(2019, 3, 5),
       "-rw-r--r--"},
      {"unix file not readable by its owner",
       {"--w-------   1 owner    group          12 Jan 14 10:30 secret"},
       3,
       "secret",
       12,
       false,
       false,
       thisYearJan14,
       "--w-------"},
      {"unix symbolic link counts as a folder",
       {"lrwxrwxrwx   1 owner    group           9 Jan 14 10:30 docs -> /var/docs"},
       3,
       "docs",
       9,
       true,
       true,
       thisYearJan14,
       "lrwxrwxrwx"},
      {"unix day before month",
       {"-rw-r--r--   1 owner    group         100 14 Jan 10:30 daymonth"},
       4,
       "daymonth",
       100,
       false,
       true,
       thisYearJan14,
       "-rw-r--r--"},
      {"unix without group",
       {"-rw-r--r--   1 owner         100 Jan 14 10:30 nogroup"},
       5,
       "nogroup",
       100,
       false,
       true,
       thisYearJan14,
       "-rw-r--r--"},
      {"unix owner only",
       {"-rw-r--r-- owner        100 Jan 14 10:30 ownly"},
       6,
       "ownly",
       100,
       false,
       true,
       thisYearJan14,
       "-rw-r--r--"},
      // Bracketed rights (NetWare).
      {"bracketed rights folder",
       {"d [RWCEAFMS] admin                512 Apr 15 10:12 DOCS"},
       7,
       "DOCS",
       512,
       true,
       false,
       At(2024, 4, 15, 10, 12),
       ""},
      {"bracketed rights file",
       {"- [RWCEAFMS] admin               2048 Apr 15 10:12 FILE.TXT"},
       7,
       "FILE.TXT",
       2048,
       false,
       true,
       At(2024, 4, 15, 10, 12),
       ""},
      // DOS and Windows (IIS) listings.
      {"windows file, 2-digit year, 12:05AM",
       {"01-14-21  12:05AM                 1234 file.txt"},
       8,
       "file.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 0, 5),
       ""},
      {"windows file, 12:05PM",
       {"01-14-21  12:05PM                 1234 file2.txt"},
       8,
       "file2.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 12, 5),
       ""},
      {"windows file, 01:00PM",
       {"01-14-21  01:00PM                 1234 file3.txt"},
       8,
       "file3.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 13, 0),
       ""},
      {"windows two-digit year 50 is 2050",
       {"01-14-50  10:30AM                 1234 y50"},
       8,
       "y50",
       1234,
       false,
       true,
       At(2050, 1, 14, 10, 30),
       ""},
      {"windows two-digit year 51 is 1951",
       {"01-14-51  10:30AM                 1234 y51"},
       8,
       "y51",
       1234,
       false,
       true,
       At(1951, 1, 14, 10, 30),
       ""},
      {"windows folder, 2-digit year",
       {"01-14-21  10:30AM       <DIR>          folder"},
       9,
       "folder",
       0,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"windows file, 4-digit year, PM",
       {"01-14-2021  10:30PM                 1234 file4.txt"},
       10,
       "file4.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 22, 30),
       ""},
      {"windows folder, 4-digit year",
       {"01-14-2021  10:30AM       <DIR>          folder4"},
       11,
       "folder4",
       0,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"windows day first, file",
       {"14-01-2021  10:30AM                 1234 file5.txt"},
       12,
       "file5.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30),
       ""},
      {"windows day first, folder",
       {"14-01-2021  10:30AM       <DIR>          folder5"},
       13,
       "folder5",
       0,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      // VMS: sizes in 512-byte blocks, a folder is NAME.DIR;1.
      {"vms file",
       {"DATA.TXT;1   1  4-JAN-2021 10:30"},
       kVms,
       "DATA.TXT;1",
       512,
       false,
       true,
       At(2021, 1, 4, 10, 30),
       ""},
      {"vms folder",
       {"DOCS.DIR;1          1/3          14-JAN-2021 10:30:00  [GROUP,OWNER]   (RWE,RWE,RE,RE)"},
       kVms,
       "DOCS",
       512,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      // The other layouts, each written as its mask describes it.
      {"mask 16",
       {"report.txt  " + std::string(16, 'X') + " 2021/01/14 10:30  1234"},
       16,
       "report.txt",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 17",
       {"A 1234 01-14-21 10:30:45 X name17"},
       17,
       "name17",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 18",
       {"A 1234 14-01-21 10:30:45 X name18"},
       18,
       "name18",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 19",
       {"name19 1234 01-14-21 10:30:45 D"},
       19,
       "name19",
       1234,
       true,
       false,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 20",
       {"name20 1234 14-01-21 10:30:45 F"},
       20,
       "name20",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 21",
       {"1234    Jan 14 2021  10:30:45 name21 <D"},
       21,
       "name21",
       1234,
       true,
       false,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 22",
       {"1234    Jan 14 2021  10:30:45 name22"},
       22,
       "name22",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 23",
       {"D    1234 Jan 14 2021  10:30 name23"},
       23,
       "name23",
       1234,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 24, no year: this year",
       {"-    1234 Jan 14 10:30 name24"},
       24,
       "name24",
       1234,
       false,
       true,
       thisYearJan14,
       ""},
      {"mask 25, DOS 8.3 file",
       {"README   TXT" + Blanks(3) + Blanks(7) + "1234 01-14-21  10:30p"},
       25,
       "README.TXT",
       1234,
       false,
       true,
       At(2021, 1, 14, 22, 30),
       ""},
      {"mask 25, DOS folder keeps the dot of its empty extension",
       {"SUBDIR" + Blanks(8) + "D" + Blanks(11) + " 01-14-21  10:30a"},
       25,
       "SUBDIR.",
       0,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 26, year above 31",
       {"-   12345" + Blanks(12) + "99-01-14 10:30:45  name26"},
       26,
       "name26",
       12345,
       false,
       true,
       At(1999, 1, 14, 10, 30, 45),
       ""},
      {"mask 27, a blank flag marks a folder",
       {"-  X 12345  21-01-14 10:30:45  name27"},
       27,
       "name27",
       12345,
       true,
       false,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 27, file",
       {"- FX 12345  21-01-14 10:30:45  name27f"},
       27,
       "name27f",
       12345,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 28",
       {"longname28" + Blanks(23) + Blanks(15) + "     1234 01-14-2021 10:30"},
       28,
       "longname28",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 29 joins the next line",
       {"name29 ", Blanks(48) + "     1234 01-14-2021 10:30"},
       29,
       "name29",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 30",
       {"-" + Blanks(5) + "        1234" + Blanks(11) + "D   01-14-2021   10:30  name30"},
       30,
       "name30",
       1234,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 31",
       {"-" + Blanks(9) + "21-01-14 1030 D" + Blanks(24) + "     1234 name31"},
       31,
       "name31",
       1234,
       true,
       false,
       At(2021, 1, 14, 10, 30),
       ""},
      {"mask 32",
       {"NAME32  " + Blanks(19) + "   1234 14 Jan 21 10.30.45"},
       32,
       "NAME32",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 33, flag O marks a folder",
       {"-" + Blanks(13) + "2021-01-14" + Blanks(21) + " 1234   OX name33"},
       33,
       "name33",
       1234,
       true,
       false,
       At(2021, 1, 14),
       ""},
      {"mask 34",
       {"AB CD EF GHIJ  1234 01-14-21 10:30:45  W name34"},
       34,
       "name34",
       1234,
       false,
       true,
       At(2021, 1, 14, 10, 30, 45),
       ""},
      {"mask 35",
       {"D" + std::string(12, 'Y') + "  1234 01-14-21" + Blanks(11) + "W name35"},
       35,
       "name35",
       1234,
       true,
       false,
       At(2021, 1, 14),
       ""},
      {"mask 36", {Blanks(41) + "Jan 14  2021 name36"}, 36, "name36", 0, false, true, At(2021, 1, 14), ""},
      {"mask 37, no date: today", {"  D" + Blanks(51) + "name37"}, 37, "name37", 0, true, false, At(2024, 6, 15), ""},
      // EPLF.
      {"eplf file",
       {"+i8388621.48594,m825718503,r,s280,\tdjb.html"},
       0,
       "djb.html",
       280,
       false,
       true,
       At(1996, 3, 1, 22, 15, 3),
       ""},
      {"eplf folder",
       {"+i8388621.50690,m824255907,/,\t514"},
       0,
       "514",
       0,
       true,
       false,
       At(1996, 2, 13, 23, 58, 27),
       ""},
      {"eplf without a tab: the whole text is the name", {"+r,s12"}, 0, "r,s12", 12, false, true, 0, ""},
  };
}

TEST_F(FtpListTest, EveryMaskAndListingStyle) {
  for (const ListingCase& c : ListingCases()) {
    SCOPED_TRACE(c.what);
    Parse(c.lines);
    ASSERT_EQ(list.Count(), 1) << (list.UnparsedLines.empty() ? "" : UTF16ToUTF8(list.UnparsedLines[0]));
    EXPECT_TRUE(list.UnparsedLines.empty());
    const TFTPListRec& rec = *list.Items(0);
    EXPECT_EQ(MaskNumber(rec), c.mask);
    EXPECT_EQ(rec.FileName, UTF8ToUTF16(c.name));
    EXPECT_EQ(rec.FileSize, c.size);
    EXPECT_EQ(rec.Directory, c.directory);
    EXPECT_EQ(rec.Readable, c.readable);
    EXPECT_DOUBLE_EQ(rec.FileTime, c.time);
    EXPECT_EQ(rec.Permission, UTF8ToUTF16(c.permission));
    EXPECT_EQ(rec.OriginalLine, UTF8ToUTF16(c.lines[0]));
    EXPECT_EQ(rec.RawFileName, UTF16ToUTF8(rec.FileName));
  }
}

// An earlier mask that accepts a line wins even when a later one describes
// the layout better; these outcomes are part of the parser's behaviour.
TEST_F(FtpListTest, EarlierMasksShadowLaterOnes) {
  // Mask 26's layout with a year of 31 or less reads as day-month-year.
  Parse({"-   12345" + Blanks(12) + "21-01-14 10:30:45  name26"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(MaskNumber(*list.Items(0)), 18);
  EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(2014, 1, 21, 10, 30, 45));

  // Mask 32's layout with a colon time: mask 7 would cut a name from the
  // middle of the time; mask 32 reads it right.
  Parse({"NAME32  " + Blanks(19) + "   1234 14 Jan 21 10:30:45"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(MaskNumber(*list.Items(0)), 32);
  EXPECT_EQ(list.Items(0)->FileName, u"NAME32");

  // Mask 34's layout with a one-word prefix is taken by mask 17.
  Parse({"XXXXXXXXXXXXX  1234 01-14-21 10:30:45  W name34"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(MaskNumber(*list.Items(0)), 17);
  EXPECT_EQ(list.Items(0)->FileName, u"W name34");

  // The blank skip before the name eats the blank of " -> ".
  Parse({"-rw-r--r--   1 o g 5 Jan 14 10:30  -> x"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"-> x");

  // A month name no row holds fails the Unix masks; the catch-all mask 37
  // would take a blank-led name from the line's 57th character: the line
  // is not understood instead.
  Parse({"-rw-r--r--   1 owner    group         100 Bře 14 10:30 cz"});
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.UnparsedLines.size(), 1u);

  // A Unix block count is never an entry, even with one digit, which a mask
  // ending in "*" would otherwise take as a file named "total"; a real file
  // line whose name is "total" still is one.
  Parse({"total 7", "total 12", "  total 0  ", "-rw-r--r--   1 owner    group         100 Jan 14 10:30 total"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"total");
  EXPECT_EQ(list.Items(0)->FileSize, 100);
  EXPECT_EQ(list.UnparsedLines, (std::vector<String>{u"total 7", u"total 12", u"  total 0  "}));

  // Without the blank after the name, mask 29 cannot join the next line,
  // which is then tried on its own: the catch-all would cut "4 01-14-2021
  // 10:30" from the middle of its size, so neither line is an entry.
  Parse({"name29", Blanks(48) + "     1234 01-14-2021 10:30"});
  EXPECT_EQ(list.Count(), 0);
  ASSERT_EQ(list.UnparsedLines.size(), 2u);
  EXPECT_EQ(list.UnparsedLines[0], u"name29");
}

// Lines of layouts no mask describes are not understood, rather than made
// into 0-byte files named after a piece of the line (which, for a folder,
// would lose its whole subtree from the totals). The catch-all mask still
// takes its own layout.
TEST_F(FtpListTest, LayoutsNoMaskDescribesAreNotUnderstoodRatherThanMisread) {
  const char* const lines[] = {
      // ls -l --time-style=long-iso and full-iso
      "drwxr-xr-x   2 user     group        4096 2021-03-04 05:06 folder name",
      "-rw-r--r--   1 user     group    12345678 2021-03-04 05:06:07.123456789 +0100 full iso.txt",
      // a numeric owner and a month name no row holds, long enough for the catch-all
      "drwxr-xr-x   5 1000      1000         4096 Bře  4  2021 some folder",
      // prose that reaches the catch-all's column
      "This server lists your files in a layout that nobody has seen before, sorry",
      // the catch-all's layout with text where it expects blanks
      "  D     some text in the middle of the line that goes on      name37",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    Parse({line});
    EXPECT_EQ(list.Count(), 0) << UTF16ToUTF8(list.Count() ? list.Items(0)->FileName : String());
    EXPECT_EQ(list.NotUnderstoodLines(), std::vector<String>{UTF8ToUTF16(line)});
  }
  Parse({"  D" + Blanks(51) + "name37", "   " + Blanks(51) + "file37"});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(MaskNumber(*list.Items(0)), 37);
  EXPECT_TRUE(list.Items(0)->Directory);
  EXPECT_EQ(list.Items(1)->FileName, u"file37");
}

// VMS listings as MultiNet, TCPware and UCX servers print them: sizes in
// 512-byte blocks (used, or used/allocated), a day of one or two digits, a
// long name alone on its line with the rest on the next, and NAME.DIR;1 for
// a folder, which is entered and removed as NAME.
TEST_F(FtpListTest, VmsListings) {
  Parse({
      "Directory DKA100:[USERS.ALICE]",
      "",
      "LOGIN.COM;3            5/6       4-MAR-2021 09:15:02.31  [ALICE]  (RWED,RWED,RE,)",
      "MAIL.DIR;1             2/3      14-JAN-2021 10:30:00.00  [ALICE]  (RWE,RWE,RE,E)",
      "A_VERY_LONG_FILE_NAME_THAT_DOES_NOT_FIT.DATA;12",
      "                    1200/1206   31-DEC-2020 23:59:59.99  [ALICE]  (RWED,RWED,,)",
      "NOTES.TXT;1           14-JAN-2021 10:30",
      "report.lis;2          7  9-Feb-21 8:05",
      "",
      "Total of 5 files, 1214/1221 blocks.",
  });
  ASSERT_EQ(list.Count(), 5);
  const struct {
    const char16_t* name;
    const char* raw;
    bool directory;
    Int64 size;
    TDateTime time;
  } expected[] = {
      {u"LOGIN.COM;3", "LOGIN.COM;3", false, 5 * 512, At(2021, 3, 4, 9, 15, 2)},
      {u"MAIL", "MAIL", true, 2 * 512, At(2021, 1, 14, 10, 30)},
      {u"A_VERY_LONG_FILE_NAME_THAT_DOES_NOT_FIT.DATA;12", "A_VERY_LONG_FILE_NAME_THAT_DOES_NOT_FIT.DATA;12", false,
       1200 * 512, At(2020, 12, 31, 23, 59, 59)},
      {u"NOTES.TXT;1", "NOTES.TXT;1", false, 0, At(2021, 1, 14, 10, 30)},
      {u"report.lis;2", "report.lis;2", false, 7 * 512, At(2021, 2, 9, 8, 5)},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const TFTPListRec& rec = *list.Items(static_cast<Integer>(i));
    EXPECT_EQ(rec.FileName, expected[i].name);
    EXPECT_EQ(rec.RawFileName, expected[i].raw);
    EXPECT_EQ(rec.Directory, expected[i].directory);
    EXPECT_EQ(rec.FileSize, expected[i].size);
    EXPECT_DOUBLE_EQ(rec.FileTime, expected[i].time);
    EXPECT_EQ(MaskNumber(rec), kVms);
  }
  // Header, blank lines and the total carry no entry and are not reported.
  EXPECT_EQ(list.UnparsedLines.size(), 4u);
  EXPECT_TRUE(list.NotUnderstoodLines().empty());

  // Errors and names without a version are not entries.
  Parse({"%RMS-E-FNF, file not found", "NOVERSION.TXT    5/6   4-MAR-2021 09:15", "BAD.TXT;1  5/6  4-XYZ-2021 09:15",
         "WRAPPED.TXT;1", "NOT-INDENTED 5/6 4-MAR-2021 09:15"});
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.NotUnderstoodLines().size(), 5u);
}

// Names, month names and whole lines in UTF-8 are read as UTF-8; bytes that
// are not UTF-8 as the ANSI code page. Either way the entry keeps the exact
// bytes the server listed.
TEST_F(FtpListTest, Utf8AndCodePageNamesKeepTheirBytes) {
  list.SetListing(
      "-rw-r--r--   1 owner    group         100 Jan 14 10:30 caf\xC3\xA9 cr\xC3\xA8me.txt\r\n"
      "-rw-r--r--   1 owner    group         200 M\xC3\xA4r 14 10:30 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n"
      "drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 Gr\xF6\xDF"
      "e\r\n"
      "-rw-r--r--   1 owner    group         300 f\xC3\xA9v 14 10:30 fevrier\r\n"
      "lrwxrwxrwx   1 owner    group           9 Jan 14 10:30 lien -> ../\xC3\xA9t\xC3\xA9\r\n");
  list.ParseLines();
  ASSERT_EQ(list.Count(), 5) << (list.UnparsedLines.empty() ? "" : UTF16ToUTF8(list.UnparsedLines[0]));
  EXPECT_EQ(list.Items(0)->FileName, UTF8ToUTF16("café crème.txt"));
  EXPECT_EQ(list.Items(0)->RawFileName, "caf\xC3\xA9 cr\xC3\xA8me.txt");
  EXPECT_EQ(list.Items(1)->FileName, UTF8ToUTF16("日本語"));
  EXPECT_DOUBLE_EQ(list.Items(1)->FileTime, At(2024, 3, 14, 10, 30));
  // Latin-1 bytes are no UTF-8: the code page reads them.
  EXPECT_EQ(list.Items(2)->FileName, UTF8ToUTF16("Größe"));
  EXPECT_EQ(list.Items(2)->RawFileName,
            "Gr\xF6\xDF"
            "e");
  EXPECT_DOUBLE_EQ(list.Items(3)->FileTime, At(2024, 2, 14, 10, 30));
  EXPECT_EQ(list.Items(4)->FileName, u"lien");
  EXPECT_EQ(list.Items(4)->LinkTarget, "../\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(list.Items(0)->LinkTarget, "");
  EXPECT_EQ(list.Lines[0], UTF8ToUTF16("-rw-r--r--   1 owner    group         100 Jan 14 10:30 café crème.txt"));
  EXPECT_EQ(list.Items(0)->OriginalLine, list.Lines[0]);
}

TEST_F(FtpListTest, SetListingSplitsLinesAndReadsByteOrderMarks) {
  list.SetListing("a\r\nb\nc\rd\r\n\r\ne");
  EXPECT_EQ(list.Lines, (std::vector<String>{u"a", u"b", u"c", u"d", u"", u"e"}));
  EXPECT_EQ(list.RawLines, (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
  list.SetListing("\xEF\xBB\xBFx\xC3\xA9\r\n");
  EXPECT_EQ(list.Lines, std::vector<String>{UTF8ToUTF16("xé")});
  list.SetListing(std::string("\xFF\xFEx\0\xE9\0\r\0\n\0y\0", 12));
  EXPECT_EQ(list.Lines, (std::vector<String>{UTF8ToUTF16("xé"), u"y"}));
  EXPECT_EQ(list.RawLines[0], "x\xC3\xA9");
  list.SetListing("");
  EXPECT_TRUE(list.Lines.empty());
}

TEST_F(FtpListTest, EplfSizesThatAreNoCountAreNotUnderstood) {
  // A negative or malformed size must not be counted as a 0-byte file: the
  // line is reported as not understood, so the scan says its totals are short.
  Parse({"+i1.2,m825718503,r,s-80,\ta.txt", "+r,s12k,\tb.txt", "+r,s,\tc.txt", "+r,s280,\td.txt"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"d.txt");
  EXPECT_EQ(list.Items(0)->FileSize, 280);
  EXPECT_EQ(list.UnparsedLines.size(), 3u);
}

TEST_F(FtpListTest, DotEntriesAreDroppedAndNotUnparsed) {
  Parse({"drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 .",
         "drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 ..",
         "drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 ...", "01-14-21  10:30AM       <DIR>          .",
         "+/,\t.", "+/,\t.."});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"...");
  // The EPLF dot folders are not EPLF entries; no mask takes them either.
  ASSERT_EQ(list.UnparsedLines.size(), 2u);
  EXPECT_EQ(list.UnparsedLines[0], u"+/,\t.");
  EXPECT_EQ(list.UnparsedLines[1], u"+/,\t..");

  // A file (not a folder) named "." stays.
  Parse({"-rw-r--r--   1 owner    group           1 Jan 14 10:30 ."});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u".");
}

TEST_F(FtpListTest, LinesNoMaskAcceptsAreUnparsedInOrder) {
  Parse({"total 12", "", "drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs", "header text here",
         "-rw-r--r--   1 o g 5 Jan 14 10:30 what?.txt", "-rw-r--r--   1 o g 5 Jan 14 10:30    ", "+i1,r,\t",
         "+/,\t   "});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"docs");
  const std::vector<String> expected = {u"total 12",
                                        u"",
                                        u"header text here",
                                        u"-rw-r--r--   1 o g 5 Jan 14 10:30 what?.txt",
                                        u"-rw-r--r--   1 o g 5 Jan 14 10:30    ",
                                        u"+i1,r,\t",
                                        u"+/,\t   "};
  EXPECT_EQ(list.UnparsedLines, expected);
}

TEST_F(FtpListTest, TimeWithoutYearRollsBackWhenStillToCome) {
  // Now is 2024-06-15 12:00.
  Parse({"-rw-r--r--   1 owner    group         100 Jul 20 13:00 future",
         "-rw-r--r--   1 owner    group         100 Jun 15 12:00 now",
         "-rw-r--r--   1 owner    group         100 Jun 15 12:01 later",
         "-rw-r--r--   1 owner    group         100 Feb 29 10:30 leap"});
  ASSERT_EQ(list.Count(), 4);
  EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(2023, 7, 20, 13, 0));
  EXPECT_DOUBLE_EQ(list.Items(1)->FileTime, At(2024, 6, 15, 12, 0));
  EXPECT_DOUBLE_EQ(list.Items(2)->FileTime, At(2023, 6, 15, 12, 1));
  EXPECT_DOUBLE_EQ(list.Items(3)->FileTime, At(2024, 2, 29, 10, 30));

  // On 2024-01-10 the 29th of February is still to come: 2023 has none.
  SetNow(At(2024, 1, 10, 8, 0));
  Parse({"-rw-r--r--   1 owner    group         100 Feb 29 10:30 leap"});
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.UnparsedLines.size(), 1u);

  // In 2025 a 29th of February without a year names no day.
  SetNow(At(2025, 1, 10, 8, 0));
  Parse({"-rw-r--r--   1 owner    group         100 Feb 29 10:30 leap"});
  EXPECT_EQ(list.Count(), 0);

  // New Year: December's times belong to the year before.
  SetNow(At(2025, 1, 1, 0, 30));
  Parse({"-rw-r--r--   1 owner    group         100 Dec 31 23:59 eve",
         "-rw-r--r--   1 owner    group         100 Jan  1 00:15 first"});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(2024, 12, 31, 23, 59));
  EXPECT_DOUBLE_EQ(list.Items(1)->FileTime, At(2025, 1, 1, 0, 15));
}

TEST_F(FtpListTest, FieldsThatNameNoRealMomentGiveNoEntry) {
  // A year of three digits ("105", years since 1900 from an old server)
  // names no plausible date either.
  Parse({"A 1234 01-14-21 24:00:00 X hour24", "04-31-21  10:30AM                 1234 april31",
         "01-14-21  13:00PM                 1234 pm13", "02-29-23  10:30AM                 1234 feb29",
         "01-14- 105  10:30AM                 1234 y105", "01-14-21  10:30AM                 1234 fine"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"fine");
  EXPECT_EQ(list.UnparsedLines.size(), 5u);
}

TEST_F(FtpListTest, MonthNamesOfEveryRowIgnoringCase) {
  const std::vector<std::pair<std::string, Word>> months = {
      {"Jan", 1},  {"JAN", 1},  {"jan", 1}, {"fév", 2}, {"FÉV", 2}, {"fev", 2}, {"Mär", 3},
      {"Okt", 10}, {"dez", 12}, {"Mai", 5}, {"aoû", 8}, {"Bøe", 3}, {"Záø", 9}, {"Èen", 6}};
  for (const auto& [name, month] : months) {
    SCOPED_TRACE(name);
    Parse({"-rw-r--r--   1 owner    group         100 " + name + " 14 10:30 file"});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(MaskNumber(*list.Items(0)), 3);
    // Now is June 15: later months are last year's.
    EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(month > 6 ? 2023 : 2024, month, 14, 10, 30));
  }
}

TEST_F(FtpListTest, SystemMonthNamesAreInjected) {
  // Unknown to every row: the Unix masks fail, and no other mask reads a
  // Unix line.
  Parse({"-rw-r--r--   1 owner    group         100 sty 14 10:30 file"});
  EXPECT_EQ(list.Count(), 0);

  SetSystemShortMonthNames(
      {u"sty", u"lut", u"mar", u"kwi", u"maj", u"cze", u"lip", u"sie", u"wrz", u"pa\u017A", u"lis", u"gru"});
  Parse({"-rw-r--r--   1 owner    group         100 STY 14 10:30 file"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(2024, 1, 14, 10, 30));
}

TEST_F(FtpListTest, MaskValuesSetMonthNamesBlockSizeAndFolderFlag) {
  // T=: the 36 characters after "=" become the custom month row, for every
  // list of the process.
  list.Masks = {u"TTT=GenFebMarAprMagGiuLugAgoSetOttNovDicDD n*"};
  Parse({"Ago 14 agosto"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileName, u"agosto");
  EXPECT_DOUBLE_EQ(list.Items(0)->FileTime, At(2024, 8, 14));
  EXPECT_EQ(MonthNumberFromName(u"GIU"), 6);
  TFTPList other;
  other.Clock = list.Clock;
  other.Masks = {u"TTT DD n*"};
  other.Lines = {u"Dic 14 dicembre"};
  other.ParseLines();
  ASSERT_EQ(other.Count(), 1);
  EXPECT_DOUBLE_EQ(other.Items(0)->FileTime, At(2024, 12, 14));

  // S=: the digits after "=" are the block size.
  list.Masks = {u"SS=512 n*"};
  Parse({"12x blocks"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->FileSize, 12 * 512);

  // d=: the character after "=" is the folder flag, compared ignoring case.
  list.Masks = {u"d=x n*"};
  Parse({"X- folder", "y- file"});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Items(0)->Directory);
  EXPECT_FALSE(list.Items(1)->Directory);
}

TEST_F(FtpListTest, MaskLanguageSteps) {
  // A used-up line fails the mask, except at "*".
  EXPECT_EQ(list.MatchLineToMask("abc", "", "nnnn"), 0);
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("abc", "", "nnn*S"), 1);
  EXPECT_EQ(list.FileName, "abc");
  EXPECT_EQ(list.MatchLineToMask("", "", "n*"), 0);
  EXPECT_EQ(list.MatchLineToMask("abc", "", ""), 0);
  // Left-over line characters do not matter.
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("abcdef", "", "nn"), 1);
  EXPECT_EQ(list.FileName, "ab");

  // "!" skips a word and its blanks; "$" skips blanks and tabs; "*" after
  // a letter other than n or v reads digits.
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("word   42x \t name tail", "", "!S*$$n*"), 1);
  EXPECT_EQ(list.Size, "42");
  EXPECT_EQ(list.FileName, "x \t name tail");
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("x \t name tail", "", "n$n* n*"), 1);
  EXPECT_EQ(list.FileName, "xnametail");

  // "." wants a blank or a dot and trims the name before adding ".".
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("AB   TXT", "", "nnnn.nnn"), 1);
  EXPECT_EQ(list.FileName, "AB.TXT");
  EXPECT_EQ(list.MatchLineToMask("ABCDxTXT", "", "nnnn.nnn"), 0);
  // "x" wants a blank.
  EXPECT_EQ(list.MatchLineToMask("a b", "", "nxn"), 1);
  EXPECT_EQ(list.MatchLineToMask("aXb", "", "nxn"), 0);

  // "\" goes on with the next line and makes a two-line match.
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("name ", "12", "n*\\SS"), 2);
  EXPECT_EQ(list.Size, "12");
  EXPECT_EQ(list.MatchLineToMask("name ", "", "n*\\SS"), 0);

  // "v*" reads the VMS name up to the next blank.
  list.ClearMatchFields();
  EXPECT_EQ(list.MatchLineToMask("A.B;1 rest", "", "v* n*"), 1);
  EXPECT_EQ(list.VMSFileName, "A.B;1");
}

TEST_F(FtpListTest, PlausibilityCheckTrimsAndRejects) {
  list.ClearMatchFields();
  list.FileName = "f";
  list.Day = " 7 ";
  list.Size = " 12 ";
  list.Year = " 21 ";
  EXPECT_TRUE(list.ValidateMatchFields());
  EXPECT_EQ(list.Day, "7");
  EXPECT_EQ(list.Size, "12");
  EXPECT_EQ(list.Year, "21");

  const auto rejects = [&](auto set) {
    list.ClearMatchFields();
    list.FileName = "f";
    set();
    return !list.ValidateMatchFields();
  };
  EXPECT_TRUE(rejects([&] { list.FileName.clear(); }));
  EXPECT_TRUE(rejects([&] { list.FileName = "   "; }));
  EXPECT_TRUE(rejects([&] { list.VMSFileName = "NOVERSION"; }));
  EXPECT_TRUE(rejects([&] { list.Permissions = "drwxr-xr-"; }));
  EXPECT_TRUE(rejects([&] { list.Permissions = "DRWXR-XR-X"; }));
  EXPECT_TRUE(rejects([&] { list.Day = "32"; }));
  EXPECT_TRUE(rejects([&] { list.Day = "  "; }));
  EXPECT_TRUE(rejects([&] { list.Month = "13"; }));
  EXPECT_TRUE(rejects([&] { list.Hours = "25"; }));
  EXPECT_TRUE(rejects([&] { list.HoursModif = "M"; }));
  EXPECT_TRUE(rejects([&] { list.Minutes = "60"; }));
  EXPECT_TRUE(rejects([&] { list.Size = "1 2"; }));
  EXPECT_TRUE(rejects([&] { list.ThreeMonth = "Foo"; }));
  EXPECT_TRUE(rejects([&] { list.YearTime = "25:00"; }));
  EXPECT_TRUE(rejects([&] { list.YearTime = "1899"; }));
  EXPECT_TRUE(rejects([&] { list.Year = "1900"; }));
  EXPECT_TRUE(rejects([&] { list.Year = "111"; }));
  EXPECT_TRUE(rejects([&] { list.Year = "5"; }));
  EXPECT_FALSE(rejects([&] { list.Year = "2099"; }));
  EXPECT_FALSE(rejects([&] { list.Year = "110"; }));
  EXPECT_FALSE(rejects([&] { list.Hours = "24"; }));
  EXPECT_FALSE(rejects([&] { list.YearTime = "10-30"; }));
  EXPECT_FALSE(rejects([&] { list.Permissions = "-rwxrwsrwt"; }));
}

TEST_F(FtpListTest, ClearAssignAndItems) {
  Parse({"drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs", "total 12"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(1), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);

  TFTPList copy;
  copy.Masks = {u"n*"};
  copy.Assign(list);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_NE(copy.Items(0), list.Items(0));
  EXPECT_EQ(copy.Items(0)->FileName, u"docs");
  EXPECT_EQ(copy.Items(0)->FileTime, list.Items(0)->FileTime);
  EXPECT_EQ(copy.Items(0)->Permission, u"drwxr-xr-x");
  EXPECT_EQ(copy.Lines, list.Lines);
  EXPECT_EQ(copy.Masks, list.Masks);
  EXPECT_EQ(copy.UnparsedLines, list.UnparsedLines);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Lines.empty());
  EXPECT_TRUE(list.UnparsedLines.empty());
  EXPECT_EQ(list.Masks.size(), 37u);
  EXPECT_EQ(copy.Count(), 1);
}

// Entries and lines a Clear keeps for the next listing come back as new
// ones: nothing of the folder listed before shows through (a link's target,
// permissions, a longer name or line), in either order of the listings.
TEST_F(FtpListTest, EntriesKeptByClearComeBackAsNew) {
  const std::string unix = "lrwxrwxrwx   1 owner    group          11 Jan 14 10:30 a rather long link name -> target";
  const std::string dos = "01-14-24  10:30AM                 1234 b.txt";
  const std::string eplf = "+i8388621.48594,m825718503,r,s280,\tc";
  const auto fresh = [&](const std::string& data) {
    TFTPList f;
    f.Clock = list.Clock;
    f.SetListing(data);
    f.ParseLines();
    return f.List.empty() ? TFTPListRec() : *f.List.front();
  };
  const std::string orders[][3] = {{unix, dos, eplf}, {eplf, dos, unix}, {dos, unix, eplf}};
  for (const auto& order : orders) {
    for (const std::string& data : order) {
      SCOPED_TRACE(data);
      list.Clear();
      list.SetListing(data);
      list.ParseLines();
      ASSERT_EQ(list.Count(), 1);
      const TFTPListRec expected = fresh(data);
      const TFTPListRec& got = *list.Items(0);
      EXPECT_EQ(got.FileName, expected.FileName);
      EXPECT_EQ(got.RawFileName, expected.RawFileName);
      EXPECT_EQ(got.LinkTarget, expected.LinkTarget);
      EXPECT_EQ(got.Permission, expected.Permission);
      EXPECT_EQ(got.OriginalLine, expected.OriginalLine);
      EXPECT_EQ(got.Mask, expected.Mask);
      EXPECT_EQ(got.Directory, expected.Directory);
      EXPECT_EQ(got.Readable, expected.Readable);
      EXPECT_EQ(got.FileSize, expected.FileSize);
      EXPECT_EQ(got.FileTime, expected.FileTime);
      EXPECT_EQ(list.Lines, std::vector<String>{UTF8ToUTF16(data)});
    }
  }
}

TEST_F(FtpListTest, ParseLinesAppendsUntilCleared) {
  list.Lines = {u"drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs"};
  list.ParseLines();
  list.ParseLines();
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(FtpListTest, HostileLinesNeitherRaiseNorMisread) {
  std::vector<String> lines;
  lines.push_back(String(1 << 20, u'a'));
  lines.push_back(String(100000, u' '));
  lines.push_back(String(100000, u'\t'));
  lines.push_back(u"-rw-r--r--   1 owner    group         100 Jan 14 10:30 " + String(200000, u'x'));
  lines.push_back(u"+" + String(50000, u','));
  lines.push_back(u"+s99999999999999999999999,m99999999999,\tbig");
  lines.push_back(u"-rw-r--r--   1 o g 99999999999999999999999 Jan 14 10:30 huge");
  String binary;
  for (int i = 0; i < 0x10000; i += 7) binary.push_back(static_cast<Char>(i));
  lines.push_back(binary);
  lines.push_back(String(u"-rw-r--r--") + Char(0) + u"  1 o g 5 Jan 14 10:30 nul");
  lines.push_back(u"\xD800\xDC00\xD800 x \xDFFF");
  // Every prefix of real lines: truncated transfers.
  for (const char* full :
       {"drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs", "01-14-21  10:30AM       <DIR>          folder",
        "DOCS.DIR;1          1/3          14-JAN-2021 10:30:00  [GROUP,OWNER]",
        "+i8388621.48594,m825718503,r,s280,\tdjb.html"}) {
    const String line = UTF8ToUTF16(full);
    for (std::size_t n = 0; n <= line.size(); ++n) lines.push_back(line.substr(0, n));
  }
  list.Lines = lines;
  ASSERT_NO_THROW(list.ParseLines());
  EXPECT_LE(list.List.size() + list.UnparsedLines.size(), lines.size());
  for (const auto& rec : list.List) {
    EXPECT_FALSE(rec->FileName.empty());
    EXPECT_NE(rec->FileName.find_first_not_of(u' '), String::npos);
  }
  // The over-long numbers read as 0 rather than as garbage; an EPLF size
  // that fits no count makes no entry at all.
  bool sawBig = false, sawHuge = false;
  for (const auto& rec : list.List) {
    if (rec->FileName == u"big") sawBig = true;
    if (rec->FileName == u"huge") {
      sawHuge = true;
      EXPECT_EQ(rec->FileSize, 0);
    }
  }
  EXPECT_FALSE(sawBig);
  EXPECT_NE(std::find(list.UnparsedLines.begin(), list.UnparsedLines.end(), lines[5]), list.UnparsedLines.end());
  EXPECT_TRUE(sawHuge);
}

// Random and mutated lines, and random masks, under the sanitizers of the
// native-asan preset: nothing may raise, read out of bounds or leave an
// implausible entry.
TEST_F(FtpListTest, FuzzRandomLinesAndMasks) {
  std::mt19937 rng(20240615);
  const std::vector<String> seeds = {
      UTF8ToUTF16("drwxr-xr-x   2 owner    group        4096 Jan 14 10:30 docs"),
      UTF8ToUTF16("-rw-r--r--   1 owner    group     1234567 Mar  5  2019 file name.txt"),
      UTF8ToUTF16("lrwxrwxrwx   1 owner    group           9 Jan 14 10:30 docs -> /var/docs"),
      UTF8ToUTF16("01-14-21  10:30AM       <DIR>          folder"),
      UTF8ToUTF16("01-14-2021  10:30PM                 1234 file4.txt"),
      UTF8ToUTF16("DOCS.DIR;1          1/3          14-JAN-2021 10:30:00  [GROUP,OWNER]   (RWE,RWE,RE,RE)"),
      UTF8ToUTF16("+i8388621.48594,m825718503,r,s280,\tdjb.html"),
      UTF8ToUTF16("d [RWCEAFMS] admin                512 Apr 15 10:12 DOCS"),
      UTF8ToUTF16("README   TXT          1234 01-14-21  10:30p"),
  };
  const String alphabet = UTF8ToUTF16(" \t-:.,;+/0123456789ADJMPRSTXdlrwx<>?*\u00E9\u20AC");
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };

  std::vector<String> lines;
  for (int i = 0; i < 6000; ++i) {
    String line;
    switch (i % 3) {
      case 0: {  // random characters, including any UTF-16 code unit
        const std::size_t len = pick(120);
        for (std::size_t k = 0; k < len; ++k)
          line.push_back(pick(4) == 0 ? static_cast<Char>(rng()) : alphabet[pick(alphabet.size())]);
        break;
      }
      default: {  // a real line with a few edits
        line = seeds[pick(seeds.size())];
        for (std::size_t edits = 1 + pick(4); edits > 0; --edits) {
          const std::size_t at = line.empty() ? 0 : pick(line.size());
          switch (pick(4)) {
            case 0:
              if (!line.empty()) line[at] = alphabet[pick(alphabet.size())];
              break;
            case 1:
              line.insert(at, 1, alphabet[pick(alphabet.size())]);
              break;
            case 2:
              if (!line.empty()) line.erase(at, 1 + pick(3));
              break;
            default:
              line.resize(at);
              break;
          }
        }
      }
    }
    lines.push_back(std::move(line));
  }
  list.Lines = lines;
  ASSERT_NO_THROW(list.ParseLines());
  EXPECT_LE(list.List.size() + list.UnparsedLines.size(), lines.size());
  for (const auto& rec : list.List) {
    EXPECT_NE(rec->FileName.find_first_not_of(u' '), String::npos);
    EXPECT_FALSE(rec->Directory && (rec->FileName == u"." || rec->FileName == u".."));
  }

  // A descendant goes through the virtual steps one by one; the list itself
  // may take shortcuts. Both must give the same result.
  struct StepByStepList : TFTPList {};
  StepByStepList plain;
  plain.Clock = list.Clock;
  plain.Lines = lines;
  plain.ParseLines();
  ASSERT_EQ(plain.List.size(), list.List.size());
  for (std::size_t i = 0; i < list.List.size(); ++i) {
    const TFTPListRec& a = *list.List[i];
    const TFTPListRec& b = *plain.List[i];
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.Directory, b.Directory);
    EXPECT_EQ(a.Readable, b.Readable);
    EXPECT_EQ(a.FileSize, b.FileSize);
    EXPECT_EQ(a.FileTime, b.FileTime);
    EXPECT_EQ(a.OriginalLine, b.OriginalLine);
    EXPECT_EQ(a.Mask, b.Mask);
    EXPECT_EQ(a.Permission, b.Permission);
  }
  EXPECT_EQ(plain.UnparsedLines, list.UnparsedLines);

  // Random masks over the mask language, against the same lines.
  const std::string maskChars = " -pdnvSDMYTUhmsH*!$.x\\=";
  auto randomMask = [&](std::size_t maxLength) {
    String mask;
    for (std::size_t k = 1 + pick(maxLength); k > 0; --k)
      mask.push_back(static_cast<Char>(maskChars[pick(maskChars.size())]));
    return mask;
  };
  for (int i = 0; i < 300; ++i) {
    // Masks that begin alike, as the built-in ones do.
    const String mask = randomMask(40);
    const String prefix = randomMask(20);
    TFTPList fuzzed;
    fuzzed.Clock = list.Clock;
    fuzzed.Masks = {mask, prefix + randomMask(20), prefix + randomMask(20), prefix, prefix + randomMask(20)};
    for (int k = 0; k < 40; ++k) fuzzed.Lines.push_back(lines[pick(lines.size())]);
    StepByStepList stepped;
    stepped.Clock = list.Clock;
    stepped.Masks = fuzzed.Masks;
    stepped.Lines = fuzzed.Lines;
    // A "T=" mask changes the process-wide month row: start both alike.
    SetSystemShortMonthNames(kEnglishMonths);
    ASSERT_NO_THROW(fuzzed.ParseLines()) << UTF16ToUTF8(mask);
    SetSystemShortMonthNames(kEnglishMonths);
    stepped.ParseLines();
    ASSERT_EQ(fuzzed.Count(), stepped.Count()) << UTF16ToUTF8(mask);
    for (Integer k = 0; k < fuzzed.Count(); ++k) {
      EXPECT_EQ(fuzzed.Items(k)->FileName, stepped.Items(k)->FileName) << UTF16ToUTF8(mask);
      EXPECT_EQ(fuzzed.Items(k)->FileTime, stepped.Items(k)->FileTime) << UTF16ToUTF8(mask);
    }
    EXPECT_EQ(fuzzed.UnparsedLines, stepped.UnparsedLines) << UTF16ToUTF8(mask);
  }
}

}  // namespace
