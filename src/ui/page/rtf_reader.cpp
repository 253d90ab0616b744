#include "page/rtf_reader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "page/rtf/code_pages.h"
#include "page/rtf/document_writer.h"
#include "page/rtf/field.h"
#include "page/rtf/format_words.h"
#include "page/rtf/keywords.h"
#include "page/rtf/lists.h"
#include "page/rtf/math_text.h"
#include "page/rtf/picture.h"
#include "page/rtf/table_rows.h"
#include "page/rtf/tokenizer.h"

namespace qzt::rtf {
namespace {

constexpr int kMaxDepth = 100;           // deeper groups share the deepest state
constexpr int kDefaultTabWidth = 720;    // twips, half an inch
constexpr int kMaxUnicodeSkip = 16;
constexpr qsizetype kMaxNameLength = 256;  // font, bookmark and property names, list markers

enum class Destination {
  Text, Skip, ColourTable, FontTable, Picture, FieldInstruction, Object,
  ListTable, ListOverrides, LevelText, Numbering, NumberingText,
  ShapeProperty, PropertyName, BookmarkName, MathProperties, MathCharacter,
};

struct GroupState {
  CharFormat chars;
  ParagraphFormat paragraph;
  TabStop::Kind pendingTab = TabStop::Kind::Left;
  Destination destination = Destination::Text;
  int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
  int field = -1;       // the field whose instruction or result this is
  bool eastAsian = false;  // \dbch: associated formats are the text's own
  bool box = false;         // the text of a text box
  bool boxInTable = false;  // the box sits in a table cell: its paragraphs stay there
  bool shapePicture = false;  // in a shape's picture property: the shape's size is the picture's
  bool math = false;          // in an equation
  bool footnote = false;      // in a footnote's text
};

// Writers format East Asian text with associated words after \dbch
// ("{\dbch\ab 乙}" is bold); elsewhere those words format other scripts.
Keyword ownFormat(Keyword k, bool eastAsian) {
  if (!eastAsian) return k;
  switch (k) {
    case Keyword::Ab: return Keyword::B;
    case Keyword::Ai: return Keyword::I;
    case Keyword::Afs: return Keyword::Fs;
    case Keyword::Af: return Keyword::F;
    default: return k;
  }
}

std::optional<MathStructure> mathStructure(Keyword k) {
  switch (k) {
    case Keyword::Mf: return MathStructure::Fraction;
    case Keyword::Mrad: return MathStructure::Radical;
    case Keyword::Md: return MathStructure::Delimiter;
    case Keyword::Mnary: return MathStructure::Nary;
    case Keyword::Mscript: return MathStructure::Script;
    case Keyword::Mfunc: return MathStructure::Function;
    case Keyword::Macc: return MathStructure::Accent;
    case Keyword::MathOther: return MathStructure::Other;
    default: return std::nullopt;
  }
}

std::optional<MathPart> mathPart(Keyword k) {
  switch (k) {
    case Keyword::Mnum: return MathPart::Numerator;
    case Keyword::Mden: return MathPart::Denominator;
    case Keyword::Me: return MathPart::Base;
    case Keyword::Msup: return MathPart::Superscript;
    case Keyword::Msub: return MathPart::Subscript;
    case Keyword::Mdeg: return MathPart::Degree;
    case Keyword::MfName: return MathPart::FunctionName;
    default: return std::nullopt;
  }
}

std::optional<MathChar> mathChar(Keyword k) {
  switch (k) {
    case Keyword::Mchr: return MathChar::Character;
    case Keyword::MbegChr: return MathChar::Begin;
    case Keyword::MendChr: return MathChar::End;
    case Keyword::MsepChr: return MathChar::Separator;
    default: return std::nullopt;
  }
}

bool isMathWord(Keyword k) {
  return k == Keyword::Mmath || k == Keyword::MathProps || mathStructure(k) || mathPart(k) || mathChar(k);
}

// Destinations behind \* that this reader reads all the same.
bool readsIgnorable(Keyword k) {
  switch (k) {
    case Keyword::Fldinst: case Keyword::Shppict: case Keyword::Listtable:
    case Keyword::Listoverridetable: case Keyword::Pn: case Keyword::Shpinst: case Keyword::Do:
    case Keyword::Bkmkstart: case Keyword::Mmath: case Keyword::Footnote:
      return true;
    default: return false;
  }
}

class Reader {
 public:
  Reader(QByteArrayView in, QTextDocument* document)
      : tokens_(in), document_(document), writer_(document, tables_) {
    stack_.push_back(GroupState{});
  }

