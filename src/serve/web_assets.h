// The browser apps' built files, embedded in qzt: "/" the candidate's app,
// "/teacher" the dashboard, "/app/..." their files.
#pragma once

#include <string_view>

namespace qzt::serve {

struct WebAsset {
  std::string_view body;
  std::string_view contentType;
};

// The asset at `path`, or nullptr.
const WebAsset* findWebAsset(std::string_view path);

}  // namespace qzt::serve
