// "Unqueue selected" of both review dialogs, as one function so the copy/move
// dialog and the delete dialog cannot drift apart.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace duplane {

class TransferQueue;

// Removes the selected entries of `queue`, walking from the last index down to
// 0 so that a directory selected with all its contents goes after them. A
// directory whose next entry is still one of its contents cannot go: the walk
// stops there (lower entries stay, selected or not) and the text of the
// information box to show is returned, "Cannot unqueue directory "..." unless
// its contents are unqueued also."; otherwise the result is empty. Counters are
// lowered for every removed entry. The caller then resets its list's item
// count to queue.size(), clears the selection, repaints and shows the counts.
std::string UnqueueSelected(TransferQueue& queue,
                            const std::function<bool(std::size_t index)>& is_selected);

}  // namespace duplane