  void read();

 private:
  GroupState& state() { return stack_.back(); }
  Destination destination() const { return stack_.back().destination; }

  bool token(const Token& t);  // false when the document has ended
  void openGroup();
  bool closeGroup();  // false when the document's outer group has ended
  void word(const Token& t);
  void textWord(Keyword k, const Token& t);
  bool destinationWord(Keyword k);
  bool layoutWord(Keyword k);
  bool mathWord(Keyword k);
  void enter(Destination d);
  int newField();
  void endField(int field);
  void fontTableWord(Keyword k, const Token& t);
  void colourTableWord(Keyword k, const Token& t);
  void pictureWord(Keyword k, const Token& t);
  void listTableWord(Keyword k, const Token& t);
  void listOverrideWord(Keyword k, const Token& t);
  void numberingWord(Keyword k, const Token& t);
  void addMarker(Paragraph& p);
  void namedCharacter(Keyword k);
  void symbol(char c);
  void hexByte(int value);
  void text(QByteArrayView bytes);
  void textByte(char c);
  void unicodeChar(int code);
  bool consumeFallback();
  void appendText(const QString& text);
  // Where the text of a destination that names something collects; null
  // for destinations of other text.
  QString* nameOf(Destination d);
  void flushBytes();
  int codePage() const;

  Paragraph takeParagraph();
  void setTabWidth();
  void endParagraph(bool pageBreak = false);
  void endCell();
  void endRow();
  void endTable();
  void finishPicture();
  void finishFontName();
  void finishColour();
  void finishDestination(Destination closed);
  void finishLevelText();
  void endFootnote();

  Tokenizer tokens_;
  QTextDocument* document_;
  DocumentTables tables_;
  DocumentWriter writer_;
  std::vector<GroupState> stack_;
  int overflowDepth_ = 0;  // groups opened beyond kMaxDepth
  int fallbackLeft_ = 0;   // characters still to skip after a \uN
  bool nextIsIgnorable_ = false;
  QByteArray pendingBytes_;  // bytes waiting to be decoded together
  TextDecoder decoder_;
  int documentCodePage_ = kDefaultCodePage;
  int tabWidth_ = kDefaultTabWidth;

  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourSet_ = false;
  int fontNumber_ = 0;  // the font table entry being read
  QString fontName_;
  std::vector<QString> fieldInstructions_;
  std::vector<bool> fieldShown_;  // whether a field's result put anything on the page
  PictureProps pictureProps_;
  PictureData pictureData_;
  PictureMaker pictures_;

  ListNumbering lists_;
  QString listText_;  // the level text or legacy text being read
  QString propertyName_;  // the shape property whose value follows
  struct ShapeBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // twips
  } shape_;                 // the shape being read
  QString bookmark_;        // the name of the bookmark being read
  QString nextBookmark_;    // the bookmark that starts at the next text
  std::vector<Paragraph> footnotes_;  // their text, in order
  Paragraph bodyParagraph_;           // the paragraph a footnote interrupts
  int footnoteCount_ = 0;
  MathText mathText_;
  MathChar mathChar_ = MathChar::Character;  // the equation character being read
  QString mathCharText_;
  bool legacyTextAfter_ = false;
  LegacyNumbering legacy_;  // the legacy numbering being read

