// Row sorting. The keys are computed once per sort and the quicksort works on
// them and on a permutation; the rows are moved once at the end. The exchanges
// are those of the classic middle-pivot quicksort, so rows with equal keys end
// where that sort leaves them. The attribute and time columns sort by the text
// they show (a time by its local date and time, the Accessed column by its
// date alone), so equal-looking rows stay as equal as they look.
#include "ui/list_sort.h"

#include <QString>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "ui/list_texts.h"

namespace duplane {
namespace {

std::string LowerKey(const std::string& text) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (!ascii) return QString::fromUtf8(text.data(), text.size()).toLower().toStdString();
  std::string key = text;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

// Sizes beyond the signed range sort as the largest.
std::int64_t SizeKey(const PaneRow& row) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(row.size > kMax ? kMax : row.size);
}

std::string TextKey(const PaneRow& row, int column) { return LowerKey(CellText(row, column)); }

template <typename Key>
void QuickSort(std::vector<Key>& keys, std::vector<int>& perm, int l, int r) {
  int i;
  do {
    i = l;
    int j = r;
    const Key pivot = keys[(l + r) / 2];
    do {
      while (keys[i] < pivot) ++i;
      while (pivot < keys[j]) --j;
      if (i <= j) {
        std::swap(keys[i], keys[j]);
        std::swap(perm[i], perm[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) QuickSort(keys, perm, l, j);
    l = i;
  } while (i < r);
}

// Moves row first + perm[n] to row first + n, with its selection flag.
void ApplyPermutation(TPane& pane, std::vector<bool>& selected, int first,
                      const std::vector<int>& perm) {
  const std::size_t n = perm.size();
  std::vector<PaneRow> moved(n);
  for (std::size_t k = 0; k < n; ++k) moved[k] = std::move(pane.Rows[first + perm[k]]);
  for (std::size_t k = 0; k < n; ++k) pane.Rows[first + k] = std::move(moved[k]);
  std::vector<bool> flags(n);
  for (std::size_t k = 0; k < n; ++k) flags[k] = selected[first + perm[k]];
  for (std::size_t k = 0; k < n; ++k) selected[first + k] = flags[k];
}

template <typename Key, typename MakeKey>
void SortBy(TPane& pane, std::vector<bool>& selected, int first, int last, MakeKey make_key) {
  const int n = last - first + 1;
  std::vector<Key> keys(n);
  std::vector<int> perm(n);
  for (int k = 0; k < n; ++k) {
    keys[k] = make_key(pane.Rows[first + k]);
    perm[k] = k;
  }
  QuickSort(keys, perm, 0, n - 1);
  ApplyPermutation(pane, selected, first, perm);
}

}  // namespace

void SortRange(TPane& pane, std::vector<bool>& selected, int first, int last, int key) {
  if (key < 1 || key > kPaneColumns || first < 0 || last <= first) return;
  if (static_cast<std::size_t>(last) >= selected.size()) return;
  if (static_cast<std::size_t>(last) >= pane.Rows.size()) return;
  if (key == kColSize + 1) {
    SortBy<std::int64_t>(pane, selected, first, last, SizeKey);
  } else {
    const int column = key - 1;
    SortBy<std::string>(pane, selected, first, last,
                        [column](const PaneRow& row) { return TextKey(row, column); });
  }
}

void ReverseRange(TPane& pane, std::vector<bool>& selected, int first, int last) {
  if (first < 0 || last <= first || static_cast<std::size_t>(last) >= selected.size()) return;
  if (static_cast<std::size_t>(last) >= pane.Rows.size()) return;
  for (int i = first, j = last; i < j; ++i, --j) {
    std::swap(pane.Rows[i], pane.Rows[j]);
    const bool flag = selected[i];
    selected[i] = selected[j];
    selected[j] = flag;
  }
}

}  // namespace duplane
