#include "paper/format.h"
#include "paper/opening.h"
#include "shell/attached_slot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "author/paper_writer.h"
#include "shell/work_folder.h"
#include "util/bytes.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

std::string marker() { return std::string(reinterpret_cast<const char*>(kAttachedSlot), kSlotMarkerSize); }

std::string slotBytes(std::int32_t v) {
  std::string out;
  appendFixed32(out, static_cast<std::uint32_t>(v));
  return out;
}

// A program file of `size` bytes: ELF-like with the marked field at
// `fieldAt`, or "MZ" with the slot at 905.
std::string elfProgram(std::size_t size, std::size_t fieldAt, std::int32_t v) {
  std::string bytes = "\x7f" "ELF" + std::string(size - 4, '\0');
  bytes.replace(fieldAt, kSlotFieldSize, marker() + slotBytes(v));
  return bytes;
}

std::string mzProgram(std::size_t size, std::int32_t v) {
  std::string bytes = "MZ" + std::string(size - 2, '\0');
  if (size >= 909) bytes.replace(905, 4, slotBytes(v));
  return bytes;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AttachedSlot : public ::testing::Test {
 protected:
  void SetUp() override {
    auto made = createWorkFolder();
    ASSERT_TRUE(made.ok());
    folder = *made;
  }
  void TearDown() override { removeWorkFolder(folder); }

  fs::path write(const std::string& name, const std::string& bytes) {
    const fs::path p = folder / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  std::optional<std::int64_t> offsetOf(const std::string& bytes) {
    const auto r = attachedPaperOffset(write("program", bytes));
    EXPECT_TRUE(r.ok()) << r.error().message;
    return r.ok() ? *r : std::nullopt;
  }

  fs::path folder;
};

TEST_F(AttachedSlot, SlotValueCountsOnlyInsideTheFile) {
  const struct {
    std::int32_t v;
    bool counts;
  } cases[] = {{0, false}, {-1, false}, {INT32_MIN, false}, {1, true},
               {2000 - 101, true}, {2000 - 100, false}, {2000, false}, {INT32_MAX, false}};
  for (const auto& c : cases) {
    const std::optional<std::int64_t> want = c.counts ? std::optional<std::int64_t>(c.v) : std::nullopt;
    EXPECT_EQ(offsetOf(mzProgram(2000, c.v)), want) << "MZ " << c.v;
    EXPECT_EQ(offsetOf(elfProgram(2000, 300, c.v)), want) << "ELF " << c.v;
  }
}

TEST_F(AttachedSlot, WhereTheSlotIs) {
  const auto mz = findAttachedSlot(write("mz", mzProgram(2000, 0)));
  ASSERT_TRUE(mz.ok());
  EXPECT_EQ(*mz, 905);

  // An ELF program reads its marked field, never byte 905.
  std::string elf = elfProgram(2000, 1200, 0);
  elf.replace(905, 4, slotBytes(500));
  const auto field = findAttachedSlot(write("elf", elf));
  ASSERT_TRUE(field.ok());
  EXPECT_EQ(*field, 1200 + 16);
  EXPECT_EQ(offsetOf(elf), std::nullopt);

  // No marker, or an MZ file too short for its slot: a plain reader.
  EXPECT_EQ(offsetOf(std::string(2000, 'x')), std::nullopt);
  EXPECT_EQ(offsetOf(mzProgram(908, 0)), std::nullopt);
  // A marker cut short by the end of the file is no field.
  EXPECT_EQ(offsetOf("\x7f" "ELF" + marker() + "\x01\x00"), std::nullopt);

  EXPECT_FALSE(attachedPaperOffset(folder / "missing").ok());
}

TEST_F(AttachedSlot, MarkerAcrossAReadBorderIsFound) {
  const std::size_t border = std::size_t{1} << 20;
  for (std::size_t at : {border - 8, border - 16, border}) {
    std::string program = elfProgram(border + 4096, at, 1000);
    EXPECT_EQ(offsetOf(program), 1000) << at;
  }
}

TEST_F(AttachedSlot, AttachPaperRoundTrip) {
  writer::PaperSpec spec;
  spec.questions = {{"1", 1, 4, "A", 1}};
  const std::string paper = writer::buildPaper(spec).bytes;
  const fs::path paperFile = write("paper.qzt", paper);

  for (const std::string& reader : {elfProgram(5000, 700, 0), mzProgram(3000, 0)}) {
    const fs::path readerFile = write("reader", reader);
    fs::permissions(readerFile, fs::perms::owner_all | fs::perms::group_read, fs::perm_options::replace);
    const fs::path out = folder / "reader-with-paper";
    ASSERT_TRUE(attachPaper(readerFile, paperFile, out).ok());

    const auto offset = attachedPaperOffset(out);
    ASSERT_TRUE(offset.ok() && offset->has_value());
    EXPECT_EQ(**offset, static_cast<std::int64_t>(reader.size()));
    // Positions are absolute in the copy, so the paper reads through them.
    const std::string bytes = readAll(out);
    EXPECT_EQ(bytes.substr(reader.size() + format::kHeaderSize), paper.substr(format::kHeaderSize));
    const auto loaded = readPaper(out, **offset);
    ASSERT_TRUE(loaded.ok()) << loaded.error().message;
    EXPECT_EQ(testHeader(loaded->header), 0);
    EXPECT_EQ(loaded->table.question(1).answer(), "A");
    EXPECT_EQ(fs::status(out).permissions(), fs::status(readerFile).permissions());
  }

  EXPECT_FALSE(attachPaper(write("noslot", std::string(4000, 'x')), paperFile, folder / "o").ok());
  EXPECT_FALSE(attachPaper(write("r", mzProgram(2000, 0)), write("tiny", "tiny"), folder / "o").ok());
}

// The test program itself carries the marked field: it reads as a plain
// reader, and a copy with a paper attached finds that paper.
TEST_F(AttachedSlot, OwnProgramCarriesTheField) {
  const fs::path self = "/proc/self/exe";
  if (!fs::exists(self)) GTEST_SKIP() << "no /proc/self/exe";
  const auto plain = attachedPaperOffset(self);
  ASSERT_TRUE(plain.ok()) << plain.error().message;
  EXPECT_EQ(*plain, std::nullopt);
  const auto running = runningProgramPaperOffset(self);
  ASSERT_TRUE(running.ok());
  EXPECT_EQ(*running, std::nullopt);

  const std::string program = readAll(self);
  const auto first = program.find(marker());
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(program.find(marker(), first + 1), std::string::npos) << "marker occurs twice";

  writer::PaperSpec spec;
  const fs::path paperFile = write("paper.qzt", writer::buildPaper(spec).bytes);
  const fs::path out = folder / "reader";
  ASSERT_TRUE(attachPaper(self, paperFile, out).ok());
  const auto attached = attachedPaperOffset(out);
  ASSERT_TRUE(attached.ok() && attached->has_value());
  EXPECT_EQ(**attached, static_cast<std::int64_t>(program.size()));
}

}  // namespace
}  // namespace qzt
