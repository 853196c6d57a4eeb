// The persistent treap of pieces: split, join with merging of neighbours, path copying.
#include "piece/piece_tree.h"

#include <algorithm>
#include <utility>

namespace bm::piece {

struct Node {
  std::atomic<uint32_t> refs{1};
  uint32_t priority = 0;
  Node* left = nullptr;
  Node* right = nullptr;
  int64_t offset = 0;
  int64_t length = 0;
  int64_t total = 0;    // bytes of the subtree
  uint32_t count = 0;   // pieces of the subtree
  Store store = Store::Base;
};
static_assert(sizeof(Node) <= 64, "a piece must stay within 64 bytes");

size_t NodeBytes() { return sizeof(Node); }

namespace {

// Functions below take and return owned references ("Node*" counts one).

uint32_t NextPriority() {
  thread_local uint64_t state = 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&state);
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return static_cast<uint32_t>(state >> 32);
}

Node* Retain(Node* n) {
  if (n) n->refs.fetch_add(1, std::memory_order_relaxed);
  return n;
}

void Release(Node* n) {
  while (n) {
    if (n->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    Release(n->left);
    Node* right = n->right;
    delete n;
    n = right;  // the right spine without recursion
  }
}

int64_t Total(const Node* n) { return n ? n->total : 0; }
uint32_t Count(const Node* n) { return n ? n->count : 0; }

Node* Update(Node* n) {
  n->total = Total(n->left) + n->length + Total(n->right);
  n->count = Count(n->left) + 1 + Count(n->right);
  return n;
}

Node* NewNode(const Run& run, uint32_t priority, Node* left, Node* right) {
  Node* n = new Node;
  n->priority = priority;
  n->left = left;
  n->right = right;
  n->offset = run.offset;
  n->length = run.length;
  n->store = run.store;
  return Update(n);
}

// n itself when only this reference reaches it, else a copy sharing its children.
Node* Own(Node* n) {
  if (n->refs.load(std::memory_order_acquire) == 1) return n;
  Node* copy = NewNode(Run{n->store, n->offset, n->length}, n->priority, Retain(n->left),
                       Retain(n->right));
  Release(n);
  return copy;
}

// Concatenates a and b (no merging of their touching pieces).
Node* Concat(Node* a, Node* b) {
  if (!a) return b;
  if (!b) return a;
  if (a->priority >= b->priority) {
    a = Own(a);
    a->right = Concat(a->right, b);
    return Update(a);
  }
  b = Own(b);
  b->left = Concat(a, b->left);
  return Update(b);
}

// Splits t so that the first tree holds exactly position bytes; a piece
// across the cut becomes two, both with the priority of the one they replace.
std::pair<Node*, Node*> Split(Node* t, int64_t position) {
  if (!t) return {nullptr, nullptr};
  if (position <= 0) return {nullptr, t};
  if (position >= t->total) return {t, nullptr};
  t = Own(t);
  const int64_t leftBytes = Total(t->left);
  // A part that comes back is joined on with Concat: a piece cut below may
  // have brought up a priority higher than t's.
  if (position <= leftBytes) {
    auto [a, b] = Split(std::exchange(t->left, nullptr), position);
    return {a, Concat(b, Update(t))};
  }
  if (position >= leftBytes + t->length) {
    auto [a, b] = Split(std::exchange(t->right, nullptr), position - leftBytes - t->length);
    return {Concat(Update(t), a), b};
  }
  // The second half gets a priority of its own: halves sharing one would
  // pile up into a list when a piece is cut many times.
  const int64_t cut = position - leftBytes;
  Node* tail = NewNode(Run{t->store, t->offset + cut, t->length - cut}, NextPriority(), nullptr,
                       nullptr);
  Node* right = std::exchange(t->right, nullptr);
  t->length = cut;
  return {Update(t), Concat(tail, right)};
}

const Node* Last(const Node* n) {
  while (n->right) n = n->right;
  return n;
}

const Node* First(const Node* n) {
  while (n->left) n = n->left;
  return n;
}

// Lengthens the last piece of t by extra bytes.
Node* ExtendLast(Node* t, int64_t extra) {
  t = Own(t);
  if (t->right)
    t->right = ExtendLast(t->right, extra);
  else
    t->length += extra;
  return Update(t);
}

// Concatenates a and b, merging a's last piece with b's first when the
// second continues the first.
Node* Join(Node* a, Node* b) {
  if (!a) return b;
  if (!b) return a;
  const Node* last = Last(a);
  const Node* first = First(b);
  const Run lastRun{last->store, last->offset, last->length};
  const Run firstRun{first->store, first->offset, first->length};
  if (!Continues(lastRun, firstRun)) return Concat(a, b);
  auto [head, rest] = Split(b, firstRun.length);
  Release(head);
  return Concat(ExtendLast(a, firstRun.length), rest);
}

bool Visit(const Node* n, int64_t base, int64_t from, int64_t to,
           const std::function<bool(const Run&)>& visit) {
  if (!n || from >= to) return true;
  const int64_t start = base + Total(n->left);
  const int64_t end = start + n->length;
  if (from < start && !Visit(n->left, base, from, std::min(to, start), visit)) return false;
  if (from < end && to > start) {
    const int64_t a = std::max(from, start), b = std::min(to, end);
    if (!visit(Run{n->store, n->offset + (a - start), b - a})) return false;
  }
  if (to > end) return Visit(n->right, end, std::max(from, end), to, visit);
  return true;
}

std::string CheckNode(const Node* n) {
  if (!n) return {};
  if (n->length <= 0) return "a piece of no bytes";
  if (n->offset < 0) return "a negative offset";
  for (const Node* c : {n->left, n->right}) {
    if (c && c->priority > n->priority) return "heap order broken";
  }
  if (n->total != Total(n->left) + n->length + Total(n->right)) return "wrong subtree size";
  if (n->count != Count(n->left) + 1 + Count(n->right)) return "wrong subtree count";
  std::string inner = CheckNode(n->left);
  if (inner.empty()) inner = CheckNode(n->right);
  return inner;
}

}  // namespace

PieceTree::PieceTree(const Run& run)
    : root_(run.length > 0 ? NewNode(run, NextPriority(), nullptr, nullptr) : nullptr) {}
PieceTree::PieceTree(const PieceTree& other) : root_(Retain(other.root_)) {}
PieceTree::PieceTree(PieceTree&& other) noexcept : root_(std::exchange(other.root_, nullptr)) {}
PieceTree& PieceTree::operator=(const PieceTree& other) {
  Node* keep = Retain(other.root_);
  Release(root_);
  root_ = keep;
  return *this;
}
PieceTree& PieceTree::operator=(PieceTree&& other) noexcept {
  if (this != &other) {
    Release(root_);
    root_ = std::exchange(other.root_, nullptr);
  }
  return *this;
}
PieceTree::~PieceTree() { Release(root_); }

int64_t PieceTree::Size() const { return Total(root_); }
int64_t PieceTree::PieceCount() const { return Count(root_); }

void PieceTree::Insert(int64_t position, const Run& run) {
  if (run.length <= 0) return;
  position = std::clamp<int64_t>(position, 0, Size());
  auto [a, b] = Split(std::exchange(root_, nullptr), position);
  root_ = Join(Join(a, NewNode(run, NextPriority(), nullptr, nullptr)), b);
}

void PieceTree::InsertTree(int64_t position, const PieceTree& pieces) {
  if (!pieces.root_) return;
  position = std::clamp<int64_t>(position, 0, Size());
  auto [a, b] = Split(std::exchange(root_, nullptr), position);
  root_ = Join(Join(a, Retain(pieces.root_)), b);
}

void PieceTree::Remove(int64_t position, int64_t count) {
  Replace(position, count, Run{});
}

void PieceTree::Replace(int64_t position, int64_t count, const Run& run) {
  position = std::clamp<int64_t>(position, 0, Size());
  count = std::clamp<int64_t>(count, 0, Size() - position);
  auto [a, rest] = Split(std::exchange(root_, nullptr), position);
  auto [gone, b] = Split(rest, count);
  Release(gone);
  if (run.length > 0) a = Join(a, NewNode(run, NextPriority(), nullptr, nullptr));
  root_ = Join(a, b);
}

PieceTree PieceTree::Slice(int64_t position, int64_t count) const {
  position = std::clamp<int64_t>(position, 0, Size());
  count = std::clamp<int64_t>(count, 0, Size() - position);
  auto [a, rest] = Split(Retain(root_), position);
  auto [middle, b] = Split(rest, count);
  Release(a);
  Release(b);
  return PieceTree(middle);
}

Run PieceTree::At(int64_t position) const {
  const Node* n = root_;
  while (n) {
    const int64_t leftBytes = Total(n->left);
    if (position < leftBytes) {
      n = n->left;
    } else if (position < leftBytes + n->length) {
      const int64_t in = position - leftBytes;
      return Run{n->store, n->offset + in, n->length - in};
    } else {
      position -= leftBytes + n->length;
      n = n->right;
    }
  }
  return Run{};
}

void PieceTree::ForEachRun(int64_t position, int64_t count,
                           const std::function<bool(const Run&)>& visit) const {
  position = std::max<int64_t>(position, 0);
  const int64_t end = std::min(Size(), position + std::max<int64_t>(count, 0));
  Visit(root_, 0, position, end, visit);
}

std::string PieceTree::Check() const {
  std::string problem = CheckNode(root_);
  if (!problem.empty()) return problem;
  Run previous{};
  bool any = false;
  ForEachRun(0, Size(), [&](const Run& r) {
    if (any && Continues(previous, r)) {
      problem = "two neighbouring pieces continue each other";
      return false;
    }
    previous = r;
    any = true;
    return true;
  });
  return problem;
}

}  // namespace bm::piece
