#include "paper/opening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

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

const std::string kPage = "<html><body>page</body></html>";

writer::PaperSpec fullSpec() {
  writer::PaperSpec spec;
  spec.title = "Paper";
  spec.page = {GroupEntry::file("page.htm", kPage), GroupEntry::folder("page.htm.files"),
               GroupEntry::file("style.css", std::string(3000, 'c'), PackForm::MarkedRun, 3)};
  spec.support = {GroupEntry::file("s", "support"), GroupEntry::folder("s.files"),
                  GroupEntry::file("mmts.txt", "the hint"), GroupEntry::file("about.txt", "about us")};
  spec.questions = {{"1", 1, 4, "A", 2, 11}, {"2", 3, 0, "text", 3, 200}};
  return spec;
}

class OpeningTest : public ::testing::Test {
 protected:
  fs::path write(const writer::BuiltPaper& built) {
    writeFile(paper(), built.bytes);
    return paper();
  }
  fs::path write(const writer::PaperSpec& spec) { return write(writer::buildPaper(spec)); }
  fs::path paper() const { return dir_ / "p.qzt"; }
  fs::path work() const { return dir_ / "work"; }

  TempDir dir_;
};

TEST_F(OpeningTest, OpensAndTakesTheHint) {
  const auto out = openPaper(write(fullSpec()), 0, work());
  EXPECT_FALSE(out.ioError);
  EXPECT_EQ(out.stateCode, 0);
  EXPECT_FALSE(out.needsPassword);
  EXPECT_EQ(out.paper.header.title(), "Paper");
  EXPECT_EQ(out.support.anchor, work() / "s");
  EXPECT_EQ(out.hint, ByteString("the hint"));
  EXPECT_FALSE(fs::exists(work() / "s.files" / "mmts.txt"));
  EXPECT_FALSE(fs::exists(work() / "page.htm")) << "only the support group is unpacked";
}

TEST_F(OpeningTest, PasswordBlocks) {
  auto spec = fullSpec();
  spec.openPassword = "pw";
  EXPECT_TRUE(openPaper(write(spec), 0, work()).needsPassword);

  // A block whose bytes would lie outside it still asks (and never matches).
  auto built = writer::buildPaper(fullSpec());
  auto* h = reinterpret_cast<unsigned char*>(built.bytes.data());
  h[f::kOpenPasswordBlock + f::kPasswordStart] = 30;
  h[f::kOpenPasswordBlock + f::kPasswordLengthA] = 2;
  h[f::kOpenPasswordBlock + f::kPasswordLengthB] = 5;
  writer::patchHeader(built, f::kTimeLimit, 60);  // reseal
  const auto out = openPaper(write(built), 0, work());
  EXPECT_EQ(out.stateCode, 0);
  EXPECT_TRUE(out.needsPassword);
}

TEST_F(OpeningTest, RefusedPaperUnpacksNothing) {
  struct Case {
    const char* name;
    int offset;
    unsigned char value;
    int state;
  };
  for (const Case c : {Case{"magic", f::kMagic.offset + 4, 'Z', 4},
                       Case{"version", f::kFormatVersion.offset + 3, '1', 3},
                       Case{"altered", f::kTimeLimit, 61, 5}}) {
    auto built = writer::buildPaper(fullSpec());
    built.bytes[static_cast<std::size_t>(c.offset)] = static_cast<char>(c.value);
    if (c.state == 3) {
      built.bytes[f::kFormatVersion.offset] = 4;  // "1.01"
      PaperHeader::Bytes h{};
      std::copy_n(built.bytes.begin(), h.size(), h.begin());
      writer::sealHeader(h);
      std::copy(h.begin(), h.end(), built.bytes.begin());
    }
    const auto out = openPaper(write(built), 0, work());
    EXPECT_EQ(out.stateCode, c.state) << c.name;
    EXPECT_FALSE(out.support.anchor) << c.name;
    EXPECT_FALSE(fs::exists(work())) << c.name;
  }
}

