#include "side/link.h"

#include <algorithm>

namespace qzt {

std::string linkAddress(std::string address) {
  std::string lower = address;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  if (lower.find("http://") != std::string::npos || lower.rfind("https://", 0) == 0) return address;
  return "http://" + address;
}

}  // namespace qzt
