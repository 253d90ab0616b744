#include "page/rtf/field.h"

#include <QStringList>

namespace qzt::rtf {
namespace {

// Words of an instruction; a quoted word keeps its blanks, and inside it
// "\\" stands for one backslash and "\"" for a quote.
QStringList instructionWords(const QString& instruction) {
  QStringList words;
  QString word;
  bool quoted = false;
  bool inWord = false;
  for (qsizetype i = 0; i < instruction.size(); ++i) {
    const QChar c = instruction[i];
    if (quoted && c == u'\\' && i + 1 < instruction.size() &&
        (instruction[i + 1] == u'\\' || instruction[i + 1] == u'"')) {
      word += instruction[++i];
    } else if (c == u'"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && c.isSpace()) {
      if (inWord) words.append(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.append(word);
  return words;
}

}  // namespace

QString hyperlinkTarget(const QString& instruction) {
  const QStringList words = instructionWords(instruction);
  if (words.isEmpty() || words.front().compare(u"HYPERLINK", Qt::CaseInsensitive) != 0) return {};
  QString address;
  QString location;
  for (qsizetype i = 1; i < words.size(); ++i) {
    const QString& w = words[i];
    const bool takesArgument = w == u"\\l" || w == u"\\o" || w == u"\\t";
    if (takesArgument && i + 1 < words.size()) {
      if (w == u"\\l") location = words[i + 1];
      ++i;
    } else if (!w.startsWith(u'\\') && address.isEmpty()) {
      address = w.trimmed();
    }
  }
  if (address.isEmpty()) return location.isEmpty() ? QString() : u'#' + location;
  return location.isEmpty() ? address : address + u'#' + location;
}

std::optional<SymbolField> symbolField(const QString& instruction) {
  const QStringList words = instructionWords(instruction);
  if (words.size() < 2 || words.front().compare(u"SYMBOL", Qt::CaseInsensitive) != 0) return std::nullopt;
  SymbolField field;
  bool ok = false;
  field.code = words[1].startsWith(u"0x", Qt::CaseInsensitive) ? words[1].mid(2).toInt(&ok, 16) : words[1].toInt(&ok);
  if (!ok || field.code <= 0 || field.code > 0xFFFF) return std::nullopt;
  for (qsizetype i = 2; i < words.size(); ++i) {
    if (words[i] == u"\\f" && i + 1 < words.size()) field.font = words[++i];
    if (words[i] == u"\\u") field.unicode = true;
  }
  return field;
}

}  // namespace qzt::rtf
