#include "paper/unpack.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "paper/format.h"
#include "author/paper_writer.h"
#include "test_files.h"

namespace qzt {
namespace {

namespace fs = std::filesystem;
namespace f = format;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;
using writer::GroupEntry;
using writer::PackForm;

// Every path under `root`, relative, links not followed.
std::set<std::string> listTree(const fs::path& root) {
  std::set<std::string> out;
  if (!fs::exists(root)) return out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    out.insert(fs::relative(e.path(), root).generic_string());
  }
  return out;
}

std::string utf8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

// What unpacking a group left: its outcome, and every file under the
// target with its bytes (folders as "/").
struct Unpacked {
  std::map<std::string, std::string> files;
  std::string anchor;  // relative to the target
  int step = 0;
  std::optional<ErrorKind> kind;
  std::string message;
  bool operator==(const Unpacked&) const = default;
};

Unpacked unpacked(const GroupResult& r, const fs::path& root) {
  Unpacked u;
  for (const auto& name : listTree(root)) {
    u.files[name] = fs::is_directory(root / name) ? "/" : readFile(root / name);
  }
  if (r.anchor) u.anchor = fs::relative(*r.anchor, root).generic_string();
  if (r.failure) {
    u.step = r.failure->step;
    u.kind = r.failure->kind;
    u.message = r.failure->message;
  }
  return u;
}

void PrintTo(const Unpacked& u, std::ostream* os) {
  for (const auto& [name, bytes] : u.files) *os << name << " (" << bytes.size() << " bytes) ";
  *os << "anchor '" << u.anchor << "' step " << u.step << " '" << u.message << "'";
}

// The ways a block can be inflated; each must give the same bytes and the
// same outcome as zlib streaming alone.
struct InflatePath {
  const char* name;
  UnpackLimits limits;
};
const InflatePath kInflatePaths[] = {
    {"whole, in parallel", {}},
    {"whole, one at a time", {.parallel = false}},
    {"small blocks whole, tight window", {.wholeBlockMax = 64, .blocksInFlight = 2, .bytesInFlight = 200}},
};

// A paper file that holds one group at position 0, unpacked into work/.
// A group unpacked into a fresh work/ is also unpacked through zlib
// streaming alone, which must leave the same files and outcome.
class GroupTest : public ::testing::Test {
 protected:
  GroupResult unpack(const std::vector<GroupEntry>& entries, std::int32_t budget = 0) {
    writeFile(paper(), writer::encodeGroup(entries));
    const bool fresh = !fs::exists(work());
    GroupResult r = unpackGroup(paper(), work(), budget, f::kGroupSkip);
    if (fresh) expectSameWhenStreamed(r, budget);
    return r;
  }
  void expectSameWhenStreamed(const GroupResult& r, std::int32_t budget) {
    const fs::path streamed = dir_ / "streamed";
    const auto s = unpackGroup(paper(), streamed, budget, f::kGroupSkip, UnpackLimits::streamingOnly());
    EXPECT_EQ(unpacked(r, work()), unpacked(s, streamed));
    fs::remove_all(streamed);
  }
  fs::path paper() const { return dir_ / "paper.qzt"; }
  fs::path work() const { return dir_ / "work"; }
  fs::path outside() const { return dir_ / "outside"; }

