// The tool bar's clock panel at 100%, in pixels: laid out once and again
// at every zoom.
#pragma once

namespace qzt::ui {

constexpr int kToolBarHeight = 57;
constexpr int kClockPanelHeight = 25;
constexpr int kClockLineWidth = 405;  // the eight labels; the score line follows
constexpr int kScoreLineLeft = 408;
constexpr int kScoreLineTop = 2;
constexpr int kScoreLineWidth = 289;
constexpr int kFontPixels = 13;  // the window's font

}  // namespace qzt::ui