TEST_F(OpeningTest, PageAheadOnlyForAPaperThatAsksNothing) {
  const auto ahead = unpackPageAhead(write(fullSpec()), 0, work());
  ASSERT_TRUE(ahead);
  EXPECT_EQ(ahead->page.anchor, work() / "page.htm");
  EXPECT_EQ(ahead->pageKind, PageKind::Web);
  EXPECT_EQ(readFile(work() / "page.htm"), kPage);
  EXPECT_FALSE(fs::exists(work() / "s")) << "the support group is opening's";

  fs::remove_all(work());
  auto guarded = fullSpec();
  guarded.openPassword = "pw";
  EXPECT_FALSE(unpackPageAhead(write(guarded), 0, work())) << "password";
  auto refused = writer::buildPaper(fullSpec());
  refused.bytes[f::kTimeLimit] = 61;  // altered
  EXPECT_FALSE(unpackPageAhead(write(refused), 0, work())) << "refused";
  fs::remove(paper());
  EXPECT_FALSE(unpackPageAhead(paper(), 0, work())) << "missing";
  EXPECT_FALSE(fs::exists(work())) << "nothing is written before the password";
}

// Each reason is kept for the window's own report.
TEST_F(OpeningTest, UnreadableHeaderIsAnIoError) {
  const auto bytes = writer::buildPaper(fullSpec()).bytes;
  fs::create_directories(dir_ / "folder.qzt");
  const auto fault = [&](const fs::path& path, std::int64_t offset) {
    const auto out = openPaper(path, offset, work());
    EXPECT_TRUE(out.ioError) << path;
    EXPECT_FALSE(fs::exists(work())) << path;
    return out.ioError ? out.ioError->fault : FileFault::None;
  };
  EXPECT_EQ(fault(dir_ / "none.qzt", 0), FileFault::Missing);
  EXPECT_EQ(fault(dir_ / "folder.qzt", 0), FileFault::Unreadable);
  writeFile(paper(), bytes.substr(0, 1000));
  EXPECT_EQ(fault(paper(), 0), FileFault::TooShort);
  EXPECT_EQ(fault(write(fullSpec()), static_cast<std::int64_t>(bytes.size())), FileFault::TooShort);
}

TEST_F(OpeningTest, AttachedPaperUsesAbsolutePositions) {
  auto spec = fullSpec();
  spec.hostPrefix = std::string(4096, '\x90');
  const auto built = writer::buildPaper(spec);
  write(built);
  ASSERT_EQ(built.layout.headerOffset, 4096);

  const auto opened = openPaper(paper(), 4096, work());
  ASSERT_EQ(opened.stateCode, 0);
  EXPECT_EQ(opened.hint, ByteString("the hint"));

  auto loaded = readPaper(paper(), 4096);
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  EXPECT_EQ(loaded->offset, 4096);
  ASSERT_EQ(loaded->table.count(), 2);
  EXPECT_EQ(loaded->table.question(2).answer(), "TEXT");
  EXPECT_EQ(expectedPageKind(paper(), 4096), PageKind::Web);
  const auto unpacked = unpackPaper(*loaded, work());
  EXPECT_EQ(unpacked.page.anchor, work() / "page.htm");
  EXPECT_EQ(readFile(work() / "page.htm"), kPage);
}

TEST_F(OpeningTest, LoadUnpacksPageAndSupport) {
  auto loaded = readPaper(write(fullSpec()), 0);
  ASSERT_TRUE(loaded.ok());
  const auto out = unpackPaper(*loaded, work());
  EXPECT_FALSE(out.page.failure);
  EXPECT_EQ(out.pageKind, PageKind::Web);
  EXPECT_EQ(readFile(work() / "page.htm.files" / "style.css"), std::string(3000, 'c'));
  EXPECT_EQ(out.hint, ByteString("the hint"));
  EXPECT_TRUE(out.showAbout);
  EXPECT_EQ(readFile(companionFile(*out.support.anchor, f::kAboutFile)), "about us");
}

