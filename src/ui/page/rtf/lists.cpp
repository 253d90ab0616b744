#include "page/rtf/lists.h"

#include <algorithm>

namespace qzt::rtf {
namespace {

constexpr int kMaxCount = 1000000;  // beyond any real list; keeps counting in range

QString roman(int n) {
  static const std::pair<int, const char*> kParts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                       {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                       {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"}, {1, "i"}};
  QString text;
  for (const auto& [value, letters] : kParts) {
    for (; n >= value; n -= value) text += QLatin1String(letters);
  }
  return text;
}

// a..z, then aa..zz, as lists count past z.
QString letters(int n) {
  const int repeat = (n - 1) / 26 + 1;
  return QString(repeat, QChar(u'a' + (n - 1) % 26));
}

QString chineseCounting(int n, bool legal) {
  static const char16_t kDigits[] = u"零一二三四五六七八九";
  static const char16_t kLegalDigits[] = u"零壹贰叁肆伍陆柒捌玖";
  const char16_t* digits = legal ? kLegalDigits : kDigits;
  const QChar ten = legal ? QChar(u'拾') : QChar(u'十');
  const QChar hundred = legal ? QChar(u'佰') : QChar(u'百');
  QString text;
  if (n >= 100) {
    text += QChar(digits[n / 100]);
    text += hundred;
    n %= 100;
    if (n > 0 && n < 10) text += QChar(digits[0]);
    if (n >= 10 && n < 20) text += QChar(digits[1]);  // 一百一十
  } else if (n >= 10 && n < 20) {
    text += ten;
    n %= 10;
    if (n > 0) text += QChar(digits[n]);
    return text;
  }
  if (n >= 10) {
    if (n >= 20) text += QChar(digits[n / 10]);
    text += ten;
    n %= 10;
  }
  if (n > 0) text += QChar(digits[n]);
  return text;
}

}  // namespace

NumberFormat numberFormat(int levelnfc) {
  switch (levelnfc) {
    case 1: return NumberFormat::UpperRoman;
    case 2: return NumberFormat::LowerRoman;
    case 3: return NumberFormat::UpperLetter;
    case 4: return NumberFormat::LowerLetter;
    case 5: return NumberFormat::Ordinal;
    case 14: case 19: return NumberFormat::FullWidth;
    case 18: case 28: return NumberFormat::Circled;
    case 22: return NumberFormat::LeadingZero;
    case 23: return NumberFormat::Bullet;
    case 27: return NumberFormat::Parenthesised;
    case 10: case 33: case 37: case 39: return NumberFormat::ChineseCounting;
    case 11: case 38: return NumberFormat::ChineseLegal;
    case 255: return NumberFormat::None;
    default: return NumberFormat::Decimal;
  }
}

QString formatNumber(int n, NumberFormat format) {
  if (n < 1) return QString::number(n);  // a list started at 0: no letter or numeral for it
  switch (format) {
    case NumberFormat::UpperRoman: if (n < 4000) return roman(n).toUpper(); break;
    case NumberFormat::LowerRoman: if (n < 4000) return roman(n); break;
    case NumberFormat::UpperLetter: if (n <= 26 * 10) return letters(n).toUpper(); break;
    case NumberFormat::LowerLetter: if (n <= 26 * 10) return letters(n); break;
    case NumberFormat::Ordinal: {
      const int tens = n % 100;
      const char* suffix = (tens >= 11 && tens <= 13) ? "th" : n % 10 == 1 ? "st" : n % 10 == 2 ? "nd"
                           : n % 10 == 3                   ? "rd" : "th";
      return QString::number(n) + QLatin1String(suffix);
    }
    case NumberFormat::FullWidth: {
      QString text = QString::number(n);
      for (QChar& c : text) c = QChar(c.unicode() - u'0' + 0xFF10);
      return text;
    }
    case NumberFormat::Circled: if (n <= 20) return QString(QChar(0x2460 + n - 1)); break;
    case NumberFormat::Parenthesised: if (n <= 20) return QString(QChar(0x2474 + n - 1)); break;
    case NumberFormat::LeadingZero: return QString::number(n).rightJustified(2, u'0');
    case NumberFormat::ChineseCounting: if (n < 1000) return chineseCounting(n, false); break;
    case NumberFormat::ChineseLegal: if (n < 1000) return chineseCounting(n, true); break;
    case NumberFormat::Bullet: case NumberFormat::None: return {};
    case NumberFormat::Decimal: break;
  }
  return QString::number(n);
}

void ListNumbering::beginList() {
  if (lists_.size() < kMaxLists) lists_.emplace_back();
}

void ListNumbering::beginLevel() {
  if (ListDef* list = currentList(); list && list->levels.size() < static_cast<std::size_t>(kListLevels)) {
    list->levels.emplace_back();
  }
}

ListDef* ListNumbering::currentList() { return lists_.empty() ? nullptr : &lists_.back(); }

ListLevel* ListNumbering::currentLevel() {
  ListDef* list = currentList();
  return list && !list->levels.empty() ? &list->levels.back() : nullptr;
}

void ListNumbering::beginOverride() { pendingOverride_ = 0; }
void ListNumbering::setOverrideList(int listId) { pendingOverride_ = listId; }

void ListNumbering::setOverrideNumber(int ls) {
  if (overrides_.size() < kMaxLists || overrides_.count(ls)) overrides_[ls] = pendingOverride_;
}

const ListDef* ListNumbering::listOf(int ls) const {
  const auto found = overrides_.find(ls);
  const int id = found == overrides_.end() ? ls : found->second;  // some writers name the list itself
  const auto list = std::find_if(lists_.begin(), lists_.end(), [&](const ListDef& l) { return l.id == id; });
  return list == lists_.end() ? nullptr : &*list;
}

ListNumbering::Marker ListNumbering::next(int ls, int level) {
  const ListDef* list = listOf(ls);
  if (!list || list->levels.empty()) return {};
  level = std::clamp(level, 0, static_cast<int>(list->levels.size()) - 1);
  std::array<int, kListLevels>& counts = counts_[list->id];
  const auto at = static_cast<std::size_t>(level);
  const ListLevel& own = list->levels[at];
  counts[at] = counts[at] == 0 ? own.start : std::min(counts[at] + 1, kMaxCount);
  for (std::size_t deeper = at + 1; deeper < counts.size(); ++deeper) {
    if (deeper >= list->levels.size() || !list->levels[deeper].noRestart) counts[deeper] = 0;
  }
  Marker marker{{}, own.font};
  for (const QChar c : own.text) {
    const auto placeholder = static_cast<std::size_t>(c.unicode());
    if (placeholder >= static_cast<std::size_t>(kListLevels)) {
      marker.text += c;
    } else if (placeholder < list->levels.size()) {
      const ListLevel& named = list->levels[placeholder];
      const int n = counts[placeholder] == 0 ? named.start : counts[placeholder];
      marker.text += formatNumber(n, own.legal && placeholder < at ? NumberFormat::Decimal : named.format);
    }
  }
  if (own.format == NumberFormat::Bullet && marker.text.isEmpty()) marker.text = QChar(0x2022);
  if (marker.text.isEmpty()) return marker;
  if (own.follow == 0) marker.text += u'\t';
  if (own.follow == 1) marker.text += u' ';
  return marker;
}

ListNumbering::Marker ListNumbering::next(const LegacyNumbering& numbering) {
  Marker marker{numbering.before, numbering.font};
  if (numbering.bullet) {
    if (marker.text.isEmpty()) marker.text = QChar(0x2022);
  } else {
    const auto at = static_cast<std::size_t>(std::clamp(numbering.level, 0, kListLevels));
    int& count = legacyCount_[at];
    count = count == 0 ? numbering.start : std::min(count + 1, kMaxCount);
    std::fill(legacyCount_.begin() + static_cast<std::ptrdiff_t>(at) + 1, legacyCount_.end(), 0);
    marker.text += formatNumber(count, numbering.format);
  }
  marker.text += numbering.after + u'\t';
  return marker;
}

}  // namespace qzt::rtf
