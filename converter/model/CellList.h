// The doubly linked list of a sheet's cells.
#pragma once

#include <cstddef>
#include <memory_resource>

#include "converter/model/Arena.h"

namespace tabulex {

class SpreadsheetCell;

// A cell made in a conversion's memory (MakeCell).
using CellPtr = ArenaPtr<SpreadsheetCell>;

// The links are plain pointers: the list owns every node and frees each one exactly once, in
// DeleteAll or its destructor.
struct CellListNode {
  CellListNode* next = nullptr;
  CellListNode* previous = nullptr;
  CellPtr cell;
};

class CellList {
 public:
  // Nodes come from `memory`, which must outlive the list.
  explicit CellList(std::pmr::memory_resource& memory) : nodes_(&memory) {}
  CellList() : CellList(*std::pmr::get_default_resource()) {}
  CellList(const CellList&) = delete;
  CellList& operator=(const CellList&) = delete;
  // Frees any nodes and cells left. Sheets empty their lists with DeleteAll and CheckEmpty
  // before they let them go.
  ~CellList();

  // Adds a cell at the tail.
  void Append(CellPtr cell);
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
  CellListNode* Head() const { return head_; }
  CellListNode* Tail() const { return tail_; }

 private:
  std::pmr::polymorphic_allocator<CellListNode> nodes_;
  CellListNode* head_ = nullptr;
  CellListNode* tail_ = nullptr;
  CellListNode* cursor_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace tabulex
