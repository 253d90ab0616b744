// The one rule for web addresses handed to the browser.
#pragma once

#include <string>

namespace qzt {

// The address with "http://" put in front, unless its ASCII-lower-cased
// form already contains "http://" anywhere or starts with "https://" (a
// prefix there would only break a secure address).
std::string linkAddress(std::string address);

}  // namespace qzt
