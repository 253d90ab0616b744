#include "side/about_text.h"

#include "side/gbk_ascii.h"
#include "side/text_lines.h"

namespace qzt {

std::optional<ByteString> aboutLinkTarget(const ByteString& line) {
  // Found in any letter case, opened as written: paths on most servers
  // tell capitals apart.
  const std::size_t at = lowerAsciiGbk(line).find("http://");
  if (at == ByteString::npos) return std::nullopt;
  return line.substr(at);
}

std::vector<AboutItem> parseAboutText(std::string_view fileBytes) {
  std::vector<AboutItem> items;
  int labels = 0;
  for (ByteString& line : splitLines(fileBytes)) {
    if (line.empty()) {
      items.push_back(AboutItem{true, {}, std::nullopt});
      continue;
    }
    if (labels == kMaxAboutLabels) break;
    ++labels;
    auto link = aboutLinkTarget(line);
    items.push_back(AboutItem{false, std::move(line), std::move(link)});
  }
  return items;
}

std::vector<int> aboutLabelTops(const std::vector<AboutItem>& items,
                                const std::vector<int>& labelHeights) {
  std::vector<int> tops;
  int y = kAboutFirstTop;
  for (const AboutItem& item : items) {
    if (item.gap) {
      y += kAboutGap;
      continue;
    }
    if (tops.size() >= labelHeights.size()) break;
    tops.push_back(y);
    y += labelHeights[tops.size() - 1] + kAboutLabelSpacing;
  }
  return tops;
}

int aboutWindowHeight(int lastTop, int lastHeight) {
  return kAboutButtonStripHeight + lastTop + lastHeight + kAboutBottomMargin;
}

int fitToScreen(int size, int screenSize) { return screenSize < size ? screenSize - 2 : size; }

}  // namespace qzt
