// Rename and create directory: the two commands that act on one pane's
// current directory, their menu entries in the side's menu and in its list's
// pop-up menu, and the checks and messages around the one Link call each makes.
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include "link/link.h"
#include "localfs/find_record.h"
#include "localfs/name_mapping.h"
#include "transfer/link_on_path.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"

namespace duplane {
namespace {

namespace text = form1_text;

// The two special rows carry these names; neither is an entry of its own.
constexpr char kParentName[] = "..";
constexpr char kRootName[] = "\\";

// Why a typed name cannot be used on a side, or an empty text when it can. A
// name of spaces only is as good as none; a name whose wire form does not fit
// a find record would be made and then never listed.
QString RefusalOf(const QString& typed, const std::string& wire, const QString& side) {
  if (typed.trimmed().isEmpty()) {
    return QString::fromLatin1(text::kNameEmpty);
  }
  std::size_t start = 0;
  while (start <= wire.size()) {
    std::size_t end = wire.find_first_of("\\/", start);
    if (end == std::string::npos) end = wire.size();
    if (end - start > kMaxFindName) return text::kNameTooLong + side + ": " + typed;
    start = end + 1;
  }
  return QString();
}

// A second line for the error box when a typed path passes through a link on
// its way (the entry would land wherever the link leads), or an empty text.
QString LinkOnTheWayText(Link& link, Side side, const std::string& wire, const QString& side_text) {
  const std::string dir = LinkOnTheWay(link, side, wire);
  if (dir.empty()) return QString();
  return "\r" + QString::fromStdString(dir) + " on " + side_text + text::kIsALink;
}

}  // namespace

void TForm1::BuildPaneCommands() {
  for (Side side : {Side::kLocal, Side::kRemote}) {
    BuildRenameCreateMenus(side);
    ConnectListDragDrop(side);
    Pane(side).ConnectTypedPath();
  }
  SetTabOrder();
}

void TForm1::BuildRenameCreateMenus(Side side) {
  struct Entry {
    QMenu* menu;
    const char* rename;
    const char* create_dir;
  };
  // The numbers in the names are those of the window resource: 1 and 2 in
  // the pop-up menus, 3 and 4 in the side menus.
  const Entry entries[] = {
      {SideMenu(side), side == Side::kLocal ? "Rename3" : "Rename4",
       side == Side::kLocal ? "CreateDir3" : "CreateDir4"},
      {findChild<QMenu*>(side == Side::kLocal ? "PopupMenu1" : "PopupMenu2"),
       side == Side::kLocal ? "Rename1" : "Rename2",
       side == Side::kLocal ? "CreateDir1" : "CreateDir2"},
  };
  for (const Entry& e : entries) {
    if (e.menu == nullptr) continue;
    // The two commands go above the selection commands the menu may hold.
    QAction* first = e.menu->actions().value(0);
    auto add = [&](const char* name, const char* caption, void (TForm1::*command)(Side)) {
      auto* a = new QAction(QString::fromLatin1(caption), e.menu);
      a->setObjectName(name);
      e.menu->insertAction(first, a);
      connect(a, &QAction::triggered, this, [this, command, side] { (this->*command)(side); });
    };
    add(e.rename, text::kRename, &TForm1::RenameOnPane);
    add(e.create_dir, text::kCreateDir, &TForm1::CreateDirOnPane);
    if (first != nullptr) e.menu->insertSeparator(first);
  }
}

void TForm1::RenameOnPane(Side side) {
  if (side == Side::kRemote && !connected()) {
    ShowNotConnected();
    return;
  }
  const TPane& pane = Pane(side).record();
  const QModelIndexList rows = Controls(side).list->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    boxes_.Error(text::kNoFileSelected + text::SideText(side));
    return;
  }
  if (rows.size() > 1) {
    boxes_.Error(text::kMultipleSelected + text::SideText(side));
    return;
  }
  const std::size_t row = static_cast<std::size_t>(rows.first().row());
  if (row >= pane.Rows.size()) return;
  const std::string old_name = pane.Rows[row].name;
  if (old_name == kParentName || old_name == kRootName) {
    boxes_.Error(text::kCannotRenameSpecial);
    return;
  }
  const QString old_text = QString::fromStdString(old_name);
  const std::optional<QString> typed =
      prompts_->Ask(text::kRenameCaption,
                    text::kRenamePromptPrefix + old_text + text::kRenamePromptSuffix, old_text);
  if (!typed) return;
  const std::string new_name = WirePathOfTyped(typed->toStdString());
  // Case-sensitive on purpose: readme.txt -> README.TXT is a rename.
  if (new_name == old_name) return;
  const QString refusal = RefusalOf(*typed, new_name, text::SideText(side));
  if (!refusal.isEmpty()) {
    boxes_.Error(refusal);
    return;
  }
  const QString through_link = LinkOnTheWayText(link(), side, new_name, text::SideText(side));
  if (!through_link.isEmpty() || !link().LinkRenameFile(side, old_name, new_name)) {
    boxes_.Error(text::kErrorRenaming + old_text + text::kRenameTo + *typed + through_link);
    return;
  }
  // Only a directory shows in the tree, so only its rename makes the tree stale.
  if (link().LinkDirectoryExists(side, new_name)) Pane(side).record().tree_stale = true;
  Pane(side).FillList();
  Pane(side).SetCurrentRow(new_name);
}

void TForm1::CreateDirOnPane(Side side) {
  if (side == Side::kRemote && !connected()) {
    ShowNotConnected();
    return;
  }
  if (Pane(side).record().Path.empty()) {
    boxes_.Error(text::kNoCurrentDir + text::SideText(side));
    return;
  }
  const std::optional<QString> typed =
      prompts_->Ask(text::kCreateDirCaption, text::kCreateDirPrompt, QString());
  if (!typed) return;
  // The text as typed, in its wire form: a relative name lands in the side's
  // current directory, and only one level is made.
  const std::string name = WirePathOfTyped(typed->toStdString());
  const QString refusal = RefusalOf(*typed, name, text::SideText(side));
  if (!refusal.isEmpty()) {
    boxes_.Error(refusal);
    return;
  }
  const QString through_link = LinkOnTheWayText(link(), side, name, text::SideText(side));
  if (!through_link.isEmpty() || !link().LinkCreateDir(side, name)) {
    boxes_.Error(text::kErrorCreating + *typed + through_link);
    return;
  }
  Pane(side).record().tree_stale = true;
  Pane(side).FillList();
  Pane(side).SetCurrentRow(name);
}

}  // namespace duplane
