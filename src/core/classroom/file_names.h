// Answer file names from a candidate's number and name: the same on every
// system, so a folder copied from the server opens anywhere.
#pragma once

#include <string>

namespace qzt::classroom {

// "number-name" (UTF-8) with every character Windows refuses or treats
// specially replaced by "_" (controls, < > : " / \ | ? *), no trailing
// dot or blank, never a reserved device name (CON, NUL, COM1, ...), at
// most 96 bytes cut at a character boundary, never empty.
std::string fileStem(const std::string& name, const std::string& number);

}  // namespace qzt::classroom
