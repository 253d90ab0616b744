// Placeholder pages until the built browser apps are embedded here.
#include "web_assets.h"

namespace qzt::serve {
namespace {

constexpr WebAsset kCandidate{
    "<!doctype html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>qzt</title></head>"
    "<body><h1>考试</h1><p>The candidate's app is not built into this qzt.</p></body></html>",
    "text/html; charset=utf-8"};
constexpr WebAsset kTeacher{
    "<!doctype html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>qzt</title></head>"
    "<body><h1>教师</h1><p>The dashboard is not built into this qzt.</p></body></html>",
    "text/html; charset=utf-8"};

}  // namespace

const WebAsset* findWebAsset(std::string_view path) {
  if (path == "/") return &kCandidate;
  if (path == "/teacher") return &kTeacher;
  return nullptr;
}

}  // namespace qzt::serve
