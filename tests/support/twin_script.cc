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

std::vector<std::string> RunTwinScript(Link& link, bool local) {
  std::vector<std::string> out;
  auto put = [&out](const std::string& what, auto value) {
    std::ostringstream line;
    line << what << '=' << value;
    out.push_back(line.str());
  };
  put("drives", link.LinkGetDrives(local));
  put("home", link.LinkGetHomeDrive(local));
  put("chdir", link.LinkChDir(local, "C:\\sub"));
  put("chdir-missing", link.LinkChDir(local, "C:\\nope\\deeper"));
  put("getdir0", link.LinkGetDir(local, 0));
  put("getdir-absent", link.LinkGetDir(local, 26));
  put("free-absent", link.LinkDiskFree(local, 26));
  put("free>0", link.LinkDiskFree(local, 3) > 0);
  put("size", link.LinkDiskSize(local, 3));

  // A search: entries sorted after "." and "..", creation time left out.
  std::vector<std::string> entries;
  std::int32_t result = link.LinkFindFirst(local, 4, "*.*", kMaskFilesAndDirs);
  put("findfirst", result);
  while (result == 0) {
    const FindRecord& r = link.SlotRecord(4);
    std::ostringstream entry;
    // Reading a directory moves its access time, so only files show theirs.
    const bool directory = (r.attributes & kAttrDirectory) != 0;
    entry << r.name << ' ' << r.size << ' ' << r.attributes << ' '
          << (directory ? 0 : r.last_access_time) << ' ' << r.last_write_time;
    entries.push_back(entry.str());
    result = link.LinkFindNext(local, 4);
  }
  put("findnext-end", result);
  link.LinkFindClose(local, 4);
  std::sort(entries.begin() + std::min<std::size_t>(2, entries.size()), entries.end());
  for (const std::string& entry : entries) put("entry", entry);
  put("find-nothing", link.LinkFindFirst(local, 5, "C:\\sub\\*.xyz", kMaskFilesAndDirs));
  put("find-only-dots", link.LinkFindFirst(local, 6, "C:\\empty\\*.*", kMaskFilesOnly));
  put("find-bad-slot", link.LinkFindFirst(local, 21, "C:\\*.*", kMaskFilesAndDirs));

  // A file written in three blocks (one empty), read back in two.
  const std::int32_t handle = link.LinkFileCreate(local, "C:\\sub\\new.bin");
  put("create-ok", handle >= 0);
  put("crc-reset", link.LinkGetCRC(local));
  std::string block(8192, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + 3);
  put("write1", link.LinkFileWrite(local, handle, block.data(), 8192));
  put("write0", link.LinkFileWrite(local, handle, block.data(), 0));
  put("crc-after-empty-write", link.LinkGetCRC(local));
  put("write2", link.LinkFileWrite(local, handle, block.data(), 100));
  put("crc-written", link.LinkGetCRC(local));
  const FileTime access = kFileTimeUnixEpoch + 1234567890ull * 10000000;
  const FileTime write = access + 5550000;
  put("settime", link.LinkSetFileTime(local, handle, 0, access, write));
  FileTime c = 0, a = 0, w = 0;
  put("gettime", link.LinkGetFileTime(local, handle, &c, &a, &w));
  put("times", std::to_string(a) + " " + std::to_string(w));
  put("seek-end", link.LinkFileSeek(local, handle, 0, 2));
  put("seek-bad", link.LinkFileSeek(local, handle, 0, 7));
  link.LinkFileClose(local, handle);
  put("gettime-closed", link.LinkGetFileTime(local, handle, &c, &a, &w));

  const std::int32_t reader = link.LinkFileOpen(local, "C:\\sub\\new.bin", 0x40);
  put("open-crc", link.LinkGetCRC(local));
  std::string back(8192, 'x');
  put("seek-mid", link.LinkFileSeek(local, reader, 50, 0));
  put("seek-cur", link.LinkFileSeek(local, reader, -50, 1));
  put("read1", link.LinkFileRead(local, reader, &back[0], 8192));
  put("read-same", back == block);
  put("read2", link.LinkFileRead(local, reader, &back[0], 8192));
  put("read-eof", link.LinkFileRead(local, reader, &back[0], 8192));
  put("crc-read", link.LinkGetCRC(local));
  link.LinkFileClose(local, reader);
  put("read-closed", link.LinkFileRead(local, reader, &back[0], 10));
  put("open-missing", link.LinkFileOpen(local, "C:\\sub\\none", 0));
  for (std::int32_t stranger : {0, 1, 2}) {
    put("write-stranger", link.LinkFileWrite(local, stranger, "x", 1));
  }

  put("exists-file", link.LinkFileExists(local, "C:\\sub\\a.txt"));
  put("exists-dir-as-file", link.LinkFileExists(local, "C:\\sub"));
  put("direxists", link.LinkDirectoryExists(local, "C:\\sub\\inner"));
  put("attr", link.LinkFileGetAttr(local, "C:\\sub\\.hidden"));
  put("setattr", link.LinkFileSetAttr(local, "C:\\sub\\a.txt", kAttrReadOnly | kAttrSystem));
  put("attr-after", link.LinkFileGetAttr(local, "C:\\sub\\a.txt"));
  put("setattr-back", link.LinkFileSetAttr(local, "C:\\sub\\a.txt", kAttrArchive));
  put("attr-missing", link.LinkFileGetAttr(local, "C:\\none"));
  put("age", link.LinkFileAge(local, "C:\\sub\\a.txt"));
  put("age-dir", link.LinkFileAge(local, "C:\\sub"));

  put("mkdir", link.LinkCreateDir(local, "C:\\made"));
  put("mkdir-again", link.LinkCreateDir(local, "C:\\made"));
  put("rename", link.LinkRenameFile(local, "C:\\made", "C:\\renamed"));
  put("rename-onto", link.LinkRenameFile(local, "C:\\renamed", "C:\\sub"));
  put("rmdir", link.LinkRemoveDir(local, "C:\\renamed"));
  put("rmdir-full", link.LinkRemoveDir(local, "C:\\sub"));

  put("del-normal", link.LinkDeleteFile(local, "C:\\plain.del", kDeleteNormal));
  put("del-wipe", link.LinkDeleteFile(local, "C:\\wipe.me", kDeleteWipe));
  put("del-mode3", link.LinkDeleteFile(local, "C:\\sub\\a.txt", 3));
  put("still-there", link.LinkFileExists(local, "C:\\sub\\a.txt"));
  put("del-trash", link.LinkDeleteFile(local, "C:\\trash.me", kDeleteRecycle));
  put("gone",
      link.LinkFileExists(local, "C:\\wipe.me") || link.LinkFileExists(local, "C:\\trash.me"));

  put("hassub", link.LinkHasSubDirs(local, "C:\\sub"));
  put("hassub-empty", link.LinkHasSubDirs(local, "C:\\empty\\"));
  put("hassub-nopath", link.LinkHasSubDirs(local, ""));
  std::vector<std::string> names;
  put("list", link.LinkListSubDirs(local, "C:", &names));
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) put("subdir", name);
  put("list-empty", link.LinkListSubDirs(local, "C:\\empty", &names));
  put("list-empty-size", names.size());

  std::int32_t normal = -1, open = -1;
  link.LinkGetIconIndex(local, "C:\\sub", &normal, &open);
  put("icons-dir", std::to_string(normal) + "," + std::to_string(open));
  link.LinkGetIconIndex(local, "C:\\", &normal, &open);
  put("icons-drive", std::to_string(normal) + "," + std::to_string(open));
  std::vector<std::uint8_t> bitmap;
  put("imagelist", link.LinkGetSysImageList(local, &bitmap));
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
