// Every text the main window shows, in one place.
#pragma once

#include <QString>

#include "link/link.h"

namespace duplane::form1_text {

inline constexpr char kCaption[] = "Talveri's Duplane 1.1";
inline constexpr char kApplicationTitle[] = "Duplane";

inline constexpr char kLinkMenu[] = "Lin&k";
inline constexpr char kConnect[] = "&Connect";
inline constexpr char kDisconnect[] = "&Disconnect";
inline constexpr char kConfigure[] = "C&onfigure...";
inline constexpr char kExit[] = "E&xit";
inline constexpr char kLocalPcMenu[] = "&Local PC";
inline constexpr char kRemotePcMenu[] = "&Remote PC";
inline constexpr char kHelpMenu[] = "&Help";
inline constexpr char kContents[] = "&Contents";
inline constexpr char kAbout[] = "&About...";

inline constexpr char kDisconnected[] = "<Disconnected>";
inline constexpr char kNotConnected[] = "Not connected to Remote PC";
inline constexpr char kPortConfigError[] =
    "Error reading port configuration. Default port address of 0378 will be used.";

inline constexpr char kSyncCaption[] = "Synchronize with Remote Module";
inline constexpr char kConnectingPrefix[] = "Connecting via LPT";
inline constexpr char kConnectingSuffix[] = " to Remote PC ...";
inline constexpr char kConnectingCable[] = "Connecting via virtual cable";
inline constexpr char kLoadingIcons[] = "Loading remote icons...";
inline constexpr char kDisconnectCaption[] = "Synchronize";
inline constexpr char kDisconnecting[] = "Disconnecting from Remote PC ...";

inline constexpr char kSystemIconsError[] = "Error loading system icons";
inline constexpr char kDrivePrefix[] = "Drive ";
inline constexpr char kNotReadySuffix[] = ": not ready";
inline constexpr char kFBlockError[] = "Error allocating FBlock";

inline constexpr char kSelectAllDirs[] = "Select all &Dirs";
inline constexpr char kSelectAllFiles[] = "Select all &Files";
inline constexpr char kRefresh[] = "Refres&h";
inline constexpr char kParentRow[] = "<parent>";
inline constexpr char kRootRow[] = "<root>";
inline constexpr char kDirRow[] = "<dir>";
inline constexpr char kAllFiles[] = "*.*";
inline constexpr char kListLimitPrefix[] = "Only the first ";
inline constexpr char kListLimitMiddle[] = " entries are listed of ";
inline constexpr char kOn[] = " on ";

inline constexpr char kSelected[] = "Selected: ";
inline constexpr char kOf[] = " of ";
inline constexpr char kDirsComma[] = " dirs, ";
inline constexpr char kFilesColon[] = " files: ";
inline constexpr char kBytes[] = " bytes";
inline constexpr char kBytesFree[] = "Bytes free: ";

inline constexpr char kLocalSide[] = "Local PC";
inline constexpr char kRemoteSide[] = "Remote PC";
inline constexpr char kRename[] = "&Rename";
inline constexpr char kCreateDir[] = "Crea&te Dir";
inline constexpr char kRenameCaption[] = "Rename Function";
inline constexpr char kRenamePromptPrefix[] = "Rename ";
inline constexpr char kRenamePromptSuffix[] = " to:";
inline constexpr char kCreateDirCaption[] = "Create Directory";
inline constexpr char kCreateDirPrompt[] = "Enter name for new directory:";
inline constexpr char kNoFileSelected[] = "No file selected on ";
inline constexpr char kMultipleSelected[] = "Multiple files selected on ";
inline constexpr char kCannotRenameSpecial[] = "Cannot rename <parent> or <root> entries";
inline constexpr char kErrorRenaming[] = "Error renaming ";
inline constexpr char kRenameTo[] = " to ";
inline constexpr char kNoCurrentDir[] = "No current directory set on ";
inline constexpr char kErrorCreating[] = "Error creating ";
inline constexpr char kNameEmpty[] = "A name cannot be empty or only spaces";
inline constexpr char kNameTooLong[] = "Name too long for ";
inline constexpr char kIsALink[] = " is a link";

// How messages name a side.
inline QString SideText(Side side) {
  return QString::fromLatin1(side == Side::kLocal ? kLocalSide : kRemoteSide);
}

}  // namespace duplane::form1_text
