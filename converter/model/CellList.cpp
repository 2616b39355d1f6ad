// The doubly linked cell list and its stable merge sort.
#include "converter/model/CellList.h"

#include <stdexcept>
#include <vector>

#include "converter/model/Spreadsheet.h"

namespace tabulex {

CellList::~CellList() {
  // Unlink node by node: letting the head's unique_ptr chain unwind would recurse once per node.
  while (head_) head_ = std::move(head_->next);
}

void CellList::Append(std::unique_ptr<SpreadsheetCell> cell) {
  auto node = std::make_unique<CellListNode>();
  node->cell = std::move(cell);
  node->previous = tail_;
  CellListNode* raw = node.get();
  if (tail_) {
    tail_->next = std::move(node);
  } else {
    head_ = std::move(node);
  }
  tail_ = raw;
  ++count_;
}

void CellList::Rewind() {
  cursor_ = head_.get();
}

CellListNode* CellList::Next() {
  CellListNode* node = cursor_;
  if (node) cursor_ = node->next.get();
  return node;
}

namespace {

bool Before(const CellListNode& a, const CellListNode& b) {
  const std::int16_t ar = a.cell->Row(), br = b.cell->Row();
  return ar < br || (ar == br && a.cell->Column() < b.cell->Column());
}

// Merges two sorted chains; on equal positions the left chain's node comes first, which keeps
// the sort stable.
std::unique_ptr<CellListNode> Merge(std::unique_ptr<CellListNode> left,
                                    std::unique_ptr<CellListNode> right) {
  std::unique_ptr<CellListNode> head;
  std::unique_ptr<CellListNode>* end = &head;
  while (left && right) {
    std::unique_ptr<CellListNode>& pick = Before(*right, *left) ? right : left;
    std::unique_ptr<CellListNode> rest = std::move(pick->next);
    *end = std::move(pick);
    pick = std::move(rest);
    end = &(*end)->next;
  }
  *end = left ? std::move(left) : std::move(right);
  return head;
}

}  // namespace

void CellList::SortByPosition() {
  if (count_ < 2) return;
  // Bottom-up merge sort over runs held in a binary counter of sorted chains, so neither the
  // sort nor the chain's destruction recurses with the list's length.
  std::vector<std::unique_ptr<CellListNode>> bins;
  while (head_) {
    std::unique_ptr<CellListNode> node = std::move(head_);
    head_ = std::move(node->next);
    std::size_t i = 0;
    for (; i < bins.size() && bins[i]; ++i) node = Merge(std::move(bins[i]), std::move(node));
    if (i == bins.size()) bins.emplace_back();
    bins[i] = std::move(node);
  }
  std::unique_ptr<CellListNode> sorted;
  for (auto& bin : bins) {
    if (bin) sorted = Merge(std::move(bin), std::move(sorted));
  }
  head_ = std::move(sorted);
  CellListNode* previous = nullptr;
  for (CellListNode* n = head_.get(); n; n = n->next.get()) {
    n->previous = previous;
    previous = n;
  }
  tail_ = previous;
  cursor_ = head_.get();
}

void CellList::DeleteAll() {
  while (head_) {
    std::unique_ptr<CellListNode> node = std::move(head_);
    head_ = std::move(node->next);
    node->cell.reset();
  }
  tail_ = nullptr;
  cursor_ = nullptr;
  count_ = 0;
}

void CellList::CheckEmpty() const {
  if (head_ || tail_) throw std::runtime_error("Try to delete an non empty linked list");
}

}  // namespace tabulex
