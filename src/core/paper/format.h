// The paper file format: sizes, offsets, magic and marker bytes.
//
// A paper is a fixed 1828-byte header at the paper offset of its file,
// followed (anywhere in the file) by three file groups, the comments data
// and the question table. Every position stored in the header is absolute
// in the file that holds the paper, not relative to the paper offset.
// Integers are little-endian signed 32-bit; short strings are a length byte
// and that many GBK bytes inside a field of fixed room.
#pragma once

#include <array>
#include <cstdint>

namespace qzt::format {

// ---- Header -------------------------------------------------------------
inline constexpr int kHeaderSize = 1828;

// Short strings: offset of the length byte and the room, length byte included.
struct ShortStringField {
  int offset;
  int room;
};
inline constexpr ShortStringField kTitle{51, 101};
inline constexpr ShortStringField kFormatVersion{184, 11};
inline constexpr ShortStringField kPaperKey{195, 21};
inline constexpr ShortStringField kStatusText{236, 134};
inline constexpr ShortStringField kAboutCaption{769, 11};
inline constexpr ShortStringField kMagic{780, 11};

// int32 fields.
inline constexpr int kQuestionCount = 152;
inline constexpr int kPageGroupPos = 172;
inline constexpr int kPageGroupLen = 176;
inline constexpr int kNotesGroupPos = 180;
inline constexpr int kNotesGroupLen = 216;
inline constexpr int kCommentsPos = 220;
inline constexpr int kCommentsLen = 224;
inline constexpr int kGridColumnsHint = 228;
inline constexpr int kQuestionTablePos = 232;
inline constexpr int kTimeLimit = 668;
inline constexpr int kSupportGroupPos = 688;
inline constexpr int kSupportGroupLen = 692;

// The fields that hold positions (absolute in the file holding the paper).
inline constexpr int kPositionFields[] = {kPageGroupPos, kNotesGroupPos, kCommentsPos,
                                          kQuestionTablePos, kSupportGroupPos};

// Byte fields and blocks.
inline constexpr int kOpenPasswordBlock = 433;
inline constexpr int kGradePasswordBlock = 568;
inline constexpr int kCommentsByPercent = 801;
inline constexpr int kChecksum = 1827;
inline constexpr int kChecksumModulus = 187;

inline constexpr char kMagicText[] = "!!!zwks!!!";  // length byte 10
inline constexpr char kReaderVersion[] = "1.0";

// State codes of the header tests (and of the deferred messages).
inline constexpr int kStateWrongOpenPassword = 1;
inline constexpr int kStateWrongGradePassword = 2;
inline constexpr int kStateReaderTooOld = 3;
inline constexpr int kStateNotAPaper = 4;
inline constexpr int kStateAltered = 5;

// ---- Password block -----------------------------------------------------
inline constexpr int kPasswordBlockSize = 31;
inline constexpr int kPasswordKey = 0;       // K, subtracted from each byte
inline constexpr int kPasswordStart = 1;     // S, index of the first byte
inline constexpr int kPasswordLengthA = 2;   // N = (A - B) mod 256
inline constexpr int kPasswordLengthB = 29;
inline constexpr int kPasswordOffset = 18;   // added after subtracting K

// ---- File groups and packed data ----------------------------------------
inline constexpr int kGroupSkip = 4;          // entries start at group pos + 4
inline constexpr int kEntryHeadSize = 10;     // byte 0: kind
inline constexpr int kEntryFolder = 1;
inline constexpr int kEntryFile = 2;
inline constexpr int kMaxNameLength = 255;
// The counter starts at the first head's size but adds 4 per later head.
inline constexpr int kLaterHeadCount = 4;

// Byte i (from 1) of the block marker is i*i + 9*i + 10.
inline constexpr std::array<unsigned char, 8> kBlockMarker{0x14, 0x20, 0x2E, 0x3E,
                                                           0x50, 0x64, 0x7A, 0x92};
inline constexpr int kBlockSizeField = 4;
inline constexpr int kUnpackedLengthField = 4;
// Deflate cannot expand beyond about 1032:1; a larger claim is corrupt.
inline constexpr std::int64_t kMaxInflateRatio = 1032;

// Unpacking step numbers shown in the error box.
inline constexpr int kStepOpen = 80;
inline constexpr int kStepFirstEntry = 81;
inline constexpr int kStepFolder = 82;
inline constexpr int kStepFileHead = 83;
inline constexpr int kStepInflate = 84;
inline constexpr int kStepSeekPast = 85;
inline constexpr int kStepNextHead = 86;
inline constexpr int kStepLaterEntry = 87;

// Companion files of the support group, relative to anchor + ".files".
inline constexpr char kCompanionSuffix[] = ".files";
inline constexpr char kHintFile[] = "mmts.txt";
inline constexpr char kAboutFile[] = "about.txt";

// ---- Question records ---------------------------------------------------
inline constexpr int kQuestionRecordSize = 328;
inline constexpr int kMaxQuestions = 1002;
inline constexpr int kOptionCount = 16;
inline constexpr int kAnswerText = 20;
inline constexpr int kAnswerTextMax = 160;    // the 161st byte is never read
inline constexpr int kRowLabel = 181;
inline constexpr int kRowLabelMax = 40;
inline constexpr int kAnswerKey = 222;
inline constexpr int kKind = 256;
inline constexpr int kMarks = 264;

inline constexpr int kKindSingle = 1;
inline constexpr int kKindMultiple = 2;
inline constexpr int kKindText = 3;
inline constexpr int kKindHeading = 100;
inline constexpr int kFirstUngradedKind = 4;

// ---- Attached-paper slot --------------------------------------------------
inline constexpr int kAttachedSlotOffset = 905;
inline constexpr int kAttachedSlotMargin = 100;  // slot < file size - 100

}  // namespace qzt::format
