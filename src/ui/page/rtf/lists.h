// List numbers and bullets. Writers put each item's marker in the text
// ({\listtext} or {\pntext}), but not every writer does: then the marker is
// made here from the list tables (\listtable, \listoverridetable) an item
// names with \ls and \ilvl, or from legacy \pn numbering, counting items as
// the writer would.
#pragma once

#include <QString>

#include <array>
#include <map>
#include <vector>

namespace qzt::rtf {

// The number formats of \levelnfc; legacy \pn words map onto the same.
enum class NumberFormat {
  Decimal = 0, UpperRoman = 1, LowerRoman = 2, UpperLetter = 3, LowerLetter = 4, Ordinal = 5,
  FullWidth = 14, Circled = 18, LeadingZero = 22, Bullet = 23, Parenthesised = 27,
  ChineseCounting = 37, ChineseLegal = 38, None = 255,
};

// \levelnfcN as a format this reader writes; unknown ones are decimal.
NumberFormat numberFormat(int levelnfc);

// A number as a list writes it: "3", "iv", "C", "三", "③". Out-of-range
// numbers fall back to decimal.
QString formatNumber(int n, NumberFormat format);

constexpr int kListLevels = 9;
constexpr char16_t kSymbolPrivateBase = 0xF000;  // symbol fonts' glyphs as \uN writes them

struct ListLevel {
  NumberFormat format = NumberFormat::Decimal;
  int start = 1;
  // The marker; characters below kListLevels stand for that level's number.
  QString text;
  bool legal = false;      // \levellegal: numbers of higher levels in decimal
  bool noRestart = false;  // \levelnorestart
  int follow = 0;          // \levelfollow: 0 a tab, 1 a blank, 2 nothing
  int font = -1;           // the marker's font, -1: the item's
};

struct ListDef {
  int id = 0;
  std::vector<ListLevel> levels;  // at most kListLevels
};

// Legacy numbering of one paragraph ({\*\pn ...}).
struct LegacyNumbering {
  bool on = false;
  bool bullet = false;  // \pnlvlblt
  int level = 0;        // \pnlvlN (outline), 0 for a body or bullet
  NumberFormat format = NumberFormat::Decimal;
  int start = 1;
  QString before;  // {\pntxtb}
  QString after;   // {\pntxta}
  int font = -1;   // \pnf
  bool operator==(const LegacyNumbering&) const = default;
};

class ListNumbering {
 public:
  static constexpr std::size_t kMaxLists = 1000;

  // The list table as the reader meets it: \list, \listlevel, \listoverride.
  void beginList();
  void beginLevel();
  ListDef* currentList();
  ListLevel* currentLevel();
  void beginOverride();
  void setOverrideList(int listId);
  void setOverrideNumber(int ls);

  struct Marker {
    QString text;  // the marker with what follows it, empty when none
    int font = -1;
  };
  // The next marker of an item of list override ls at level; counts it.
  Marker next(int ls, int level);
  // The next marker of a legacy-numbered paragraph; counts it.
  Marker next(const LegacyNumbering& numbering);
  // A paragraph without legacy numbering: the next numbered one starts over.
  void endLegacyRun() { legacyCount_ = {}; }

 private:
  const ListDef* listOf(int ls) const;

  std::vector<ListDef> lists_;
  std::map<int, int> overrides_;  // \ls number: list id
  int pendingOverride_ = 0;       // the \listoverride being read: its list id
  std::map<int, std::array<int, kListLevels>> counts_;  // per list id; 0: not counted yet
  std::array<int, kListLevels + 1> legacyCount_{};
};

}  // namespace qzt::rtf