  TempDir dir_;
};

TEST_F(GroupTest, MissingPaperDoesNothing) {
  const auto r = unpackGroup(dir_ / "none.qzt", work(), 0, 4);
  EXPECT_FALSE(r.anchor);
  EXPECT_FALSE(r.failure);
  EXPECT_FALSE(fs::exists(work()));
}

TEST_F(GroupTest, BudgetBelowTheFirstHeadUnpacksNothing) {
  const std::vector<GroupEntry> one{GroupEntry::file("a.txt", "alpha")};
  for (std::int32_t budget : {1, 5, 10, -1, -100000}) {
    const auto r = unpack(one, budget);
    EXPECT_FALSE(r.anchor) << budget;
    EXPECT_FALSE(r.failure) << budget;
    EXPECT_TRUE(listTree(work()).empty()) << budget;
  }
  for (std::int32_t budget : {0, 11}) {
    const auto r = unpack(one, budget);
    EXPECT_EQ(r.anchor, work() / "a.txt") << budget;
    EXPECT_EQ(readFile(work() / "a.txt"), "alpha");
  }
}

TEST_F(GroupTest, LaterHeadsCountFourBytes) {
  const std::string packed = writer::packData("first", PackForm::SingleBlock);
  const std::vector<GroupEntry> two{GroupEntry::raw("a", packed), GroupEntry::file("b", "second")};
  // Before the second entry: first head 10, name 4 + 1, size 4 + s, next head 4.
  const auto before = static_cast<std::int32_t>(10 + 4 + 1 + 4 + packed.size() + 4);

  auto r = unpack(two, before);
  EXPECT_EQ(listTree(work()), (std::set<std::string>{"a"}));
  EXPECT_EQ(r.anchor, work() / "a");

  fs::remove_all(work());
  r = unpack(two, before + 1);
  EXPECT_EQ(listTree(work()), (std::set<std::string>{"a", "b"}));
  EXPECT_EQ(r.anchor, work() / "b");
}

TEST_F(GroupTest, FirstHeadOfAnotherKindEndsTheGroup) {
  std::string bytes = writer::encodeGroup({GroupEntry::file("a", "x")});
  for (char kind : {'\0', '\3', '\xff'}) {
    bytes[f::kGroupSkip] = kind;
    writeFile(paper(), bytes);
    const auto r = unpackGroup(paper(), work(), 0, f::kGroupSkip);
    EXPECT_FALSE(r.anchor);
    EXPECT_FALSE(r.failure);
    EXPECT_TRUE(listTree(work()).empty());
  }
}

TEST_F(GroupTest, CompanionFolderAndAnchor) {
  const auto r = unpack({GroupEntry::file("page.htm", "<p>"), GroupEntry::folder("page.htm.files"),
                         GroupEntry::file("mmts.txt", "hint"), GroupEntry::file("pic.png", "png")});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(r.anchor, work() / "page.htm");
  EXPECT_EQ(readFile(work() / "page.htm.files" / "mmts.txt"), "hint");
  EXPECT_EQ(listTree(work()), (std::set<std::string>{"page.htm", "page.htm.files",
                                                    "page.htm.files/mmts.txt",
                                                    "page.htm.files/pic.png"}));
}

TEST_F(GroupTest, NoFileAfterAFolderBecomesTheAnchor) {
  auto r = unpack({GroupEntry::file("a", "1"), GroupEntry::file("b", "2"), GroupEntry::folder("."),
                   GroupEntry::file("c", "3")});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(r.anchor, work() / "b");
  EXPECT_EQ(readFile(work() / "c"), "3");

  r = unpack({GroupEntry::folder("sub"), GroupEntry::file("x", "1")});
  EXPECT_FALSE(r.anchor);
  EXPECT_EQ(readFile(work() / "sub" / "x"), "1");
}

TEST_F(GroupTest, NamesUseBackslashesAndGbk) {
  const auto r = unpack({GroupEntry::folder("d1\\d2"), GroupEntry::file("\xb2\xe2\xca\xd4.txt", "gbk"),
                         GroupEntry::file("sub\\deeper\\f.txt", "nested"),
                         // 0x95 0x5C is one character; its 0x5C is no separator.
                         GroupEntry::file("\x95\x5c.txt", "trail")});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(readFile(work() / "d1" / "d2" / fs::path(u8"测试.txt")), "gbk");
  EXPECT_EQ(readFile(work() / "d1" / "d2" / "sub" / "deeper" / "f.txt"), "nested");
  EXPECT_TRUE(listTree(work()).count("d1/d2/" + utf8(u8"昞.txt")));
}

TEST_F(GroupTest, MarkedRunConcatenatesItsBlocks) {
  std::string content;
  for (int i = 0; i < 500; ++i) content += "line " + std::to_string(i) + "\n";
  const auto r = unpack({GroupEntry::file("run.txt", content, PackForm::MarkedRun, 3),
                         GroupEntry::file("after.txt", "next")});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(readFile(work() / "run.txt"), content);
  EXPECT_EQ(readFile(work() / "after.txt"), "next");
}

TEST_F(GroupTest, ExistingTargetIsReplacedNotPatched) {
  fs::create_directories(work());
  writeFile(work() / "a.txt", std::string(1000, 'o'));
  writeFile(work() / "r.txt", std::string(1000, 'o'));
  const auto r = unpack({GroupEntry::file("a.txt", "new"),
                         GroupEntry::file("r.txt", "abcdef", PackForm::MarkedRun, 2)});
  ASSERT_FALSE(r.failure);
  EXPECT_EQ(readFile(work() / "a.txt"), "new");
  EXPECT_EQ(readFile(work() / "r.txt"), "abcdef");
}

TEST_F(GroupTest, PackedSizeZeroTouchesNothing) {
  fs::create_directories(work());
  writeFile(work() / "keep.txt", "old");
  const auto r = unpack({GroupEntry::raw("keep.txt", ""), GroupEntry::raw("never.txt", ""),
                         GroupEntry::file("z", "z")});
  ASSERT_FALSE(r.failure);
  EXPECT_EQ(readFile(work() / "keep.txt"), "old");
  EXPECT_FALSE(fs::exists(work() / "never.txt"));
  EXPECT_EQ(r.anchor, work() / "z");
}

TEST_F(GroupTest, BusyTargetIsReportedAndTheGroupGoesOn) {
  fs::create_directories(work() / "busy.txt" / "inside");
  const auto r = unpack({GroupEntry::file("busy.txt", "x"), GroupEntry::file("next.txt", "y")});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(r.busyTargets, std::vector<fs::path>{work() / "busy.txt"});
  EXPECT_EQ(readFile(work() / "next.txt"), "y");
}

// Packed data of fewer than 8 bytes at the end of the file leaves its
// target as it was; the group then fails reading the next entry head.
TEST_F(GroupTest, PackedDataCutBeforeItsFormEndsAtTheNextHead) {
  fs::create_directories(work());
  writeFile(work() / "cut.txt", "old");
  std::string group = writer::encodeGroup({GroupEntry::file("a.txt", "alpha"), GroupEntry::raw("cut.txt", "1234567")});
  group.resize(group.size() - f::kEntryHeadSize);  // the file ends with the packed data
  writeFile(paper(), group);
  const auto r = unpackGroup(paper(), work(), 0, f::kGroupSkip);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->step, f::kStepNextHead);
  EXPECT_EQ(readFile(work() / "a.txt"), "alpha");
  EXPECT_EQ(readFile(work() / "cut.txt"), "old");
  EXPECT_EQ(r.anchor, work() / "cut.txt");
}