TEST_F(OpeningTest, AboutNeedsMoreThanOneByte) {
  for (const auto& [about, shown] : std::map<std::string, bool>{{"x", false}, {"xy", true}}) {
    auto spec = fullSpec();
    spec.support = {GroupEntry::file("s", ""), GroupEntry::folder("s.files"),
                    GroupEntry::file("about.txt", about)};
    const auto out = unpackPaper(*readPaper(write(spec), 0), work());
    EXPECT_EQ(out.showAbout, shown) << about;
    EXPECT_FALSE(out.hint);
  }
}

TEST_F(OpeningTest, PageGroupWithoutTopLevelFile) {
  auto spec = fullSpec();
  spec.page = {GroupEntry::folder("only"), GroupEntry::file("inner.txt", "x")};
  spec.support = {};
  const auto out = unpackPaper(*readPaper(write(spec), 0), work());
  EXPECT_FALSE(out.page.anchor);
  EXPECT_EQ(out.pageKind, PageKind::None);
  EXPECT_FALSE(out.support.anchor);
  EXPECT_FALSE(out.showAbout);
}

// The kind read from names alone is the kind loading finds, and reading
// it writes nothing.
TEST_F(OpeningTest, ExpectedPageKindIsWhatLoadingShows) {
  struct Case {
    const char* name;
    std::vector<GroupEntry> page;
    PageKind kind;
  };
  const Case cases[] = {
      {"web page with its folder", fullSpec().page, PageKind::Web},
      {"the last top-level file wins", {GroupEntry::file("a.htm", "a"), GroupEntry::file("b.TXT", "b")},
       PageKind::PlainText},
      {"files in a folder are no page",
       {GroupEntry::file("x.rtf", "{\\rtf1 x}"), GroupEntry::folder("x.rtf.files"), GroupEntry::file("y.txt", "y")},
       PageKind::RichText},
      {"no top-level file", {GroupEntry::folder("only"), GroupEntry::file("inner.txt", "x")}, PageKind::None},
      {"an unsafe name ends the group",
       {GroupEntry::file("a.htm", "a"), GroupEntry::file("..\\b.txt", "b")}, PageKind::Web},
      {"many blocks", {GroupEntry::file("p.txt", std::string(5000, 'p'), PackForm::MarkedRun, 4)},
       PageKind::PlainText},
  };
  for (const Case& c : cases) {
    auto spec = fullSpec();
    spec.page = c.page;
    write(spec);
    EXPECT_EQ(expectedPageKind(paper(), 0), c.kind) << c.name;
    EXPECT_FALSE(fs::exists(work())) << c.name;
    EXPECT_EQ(unpackPage(*readPaper(paper(), 0), work()).pageKind, c.kind) << c.name;
    fs::remove_all(work());
  }
}

// A packed size that points back at its own entry ends the group, as
// unpacking ends it, instead of walking the same entries for ever.
TEST_F(OpeningTest, NegativePackedSizeEndsTheWalk) {
  auto spec = fullSpec();
  spec.page = {GroupEntry::file("a.htm", "a"), GroupEntry::file("b.txt", "b")};
  auto bytes = writer::buildPaper(spec).bytes;
  const std::size_t name = bytes.find("b.txt");
  ASSERT_NE(name, std::string::npos);
  const std::int32_t back = -(f::kEntryHeadSize + 4 + 5 + 4);
  std::memcpy(&bytes[name + 5], &back, sizeof back);
  writeFile(paper(), bytes);
  EXPECT_EQ(expectedPageKind(paper(), 0), PageKind::Web);
  const auto page = unpackPage(*readPaper(paper(), 0), work());
  EXPECT_EQ(page.pageKind, PageKind::Web);
  ASSERT_TRUE(page.page.failure);
  EXPECT_EQ(page.page.failure->step, f::kStepInflate);
}

