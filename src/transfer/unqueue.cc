// "Unqueue selected": backwards over the queue so contents go before their
// directory, refusing a directory that would leave its contents orphaned.
#include "transfer/unqueue.h"

#include "transfer/transfer_queue.h"

namespace duplane {

std::string UnqueueSelected(TransferQueue& queue,
                            const std::function<bool(std::size_t index)>& is_selected) {
  for (std::size_t i = queue.size(); i-- > 0;) {
    if (!is_selected(i)) continue;
    const std::string entry = queue.path(i);
    if (queue.is_dir(i)) {
      // Contents follow their directory contiguously, so the next entry tells
      // whether anything below this directory is still queued.
      if (i + 1 < queue.size() && queue.path(i + 1).compare(0, entry.size(), entry) == 0) {
        return "Cannot unqueue directory \"" + entry + "\" unless its contents are unqueued also.";
      }
      --queue.dir_count;
    } else {
      --queue.file_count;
      queue.byte_count -= queue.size_value(i);
    }
    queue.RemoveAt(i);
  }
  return std::string();
}

}  // namespace duplane