std::string markedBlock(const std::string& block) {
  std::string out(f::kBlockMarker.begin(), f::kBlockMarker.end());
  appendFixed32(out, static_cast<std::uint32_t>(block.size()));
  return out + block;
}

// A marked run of the given blocks.
std::string run(const std::vector<std::string>& blocks) {
  std::string out;
  for (const auto& b : blocks) out += markedBlock(b);
  return out;
}

// n bytes of numbered lines: compressible, never one repeated byte.
std::string lines(std::size_t n) {
  std::string out;
  for (int i = 0; out.size() < n; ++i) out += "line " + std::to_string(i * 7919 % 1000) + "\n";
  out.resize(n);
  return out;
}

std::string brokenStream() {
  std::string block = writer::packBlock("some text that compresses");
  block[6] = '\xff';
  block[7] = '\xff';
  return block;
}

std::string damagedTrailer(const std::string& content) {
  std::string block = writer::packBlock(content);
  block.back() = static_cast<char>(block.back() ^ 0x55);
  return block;
}

std::string cut(const std::string& block) { return block.substr(0, block.size() / 2); }

std::string goodBlocks(int count) {
  std::vector<std::string> blocks;
  for (int i = 0; i < count; ++i) blocks.push_back(writer::packBlock(lines(100 + 37 * i)));
  return run(blocks);
}

std::string goodContent(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += lines(100 + 37 * i);
  return out;
}