TEST_F(OpeningTest, NoExpectedPageKindForAPaperThatWouldNotOpen) {
  EXPECT_EQ(expectedPageKind(paper(), 0), PageKind::None) << "missing";
  auto built = writer::buildPaper(fullSpec());
  built.bytes[f::kTimeLimit] = 61;  // altered: refused
  write(built);
  EXPECT_EQ(expectedPageKind(paper(), 0), PageKind::None) << "refused";
  writeFile(paper(), writer::buildPaper(fullSpec()).bytes.substr(0, 100));
  EXPECT_EQ(expectedPageKind(paper(), 0), PageKind::None) << "short";
}

TEST_F(OpeningTest, ReadFailuresNameTheStage) {
  const auto bytes = writer::buildPaper(fullSpec()).bytes;
  writeFile(paper(), bytes.substr(0, 100));
  auto r = readPaper(paper(), 0);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, "gd1");

  writeFile(paper(), bytes.substr(0, bytes.size() - 1));
  r = readPaper(paper(), 0);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, "gd2");
}

// The grading password asks for the hint again after opening and loading
// have taken theirs: each unpacking brings it back.
TEST_F(OpeningTest, SupportHintComesBackEachTime) {
  const auto loaded = readPaper(write(fullSpec()), 0);
  ASSERT_TRUE(loaded.ok());
  const auto opened = openPaper(paper(), 0, work());
  EXPECT_EQ(opened.hint, ByteString("the hint"));
  for (int i = 0; i < 2; ++i) {
    const SupportHint again = unpackSupportHint(paper(), loaded->header, work());
    EXPECT_FALSE(again.support.failure);
    EXPECT_EQ(again.support.anchor, work() / "s");
    EXPECT_EQ(again.hint, ByteString("the hint"));
    EXPECT_FALSE(fs::exists(work() / "s.files" / "mmts.txt"));
  }

  auto spec = fullSpec();
  spec.support = {GroupEntry::file("s", "support")};
  const auto noHint = unpackSupportHint(write(spec), readPaper(paper(), 0)->header, work());
  EXPECT_EQ(noHint.support.anchor, work() / "s");
  EXPECT_FALSE(noHint.hint);
}

// A support group that places no file directly in the work folder keeps
// the anchor from before; its hint and about text are found beside that.
TEST_F(OpeningTest, SupportWithoutTopLevelFileKeepsThePreviousAnchor) {
  auto spec = fullSpec();
  spec.support = {GroupEntry::folder("s.files"), GroupEntry::file("mmts.txt", "new hint"),
                  GroupEntry::file("about.txt", "new about")};
  const fs::path previous = work() / "s";
  const auto opened = openPaper(write(spec), 0, work(), previous);
  EXPECT_FALSE(opened.support.anchor);
  EXPECT_EQ(opened.supportAnchor, previous);
  EXPECT_EQ(opened.hint, ByteString("new hint"));

  const auto loaded = readPaper(paper(), 0);
  ASSERT_TRUE(loaded.ok());
  const auto support = unpackSupport(*loaded, work(), previous);
  EXPECT_EQ(support.anchor, previous);
  EXPECT_EQ(support.hint, ByteString("new hint"));
  EXPECT_TRUE(support.showAbout);

  // A group with a file of its own replaces the anchor.
  EXPECT_EQ(openPaper(write(fullSpec()), 0, work(), work() / "old").supportAnchor, work() / "s");
  // Without an anchor before, there is none after.
  const auto none = unpackSupport(*readPaper(write(spec), 0), work());
  EXPECT_FALSE(none.anchor);
  EXPECT_FALSE(none.hint);
}

TEST(GroupStart, SkipsFourBytesAndFailsOnOverflow) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {0, 4}, {1828, 1832}, {max - 4, max}, {max - 3, -1}, {max, -1}};
  for (const auto& [pos, start] : cases) EXPECT_EQ(groupStart(pos), start) << pos;
}

