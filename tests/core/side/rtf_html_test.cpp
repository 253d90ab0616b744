#include "side/rtf_html.h"

#include <gtest/gtest.h>

#include <string>

namespace qzt {
namespace {

std::string body(const std::string& rtf) {
  const std::string doc = rtfHtmlDocument(rtf);
  const std::size_t start = doc.find("<body>"), end = doc.rfind("</body>");
  if (start == std::string::npos || end == std::string::npos) return "no body in " + doc;
  return doc.substr(start + 6, end - start - 6);
}

struct HtmlCase {
  const char* what;
  std::string rtf;
  std::string html;  // the whole body
};

class RtfHtmlTest : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(RtfHtmlTest, Renders) { EXPECT_EQ(body(GetParam().rtf), GetParam().html) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfHtmlTest,
    ::testing::Values(
        HtmlCase{"paragraphs, line breaks and an empty paragraph", R"({\rtf1 a\line b\par\par c\par})",
                 "<p>a<br>b</p><p><br></p><p>c</p>"},
        HtmlCase{"a page break ends its line, never adds an empty one", R"({\rtf1 a\page b\par\page c\par})",
                 "<p>a</p><p>b</p><p>c</p>"},
        HtmlCase{"bold, italic and underline on and off",
                 R"({\rtf1 x\b B\b0 \i I\i0 \ul U\ulnone  y{\strike\ul s}\par})",
                 "<p>x<span style=\"font-weight:bold;\">B</span><span style=\"font-style:italic;\">I</span>"
                 "<span style=\"text-decoration:underline;\">U</span> y"
                 "<span style=\"text-decoration:underline line-through;\">s</span></p>"},
        HtmlCase{"formatting ends with its group", R"({\rtf1 {\b\fs21 big}small\par})",
                 "<p><span style=\"font-weight:bold;font-size:10.5pt;\">big</span>small</p>"},
        HtmlCase{"superscripts and subscripts of a formula", R"({\rtf1 x{\super 2}+H\sub 2\nosupersub O\par})",
                 "<p>x<span style=\"vertical-align:super;\">2</span>+H<span style=\"vertical-align:sub;\">2</span>O</p>"},
        HtmlCase{"colours from the colour table, the automatic one and unknown ones left plain",
                 R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green128\blue255;}\cf1 r\cf2\highlight1 b\cf0\highlight0 n\cf9 u\par})",
                 "<p><span style=\"color:#ff0000;\">r</span><span style=\"color:#0080ff;background-color:#ff0000;\">b</span>nu</p>"},
        HtmlCase{"alignment until \\pard", R"({\rtf1\qc mid\par\qr end\par\pard left\par})",
                 "<p style=\"text-align:center\">mid</p><p style=\"text-align:right\">end</p><p>left</p>"},
        HtmlCase{"a table of two rows, then text",
                 R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b\cell\row)"
                 R"(\trowd\cellx1000\cellx2000\intbl c\par d\cell\cell\row\pard after\par})",
                 "<table><tr><td><p>a</p></td><td><p>b</p></td></tr>"
                 "<tr><td><p>c</p><p>d</p></td><td><p><br></p></td></tr></table><p>after</p>"},
        HtmlCase{"cells merged across, above a row of three",
                 R"({\rtf1\trowd\clmgf\cellx1000\clmrg\cellx2000\cellx3000\intbl wide\cell kept\cell c\cell\row)"
                 R"(\trowd\cellx1000\cellx2000\cellx3000\intbl 1\cell 2\cell 3\cell\row\pard})",
                 "<table><tr><td colspan=\"2\"><p>wide</p><p>kept</p></td><td><p>c</p></td></tr>"
                 "<tr><td><p>1</p></td><td><p>2</p></td><td><p>3</p></td></tr></table>"},
        HtmlCase{"cells merged down, their text kept",
                 R"({\rtf1\trowd\clvmgf\cellx1000\cellx2000\intbl tall\cell a\cell\row)"
                 R"(\trowd\clvmrg\cellx1000\cellx2000\intbl\cell b\cell\row)"
                 R"(\trowd\clvmrg\cellx1000\cellx2000\intbl more\cell c\cell\row\pard})",
                 "<table><tr><td rowspan=\"3\"><p>tall</p><p>more</p></td><td><p>a</p></td></tr>"
                 "<tr><td><p>b</p></td></tr><tr><td><p>c</p></td></tr></table>"},
        HtmlCase{"a cell as wide as two of the next row spans both",
                 R"({\rtf1\trowd\cellx1000\cellx3000\intbl a\cell wide\cell\row)"
                 R"(\trowd\cellx1000\cellx2000\cellx3000\intbl b\cell c\cell d\cell\row\pard})",
                 "<table><tr><td><p>a</p></td><td colspan=\"2\"><p>wide</p></td></tr>"
                 "<tr><td><p>b</p></td><td><p>c</p></td><td><p>d</p></td></tr></table>"},
        HtmlCase{"a cell merged down from nothing stands alone",
                 R"({\rtf1\trowd\clvmrg\cellx1000\intbl x\cell\row\pard})",
                 "<table><tr><td><p>x</p></td></tr></table>"},
        HtmlCase{"a row never ended is still shown", R"({\rtf1\trowd\cellx1000\intbl a\cell b)",
                 "<table><tr><td><p>a</p></td><td><p>b</p></td></tr></table>"},
        HtmlCase{"markup in the text is escaped",
                 R"({\rtf1 <script>alert("x")</script>&<img src=x onerror=y>\par})",
                 "<p>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&lt;img src=x onerror=y&gt;</p>"},
        HtmlCase{"markup made of code-page bytes and \\u is escaped too", R"({\rtf1 \'3cb\'3e\u60?i>\par})",
                 "<p>&lt;b&gt;&lt;i&gt;</p>"},
        HtmlCase{"GBK and unicode text", R"({\rtf1\ansicpg936 \'d6\'d0\u25991?\par})", "<p>中文</p>"},
        HtmlCase{"destinations that are not text are skipped",
                 R"({\rtf1{\fonttbl{\f0 SimSun;}}{\*\generator g;}{\stylesheet{\s0 Normal;}}{\field{\*\fldinst HYPERLINK "u"}{\fldrslt link}}\par})",
                 "<p>link</p>"},
        HtmlCase{"a shape's PNG picture inline, sized, its stand-in for older readers left out",
                 R"({\rtf1 a{\*\shppict{\pict{\*\blipuid ff}\pngblip\picwgoal1500\picscalex50 89 504e)" "\r\n" R"(47 0d}})"
                 R"({\nonshppict{\pict\wmetafile8 0102}}b\par})",
                 "<p>a<img alt=\"\" src=\"data:image/png;base64,iVBORw0=\" style=\"width:50px\">b</p>"},
        HtmlCase{"a text box's text, not its properties nor its stand-in",
                 R"({\rtf1 a{\shp{\*\shpinst\shpleft1{\sp{\sn wzName}{\sv Box}}{\shptxt in\par}}{\shprslt old}}b\par})",
                 "<p>ain</p><p>b</p>"},
        HtmlCase{"a picture frame's picture, not the shape's other pictures",
                 R"({\rtf1 a{\shp{\*\shpinst{\sp{\sn fillBlip}{\sv{\pict\pngblip 01}}}{\sp{\sn pib}{\sv{\pict\pngblip 02}}}}}b)"
                 R"({\nonshppict{\pict\pngblip 03}}\par})",
                 "<p>a<img alt=\"\" src=\"data:image/png;base64,Ag==\">b</p>"},
        HtmlCase{"pictures browsers cannot show are left out", R"({\rtf1 {\pict\wmetafile8 0102}x\par})", "<p>x</p>"},
        HtmlCase{"unbalanced braces", "}}}{\\b{x\\par", "<p><span style=\"font-weight:bold;\">x</span></p>"},
        HtmlCase{"deep nesting keeps the formatting of the bound",
                 "{\\rtf1\\b " + std::string(5000, '{') + "deep" + std::string(5000, '}') + " out\\b0 plain\\par}",
                 "<p><span style=\"font-weight:bold;\">deep out</span>plain</p>"}));

TEST(RtfHtmlDocumentTest, IsACompleteDocumentInUtf8) {
  const std::string doc = rtfHtmlDocument("{\\rtf1 x}");
  EXPECT_TRUE(doc.starts_with("<!doctype html><html><head><meta charset=\"utf-8\">"));
  EXPECT_TRUE(doc.ends_with("<p>x</p></body></html>"));
}

// Tiny runs and empty cells grow many times their size as markup; the
// document stops growing at its bound instead.
TEST(RtfHtmlDocumentTest, HostileFilesStayBounded) {
  std::string runs = "{\\rtf1 ";
  for (int i = 0; i < 2'000'000; ++i) runs += "{\\b a}";
  std::string cells = "{\\rtf1\\intbl ";
  for (int i = 0; i < 2'000'000; ++i) cells += "\\cell";
  for (const std::string& rtf : {runs, cells}) {
    const std::string doc = rtfHtmlDocument(rtf + "}");
    EXPECT_LT(doc.size(), (64u << 20) + 4096);
    EXPECT_TRUE(doc.ends_with("</body></html>"));
  }
}

}  // namespace
}  // namespace qzt