struct BlockCase {
  const char* name;
  std::string packed;                   // packed data of the second of three files
  std::optional<std::string> unpacked;  // its bytes; none when it fails
  int step = 0;
  ErrorKind kind = ErrorKind::Io;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class Blocks : public GroupTest, public ::testing::WithParamInterface<BlockCase> {};

// Every inflate path leaves what zlib streaming alone leaves. A good block
// is written whole; a broken one ends the group with its step, earlier
// files stay and no half-written file is left for it.
TEST_P(Blocks, SameThroughEveryPath) {
  const BlockCase& c = GetParam();
  writeFile(paper(), writer::encodeGroup({GroupEntry::file("first", "1"), GroupEntry::raw("x", c.packed),
                                          GroupEntry::file("third", "3")}));
  const auto streamed = unpackGroup(paper(), work(), 0, f::kGroupSkip, UnpackLimits::streamingOnly());
  const Unpacked expected = unpacked(streamed, work());
  if (c.unpacked) {
    EXPECT_EQ(expected.message, "");
    EXPECT_EQ(expected.files,
              (std::map<std::string, std::string>{{"first", "1"}, {"x", *c.unpacked}, {"third", "3"}}));
    EXPECT_EQ(expected.anchor, "third");
  } else {
    EXPECT_EQ(expected.step, c.step);
    EXPECT_EQ(expected.kind, c.kind);
    EXPECT_EQ(expected.files, (std::map<std::string, std::string>{{"first", "1"}}));
    EXPECT_EQ(expected.anchor, "first");
  }
  for (const auto& path : kInflatePaths) {
    fs::remove_all(work());
    const auto r = unpackGroup(paper(), work(), 0, f::kGroupSkip, path.limits);
    EXPECT_EQ(unpacked(r, work()), expected) << path.name;
  }
}

std::string caseName(const ::testing::TestParamInfo<BlockCase>& c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, Blocks,
    ::testing::Values(
        BlockCase{"Single", writer::packBlock(lines(5000)), lines(5000)},
        BlockCase{"RunOfManySizes", goodBlocks(12), goodContent(12)},
        BlockCase{"LongerStreamIsCut", writer::packBlock("0123456789", 4), "0123"},
        BlockCase{"LongerStreamsInARun",
                  run({writer::packBlock("abcdef", 3), writer::packBlock(lines(300), 2)}), "abcli"},
        BlockCase{"ZeroLengthNeverReadsItsStream", std::string("\0\0\0\0not a stream", 16), ""},
        // Exactly U bytes are taken; what follows them is never checked.
        BlockCase{"DamagedTrailer", damagedTrailer(lines(3000)), lines(3000)},
        BlockCase{"ShortInflate", writer::packBlock("abc", 10), {}, 84, ErrorKind::Corrupt},
        BlockCase{"ShortInflateInARun", run({writer::packBlock("ok"), writer::packBlock("abc", 4)}), {}, 84,
                  ErrorKind::Corrupt},
        BlockCase{"NegativeLength", writer::packBlock("abc", -1), {}, 84, ErrorKind::Unsafe},
        BlockCase{"TwoGigabytesFromAFewBytes", writer::packBlock("abc", 0x7fffffff), {}, 84,
                  ErrorKind::Unsafe},
        BlockCase{"NotZlib", "\x05\0\0\0garbage-bytes", {}, 84, ErrorKind::Corrupt},
        BlockCase{"DamagedStream", brokenStream(), {}, 84, ErrorKind::Corrupt},
        BlockCase{"BlockTooSmall", "\x01\x02", {}, 84, ErrorKind::Corrupt},
        BlockCase{"TruncatedStream", cut(writer::packBlock(lines(5000))), {}, 84, ErrorKind::Corrupt},
        BlockCase{"TruncatedAfterGoodBlocks", goodBlocks(9) + markedBlock(cut(writer::packBlock(lines(5000)))),
                  {}, 84, ErrorKind::Corrupt},
        // Blocks are inflated ahead, but the first failure in order is the one reported.
        BlockCase{"ShortBeforeGoodBlocks", markedBlock(writer::packBlock("abc", 10)) + goodBlocks(9), {}, 84,
                  ErrorKind::Corrupt},
        BlockCase{"ShortBeforeAnImpossibleLength",
                  run({writer::packBlock(lines(900)), writer::packBlock("abc", 10), writer::packBlock("x", -1)}),
                  {}, 84, ErrorKind::Corrupt},
        BlockCase{"ImpossibleLengthAfterGoodBlocks", goodBlocks(9) + markedBlock(writer::packBlock("x", -1)), {},
                  84, ErrorKind::Unsafe}),
    caseName);

TEST_F(GroupTest, ImpossibleLengthIsRefusedBeforeAnyWork) {
  // A block that claims 2 GB from 12 bytes, declared in a run of many.
  std::string run;
  for (int i = 0; i < 50; ++i) run += markedBlock(writer::packBlock("", 0x7ffffff0));
  writeFile(paper(), run);
  const Status st = unpackPacked(paper(), work() / "big", 1, 0);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error().kind, ErrorKind::Unsafe);
  EXPECT_EQ(st.error().step, 84);
  EXPECT_FALSE(fs::exists(work() / "big"));
}

