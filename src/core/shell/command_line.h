// The paper named on the command line. The arguments after the program
// are joined with single blanks, so an unquoted path with blanks is found
// whole; the text up to one character past the first ".qzt" (any letter
// case) is the paper. Letter case is kept: file systems here tell it apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qzt {

// The paper in a command text (the arguments joined), trimmed of blanks
// and control characters; empty when the text holds no ".qzt". A quoted
// path keeps its quotes and so names no file.
std::string commandLinePaper(std::string_view text);

// The same for the arguments after the program name.
std::string commandLinePaper(const std::vector<std::string>& args);

// A request answered without a window: "--help" or "--version" given alone.
// With anything beside them, the arguments are the paper rule's.
enum class InfoRequest { None, Help, Version };
InfoRequest infoRequest(const std::vector<std::string>& args);

}  // namespace qzt
