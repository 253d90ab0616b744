// The attached-paper slot: a reader program file can carry one paper
// appended to it, and a 4-byte little-endian slot that holds the paper's
// offset in the file (0 in a plain reader). Windows program files ("MZ")
// keep the slot at byte 905. Our other program files carry it as a marked
// field, kAttachedSlot: 16 marker bytes, then the slot, found by searching
// the file for the marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "paper/format.h"
#include "util/result.h"

namespace qzt {

inline constexpr std::int64_t kWindowsSlotOffset = format::kAttachedSlotOffset;
inline constexpr std::size_t kSlotMarkerSize = 16;
inline constexpr std::size_t kSlotFieldSize = kSlotMarkerSize + 4;

// The marked field, kept in every program that links the slot reader (see
// attached_slot_field.cpp). Its marker bytes occur nowhere else in a
// program file; copy tools patch the 4 bytes after them.
extern const unsigned char kAttachedSlot[kSlotFieldSize];

// Byte position of the slot in a program file, or none when the file has
// no slot (an "MZ" file shorter than the slot, no marker).
Result<std::optional<std::int64_t>> findAttachedSlot(const std::filesystem::path& program);

// The offset of the paper attached to a program file, or none for a plain
// reader. A slot value v counts only when 0 < v < file size - 100.
Result<std::optional<std::int64_t>> attachedPaperOffset(const std::filesystem::path& program);

// The same for the program running now, `program` being its file: the slot
// is read where the program's own field was loaded, not searched for in
// the file, which is only asked its size when the slot is set.
Result<std::optional<std::int64_t>> runningProgramPaperOffset(const std::filesystem::path& program);

// Writes `out`: the reader program, the paper appended with every position
// in its header moved by its new offset, the slot set to that offset.
// `out` gets the reader's permissions.
Status attachPaper(const std::filesystem::path& reader, const std::filesystem::path& paper,
                   const std::filesystem::path& out);

}  // namespace qzt
