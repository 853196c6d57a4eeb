// The piece tree: a document as a persistent balanced tree of runs of two stores.
//
// A piece names a run of bytes in one of two stores: the base (the file the
// document was opened from, never written) or the add store (an append-only
// file of every byte added or typed since). The document is the pieces in
// order. They live in a treap keyed by length: each node knows the bytes and
// the pieces of its subtree, so finding a position, inserting, removing and
// replacing cost O(log n) in the number of pieces, whatever the document's
// size.
//
// The tree is persistent. Nodes are immutable once shared and reference
// counted; an operation copies only the path it changes and shares the rest.
// A PieceTree is a handle to a root: copying one is O(1) and the copy is a
// version of the whole document that no later edit of the other handle can
// change. Undo and redo keep such versions, not bytes. A node that only one
// handle can reach is changed in place instead of copied, so a document with
// no kept version allocates nothing for an edit that splits no piece.
//
// Adjacent pieces that continue each other (same store, contiguous offsets)
// are always merged, so bytes appended to the add store one after another
// and inserted one after another (typing) extend a single piece.
//
// Reference counts are atomic: a version may be handed to another thread
// (a save or a search) while the editor goes on editing its own handle.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace bm::piece {

enum class Store : uint8_t { Base = 0, Add = 1 };

// A run of bytes: length bytes of store from offset.
struct Run {
  Store store = Store::Base;
  int64_t offset = 0;
  int64_t length = 0;
  friend bool operator==(const Run&, const Run&) = default;
};

// Whether b starts where a ends in the same store.
inline bool Continues(const Run& a, const Run& b) {
  return a.store == b.store && a.offset + a.length == b.offset;
}

struct Node;

class PieceTree {
 public:
  PieceTree() = default;
  // A document made of one run (empty when its length is 0).
  explicit PieceTree(const Run& run);
  PieceTree(const PieceTree& other);
  PieceTree(PieceTree&& other) noexcept;
  PieceTree& operator=(const PieceTree& other);
  PieceTree& operator=(PieceTree&& other) noexcept;
  ~PieceTree();

  int64_t Size() const;
  int64_t PieceCount() const;
  bool Empty() const { return root_ == nullptr; }
  // Both handles lead to the same version (no edit in between).
  bool SameVersion(const PieceTree& other) const { return root_ == other.root_; }

  // Inserts run before position (0 <= position <= Size()).
  void Insert(int64_t position, const Run& run);
  // Inserts every piece of pieces before position.
  void InsertTree(int64_t position, const PieceTree& pieces);
  // Removes count bytes from position (clamped to the document).
  void Remove(int64_t position, int64_t count);
  // Replaces count bytes at position by run.
  void Replace(int64_t position, int64_t count, const Run& run);
  // The pieces of count bytes from position, as a document of their own
  // (sharing nodes with this one): what a cut keeps.
  PieceTree Slice(int64_t position, int64_t count) const;

  // The piece holding position (0 <= position < Size()), cut to begin at
  // position: its store offset there and the bytes left in the piece.
  Run At(int64_t position) const;

  // Calls visit with the runs covering count bytes from position, in order,
  // the first and last cut to the range; stops when visit returns false.
  // O(log n + runs visited).
  void ForEachRun(int64_t position, int64_t count,
                  const std::function<bool(const Run&)>& visit) const;

  // Checks the tree's invariants (sizes, heap order, merged neighbours);
  // returns an empty text when they hold, else what is wrong. For tests.
  std::string Check() const;

 private:
  explicit PieceTree(Node* root) : root_(root) {}
  Node* root_ = nullptr;
};

// The bytes a node occupies; the tree promises to stay within 64.
size_t NodeBytes();

}  // namespace bm::piece
