// The doubly linked cell list and its stable merge sort.
#include "converter/model/CellList.h"

#include <stdexcept>
#include <vector>

#include "converter/model/Spreadsheet.h"

namespace tabulex {

CellList::~CellList() {
  DeleteAll();
}

void CellList::Append(CellPtr cell) {
  CellListNode* node = nodes_.new_object<CellListNode>();
  node->cell = std::move(cell);
  node->previous = tail_;
  if (tail_) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
}

void CellList::Rewind() {
  cursor_ = head_;
}

CellListNode* CellList::Next() {
  CellListNode* node = cursor_;
  if (node) cursor_ = node->next;
  return node;
}

namespace {

bool Before(const CellListNode& a, const CellListNode& b) {
  const std::int16_t ar = a.cell->Row(), br = b.cell->Row();
  return ar < br || (ar == br && a.cell->Column() < b.cell->Column());
}

// Merges two sorted chains linked by `next`; on equal positions the left chain's node comes
// first, which keeps the sort stable.
CellListNode* Merge(CellListNode* left, CellListNode* right) {
  CellListNode* head = nullptr;
  CellListNode** end = &head;
  while (left && right) {
    CellListNode*& pick = Before(*right, *left) ? right : left;
    *end = pick;
    end = &pick->next;
    pick = pick->next;
  }
  *end = left ? left : right;
  return head;
}

}  // namespace

void CellList::SortByPosition() {
  if (count_ < 2) return;
  // Bottom-up merge sort over runs held in a binary counter of sorted chains, so the sort does
  // not recurse with the list's length.
  std::vector<CellListNode*> bins;
  while (head_) {
    CellListNode* node = head_;
    head_ = node->next;
    node->next = nullptr;
    std::size_t i = 0;
    for (; i < bins.size() && bins[i]; ++i) {
      node = Merge(bins[i], node);
      bins[i] = nullptr;
    }
    if (i == bins.size()) bins.emplace_back();
    bins[i] = node;
  }
  CellListNode* sorted = nullptr;
  for (CellListNode* bin : bins) {
    if (bin) sorted = Merge(bin, sorted);
  }
  head_ = sorted;
  CellListNode* previous = nullptr;
  for (CellListNode* n = head_; n; n = n->next) {
    n->previous = previous;
    previous = n;
  }
  tail_ = previous;
  cursor_ = head_;
}

void CellList::DeleteAll() {
  while (head_) {
    CellListNode* node = head_;
    head_ = node->next;
    nodes_.delete_object(node);
  }
  tail_ = nullptr;
  cursor_ = nullptr;
  count_ = 0;
}

void CellList::CheckEmpty() const {
  if (head_ || tail_) throw std::runtime_error("Try to delete an non empty linked list");
}

}  // namespace tabulex
