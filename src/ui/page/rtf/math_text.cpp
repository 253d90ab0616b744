#include "page/rtf/math_text.h"

namespace qzt::rtf {
namespace {

constexpr std::size_t kMaxFrames = 200;  // more than groups can nest

// A part of more than one term ("y+1", "a b") is bracketed after a / or √.
bool needsBrackets(const QString& text) {
  if (text.size() < 2) return false;
  for (const QChar c : text) {
    if (!c.isLetterOrNumber() && c != u'.' && c != u',') return true;
  }
  return false;
}

void append(std::vector<Run>& runs, const CharFormat& chars, const QString& text) {
  if (!text.isEmpty()) runs.push_back({chars, text, -1});
}

}  // namespace

void MathText::open(MathStructure structure, int depth) {
  if (frames_.size() >= kMaxFrames) return;
  Frame frame;
  frame.depth = depth;
  frame.structure = structure;
  if (structure == MathStructure::Delimiter) {
    frame.begin = QStringLiteral("(");
    frame.end = QStringLiteral(")");
    frame.separator = QStringLiteral("|");
  }
  if (structure == MathStructure::Nary) frame.character = QString(QChar(0x222B));    // ∫
  if (structure == MathStructure::Accent) frame.character = QString(QChar(0x0302));  // a hat, combining
  frames_.push_back(frame);
}

MathText::Frame* MathText::structureAt(int depth) {
  if (frames_.empty() || frames_.back().isPart || frames_.back().depth != depth) return nullptr;
  return &frames_.back();
}

Script MathText::part(MathPart part, int depth, std::vector<Run>& runs, const CharFormat& chars) {
  Frame* s = structureAt(depth - 1);
  const MathStructure structure = s ? s->structure : MathStructure::Other;
  Script script = part == MathPart::Superscript ? Script::Super
                  : part == MathPart::Subscript ? Script::Sub
                                                : Script::Normal;
  bool bracketed = false;
  switch (structure) {
    case MathStructure::Fraction:
      if (part == MathPart::Denominator) append(runs, chars, QStringLiteral("/"));
      bracketed = part == MathPart::Numerator || part == MathPart::Denominator;
      break;
    case MathStructure::Radical:
      if (part == MathPart::Degree) script = Script::Super;
      if (part == MathPart::Base) append(runs, chars, QString(QChar(0x221A)));  // √
      bracketed = part == MathPart::Base;
      break;
    case MathStructure::Delimiter:
      if (part == MathPart::Base) append(runs, chars, s->parts++ == 0 ? s->begin : s->separator);
      break;
    case MathStructure::Nary:
      if (!s->started) append(runs, chars, s->character);
      s->started = true;
      break;
    case MathStructure::Function:
      if (part == MathPart::Base) append(runs, chars, QStringLiteral(" "));
      break;
    default: break;
  }
  if (frames_.size() < kMaxFrames) {
    Frame frame;
    frame.depth = depth;
    frame.isPart = true;
    frame.part = part;
    frame.bracketed = bracketed;
    frame.fence = runs.size();
    if (bracketed) runs.push_back({chars, QString(), -1});  // the part's text starts here
    frames_.push_back(frame);
  }
  return script;
}

void MathText::setCharacter(MathChar which, const QString& text) {
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
    if (it->isPart) continue;
    switch (which) {
      case MathChar::Character: it->character = text; break;
      case MathChar::Begin: it->begin = text; break;
      case MathChar::End: it->end = text; break;
      case MathChar::Separator: it->separator = text; break;
    }
    return;
  }
}

void MathText::close(int depth, std::vector<Run>& runs, const CharFormat& chars) {
  while (!frames_.empty() && frames_.back().depth >= depth) {
    const Frame frame = frames_.back();
    frames_.pop_back();
    if (frame.isPart) {
      if (!frame.bracketed || frame.fence >= runs.size()) continue;
      QString text;
      for (std::size_t i = frame.fence; i < runs.size(); ++i) text += runs[i].text;
      if (!needsBrackets(text)) continue;
      runs[frame.fence].text.prepend(u'(');
      append(runs, runs[frame.fence].format, QStringLiteral(")"));
    } else if (frame.structure == MathStructure::Delimiter) {
      append(runs, chars, frame.end);
    } else if (frame.structure == MathStructure::Accent) {
      append(runs, chars, frame.character);
    }
  }
}

}  // namespace qzt::rtf