TEST_F(GroupTest, HighButHonestRatioStreamsThrough) {
  const std::string zeros(8 << 20, '\0');
  const auto r = unpack({GroupEntry::file("zeros.bin", zeros)});
  ASSERT_FALSE(r.failure) << r.failure->message;
  EXPECT_EQ(fileLength(work() / "zeros.bin"), static_cast<std::int64_t>(zeros.size()));
  EXPECT_EQ(readFile(work() / "zeros.bin"), zeros);
}

struct UnsafeCase {
  const char* name;
  std::vector<GroupEntry> entries;  // after a good file "first"
  int step;
};

class UnsafeName : public GroupTest, public ::testing::WithParamInterface<UnsafeCase> {};

// A hostile name ends the group like a failed read, and nothing appears
// outside the target: neither beside it nor anywhere a link points to.
TEST_P(UnsafeName, IsRefusedAndNothingLeavesTheTarget) {
  fs::create_directories(work());
  fs::create_directories(outside());
  fs::create_symlink(outside(), work() / "link");
  writeFile(outside() / "victim", "untouched");
  fs::create_symlink(outside() / "victim", work() / "victim");
  const auto besideBefore = listTree(dir_.path());

  std::vector<GroupEntry> entries{GroupEntry::file("first", "1")};
  entries.insert(entries.end(), GetParam().entries.begin(), GetParam().entries.end());
  entries.push_back(GroupEntry::file("last", "2"));
  const auto r = unpack(entries);

  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->step, GetParam().step);
  EXPECT_EQ(listTree(outside()), (std::set<std::string>{"victim"}));
  EXPECT_EQ(readFile(outside() / "victim"), "untouched");
  auto besideAfter = listTree(dir_.path());
  besideAfter.erase("paper.qzt");
  auto expected = besideBefore;
  expected.insert("work/first");
  expected.erase("paper.qzt");
  EXPECT_EQ(besideAfter, expected);
}

std::string unsafeName(const ::testing::TestParamInfo<UnsafeCase>& c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsafeName,
    ::testing::Values(
        UnsafeCase{"ParentFile", {GroupEntry::file("..\\escaped", "x")}, 82},
        UnsafeCase{"ParentInside", {GroupEntry::file("a\\..\\..\\escaped", "x")}, 82},
        UnsafeCase{"ParentSlash", {GroupEntry::file("../escaped", "x")}, 82},
        UnsafeCase{"ParentFolder", {GroupEntry::folder(".."), GroupEntry::file("escaped", "x")}, 82},
        UnsafeCase{"AbsoluteBackslash", {GroupEntry::file("\\tmp\\escaped", "x")}, 82},
        UnsafeCase{"AbsoluteSlash", {GroupEntry::folder("/tmp"), GroupEntry::file("escaped", "x")}, 82},
        UnsafeCase{"DriveLetter", {GroupEntry::file("C:escaped", "x")}, 82},
        UnsafeCase{"DriveLetterRoot", {GroupEntry::folder("c:\\windows")}, 82},
        UnsafeCase{"Nul", {GroupEntry::file(std::string("a\0b", 3), "x")}, 82},
        UnsafeCase{"Empty", {GroupEntry::file("", "x")}, 82},
        UnsafeCase{"OnlySeparators", {GroupEntry::file("\\\\", "x")}, 82},
        // A later entry's name is read at the step of its head.
        UnsafeCase{"TooLong", {GroupEntry::file(std::string(256, 'a'), "x")}, 87},
        UnsafeCase{"FolderThroughLink", {GroupEntry::folder("link"), GroupEntry::file("escaped", "x")}, 82},
        UnsafeCase{"FolderBelowLink", {GroupEntry::folder("link\\deeper")}, 82},
        UnsafeCase{"FileThroughLink", {GroupEntry::file("link\\escaped", "x")}, 82},
        UnsafeCase{"FileIsALink", {GroupEntry::file("victim", "overwritten")}, 82},
        UnsafeCase{"FileIsALinkInARun", {GroupEntry::file("victim", "over", PackForm::MarkedRun, 2)}, 82}),
    unsafeName);

