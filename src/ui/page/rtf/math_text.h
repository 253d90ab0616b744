// Equations ({\mmath}, the RTF form of Office Math) as linear text: runs as
// they are, fractions as num/den, radicals as √(x), delimiters with their
// characters, n-ary operators with their limits, and scripts raised or
// lowered. Structures nest as the groups that hold them; a structure's
// parts (\mnum, \me, \msup...) are groups right inside it.
#pragma once

#include <QString>

#include <vector>

#include "page/rtf/model.h"

namespace qzt::rtf {

enum class MathStructure { Fraction, Radical, Delimiter, Nary, Script, Function, Accent, Other };
enum class MathPart { Numerator, Denominator, Base, Superscript, Subscript, Degree, FunctionName };
enum class MathChar { Character, Begin, End, Separator };  // \mchr, \mbegChr, \mendChr, \msepChr

class MathText {
 public:
  // A structure word in the group at depth.
  void open(MathStructure structure, int depth);
  // A part word in the group at depth, with the runs of the paragraph: what
  // goes before the part is appended, and the part's script returned.
  Script part(MathPart part, int depth, std::vector<Run>& runs, const CharFormat& chars);
  // A property group's \mchr, \mbegChr... of the structure the properties are in.
  void setCharacter(MathChar which, const QString& text);
  // The group at depth has ended: what ends a part or structure there is
  // appended to the runs.
  void close(int depth, std::vector<Run>& runs, const CharFormat& chars);

 private:
  struct Frame {
    int depth = 0;
    bool isPart = false;
    MathStructure structure = MathStructure::Other;
    MathPart part = MathPart::Base;
    QString begin, end, separator, character;
    bool hasCharacter = false;
    int parts = 0;            // bases seen, for separators
    bool started = false;     // an n-ary operator's character written
    std::size_t fence = 0;    // part: its first run, bracketed when more than one term
    bool bracketed = false;   // part: wrapped in ( ) when complex
  };
  Frame* structureAt(int depth);

  std::vector<Frame> frames_;
};

}  // namespace qzt::rtf
