// Zoom of the reading surface (page and answer grid together): the steps
// Ctrl+plus and Ctrl+minus go through, and what a kept factor may be.
#pragma once

namespace qzt::zoom {

inline constexpr double kDefault = 1.0;

// The next step up or down from `factor`, staying at the ends.
double zoomedIn(double factor);
double zoomedOut(double factor);
// A kept factor (from settings the user may have edited) made usable: the
// nearest step, or the default for a value that is not a number or not
// above 0.
double usable(double factor);

}  // namespace qzt::zoom
