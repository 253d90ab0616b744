// GBK text from papers and answer files, at the edge of the window code.
//
// GB18030 is a superset of GBK that Qt's ICU-backed codecs know by name.
// A Qt built without it could not show a single paper, so a missing codec
// stops the program with a clear message instead of showing garbage.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// GBK bytes as text. Bytes that are not GBK become U+FFFD.
QString fromGbk(const QByteArray& gbk);
QString fromGbk(const std::string& gbk);

// Text as GBK bytes (characters outside GBK take GB18030's 4-byte form).
QByteArray toGbk(const QString& text);
std::string toGbkString(const QString& text);

// Paper text as a tool tip that shows it as written: a tool tip would take
// text such as "<b>x</b>" for markup. Empty text gives no tool tip.
QString plainToolTip(const QString& text);
