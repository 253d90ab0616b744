// Control words that change a format: characters, paragraphs and table row
// definitions. Each apply function reports whether the word was one of its
// own, so the reader can try them in turn.
#pragma once

#include "page/rtf/keywords.h"
#include "page/rtf/model.h"
#include "page/rtf/tokenizer.h"

namespace qzt::rtf {

bool applyCharacterWord(Keyword k, const Token& t, CharFormat& f);

// Tab kinds (\tqr, \tqc, \tqdec) apply to the next \tx; pendingTab holds them.
bool applyParagraphWord(Keyword k, const Token& t, ParagraphFormat& p, TabStop::Kind& pendingTab);

// A row definition as \trowd ... \cellx words build it. The definition stays
// in force for later rows until the next \trowd.
class RowDefinition {
 public:
  bool apply(Keyword k, const Token& t);
  const RowDef& def() const { return def_; }

 private:
  enum class Side { None, Top, Left, Bottom, Right };
  Border* border();

  RowDef def_;
  CellDef cell_;  // the cell being defined, until its \cellx
  Side side_ = Side::None;
};

// A length in twips from a parameter, within the largest page there is.
int twips(int param);

}  // namespace qzt::rtf
