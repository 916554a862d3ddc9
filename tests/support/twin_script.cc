// The twin-folder script.
#include "support/twin_script.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "localfs/file_times.h"
#include "localfs/local_file_system.h"
#include "support/temp_tree.h"

namespace duplane {

void FillTwin(const std::string& root) {
  MakeDir(root + "/sub");
  MakeDir(root + "/sub/inner");
  MakeDir(root + "/empty");
  WriteFile(root + "/sub/a.txt", "alpha");
  WriteFile(root + "/sub/.hidden", "hh");
  WriteFile(root + "/wipe.me", std::string(20000, 'w'));
  WriteFile(root + "/plain.del", "p");
  WriteFile(root + "/trash.me", "t");
  const struct timespec times[2] = {{1500000000, 0}, {1600000000, 0}};
  for (const char* name : {"sub/a.txt", "sub/.hidden", "sub/inner", "sub", "."}) {
    utimensat(AT_FDCWD, (root + "/" + name).c_str(), times, 0);
  }
}

std::vector<std::string> RunTwinScript(Link& link, Side side) {
  std::vector<std::string> out;
  auto put = [&out](const std::string& what, auto value) {
    std::ostringstream line;
    line << what << '=' << value;
    out.push_back(line.str());
  };
  put("drives", link.LinkGetDrives(side));
  put("home", link.LinkGetHomeDrive(side));
  put("chdir", link.LinkChDir(side, "C:\\sub"));
  put("chdir-missing", link.LinkChDir(side, "C:\\nope\\deeper"));
  put("getdir0", link.LinkGetDir(side, 0));
  put("getdir-absent", link.LinkGetDir(side, 26));
  put("free-absent", link.LinkDiskFree(side, 26));
  put("free>0", link.LinkDiskFree(side, 3) > 0);
  put("size", link.LinkDiskSize(side, 3));

  // A search: entries sorted after "." and "..", creation time left out.
  std::vector<std::string> entries;
  std::int32_t result = link.LinkFindFirst(side, 4, "*.*", kMaskFilesAndDirs);
  put("findfirst", result);
  while (result == 0) {
    const FindRecord& r = link.SlotRecord(4);
    std::ostringstream entry;
    // Reading a directory moves its access time, so only files show theirs.
    const bool directory = (r.attributes & kAttrDirectory) != 0;
    entry << r.name << ' ' << r.size << ' ' << r.attributes << ' '
          << (directory ? 0 : r.last_access_time) << ' ' << r.last_write_time;
    entries.push_back(entry.str());
    result = link.LinkFindNext(side, 4);
  }
  put("findnext-end", result);
  link.LinkFindClose(side, 4);
  std::sort(entries.begin() + std::min<std::size_t>(2, entries.size()), entries.end());
  for (const std::string& entry : entries) put("entry", entry);
  put("find-nothing", link.LinkFindFirst(side, 5, "C:\\sub\\*.xyz", kMaskFilesAndDirs));
  put("find-only-dots", link.LinkFindFirst(side, 6, "C:\\empty\\*.*", kMaskFilesOnly));
  put("find-bad-slot", link.LinkFindFirst(side, 21, "C:\\*.*", kMaskFilesAndDirs));

  // A file written in three blocks (one empty), read back in two.
  const std::int32_t handle = link.LinkFileCreate(side, "C:\\sub\\new.bin");
  put("create-ok", handle >= 0);
  put("crc-reset", link.LinkGetCRC(side));
  std::string block(8192, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + 3);
  put("write1", link.LinkFileWrite(side, handle, block.data(), 8192));
  put("write0", link.LinkFileWrite(side, handle, block.data(), 0));
  put("crc-after-empty-write", link.LinkGetCRC(side));
  put("write2", link.LinkFileWrite(side, handle, block.data(), 100));
  put("crc-written", link.LinkGetCRC(side));
  const FileTime access = kFileTimeUnixEpoch + 1234567890ull * 10000000;
  const FileTime write = access + 5550000;
  put("settime", link.LinkSetFileTime(side, handle, 0, access, write));
  FileTime c = 0, a = 0, w = 0;
  put("gettime", link.LinkGetFileTime(side, handle, &c, &a, &w));
  put("times", std::to_string(a) + " " + std::to_string(w));
  put("seek-end", link.LinkFileSeek(side, handle, 0, 2));
  put("seek-bad", link.LinkFileSeek(side, handle, 0, 7));
  link.LinkFileClose(side, handle);
  put("gettime-closed", link.LinkGetFileTime(side, handle, &c, &a, &w));

  const std::int32_t reader = link.LinkFileOpen(side, "C:\\sub\\new.bin", 0x40);
  put("open-crc", link.LinkGetCRC(side));
  std::string back(8192, 'x');
  put("seek-mid", link.LinkFileSeek(side, reader, 50, 0));
  put("seek-cur", link.LinkFileSeek(side, reader, -50, 1));
  put("read1", link.LinkFileRead(side, reader, &back[0], 8192));
  put("read-same", back == block);
  put("read2", link.LinkFileRead(side, reader, &back[0], 8192));
  put("read-eof", link.LinkFileRead(side, reader, &back[0], 8192));
  put("crc-read", link.LinkGetCRC(side));
  link.LinkFileClose(side, reader);
  put("read-closed", link.LinkFileRead(side, reader, &back[0], 10));
  put("open-missing", link.LinkFileOpen(side, "C:\\sub\\none", 0));
  for (std::int32_t stranger : {0, 1, 2}) {
    put("write-stranger", link.LinkFileWrite(side, stranger, "x", 1));
  }

  put("exists-file", link.LinkFileExists(side, "C:\\sub\\a.txt"));
  put("exists-dir-as-file", link.LinkFileExists(side, "C:\\sub"));
  put("direxists", link.LinkDirectoryExists(side, "C:\\sub\\inner"));
  put("attr", link.LinkFileGetAttr(side, "C:\\sub\\.hidden"));
  put("setattr", link.LinkFileSetAttr(side, "C:\\sub\\a.txt", kAttrReadOnly | kAttrSystem));
  put("attr-after", link.LinkFileGetAttr(side, "C:\\sub\\a.txt"));
  put("setattr-back", link.LinkFileSetAttr(side, "C:\\sub\\a.txt", kAttrArchive));
  put("attr-missing", link.LinkFileGetAttr(side, "C:\\none"));
  put("age", link.LinkFileAge(side, "C:\\sub\\a.txt"));
  put("age-dir", link.LinkFileAge(side, "C:\\sub"));

  put("mkdir", link.LinkCreateDir(side, "C:\\made"));
  put("mkdir-again", link.LinkCreateDir(side, "C:\\made"));
  put("rename", link.LinkRenameFile(side, "C:\\made", "C:\\renamed"));
  put("rename-onto", link.LinkRenameFile(side, "C:\\renamed", "C:\\sub"));
  put("rmdir", link.LinkRemoveDir(side, "C:\\renamed"));
  put("rmdir-full", link.LinkRemoveDir(side, "C:\\sub"));

  put("del-normal", link.LinkDeleteFile(side, "C:\\plain.del", kDeleteNormal));
  put("del-wipe", link.LinkDeleteFile(side, "C:\\wipe.me", kDeleteWipe));
  put("del-mode3", link.LinkDeleteFile(side, "C:\\sub\\a.txt", 3));
  put("still-there", link.LinkFileExists(side, "C:\\sub\\a.txt"));
  put("del-trash", link.LinkDeleteFile(side, "C:\\trash.me", kDeleteRecycle));
  put("gone",
      link.LinkFileExists(side, "C:\\wipe.me") || link.LinkFileExists(side, "C:\\trash.me"));

  put("hassub", link.LinkHasSubDirs(side, "C:\\sub"));
  put("hassub-empty", link.LinkHasSubDirs(side, "C:\\empty\\"));
  put("hassub-nopath", link.LinkHasSubDirs(side, ""));
  std::vector<std::string> names;
  put("list", link.LinkListSubDirs(side, "C:", &names));
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) put("subdir", name);
  put("list-empty", link.LinkListSubDirs(side, "C:\\empty", &names));
  put("list-empty-size", names.size());

  std::int32_t normal = -1, open = -1;
  link.LinkGetIconIndex(side, "C:\\sub", &normal, &open);
  put("icons-dir", std::to_string(normal) + "," + std::to_string(open));
  link.LinkGetIconIndex(side, "C:\\", &normal, &open);
  put("icons-drive", std::to_string(normal) + "," + std::to_string(open));
  std::vector<std::uint8_t> bitmap;
  put("imagelist", link.LinkGetSysImageList(side, &bitmap));
  put("imagelist-size", bitmap.size());
  return out;
}

std::string TreeNames(const std::string& root) {
  std::istringstream lines(Fingerprint(root));
  std::string names;
  for (std::string line; std::getline(lines, line);) names += line.substr(0, line.find(' ')) + "\n";
  return names;
}

}  // namespace duplane
