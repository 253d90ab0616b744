// The about text of a paper (GBK lines) as the about window shows it:
// labels one under the other, empty lines as small gaps, lines with an
// "http://" address as link labels. The layout is pure arithmetic over the
// label heights the window measures.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "util/bytes.h"

namespace qzt {

inline constexpr int kMaxAboutLabels = 96;
inline constexpr int kAboutFirstTop = 10;
inline constexpr int kAboutLabelLeft = 10;
inline constexpr int kAboutLabelSpacing = 6;
inline constexpr int kAboutGap = 4;
inline constexpr int kAboutButtonStripHeight = 37;
inline constexpr int kAboutBottomMargin = 40;

struct AboutItem {
  bool gap = false;                 // an empty line: no label
  ByteString caption;               // the whole line, blanks included
  std::optional<ByteString> link;   // target of a link label
};

// Items in line order; reading stops at the 97th label.
std::vector<AboutItem> parseAboutText(std::string_view fileBytes);

// The link target of a line: the line as written from its first "http://"
// (found in any letter case) to its end; none when it holds no "http://".
std::optional<ByteString> aboutLinkTarget(const ByteString& line);

// Top of each label (items that are not gaps, in order).
// REQUIRES: labelHeights has one entry per label item.
std::vector<int> aboutLabelTops(const std::vector<AboutItem>& items,
                                const std::vector<int>& labelHeights);

// Window height for a last label at lastTop, lastHeight high.
int aboutWindowHeight(int lastTop, int lastHeight);

// A window size that does not fit the screen becomes screen size - 2.
int fitToScreen(int size, int screenSize);

}  // namespace qzt
