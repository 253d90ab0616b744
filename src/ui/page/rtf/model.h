// An RTF document between reading and writing: character and paragraph
// formats as RTF states them (twips, half-points, table numbers), runs of
// text, paragraphs, and table rows with their cell definitions.
#pragma once

#include <QString>

#include <vector>

#include "page/rtf/lists.h"

namespace qzt::rtf {

enum class Align { Left, Centre, Right, Justify };
enum class Script { Normal, Super, Sub };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  bool smallCaps = false;
  bool allCaps = false;
  Script script = Script::Normal;
  int raise = 0;       // \up (above zero) or \dn (below), half-points
  int halfPoints = 24;  // RTF's own default, 12 pt
  int colour = 0;      // colour table index; 0: automatic
  int background = 0;  // colour table index; 0: none
  int font = -1;       // font number; -1: the document's default font
  QString link;        // target of the HYPERLINK field this text shows
  QString bookmark;    // the bookmark that starts at this text
  bool operator==(const CharFormat&) const = default;
};

struct TabStop {
  enum class Kind { Left, Centre, Right, Decimal };
  int position = 0;  // twips from the left margin
  Kind kind = Kind::Left;
  bool operator==(const TabStop&) const = default;
};

struct ParagraphFormat {
  Align align = Align::Left;
  int left = 0;        // twips, like every length here
  int right = 0;
  int firstLine = 0;   // below zero: a hanging indent
  int before = 0;
  int after = 0;
  int lineSpacing = 0;  // 0 single; above zero at least; below zero exactly
  bool lineMultiple = false;  // lineSpacing counts 240ths of a line
  std::vector<TabStop> tabs;
  bool inTable = false;
  int list = 0;       // \ls: the list override an item is in; 0 none
  int listLevel = 0;  // \ilvl
  LegacyNumbering legacy;
};

struct Run {
  CharFormat format;
  QString text;
  int picture = -1;  // index of a picture instead of text
};

struct Paragraph {
  ParagraphFormat format;
  CharFormat markFormat;  // the paragraph mark's: sets an empty line's height
  std::vector<Run> runs;
  bool pageBreakAfter = false;
  bool hasMarker = false;  // the writer put the list marker in the text
};

struct Font {
  QString name;
  int charset = -1;  // \fcharset: picks the code page of the font's bytes; -1 when not given
  int codePage = 0;  // \cpg: names it outright; 0 when not given
  bool serif = false;
};

struct Border {
  bool on = false;
  int width = 0;   // twips; 0 a hairline
  int colour = 0;  // colour table index; 0: automatic
};

enum class Merge { None, First, Next };
enum class VerticalAlign { Top, Centre, Bottom };

struct CellDef {
  int right = 0;  // \cellx: right edge, twips from the left margin
  Border top, left, bottom, rightBorder;
  int background = 0;
  Merge across = Merge::None;  // \clmgf, \clmrg
  Merge down = Merge::None;    // \clvmgf, \clvmrg
  VerticalAlign valign = VerticalAlign::Top;
  int padLeft = -1;  // twips; -1: the row's gap
  int padRight = -1;
};

struct RowDef {
  std::vector<CellDef> cells;
  int left = 0;  // \trleft
  int gap = 0;   // \trgaph: half the space between cells
  Align align = Align::Left;
};

using Cell = std::vector<Paragraph>;

constexpr std::size_t kMaxRowCells = 63;  // as word processors allow

struct TableRow {
  RowDef def;
  std::vector<Cell> cells;
};

}  // namespace qzt::rtf
