// Values the file operations take and give, the same on this PC and on the
// far one: the local branch acts on them, the link carries them unchanged and
// the engines ask for them by name. They are the Windows values, whatever
// system answers.
#pragma once

#include <cstdint>
#include <string>

namespace duplane {

// Windows error codes as they travel in search and LinkChDir results.
constexpr std::int32_t kErrorFileNotFound = 2;
constexpr std::int32_t kErrorPathNotFound = 3;
constexpr std::int32_t kErrorAccessDenied = 5;
constexpr std::int32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kErrorNoMoreFiles = 18;
constexpr std::int32_t kErrorNotReady = 21;
constexpr std::int32_t kErrorFileExists = 80;
constexpr std::int32_t kErrorDirNotEmpty = 145;

// Windows attribute bits as they travel on the wire.
constexpr std::int32_t kAttrReadOnly = 0x01;
constexpr std::int32_t kAttrHidden = 0x02;
constexpr std::int32_t kAttrSystem = 0x04;
constexpr std::int32_t kAttrVolume = 0x08;
constexpr std::int32_t kAttrDirectory = 0x10;
constexpr std::int32_t kAttrArchive = 0x20;
// Windows reserves this bit ("device") and never reports it for an entry; on
// the wire it marks an entry that is neither a plain file nor a directory and
// must never be opened: a FIFO, a socket, a device, or a symbolic link that
// leads nowhere (or out of the folders served).
constexpr std::int32_t kAttrDevice = 0x40;
// A symbolic link (Windows reports its links and junctions so). The other bits
// are those of what the link leads to; a walk never enters a directory that
// carries this bit.
constexpr std::int32_t kAttrReparsePoint = 0x400;

// Attribute masks the callers search with: a search passes over an entry
// that has a hidden, system, volume or directory bit its mask lacks.
constexpr std::int32_t kMaskFilesOnly = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::int32_t kMaskFilesAndDirs = kMaskFilesOnly | kAttrDirectory;
constexpr std::int32_t kMaskEverything = kMaskFilesAndDirs | kAttrVolume;

// A safe copy writes a file under its target's name plus this suffix and
// renames it only once it is verified; a file so named that is left behind
// is the unfinished part of a copy, which the next copy may resume.
constexpr char kPartFileSuffix[] = ".duplane-part";

inline bool IsPartFileName(const std::string& name) {
  constexpr std::size_t kLength = sizeof kPartFileSuffix - 1;
  return name.size() > kLength &&
         name.compare(name.size() - kLength, kLength, kPartFileSuffix) == 0;
}

// Drive numbers of LinkGetDir, LinkDiskFree and LinkDiskSize: 1 is A:, 2 B:
// and so on, and 0 the current drive.
constexpr std::uint8_t kCurrentDrive = 0;

// Open modes of LinkFileOpen: the access in the low two bits, and in the next
// four what the opener lets others do with the file meanwhile.
constexpr std::int32_t kOpenRead = 0x00;
constexpr std::int32_t kOpenWrite = 0x01;
constexpr std::int32_t kOpenReadWrite = 0x02;
constexpr std::int32_t kOpenAccessMask = 0x03;
constexpr std::int32_t kShareCompat = 0x00;
constexpr std::int32_t kShareExclusive = 0x10;
constexpr std::int32_t kShareDenyWrite = 0x20;
constexpr std::int32_t kShareDenyRead = 0x30;
constexpr std::int32_t kShareDenyNone = 0x40;
constexpr std::int32_t kShareMask = 0xF0;
constexpr int kShareShift = 4;

// Origins of LinkFileSeek.
constexpr std::int32_t kSeekBegin = 0;
constexpr std::int32_t kSeekCurrent = 1;
constexpr std::int32_t kSeekEnd = 2;

// Delete modes of LinkDeleteFile.
constexpr std::int32_t kDeleteRecycle = 0;
constexpr std::int32_t kDeleteNormal = 1;
constexpr std::int32_t kDeleteWipe = 2;

static_assert(kMaskFilesOnly == 0x27 && kMaskFilesAndDirs == 0x37 && kMaskEverything == 0x3F);

}  // namespace duplane
