#include "paper/unpack.h"

#include <array>

#include "paper/format.h"
#include "paper/packed.h"
#include "paper/paper_file.h"
#include "paper/safe_name.h"

namespace qzt {
namespace {

namespace fs = std::filesystem;
namespace f = format;

// The int32 name length and packed size of an entry.
constexpr int kLengthField = 4;

// Walks the entries of one group. The step number names the stage reached;
// every failure ends the group with it.
class GroupReader {
 public:
  // NamesOnly walks the same entries and names, but writes and inflates
  // nothing.
  enum class Mode { Unpack, NamesOnly };

  GroupReader(PaperFile& in, fs::path target, std::int32_t budget, const UnpackLimits& limits,
              Mode mode = Mode::Unpack)
      : in_(in), target_(std::move(target)), budget_(budget), limits_(limits), mode_(mode) {}

  GroupResult run(std::int64_t start) {
    step_ = f::kStepOpen;
    if (!readHead(start)) return fail(Error::io("cannot read the first entry", step_));
    count_ = f::kEntryHeadSize;
    step_ = f::kStepFirstEntry;
    while ((budget_ == 0 || count_ < budget_) && pos_ < in_.size() &&
           (kind_ == f::kEntryFolder || kind_ == f::kEntryFile)) {
      Status st = entry();
      if (!st.ok()) return fail(st.error());
      step_ = f::kStepNextHead;
      if (!readHead(pos_)) return fail(Error::io("cannot read the next entry", step_));
      count_ += f::kLaterHeadCount;
      step_ = f::kStepLaterEntry;
    }
    return std::move(result_);
  }

 private:
  bool readHead(std::int64_t at) {
    std::array<unsigned char, f::kEntryHeadSize> head{};
    if (!in_.read(at, head.data(), head.size())) return false;
    kind_ = head[0];
    pos_ = at + f::kEntryHeadSize;
    return true;
  }

  Status entry() {
    const auto length = in_.int32At(pos_);
    if (!length) return Error::io("cannot read a name length", step_);
    if (*length < 0 || *length > f::kMaxNameLength) return Error::unsafe("name length out of range", step_);
    ByteString name(static_cast<std::size_t>(*length), '\0');
    if (!in_.read(pos_ + kLengthField, name.data(), name.size())) {
      return Error::io("cannot read a name", step_);
    }
    pos_ += kLengthField + *length;
    count_ += kLengthField + *length;
    step_ = f::kStepFolder;
    return kind_ == f::kEntryFolder ? folder(name) : file(name);
  }

  Status folder(const ByteString& name) {
    auto relative = safeRelativePath(name, step_, true);
    if (!relative.ok()) return relative.error();
    if (mode_ == Mode::Unpack) {
      if (Status st = checkNoLinks(target_, *relative, step_); !st.ok()) return st;
      std::error_code ec;
      fs::create_directories(target_ / *relative, ec);
      if (ec) return Error::io("cannot create a folder: " + ec.message(), step_);
    }
    current_ = *relative;
    inTarget_ = false;
    step_ = f::kStepFileHead;
    return Status::success();
  }

  Status file(const ByteString& name) {
    auto relative = safeRelativePath(name, step_);
    if (!relative.ok()) return relative.error();
    const fs::path inside = current_ / *relative;
    if (mode_ == Mode::Unpack) {
      if (Status st = checkNoLinks(target_, inside, step_); !st.ok()) return st;
    }
    const auto size = in_.int32At(pos_);
    if (!size) return Error::io("cannot read a packed size", step_);
    pos_ += kLengthField;
    count_ += kLengthField;
    step_ = f::kStepInflate;
    // Checked here for both modes: a walk that skips no data would step
    // back to an earlier entry.
    if (*size < 0) return Error::corrupt("negative packed size", step_);
    const fs::path out = target_ / inside;
    if (mode_ == Mode::Unpack) {
      auto outcome = unpackPackedAt(in_, out, *size, pos_, step_, pool_, limits_);
      if (!outcome.ok()) return outcome.error();
      if (*outcome == PackedOutcome::Busy) result_.busyTargets.push_back(out);
    }
    step_ = f::kStepSeekPast;
    pos_ += *size;
    count_ += *size;
    if (inTarget_) result_.anchor = out;
    return Status::success();
  }

  GroupResult fail(Error error) {
    result_.failure = std::move(error);
    return std::move(result_);
  }

  PaperFile& in_;
  const fs::path target_;
  const std::int32_t budget_;
  const UnpackLimits limits_;
  const Mode mode_;
  LazyWorkerPool pool_;  // one for the group's files, not one per file
  GroupResult result_;
  fs::path current_;        // relative to the target; empty = the target itself
  bool inTarget_ = true;    // no folder entry seen yet
  int step_ = f::kStepOpen;
  int kind_ = 0;
  std::int64_t pos_ = 0;
  std::int64_t count_ = 0;  // 64 bits: packed sizes may add up past int32
};

GroupResult readGroup(const fs::path& paper, const fs::path& target, std::int32_t budget,
                      std::int32_t start, const UnpackLimits& limits, GroupReader::Mode mode) {
  std::error_code ec;
  if (!fs::exists(paper, ec)) return {};
  auto in = PaperFile::open(paper);
  if (!in.ok()) {
    GroupResult result;
    result.failure = Error::io(in.error().message, f::kStepOpen);
    return result;
  }
  return GroupReader(*in, target, budget, limits, mode).run(start);
}

}  // namespace

GroupResult unpackGroup(const fs::path& paper, const fs::path& target, std::int32_t budget,
                        std::int32_t start, const UnpackLimits& limits) {
  return readGroup(paper, target, budget, start, limits, GroupReader::Mode::Unpack);
}

GroupResult walkGroupNames(const fs::path& paper, const fs::path& target, std::int32_t budget,
                           std::int32_t start) {
  return readGroup(paper, target, budget, start, {}, GroupReader::Mode::NamesOnly);
}

Status unpackPacked(const fs::path& paper, const fs::path& out, std::int32_t size, std::int32_t pos,
                    const UnpackLimits& limits) {
  std::error_code ec;
  if (size == 0 || !fs::exists(paper, ec)) return Status::success();
  auto in = PaperFile::open(paper);
  if (!in.ok()) return Error::io(in.error().message, f::kStepInflate);
  LazyWorkerPool pool;
  auto outcome = unpackPackedAt(*in, out, size, pos, f::kStepInflate, pool, limits);
  if (!outcome.ok()) return outcome.error();
  if (*outcome == PackedOutcome::Busy) return Error::io(kBusyTargetText);
  return Status::success();
}

std::int64_t fileLength(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<std::int64_t>(size);
}

std::string errorBoxText(int step, const std::string& extraUtf8) {
  std::string text;
  if (step > 0) text = "异常Y" + std::to_string(step) + "，";
  text += "请与软件作者联系!E-mail:";
  text += contactEmail();
  text += "!";
  if (!extraUtf8.empty()) text += "\r\n" + extraUtf8;
  return text;
}

const char* contactEmail() { return QZT_CONTACT_EMAIL; }
const char* downloadSite() { return QZT_DOWNLOAD_SITE; }

}  // namespace qzt
