#include "paper/question_table.h"

#include <algorithm>
#include <fstream>

namespace qzt {

std::int32_t QuestionRecord::optionCount() const { return decodeInt32(bytes_.data() + format::kOptionCount); }
std::int32_t QuestionRecord::kind() const { return decodeInt32(bytes_.data() + format::kKind); }
double QuestionRecord::marks() const { return decodeDouble(bytes_.data() + format::kMarks); }
unsigned char QuestionRecord::answerKey() const { return bytes_[format::kAnswerKey]; }

ByteString QuestionRecord::rowLabel() const {
  const int n = std::min<int>(bytes_[format::kRowLabel], format::kRowLabelMax);
  return ByteString(reinterpret_cast<const char*>(bytes_.data() + format::kRowLabel + 1),
                    static_cast<std::size_t>(n));
}

ByteString QuestionRecord::answer() const {
  const unsigned k = answerKey();
  const unsigned d = (((k % 6) + 1) * k) % 256;
  ByteString out;
  for (int i = 0; i < format::kAnswerTextMax; ++i) {
    const unsigned char b = bytes_[format::kAnswerText + i];
    if (b == 0) break;
    auto c = static_cast<unsigned char>((b - d) & 0xFF);
    if (c >= 0x61 && c <= 0x7A) c = static_cast<unsigned char>(c - 0x20);
    out.push_back(static_cast<char>(c));
  }
  return out;
}

QuestionTable::QuestionTable(std::vector<QuestionRecord> records) : records_(std::move(records)) {
  if (records_.size() > static_cast<std::size_t>(format::kMaxQuestions)) {
    records_.resize(format::kMaxQuestions);
  }
}

Result<QuestionTable> QuestionTable::load(const std::filesystem::path& paper, const PaperHeader& header) {
  const int count = std::clamp<std::int32_t>(header.questionCount(), 0, format::kMaxQuestions);
  if (count == 0) return QuestionTable();
  const std::int64_t pos = header.questionTablePos();
  if (pos < 0) return Error::io("negative question table position");
  std::ifstream in(paper, std::ios::binary);
  if (!in) return Error::io("cannot open " + paper.string());
  in.seekg(pos);
  std::vector<QuestionRecord> records;
  records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    QuestionRecord::Bytes bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size())) {
      return Error::io("the question table runs past the end of " + paper.string());
    }
    records.emplace_back(bytes);
  }
  return QuestionTable(std::move(records));
}

const QuestionRecord& QuestionTable::question(int q) const {
  static const QuestionRecord kEmpty;
  if (q < 1 || q > count()) return kEmpty;
  return records_[static_cast<std::size_t>(q - 1)];
}

}  // namespace qzt
