// Queue review: list, counts and unqueue, shared by both transfer dialogs.
#include "ui/queue_review.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <vector>

#include "transfer/transfer_queue.h"
#include "transfer/unqueue.h"
#include "ui/message_boxes.h"
#include "ui/queue_list_model.h"

namespace duplane {

namespace {

constexpr int kFilesColumnWidth = 480;

QLabel* AddCount(QHBoxLayout* row, QWidget* parent, const char* caption, const char* name,
                 const char* placeholder) {
  row->addWidget(new QLabel(QString::fromLatin1(caption), parent));
  auto* value = new QLabel(QString::fromLatin1(placeholder), parent);
  value->setObjectName(QString::fromLatin1(name));
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Room for the placeholder's digits, so the panel does not jump as the
  // numbers change.
  value->setMinimumWidth(value->sizeHint().width());
  row->addWidget(value);
  return value;
}

}  // namespace

QueueReview::QueueReview(QWidget* parent)
    : QWidget(parent), model_(new QueueListModel(this)), list_(new QTreeView(this)) {
  list_->setObjectName("ListView1");
  list_->setModel(model_);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);  // no per-row measuring: the list may be long
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(false);
  list_->setColumnWidth(0, kFilesColumnWidth);
  list_->setMinimumWidth(kFilesColumnWidth + 24);
  // The selection stays as visible when the focus is on the buttons, which is
  // where it is when the user decides on it.
  QPalette palette = list_->palette();
  for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  list_->setPalette(palette);

  auto* counts = new QFrame(this);
  counts->setObjectName("CountsPanel");
  counts->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* counts_row = new QHBoxLayout(counts);
  counts_row->setContentsMargins(6, 2, 6, 2);
  nfiles_ = AddCount(counts_row, counts, "Files:", "nfiles", "9,999,999");
  counts_row->addSpacing(8);
  nbytes_ = AddCount(counts_row, counts, "Bytes:", "nbytes", "99,999,999,999");
  counts_row->addSpacing(8);
  ndirs_ = AddCount(counts_row, counts, "Dirs:", "ndirs", "99,999");

  button3_ = new QPushButton(QStringLiteral("Unqueue selected"), this);
  button3_->setObjectName("Button3");
  button3_->setAutoDefault(false);  // Enter belongs to Ok / Cancel, never to this
  connect(button3_, &QPushButton::clicked, this, &QueueReview::Button3Click);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(counts);
  bottom->addStretch(1);
  bottom->addWidget(button3_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);

  information_box_ = [](const QString& text) { QtMessageBoxes().Information(text); };
}

void QueueReview::SetQueue(TransferQueue* queue) { model_->SetQueue(queue); }

TransferQueue* QueueReview::queue() const { return model_->queue(); }

void QueueReview::Reload() {
  model_->SetItemCount(0);
  if (queue() != nullptr) model_->SetItemCount(static_cast<int>(queue()->size()));
  ShowCounts();
}

void QueueReview::Button3Click() {
  TransferQueue* const queue = model_->queue();
  if (queue == nullptr) return;
  // A snapshot of the selection by row: the queue changes under the view
  // during the walk, the view's selection must not.
  std::vector<bool> selected(queue->size(), false);
  const QItemSelectionModel* selection = list_->selectionModel();
  for (const QModelIndex& index : selection->selectedRows()) {
    if (index.row() < static_cast<int>(selected.size())) selected[index.row()] = true;
  }
  const std::string refusal = UnqueueSelected(*queue, [&selected](std::size_t index) {
    return index < selected.size() && selected[index];
  });
  model_->SetItemCount(static_cast<int>(queue->size()));
  list_->selectionModel()->clearSelection();
  list_->viewport()->update();
  ShowCounts();
  if (!refusal.empty() && information_box_) information_box_(QString::fromStdString(refusal));
}

void QueueReview::ShowCounts() {
  const TransferQueue* const queue = model_->queue();
  nfiles_->setText(CountText(queue ? queue->file_count : 0));
  nbytes_->setText(CountText(queue ? queue->byte_count : 0));
  ndirs_->setText(CountText(queue ? queue->dir_count : 0));
}

QString QueueReview::CountText(std::int64_t value) {
  // The C locale leaves groups out by default; the panel always groups, with
  // whatever separator the locale uses.
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<qlonglong>(value));
}

}  // namespace duplane