TEST(PageKind, ByLowerCasedExtension) {
  const std::pair<const char*, PageKind> cases[] = {
      {"/w/a.txt", PageKind::PlainText}, {"/w/A.TXT", PageKind::PlainText},
      {"/w/.txt", PageKind::PlainText},  {"/w/x.Rtf", PageKind::RichText},
      {"/w/p.htm", PageKind::Web},       {"/w/noext", PageKind::Web},
      {"/w/a.txt.htm", PageKind::Web},   {"/w/d.txt/page", PageKind::Web},
      {"", PageKind::None},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(pageKindOf(path), kind) << path;
}

TEST(TakeFile, ReadsAndDeletes) {
  TempDir dir;
  writeFile(dir / "f", std::string("a\0b", 3));
  EXPECT_EQ(takeFile(dir / "f"), ByteString("a\0b", 3));
  EXPECT_FALSE(fs::exists(dir / "f"));
  EXPECT_FALSE(takeFile(dir / "f"));
  EXPECT_FALSE(takeFile(dir.path()));
  EXPECT_EQ(companionFile("/w/page.htm", "mmts.txt"), fs::path("/w/page.htm.files/mmts.txt"));
}

// Every prefix of a paper: never a crash, always a clean outcome, and no
// file in the work folder with anything but its full content (or whole
// blocks of a run).
TEST_F(OpeningTest, EveryTruncatedPrefixFailsCleanly) {
  const auto built = writer::buildPaper(fullSpec());
  const std::map<std::string, std::string> expected{
      {"page.htm", kPage}, {"page.htm.files/style.css", std::string(3000, 'c')},
      {"s", "support"}, {"s.files/about.txt", "about us"}};
  const auto headerEnd = static_cast<std::size_t>(f::kHeaderSize);
  const auto pageEnd = static_cast<std::size_t>(built.layout.pageGroupPos + built.layout.pageGroupLen);
  const auto supportEnd =
      static_cast<std::size_t>(built.layout.supportGroupPos + built.layout.supportGroupLen);

  for (std::size_t len = 0; len <= built.bytes.size(); ++len) {
    SCOPED_TRACE(len);
    writeFile(paper(), built.bytes.substr(0, len));
    fs::remove_all(work());
    fs::create_directories(work());

    const auto opened = openPaper(paper(), 0, work());
    ASSERT_EQ(opened.ioError.has_value(), len < headerEnd);
    auto loaded = readPaper(paper(), 0);
    ASSERT_EQ(loaded.ok(), len == built.bytes.size());
    if (!loaded.ok()) {
      EXPECT_EQ(loaded.error().message, len < headerEnd ? "gd1" : "gd2");
      if (len < headerEnd) continue;
      loaded = LoadedPaper{paper(), 0, opened.paper.header, {}};
    }
    const auto out = unpackPaper(*loaded, work());
    for (const GroupResult* g : {&opened.support, &out.page, &out.support}) {
      if (g->failure) {
        EXPECT_GE(g->failure->step, 80);
        EXPECT_LE(g->failure->step, 87);
      }
    }
    if (len >= pageEnd) {
      EXPECT_FALSE(out.page.failure);
    }
    if (len >= supportEnd) {
      EXPECT_FALSE(out.support.failure);
      EXPECT_TRUE(out.showAbout);
    }
    for (const auto& e : fs::recursive_directory_iterator(work())) {
      if (!e.is_regular_file()) continue;
      const auto name = fs::relative(e.path(), work()).generic_string();
      ASSERT_TRUE(expected.count(name)) << name;
      const std::string content = readFile(e.path());
      if (name == "page.htm.files/style.css") {
        // A run cut between two blocks ends there, as a run may.
        EXPECT_TRUE(expected.at(name).starts_with(content) && !content.empty()) << name;
      } else {
        EXPECT_EQ(content, expected.at(name)) << name;
      }
    }
  }
}

}  // namespace
}  // namespace qzt