  Paragraph current_;
  TableRows table_;
  RowDefinition rowDefinition_;
};

// The document is built in one edit block without undo steps: a document a
// view already lays out is laid out once, when the block ends, instead of
// after every insertion.
void Reader::read() {
  const bool undo = document_->isUndoRedoEnabled();
  document_->setUndoRedoEnabled(false);
  QTextCursor edit(document_);
  edit.beginEditBlock();
  for (;;) {
    tokens_.setCodePage(codePage());
    const Token t = tokens_.next();
    if (t.kind == Token::Kind::End || !token(t)) break;
  }
  flushBytes();
  if (state().footnote) {  // a footnote left open at the end
    endFootnote();
    for (GroupState& group : stack_) group.footnote = false;
  }
  if (!current_.runs.empty()) endParagraph();
  endTable();
  setTabWidth();  // a \deftab after the text, or a document without text
  if (!footnotes_.empty()) writer_.appendRule();
  for (const Paragraph& p : footnotes_) writer_.append(p);
  edit.endEditBlock();
  document_->setUndoRedoEnabled(undo);
}

// Changing the default tab width lays the whole document out again: it is
// set before the first text, while the document is still empty.
void Reader::setTabWidth() {
  QTextOption option = document_->defaultTextOption();
  if (option.tabStopDistance() == pixels(tabWidth_)) return;
  option.setTabStopDistance(pixels(tabWidth_));
  document_->setDefaultTextOption(option);
}

bool Reader::token(const Token& t) {
  switch (t.kind) {
    case Token::Kind::Open: openGroup(); break;
    case Token::Kind::Close: return closeGroup();
    case Token::Kind::Word: word(t); break;
    case Token::Kind::Symbol: symbol(t.symbol); break;
    case Token::Kind::Hex: hexByte(t.hex); break;
    case Token::Kind::Text: text(t.text); break;
    case Token::Kind::End: return false;
  }
  return true;
}

void Reader::openGroup() {
  fallbackLeft_ = 0;
  nextIsIgnorable_ = false;
  flushBytes();
  if (static_cast<int>(stack_.size()) >= kMaxDepth) {
    ++overflowDepth_;
    return;
  }
  stack_.push_back(stack_.back());
}

bool Reader::closeGroup() {
  fallbackLeft_ = 0;
  nextIsIgnorable_ = false;
  flushBytes();
  if (overflowDepth_ > 0) {
    --overflowDepth_;
    return true;
  }
  if (stack_.size() <= 2) return false;  // base state + the document's group
  const Destination closing = destination();
  if (closing == Destination::FontTable) finishFontName();
  const int field = state().field;
  const bool closingBox = state().box;
  const bool closingMath = state().math;
  if (state().footnote && !stack_[stack_.size() - 2].footnote) endFootnote();
  const int depth = static_cast<int>(stack_.size()) - 1;
  stack_.pop_back();
  if (closingMath && destination() == Destination::Text) mathText_.close(depth, current_.runs, state().chars);
  if (closingBox && !state().box && !current_.runs.empty()) endParagraph();  // the host's text goes on below
  if (closing != destination()) finishDestination(closing);
  if (field >= 0 && state().field != field) endField(field);
  if (closing == Destination::Picture && destination() != Destination::Picture) finishPicture();
  return true;
}

// A destination has ended: what it named goes where it belongs.
void Reader::finishDestination(Destination closed) {
  const Destination into = destination();
  if (closed == Destination::MathCharacter && into == Destination::MathProperties) {
    mathText_.setCharacter(mathChar_, std::exchange(mathCharText_, QString()));
  }
  if (closed == Destination::LevelText) finishLevelText();
  if (closed == Destination::BookmarkName && into == Destination::Text) {
    nextBookmark_ = std::exchange(bookmark_, QString()).trimmed();
  }
  if (closed == Destination::NumberingText && into == Destination::Numbering) {
    (legacyTextAfter_ ? legacy_.after : legacy_.before) = std::exchange(listText_, QString());
  }
  if (closed == Destination::Numbering && into == Destination::Text) state().paragraph.legacy = legacy_;
}

void Reader::word(const Token& t) {
  const Keyword k = keyword(t.word);
  if (k == Keyword::Bin) {  // raw bytes follow, whatever the destination
    const QByteArrayView bytes = tokens_.takeBytes(t.hasParam ? t.param : 0);
    if (destination() == Destination::Picture) pictureData_.addBinary(bytes);
    return;
  }
  if (consumeFallback()) return;
  if (std::exchange(nextIsIgnorable_, false) && !readsIgnorable(k) && !(state().math && isMathWord(k))) {
    enter(Destination::Skip);  // {\*\word ...}: a destination we do not read
    return;
  }
  if (destination() == Destination::Skip) return;
  if (k == Keyword::Uc) {
    state().unicodeSkip = std::clamp(t.param, 0, kMaxUnicodeSkip);
    return;
  }
  if (k == Keyword::U) {
    unicodeChar(t.param);
    return;
  }
  switch (destination()) {
    case Destination::Text: textWord(k, t); break;
    case Destination::FontTable: fontTableWord(k, t); break;
    case Destination::ColourTable: colourTableWord(k, t); break;
    case Destination::Picture: pictureWord(k, t); break;
    case Destination::ListTable: listTableWord(k, t); break;
    case Destination::ListOverrides: listOverrideWord(k, t); break;
    case Destination::Numbering: numberingWord(k, t); break;
    case Destination::Object:
      if (k == Keyword::Result) enter(Destination::Text);
      break;
    case Destination::ShapeProperty:
      if (k == Keyword::Sn) {
        enter(Destination::PropertyName);
        propertyName_.clear();
      }
      // A shape's picture is its one property shown; the rest are settings.
      if (k == Keyword::Sv) {
        enter(propertyName_ == u"pib" ? Destination::Text : Destination::Skip);
        state().shapePicture = true;
      }
      break;
    case Destination::MathProperties:
      if (const std::optional<MathChar> c = mathChar(k)) {
        enter(Destination::MathCharacter);
        mathChar_ = *c;
        mathCharText_.clear();
      }
      break;
    case Destination::MathCharacter:
    case Destination::PropertyName:
    case Destination::BookmarkName:
    case Destination::FieldInstruction:
    case Destination::LevelText:
    case Destination::NumberingText:
    case Destination::Skip: break;
  }
}

void Reader::textWord(Keyword k, const Token& t) {
  if (destinationWord(k)) return;
  switch (k) {
    case Keyword::Ansicpg:
      flushBytes();
      documentCodePage_ = t.param > 0 ? t.param : kDefaultCodePage;
      return;
    case Keyword::Pc: flushBytes(); documentCodePage_ = 437; return;
    case Keyword::Pca: flushBytes(); documentCodePage_ = 850; return;
    case Keyword::Mac: flushBytes(); documentCodePage_ = 10000; return;
    case Keyword::Deff: tables_.defaultFont = t.param; return;
    case Keyword::Deftab: tabWidth_ = std::max(1, twips(t.param)); return;
    case Keyword::Par: case Keyword::Sect: case Keyword::Nestcell: endParagraph(); return;
    case Keyword::Page: endParagraph(true); return;
    case Keyword::Line: appendText(QString(QChar::LineSeparator)); return;
    case Keyword::CellEnd: endCell(); return;
    case Keyword::RowEnd: endRow(); return;
    case Keyword::Dbch: state().eastAsian = true; return;
    case Keyword::OtherScript: state().eastAsian = false; return;
    case Keyword::Plain: state().eastAsian = false; break;
    case Keyword::Listtext: current_.hasMarker = true; return;  // the group's text is the marker
    case Keyword::Chftn:  // the footnote's number: the next in the text, its own in the footnote
      appendText(QString::number(state().footnote ? footnoteCount_ : ++footnoteCount_));
      return;
    case Keyword::Shpleft: shape_.left = twips(t.param); return;
    case Keyword::Shpright: shape_.right = twips(t.param); return;
    case Keyword::Shptop: shape_.top = twips(t.param); return;
    case Keyword::Shpbottom: shape_.bottom = twips(t.param); return;
    default: break;
  }
  CharFormat f = state().chars;
  if (applyCharacterWord(ownFormat(k, state().eastAsian), t, f)) {
    if (!(f == state().chars)) {
      flushBytes();
      state().chars = f;
    }
    return;
  }
  if (applyParagraphWord(k, t, state().paragraph, state().pendingTab)) return;
  if (rowDefinition_.apply(k, t)) return;
  namedCharacter(k);
}

// Words that start a destination, or a field's part. False for any other.
bool Reader::destinationWord(Keyword k) {
  switch (k) {
    case Keyword::Fonttbl: enter(Destination::FontTable); break;
    case Keyword::Colortbl: enter(Destination::ColourTable); break;
    case Keyword::Object: enter(Destination::Object); break;
    case Keyword::Listtable: enter(Destination::ListTable); break;
    case Keyword::Listoverridetable: enter(Destination::ListOverrides); break;
    case Keyword::Pn:
      enter(Destination::Numbering);
      legacy_ = LegacyNumbering{};
      legacy_.on = true;
      break;
    case Keyword::Skipped: enter(Destination::Skip); break;
    case Keyword::Shppict: break;  // the picture inside is the one to show
    case Keyword::Pict:
      enter(Destination::Picture);
      pictureProps_ = PictureProps{};
      pictureData_ = PictureData{};
      if (state().shapePicture && shape_.right > shape_.left && shape_.bottom > shape_.top) {
        pictureProps_.goalWidth = shape_.right - shape_.left;  // a shape's picture fills the shape
        pictureProps_.goalHeight = shape_.bottom - shape_.top;
      }
      break;
    case Keyword::Field: state().field = newField(); break;
    case Keyword::Fldinst:
      if (state().field < 0) state().field = newField();  // outside any \field, still not text
      enter(Destination::FieldInstruction);
      break;
    case Keyword::Fldrslt:
      if (state().field >= 0) {
        const QString target = hyperlinkTarget(fieldInstructions_[static_cast<std::size_t>(state().field)]);
        flushBytes();
        if (!target.isEmpty()) state().chars.link = target;
      }
      break;
    default: return layoutWord(k) || (state().math && mathWord(k));
  }
  return true;
}

// Shapes, bookmarks, footnotes and equations: groups whose text the page
// shows elsewhere or otherwise. False for any other word.
bool Reader::layoutWord(Keyword k) {
  switch (k) {
    case Keyword::Sp: enter(Destination::ShapeProperty); break;
    case Keyword::Shpinst: shape_ = ShapeBox{}; break;  // read for its text box and picture
    case Keyword::Do: break;
    case Keyword::Shptxt:  // a text box's paragraphs, in flow where the shape is anchored
      if (!current_.runs.empty()) endParagraph();
      state().boxInTable = state().paragraph.inTable;
      state().box = true;
      break;
    case Keyword::Bkmkstart:
      enter(Destination::BookmarkName);
      bookmark_.clear();
      break;
    case Keyword::Footnote:  // read aside, shown at the end of the page
      if (state().footnote) {
        enter(Destination::Skip);
        break;
      }
      flushBytes();
      bodyParagraph_ = std::exchange(current_, Paragraph{});
      state().footnote = true;
      break;
    case Keyword::Mmath:
      flushBytes();
      state().math = true;
      break;
    default: return false;
  }
  return true;
}

// An equation's structure, part or properties. False for any other word.
bool Reader::mathWord(Keyword k) {
  const int depth = static_cast<int>(stack_.size()) - 1;
  if (k == Keyword::MathProps) {
    enter(Destination::MathProperties);
  } else if (const std::optional<MathStructure> structure = mathStructure(k)) {
    flushBytes();
    mathText_.open(*structure, depth);
  } else if (const std::optional<MathPart> part = mathPart(k)) {
    flushBytes();
    const Script script = mathText_.part(*part, depth, current_.runs, state().chars);
    if (script != Script::Normal) state().chars.script = script;
  } else {
    return false;
  }
  return true;
}

void Reader::enter(Destination d) {
  flushBytes();
  state().destination = d;
}

int Reader::newField() {
  fieldInstructions_.emplace_back();
  fieldShown_.push_back(false);
  return static_cast<int>(fieldInstructions_.size()) - 1;
}

// Writers leave a SYMBOL field's result out or empty: the field itself
// names the character, a byte in its font or a Unicode code.
void Reader::endField(int field) {
  const auto at = static_cast<std::size_t>(field);
  if (fieldShown_[at] || destination() != Destination::Text) return;
  const std::optional<SymbolField> symbol = symbolField(fieldInstructions_[at]);
  if (!symbol) return;
  if (symbol->unicode || symbol->code > 0xFF) {
    appendText(QString(QChar(static_cast<char16_t>(symbol->code))));
    return;
  }
  const bool symbolFont = symbol->font.startsWith(u"Symbol", Qt::CaseInsensitive) ||
                          symbol->font.startsWith(u"Wingdings", Qt::CaseInsensitive);
  const char byte = static_cast<char>(symbol->code);
  appendText(decoder_.decode(QByteArrayView(&byte, 1), symbolFont ? kSymbolCodePage : codePage()));
}

void Reader::fontTableWord(Keyword k, const Token& t) {
  if (k == Keyword::F) {
    finishFontName();
    fontNumber_ = t.param;
    tables_.fonts[fontNumber_];  // listed, even without a name
  } else if (k == Keyword::Fcharset) {
    flushBytes();
    tables_.fonts[fontNumber_].charset = t.param;
  } else if (k == Keyword::Cpg) {
    flushBytes();
    tables_.fonts[fontNumber_].codePage = std::max(0, t.param);
  } else if (k == Keyword::Froman) {
    tables_.fonts[fontNumber_].serif = true;
  }
}

void Reader::colourTableWord(Keyword k, const Token& t) {
  const int v = std::clamp(t.param, 0, 255);
  if (k == Keyword::Red) red_ = v, colourSet_ = true;
  if (k == Keyword::Green) green_ = v, colourSet_ = true;
  if (k == Keyword::Blue) blue_ = v, colourSet_ = true;
}

void Reader::pictureWord(Keyword k, const Token& t) {
  PictureProps& p = pictureProps_;
  const int v = std::max(0, t.param);
  switch (k) {
    case Keyword::Pngblip: p.kind = PictureKind::Png; break;
    case Keyword::Jpegblip: p.kind = PictureKind::Jpeg; break;
    case Keyword::Emfblip: case Keyword::Wmetafile: p.kind = PictureKind::Metafile; break;
    case Keyword::OtherPicture: p.kind = PictureKind::Unknown; break;
    case Keyword::Picw: p.width = v; break;
    case Keyword::Pich: p.height = v; break;
    case Keyword::Picwgoal: p.goalWidth = v; break;
    case Keyword::Pichgoal: p.goalHeight = v; break;
    case Keyword::Picscalex: p.scaleX = v; break;
    case Keyword::Picscaley: p.scaleY = v; break;
    default: break;
  }
}

void Reader::listTableWord(Keyword k, const Token& t) {
  if (k == Keyword::List) lists_.beginList();
  if (k == Keyword::Listlevel) lists_.beginLevel();
  if (k == Keyword::Listid) {
    if (ListDef* list = lists_.currentList()) list->id = t.param;
  }
  ListLevel* level = lists_.currentLevel();
  if (!level) return;
  switch (k) {
    case Keyword::Levelnfc: level->format = numberFormat(t.param); break;
    case Keyword::Levelstartat: level->start = std::clamp(t.param, 0, 32767); break;
    case Keyword::Levellegal: level->legal = !t.hasParam || t.param != 0; break;
    case Keyword::Levelnorestart: level->noRestart = !t.hasParam || t.param != 0; break;
    case Keyword::Levelfollow: level->follow = std::clamp(t.param, 0, 2); break;
    case Keyword::Leveltext:
      enter(Destination::LevelText);
      listText_.clear();
      break;
    case Keyword::F:  // the marker's font, which also decodes its text
      level->font = t.param;
      state().chars.font = t.param;
      break;
    default: break;
  }
}

void Reader::listOverrideWord(Keyword k, const Token& t) {
  if (k == Keyword::Listoverride) lists_.beginOverride();
  if (k == Keyword::Listid) lists_.setOverrideList(t.param);
  if (k == Keyword::Ls) lists_.setOverrideNumber(t.param);
}

void Reader::numberingWord(Keyword k, const Token& t) {
  LegacyNumbering& n = legacy_;
  switch (k) {
    case Keyword::Pnlvlbody: n.level = 0; break;
    case Keyword::Pnlvl: n.level = std::clamp(t.param, 0, kListLevels); break;
    case Keyword::Pnlvlblt: n.bullet = true; break;
    case Keyword::Pnlvlcont: n.on = false; break;
    case Keyword::Pndec: n.format = NumberFormat::Decimal; break;
    case Keyword::Pnucrm: n.format = NumberFormat::UpperRoman; break;
    case Keyword::Pnlcrm: n.format = NumberFormat::LowerRoman; break;
    case Keyword::Pnucltr: n.format = NumberFormat::UpperLetter; break;
    case Keyword::Pnlcltr: n.format = NumberFormat::LowerLetter; break;
    case Keyword::Pnord: n.format = NumberFormat::Ordinal; break;
    case Keyword::Pnstart: n.start = std::clamp(t.param, 0, 32767); break;
    case Keyword::Pnf:
      n.font = t.param;
      state().chars.font = t.param;
      break;
    case Keyword::Pntxtb: case Keyword::Pntxta:
      enter(Destination::NumberingText);
      legacyTextAfter_ = k == Keyword::Pntxta;
      listText_.clear();
      break;
    default: break;
  }
}

void Reader::namedCharacter(Keyword k) {
  char16_t c = 0;
  switch (k) {
    case Keyword::Tab: c = u'\t'; break;
    case Keyword::Emdash: c = 0x2014; break;
    case Keyword::Endash: c = 0x2013; break;
    case Keyword::Emspace: c = 0x2003; break;
    case Keyword::Enspace: c = 0x2002; break;
    case Keyword::Bullet: c = 0x2022; break;
    case Keyword::Lquote: c = 0x2018; break;
    case Keyword::Rquote: c = 0x2019; break;
    case Keyword::Ldblquote: c = 0x201C; break;
    case Keyword::Rdblquote: c = 0x201D; break;
    default: return;  // a word this reader does not act on
  }
  appendText(QString(QChar(c)));
}

void Reader::symbol(char c) {
  if (consumeFallback()) return;
  switch (c) {
    case '\\': case '{': case '}': textByte(c); break;
    case '~': appendText(QString(QChar(0x00A0))); break;
    case '_': appendText(QString(QChar(0x2011))); break;
    case '-': appendText(QString(QChar(0x00AD))); break;
    case '*': nextIsIgnorable_ = true; break;
    case '\n': case '\r':
      if (destination() == Destination::Text) endParagraph();
      break;
    case '\t': appendText(QStringLiteral("\t")); break;
    default: break;  // \: index entries, \| formulas, unknown symbols
  }
}

void Reader::hexByte(int value) {
  if (consumeFallback() || value < 0) return;
  if (destination() == Destination::Picture) return;  // pictures are hex digits, not \'hh
  if (destination() == Destination::LevelText && value < 0x20) {
    appendText(QString(QChar(static_cast<char16_t>(value))));  // a length or a level's number
    return;
  }
  textByte(static_cast<char>(value));
}

void Reader::text(QByteArrayView bytes) {
  const qsizetype skipped = std::min<qsizetype>(fallbackLeft_, bytes.size());
  fallbackLeft_ -= static_cast<int>(skipped);
  bytes = bytes.sliced(skipped);
  if (destination() == Destination::Picture) {
    pictureData_.addHex(bytes);
    return;
  }
  for (const char c : bytes) {
    if (c == ';' && destination() == Destination::ColourTable) finishColour();
    else if (c == ';' && destination() == Destination::FontTable) finishFontName();
    else textByte(c);
  }
}

// One byte of text in the current code page; the bytes of a character meet
// in pendingBytes_ before they are decoded.
void Reader::textByte(char c) {
  const Destination d = destination();
  if (d != Destination::Text && d != Destination::FontTable && d != Destination::FieldInstruction &&
      d != Destination::LevelText && d != Destination::NumberingText && d != Destination::PropertyName &&
      d != Destination::BookmarkName && d != Destination::MathCharacter) {
    return;
  }
  if (c == '\t') appendText(QStringLiteral("\t"));
  else if (static_cast<unsigned char>(c) >= 0x20) pendingBytes_.append(c);  // source line ends mean nothing
}

void Reader::unicodeChar(int code) {
  if (code < 0) code += 65536;
  const char16_t unit = (code >= 0 && code <= 0xFFFF) ? static_cast<char16_t>(code) : char16_t(0xFFFD);
  appendText(QString(QChar(unit)));
  fallbackLeft_ = state().unicodeSkip;
}

// After \uN the next \ucN characters are the fallback for readers without
// Unicode; a control word, a symbol, a \'hh byte or a text byte each count.
bool Reader::consumeFallback() {
  if (fallbackLeft_ <= 0) return false;
  --fallbackLeft_;
  return true;
}

void Reader::appendText(const QString& text) {
  flushBytes();
  GroupState& s = state();
  if (QString* name = nameOf(s.destination)) {
    if (name->size() < kMaxNameLength) *name += text;
  } else if (s.destination == Destination::FieldInstruction && s.field >= 0) {
    fieldInstructions_[static_cast<std::size_t>(s.field)] += text;
  } else if (s.destination == Destination::Text && !s.chars.hidden && !text.isEmpty()) {
    if (s.field >= 0) fieldShown_[static_cast<std::size_t>(s.field)] = true;
    Run run{s.chars, text, -1};
    run.format.bookmark = std::exchange(nextBookmark_, QString());
    std::vector<Run>& runs = current_.runs;
    if (!runs.empty() && runs.back().picture < 0 && runs.back().format == run.format) {
      runs.back().text += text;
    } else {
      runs.push_back(std::move(run));
    }
  }
}

QString* Reader::nameOf(Destination d) {
  switch (d) {
    case Destination::FontTable: return &fontName_;
    case Destination::LevelText: case Destination::NumberingText: return &listText_;
    case Destination::PropertyName: return &propertyName_;
    case Destination::BookmarkName: return &bookmark_;
    case Destination::MathCharacter: return &mathCharText_;
    default: return nullptr;
  }
}

void Reader::flushBytes() {
  if (pendingBytes_.isEmpty()) return;
  const QString text = decoder_.decode(pendingBytes_, codePage());
  pendingBytes_.clear();
  appendText(text);
}

int Reader::codePage() const {
  const GroupState& s = stack_.back();
  const int number = s.destination == Destination::FontTable ? fontNumber_
                     : s.chars.font >= 0                     ? s.chars.font
                                                             : tables_.defaultFont;
  const auto found = tables_.fonts.find(number);
  if (found == tables_.fonts.end()) return documentCodePage_;
  if (found->second.codePage > 0) return found->second.codePage;
  return codePageOfCharset(found->second.charset, documentCodePage_);
}

// The paragraph being read, with the formats in force where it ends.
Paragraph Reader::takeParagraph() {
  flushBytes();
  current_.format = state().paragraph;
  if (state().boxInTable) current_.format.inTable = true;
  current_.markFormat = state().chars;
  addMarker(current_);
  return std::exchange(current_, Paragraph{});
}

void Reader::endParagraph(bool pageBreak) {
  Paragraph done = takeParagraph();
  done.pageBreakAfter = pageBreak;
  if (state().footnote) {
    done.format.inTable = false;
    footnotes_.push_back(std::move(done));
    return;
  }
  if (done.format.inTable) {
    table_.addParagraph(std::move(done));
    return;
  }
  endTable();
  setTabWidth();
  writer_.append(done);
}

// The footnote's last paragraph joins the others; the text it interrupted
// goes on.
void Reader::endFootnote() {
  flushBytes();
  if (!current_.runs.empty()) endParagraph();
  current_ = std::exchange(bodyParagraph_, Paragraph{});
}

void Reader::endCell() {
  if (state().footnote) return endParagraph();  // a footnote has no table of the page's
  Paragraph last = takeParagraph();
  last.format.inTable = true;
  table_.endCell(std::move(last));
}

void Reader::endRow() {
  if (!current_.runs.empty()) endCell();  // text after the last \cell
  if (state().footnote) return;
  table_.endRow(rowDefinition_.def());
}

void Reader::endTable() {
  if (table_.empty()) return;
  setTabWidth();
  writer_.appendTable(table_.take(rowDefinition_.def()));
}

void Reader::finishPicture() {
  const PictureData data = std::exchange(pictureData_, PictureData{});
  const GroupState& s = state();  // the group around the picture
  if (s.destination != Destination::Text || s.chars.hidden) return;
  flushBytes();
  tables_.pictures.push_back(pictures_.make(pictureProps_, data.bytes()));
  current_.runs.push_back({s.chars, QString(), static_cast<int>(tables_.pictures.size()) - 1});
}

// A list item's marker where the writer left it out of the text.
void Reader::addMarker(Paragraph& p) {
  const ParagraphFormat& f = p.format;
  if (!f.legacy.on) lists_.endLegacyRun();
  if (p.hasMarker || p.runs.empty() || (f.list <= 0 && !f.legacy.on)) return;
  const ListNumbering::Marker marker = f.list > 0 ? lists_.next(f.list, f.listLevel) : lists_.next(f.legacy);
  if (marker.text.isEmpty()) return;
  Run run{p.runs.front().format, marker.text, -1};
  run.format.link.clear();
  if (marker.font >= 0 && tables_.fonts.count(marker.font) &&
      codePageOfCharset(tables_.fonts[marker.font].charset, documentCodePage_) != kSymbolCodePage) {
    run.format.font = marker.font;
  }
  p.runs.insert(p.runs.begin(), std::move(run));
}

// The level text's first character is its length; a symbol font's
// characters written as \uN are that font's bytes.
void Reader::finishLevelText() {
  flushBytes();
  ListLevel* level = lists_.currentLevel();
  const QString text = std::exchange(listText_, QString());
  if (!level || text.isEmpty()) return;
  QString marker;
  for (const QChar c : text.mid(1, text.front().unicode())) {
    const char16_t u = c.unicode();
    if (u >= kSymbolPrivateBase && u <= kSymbolPrivateBase + 0xFF) {
      const char byte = static_cast<char>(u - kSymbolPrivateBase);
      marker += decoder_.decode(QByteArrayView(&byte, 1), kSymbolCodePage);
    } else {
      marker += c;
    }
  }
  level->text = marker;
}

void Reader::finishFontName() {
  flushBytes();
  if (fontName_.isEmpty()) return;
  tables_.fonts[fontNumber_].name = fontName_.trimmed();
  fontName_.clear();
}

void Reader::finishColour() {
  tables_.colours.push_back(colourSet_ ? QColor(red_, green_, blue_) : QColor());
  red_ = green_ = blue_ = 0;
  colourSet_ = false;
}

}  // namespace
}  // namespace qzt::rtf

void readRtf(const QByteArray& rtf, QTextDocument* document) {
  qzt::rtf::Reader(rtf, document).read();
}