TEST_F(GroupTest, BadLengthsAndPositionsFailCleanly) {
  // First head of a file entry, then the given name length or packed size.
  auto head = [](std::int32_t nameLen) {
    std::string g(f::kGroupSkip, '\0');
    g += std::string("\x02", 1) + std::string(9, '\0');
    appendFixed32(g, static_cast<std::uint32_t>(nameLen));
    return g;
  };
  struct Case {
    const char* name;
    std::string bytes;
    std::int32_t start;
    int step;
  };
  std::string negativeSize = head(1) + "n";
  appendFixed32(negativeSize, static_cast<std::uint32_t>(-30));
  negativeSize += std::string(40, '\x02');
  const Case cases[] = {
      {"negative name length", head(-1) + std::string(40, '\0'), 4, 81},
      {"name past the end", head(200) + "abc", 4, 81},
      {"negative packed size", negativeSize, 4, 84},
      {"start past the end", head(1), 1 << 30, 80},
      {"negative start", head(1), -4, 80},
  };
  for (const Case& c : cases) {
    writeFile(paper(), c.bytes);
    const auto r = unpackGroup(paper(), work(), 0, c.start);
    ASSERT_TRUE(r.failure) << c.name;
    EXPECT_EQ(r.failure->step, c.step) << c.name;
    EXPECT_TRUE(listTree(work()).empty()) << c.name;
  }
}

TEST_F(GroupTest, UnpackPackedForms) {
  const std::string text = "comments\r\nsecond line\r\n";
  std::string file = "lead" + writer::packData(text, PackForm::SingleBlock);
  const auto runPos = static_cast<std::int32_t>(file.size());
  file += writer::packData(text, PackForm::MarkedRun, 3) + "tail-not-a-marker";
  writeFile(paper(), file);

  const auto single = static_cast<std::int32_t>(runPos - 4);
  ASSERT_TRUE(unpackPacked(paper(), work() / "pyfile", single, 4).ok());
  EXPECT_EQ(readFile(work() / "pyfile"), text);
  // The size of a marked run only has to be non-zero.
  ASSERT_TRUE(unpackPacked(paper(), work() / "pyfile", 1, runPos).ok());
  EXPECT_EQ(readFile(work() / "pyfile"), text);

  writeFile(work() / "pyfile", "old");
  EXPECT_TRUE(unpackPacked(paper(), work() / "pyfile", 0, runPos).ok());
  EXPECT_EQ(readFile(work() / "pyfile"), "old");
  EXPECT_TRUE(unpackPacked(dir_ / "missing.qzt", work() / "pyfile", 10, 0).ok());
  EXPECT_EQ(readFile(work() / "pyfile"), "old");

  // Fewer than 8 bytes before the end: nothing is unpacked and nothing fails.
  writeFile(work() / "pyfile", "old");
  for (std::int32_t back : {7, 3, 0}) {
    const auto at = static_cast<std::int32_t>(file.size()) - back;
    EXPECT_TRUE(unpackPacked(paper(), work() / "pyfile", 10, at).ok()) << back;
    EXPECT_EQ(readFile(work() / "pyfile"), "old") << back;
  }

  fs::create_directories(work() / "dir" / "x");
  const Status busy = unpackPacked(paper(), work() / "dir", single, 4);
  ASSERT_FALSE(busy.ok());
  EXPECT_EQ(busy.error().message, kBusyTargetText);
}

TEST(UnpackHelpers, FileLength) {
  TempDir dir;
  writeFile(dir / "three", "abc");
  EXPECT_EQ(fileLength(dir / "three"), 3);
  EXPECT_EQ(fileLength(dir / "none"), 0);
}

TEST(UnpackHelpers, ErrorBoxText) {
  const std::string tail = std::string("请与软件作者联系!E-mail:") + contactEmail() + "!";
  EXPECT_EQ(errorBoxText(81), "异常Y81，" + tail);
  EXPECT_EQ(errorBoxText(0), tail);
  EXPECT_EQ(errorBoxText(-3), tail);
  EXPECT_EQ(errorBoxText(84, "detail"), "异常Y84，" + tail + "\r\ndetail");
  EXPECT_STRNE(contactEmail(), "");
  EXPECT_STRNE(downloadSite(), "");
}

}  // namespace
}  // namespace qzt
