#include "page/rtf/format_words.h"

#include <algorithm>

namespace qzt::rtf {
namespace {

constexpr int kMaxTwips = 31680;      // 22 inches, the largest page
constexpr int kMaxHalfPoints = 3276;  // 1638 pt, the largest font size
constexpr int kDefaultRaise = 6;      // \up and \dn without a parameter
constexpr std::size_t kMaxTabs = 64;

bool isOn(const Token& t) { return !t.hasParam || t.param != 0; }
int index(const Token& t) { return t.hasParam ? std::max(0, t.param) : 0; }

}  // namespace

int twips(int param) { return std::clamp(param, -kMaxTwips, kMaxTwips); }

bool applyCharacterWord(Keyword k, const Token& t, CharFormat& f) {
  switch (k) {
    case Keyword::Plain: {
      const QString link = f.link;  // a field's result stays a link
      const QString bookmark = f.bookmark;
      f = CharFormat{};
      f.link = link;
      f.bookmark = bookmark;
      break;
    }
    case Keyword::B: f.bold = isOn(t); break;
    case Keyword::I: f.italic = isOn(t); break;
    case Keyword::Underline: f.underline = isOn(t); break;
    case Keyword::Ulnone: f.underline = false; break;
    case Keyword::Strike: f.strike = isOn(t); break;
    case Keyword::V: f.hidden = isOn(t); break;
    case Keyword::Scaps: f.smallCaps = isOn(t); break;
    case Keyword::Caps: f.allCaps = isOn(t); break;
    case Keyword::Fs: f.halfPoints = t.hasParam ? std::clamp(t.param, 0, kMaxHalfPoints) : CharFormat{}.halfPoints; break;
    case Keyword::Cf: f.colour = index(t); break;
    case Keyword::Background: f.background = index(t); break;
    case Keyword::F: f.font = t.hasParam ? t.param : -1; break;
    case Keyword::Super: f.script = Script::Super; break;
    case Keyword::Sub: f.script = Script::Sub; break;
    case Keyword::Nosupersub: f.script = Script::Normal; break;
    case Keyword::Up:
      f.raise = t.hasParam ? std::clamp(t.param, 0, kMaxHalfPoints) : kDefaultRaise;
      break;
    case Keyword::Dn:
      f.raise = -(t.hasParam ? std::clamp(t.param, 0, kMaxHalfPoints) : kDefaultRaise);
      break;
    default: return false;
  }
  return true;
}

bool applyParagraphWord(Keyword k, const Token& t, ParagraphFormat& p, TabStop::Kind& pendingTab) {
  switch (k) {
    case Keyword::Pard:
      p = ParagraphFormat{};
      pendingTab = TabStop::Kind::Left;
      break;
    case Keyword::Ql: p.align = Align::Left; break;
    case Keyword::Qc: p.align = Align::Centre; break;
    case Keyword::Qr: p.align = Align::Right; break;
    case Keyword::Qj: p.align = Align::Justify; break;
    case Keyword::Li: p.left = twips(t.param); break;
    case Keyword::Ri: p.right = twips(t.param); break;
    case Keyword::Fi: p.firstLine = twips(t.param); break;
    case Keyword::Sb: p.before = twips(t.param); break;
    case Keyword::Sa: p.after = twips(t.param); break;
    case Keyword::Sl: p.lineSpacing = twips(t.param); break;
    case Keyword::Slmult: p.lineMultiple = isOn(t); break;
    case Keyword::Intbl: p.inTable = isOn(t); break;
    case Keyword::Ls: p.list = std::max(0, t.param); break;
    case Keyword::Ilvl: p.listLevel = std::clamp(t.param, 0, kListLevels - 1); break;
    case Keyword::Tqc: pendingTab = TabStop::Kind::Centre; break;
    case Keyword::Tqr: pendingTab = TabStop::Kind::Right; break;
    case Keyword::Tqdec: pendingTab = TabStop::Kind::Decimal; break;
    case Keyword::Tx:
      if (p.tabs.size() < kMaxTabs) p.tabs.push_back({twips(t.param), pendingTab});
      pendingTab = TabStop::Kind::Left;
      break;
    default: return false;
  }
  return true;
}

Border* RowDefinition::border() {
  switch (side_) {
    case Side::Top: return &cell_.top;
    case Side::Left: return &cell_.left;
    case Side::Bottom: return &cell_.bottom;
    case Side::Right: return &cell_.rightBorder;
    case Side::None: return nullptr;
  }
  return nullptr;
}

bool RowDefinition::apply(Keyword k, const Token& t) {
  auto startBorder = [&](Side side) {
    side_ = side;
    *border() = Border{true, 0, 0};
  };
  switch (k) {
    case Keyword::Trowd:
      def_ = RowDef{};
      cell_ = CellDef{};
      side_ = Side::None;
      break;
    case Keyword::Cellx:
      cell_.right = twips(t.param);
      if (def_.cells.size() < kMaxRowCells) def_.cells.push_back(cell_);
      cell_ = CellDef{};
      side_ = Side::None;
      break;
    case Keyword::Clbrdrt: startBorder(Side::Top); break;
    case Keyword::Clbrdrl: startBorder(Side::Left); break;
    case Keyword::Clbrdrb: startBorder(Side::Bottom); break;
    case Keyword::Clbrdrr: startBorder(Side::Right); break;
    case Keyword::OtherBorder: side_ = Side::None; break;
    case Keyword::Brdrw: if (border()) border()->width = std::clamp(t.param, 0, kMaxTwips); break;
    case Keyword::Brdrcf: if (border()) border()->colour = index(t); break;
    case Keyword::Brdrnone: if (border()) border()->on = false; break;
    case Keyword::Clmgf: cell_.across = Merge::First; break;
    case Keyword::Clmrg: cell_.across = Merge::Next; break;
    case Keyword::Clvmgf: cell_.down = Merge::First; break;
    case Keyword::Clvmrg: cell_.down = Merge::Next; break;
    case Keyword::Clcbpat: cell_.background = index(t); break;
    case Keyword::Clvertalt: cell_.valign = VerticalAlign::Top; break;
    case Keyword::Clvertalc: cell_.valign = VerticalAlign::Centre; break;
    case Keyword::Clvertalb: cell_.valign = VerticalAlign::Bottom; break;
    case Keyword::Clpadl: cell_.padLeft = std::clamp(t.param, 0, kMaxTwips); break;
    case Keyword::Clpadr: cell_.padRight = std::clamp(t.param, 0, kMaxTwips); break;
    case Keyword::Trgaph: def_.gap = std::clamp(t.param, 0, kMaxTwips); break;
    case Keyword::Trleft: def_.left = twips(t.param); break;
    case Keyword::Trql: def_.align = Align::Left; break;
    case Keyword::Trqc: def_.align = Align::Centre; break;
    case Keyword::Trqr: def_.align = Align::Right; break;
    default: return false;
  }
  return true;
}

}  // namespace qzt::rtf
