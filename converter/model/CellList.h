// The doubly linked list of a sheet's cells.
#pragma once

#include <cstddef>
#include <memory>

namespace tabulex {

class SpreadsheetCell;

struct CellListNode {
  std::unique_ptr<CellListNode> next;
  CellListNode* previous = nullptr;
  std::unique_ptr<SpreadsheetCell> cell;
};

class CellList {
 public:
  CellList() = default;
  CellList(const CellList&) = delete;
  CellList& operator=(const CellList&) = delete;
  // Frees any nodes left without recursing, so a long list cannot exhaust the stack. Sheets
  // empty their lists with DeleteAll and CheckEmpty before they let them go.
  ~CellList();

  // Adds a cell at the tail.
  void Append(std::unique_ptr<SpreadsheetCell> cell);
  // Puts the read cursor at the head.
  void Rewind();
  // The node at the cursor, or null at the end; moves the cursor on.
  CellListNode* Next();
  // Orders the cells by row, then column (signed comparison); stable, O(n log n).
  void SortByPosition();
  // Destroys every cell and node; the list is then empty.
  void DeleteAll();
  // Throws std::runtime_error("Try to delete an non empty linked list") when cells remain.
  void CheckEmpty() const;

  bool Empty() const { return head_ == nullptr; }
  std::size_t Count() const { return count_; }
  CellListNode* Head() const { return head_.get(); }
  CellListNode* Tail() const { return tail_; }

 private:
  std::unique_ptr<CellListNode> head_;
  CellListNode* tail_ = nullptr;
  CellListNode* cursor_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace tabulex
