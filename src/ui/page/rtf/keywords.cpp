#include "page/rtf/keywords.h"

#include <string_view>
#include <unordered_map>

namespace qzt::rtf {
namespace {

using K = Keyword;

const std::unordered_map<std::string_view, Keyword>& table() {
  static const std::unordered_map<std::string_view, Keyword> words = {
      {"ansicpg", K::Ansicpg}, {"pc", K::Pc}, {"pca", K::Pca}, {"mac", K::Mac}, {"deff", K::Deff}, {"deftab", K::Deftab}, {"uc", K::Uc},
      {"u", K::U}, {"bin", K::Bin},

      {"fonttbl", K::Fonttbl}, {"colortbl", K::Colortbl}, {"pict", K::Pict},
      {"field", K::Field}, {"fldinst", K::Fldinst}, {"fldrslt", K::Fldrslt},
      {"shppict", K::Shppict}, {"object", K::Object}, {"result", K::Result},
      // Destinations whose text is not the document's.
      {"stylesheet", K::Skipped}, {"info", K::Skipped}, {"header", K::Skipped},
      {"headerl", K::Skipped}, {"headerr", K::Skipped}, {"headerf", K::Skipped},
      {"footer", K::Skipped}, {"footerl", K::Skipped}, {"footerr", K::Skipped},
      {"footerf", K::Skipped}, {"rsidtbl", K::Skipped}, {"generator", K::Skipped},
      {"themedata", K::Skipped}, {"colorschememapping", K::Skipped},
      {"latentstyles", K::Skipped}, {"datastore", K::Skipped}, {"xmlnstbl", K::Skipped},
      {"filetbl", K::Skipped}, {"revtbl", K::Skipped}, {"nonshppict", K::Skipped},
      {"private", K::Skipped}, {"bkmkend", K::Skipped},
      {"objdata", K::Skipped}, {"nesttableprops", K::Skipped}, {"annotation", K::Skipped}, {"atnid", K::Skipped},
      {"xe", K::Skipped}, {"tc", K::Skipped},
      // A shape's result is its picture for readers without shapes; this one reads the shape.
      {"shprslt", K::Skipped},
      {"shpinst", K::Shpinst}, {"shptxt", K::Shptxt}, {"dptxbxtext", K::Shptxt}, {"sp", K::Sp},
      {"sn", K::Sn}, {"sv", K::Sv}, {"do", K::Do}, {"shpleft", K::Shpleft}, {"shptop", K::Shptop},
      {"shpright", K::Shpright}, {"shpbottom", K::Shpbottom}, {"bkmkstart", K::Bkmkstart},
      {"footnote", K::Footnote}, {"chftn", K::Chftn},

      {"f", K::F}, {"fcharset", K::Fcharset}, {"cpg", K::Cpg}, {"froman", K::Froman}, {"red", K::Red},
      {"green", K::Green}, {"blue", K::Blue},

      {"plain", K::Plain}, {"b", K::B}, {"i", K::I}, {"ulnone", K::Ulnone},
      {"strike", K::Strike}, {"striked", K::Strike}, {"fs", K::Fs}, {"cf", K::Cf},
      {"cb", K::Background}, {"highlight", K::Background}, {"chcbpat", K::Background},
      {"super", K::Super}, {"sub", K::Sub}, {"nosupersub", K::Nosupersub}, {"up", K::Up},
      {"dn", K::Dn}, {"v", K::V}, {"scaps", K::Scaps}, {"caps", K::Caps},
      {"dbch", K::Dbch}, {"loch", K::OtherScript}, {"hich", K::OtherScript},
      {"rtlch", K::OtherScript}, {"ltrch", K::OtherScript}, {"ab", K::Ab}, {"ai", K::Ai},
      {"afs", K::Afs}, {"af", K::Af},
      {"ul", K::Underline}, {"uld", K::Underline}, {"uldb", K::Underline},
      {"ulw", K::Underline}, {"uldash", K::Underline}, {"uldashd", K::Underline},
      {"uldashdd", K::Underline}, {"ulth", K::Underline}, {"ulwave", K::Underline},
      {"ulhwave", K::Underline}, {"ululdbwave", K::Underline}, {"ulthd", K::Underline},
      {"ulthdash", K::Underline}, {"ulldash", K::Underline}, {"ulthldash", K::Underline},
      {"ulthdashd", K::Underline}, {"ulthdashdd", K::Underline},

      {"par", K::Par}, {"pard", K::Pard}, {"ql", K::Ql}, {"qc", K::Qc}, {"qr", K::Qr},
      {"qj", K::Qj}, {"qd", K::Qj}, {"li", K::Li}, {"ri", K::Ri}, {"fi", K::Fi},
      {"sb", K::Sb}, {"sa", K::Sa}, {"sl", K::Sl}, {"slmult", K::Slmult}, {"tx", K::Tx},
      {"tqc", K::Tqc}, {"tqr", K::Tqr}, {"tqdec", K::Tqdec}, {"intbl", K::Intbl},
      {"line", K::Line}, {"page", K::Page}, {"sect", K::Sect}, {"column", K::Sect},

      {"trowd", K::Trowd}, {"cellx", K::Cellx}, {"clbrdrt", K::Clbrdrt},
      {"clbrdrl", K::Clbrdrl}, {"clbrdrb", K::Clbrdrb}, {"clbrdrr", K::Clbrdrr},
      // Borders of paragraphs and whole rows: their width and colour are not a cell's.
      {"brdrt", K::OtherBorder}, {"brdrl", K::OtherBorder}, {"brdrb", K::OtherBorder},
      {"brdrr", K::OtherBorder}, {"box", K::OtherBorder}, {"trbrdrt", K::OtherBorder},
      {"trbrdrl", K::OtherBorder}, {"trbrdrb", K::OtherBorder}, {"trbrdrr", K::OtherBorder},
      {"trbrdrh", K::OtherBorder}, {"trbrdrv", K::OtherBorder},
      {"brdrw", K::Brdrw}, {"brdrcf", K::Brdrcf}, {"brdrnone", K::Brdrnone},
      {"brdrnil", K::Brdrnone}, {"brdrtbl", K::Brdrnone},
      {"clmgf", K::Clmgf}, {"clmrg", K::Clmrg}, {"clvmgf", K::Clvmgf}, {"clvmrg", K::Clvmrg},
      {"clcbpat", K::Clcbpat}, {"clvertalt", K::Clvertalt}, {"clvertalc", K::Clvertalc},
      {"clvertalb", K::Clvertalb}, {"clpadl", K::Clpadl}, {"clpadr", K::Clpadr},
      {"trgaph", K::Trgaph}, {"trleft", K::Trleft}, {"trql", K::Trql}, {"trqc", K::Trqc},
      {"trqr", K::Trqr}, {"cell", K::CellEnd}, {"row", K::RowEnd}, {"nestcell", K::Nestcell},

      {"pngblip", K::Pngblip}, {"jpegblip", K::Jpegblip}, {"emfblip", K::Emfblip},
      {"wmetafile", K::Wmetafile}, {"dibitmap", K::OtherPicture},
      {"wbitmap", K::OtherPicture}, {"macpict", K::OtherPicture},
      {"pmmetafile", K::OtherPicture}, {"picw", K::Picw}, {"pich", K::Pich},
      {"picwgoal", K::Picwgoal}, {"pichgoal", K::Pichgoal}, {"picscalex", K::Picscalex},
      {"picscaley", K::Picscaley},

      {"listtable", K::Listtable}, {"listoverridetable", K::Listoverridetable}, {"list", K::List},
      {"listlevel", K::Listlevel}, {"levelnfc", K::Levelnfc}, {"levelnfcn", K::Levelnfc},
      {"levelstartat", K::Levelstartat}, {"leveltext", K::Leveltext}, {"levellegal", K::Levellegal},
      {"levelnorestart", K::Levelnorestart}, {"levelfollow", K::Levelfollow}, {"listid", K::Listid},
      {"listoverride", K::Listoverride}, {"ls", K::Ls}, {"ilvl", K::Ilvl}, {"listtext", K::Listtext},
      {"pntext", K::Listtext}, {"pn", K::Pn}, {"pnlvlbody", K::Pnlvlbody}, {"pnlvlblt", K::Pnlvlblt},
      {"pnlvlcont", K::Pnlvlcont}, {"pnlvl", K::Pnlvl}, {"pndec", K::Pndec}, {"pnucrm", K::Pnucrm},
      {"pnlcrm", K::Pnlcrm}, {"pnucltr", K::Pnucltr}, {"pnlcltr", K::Pnlcltr}, {"pnord", K::Pnord},
      {"pnstart", K::Pnstart}, {"pnf", K::Pnf}, {"pntxtb", K::Pntxtb}, {"pntxta", K::Pntxta},

      {"mmath", K::Mmath}, {"mf", K::Mf}, {"mrad", K::Mrad}, {"md", K::Md}, {"mnary", K::Mnary},
      {"msSup", K::Mscript}, {"msSub", K::Mscript}, {"msSubSup", K::Mscript}, {"msPre", K::Mscript},
      {"mfunc", K::Mfunc}, {"macc", K::Macc}, {"moMath", K::MathOther}, {"moMathPara", K::MathOther},
      {"mbar", K::MathOther}, {"mlimLow", K::MathOther}, {"mlimUpp", K::MathOther}, {"mlim", K::MathOther},
      {"mgroupChr", K::MathOther}, {"mborderBox", K::MathOther}, {"mbox", K::MathOther},
      {"meqArr", K::MathOther}, {"mm", K::MathOther}, {"mmr", K::MathOther}, {"mphant", K::MathOther},
      {"mr", K::MathOther}, {"mnum", K::Mnum}, {"mden", K::Mden}, {"me", K::Me}, {"msup", K::Msup},
      {"msub", K::Msub}, {"mdeg", K::Mdeg}, {"mfName", K::MfName},
      {"mfPr", K::MathProps}, {"msSupPr", K::MathProps}, {"msSubPr", K::MathProps},
      {"msSubSupPr", K::MathProps}, {"msPrePr", K::MathProps}, {"mradPr", K::MathProps},
      {"mdPr", K::MathProps}, {"mnaryPr", K::MathProps}, {"mfuncPr", K::MathProps},
      {"mctrlPr", K::MathProps}, {"mrPr", K::MathProps}, {"maccPr", K::MathProps}, {"mbarPr", K::MathProps},
      {"mlimLowPr", K::MathProps}, {"mlimUppPr", K::MathProps}, {"mboxPr", K::MathProps},
      {"mborderBoxPr", K::MathProps}, {"mgroupChrPr", K::MathProps}, {"meqArrPr", K::MathProps},
      {"mmPr", K::MathProps}, {"mphantPr", K::MathProps}, {"moMathParaPr", K::MathProps},
      {"mchr", K::Mchr}, {"mbegChr", K::MbegChr}, {"mendChr", K::MendChr}, {"msepChr", K::MsepChr},
      // An equation's picture for readers without equations; this one writes the equation.
      {"mmathPict", K::Skipped},

      {"tab", K::Tab}, {"emdash", K::Emdash}, {"endash", K::Endash}, {"emspace", K::Emspace},
      {"enspace", K::Enspace}, {"bullet", K::Bullet}, {"lquote", K::Lquote},
      {"rquote", K::Rquote}, {"ldblquote", K::Ldblquote}, {"rdblquote", K::Rdblquote},
  };
  return words;
}

}  // namespace

Keyword keyword(QByteArrayView word) {
  const auto found = table().find(std::string_view(word.data(), static_cast<std::size_t>(word.size())));
  return found == table().end() ? Keyword::Unknown : found->second;
}

}  // namespace qzt::rtf
