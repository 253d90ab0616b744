// The control words the reader acts on. Words with the same effect share a
// keyword (every kind of underline is Underline); any other word is Unknown.
#pragma once

#include <QByteArrayView>

namespace qzt::rtf {

enum class Keyword {
  Unknown,
  // Document
  Ansicpg, Pc, Pca, Mac, Deff, Deftab, Uc, U, Bin,
  // Destinations
  Fonttbl, Colortbl, Pict, Field, Fldinst, Fldrslt, Shppict, Object, Result, Skipped,
  // Shapes: their instructions, text boxes, properties; drawing objects
  Shpinst, Shptxt, Sp, Sn, Sv, Do, Shpleft, Shptop, Shpright, Shpbottom,
  // Bookmarks, where HYPERLINK \l fields lead
  Bkmkstart,
  // Footnotes and their automatic numbers
  Footnote, Chftn,
  // Font and colour tables
  F, Fcharset, Cpg, Froman, Red, Green, Blue,
  // Characters
  Plain, B, I, Underline, Ulnone, Strike, Fs, Cf, Background, Super, Sub, Nosupersub, Up, Dn,
  V, Scaps, Caps,
  // East Asian text (\dbch) and its associated formats (\ab, \ai, \afs, \af)
  Dbch, OtherScript, Ab, Ai, Afs, Af,
  // Paragraphs
  Par, Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, Slmult, Tx, Tqc, Tqr, Tqdec, Intbl,
  Line, Page, Sect,
  // Tables
  Trowd, Cellx, Clbrdrt, Clbrdrl, Clbrdrb, Clbrdrr, OtherBorder, Brdrw, Brdrcf, Brdrnone,
  Clmgf, Clmrg, Clvmgf, Clvmrg, Clcbpat, Clvertalt, Clvertalc, Clvertalb, Clpadl, Clpadr,
  Trgaph, Trleft, Trql, Trqc, Trqr, CellEnd, RowEnd, Nestcell,
  // Pictures
  Pngblip, Jpegblip, Emfblip, Wmetafile, OtherPicture, Picw, Pich, Picwgoal, Pichgoal,
  Picscalex, Picscaley,
  // Lists: the tables, an item's list and level, legacy numbering, markers in the text
  Listtable, Listoverridetable, List, Listlevel, Levelnfc, Levelstartat, Leveltext, Levellegal,
  Levelnorestart, Levelfollow, Listid, Listoverride, Ls, Ilvl, Listtext, Pn, Pnlvlbody, Pnlvlblt,
  Pnlvlcont, Pnlvl, Pndec, Pnucrm, Pnlcrm, Pnucltr, Pnlcltr, Pnord, Pnstart, Pnf, Pntxtb, Pntxta,
  // Equations: structures, their parts, the characters their properties name
  Mmath, Mf, Mrad, Md, Mnary, Mscript, Mfunc, Macc, MathOther, Mnum, Mden, Me, Msup, Msub, Mdeg,
  MfName, MathProps, Mchr, MbegChr, MendChr, MsepChr,
  // Characters by name
  Tab, Emdash, Endash, Emspace, Enspace, Bullet, Lquote, Rquote, Ldblquote, Rdblquote,
};

Keyword keyword(QByteArrayView word);

}  // namespace qzt::rtf
