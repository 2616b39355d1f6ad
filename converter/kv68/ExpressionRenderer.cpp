// Renders calculator expression data (tagged, postfix: the tag of the outermost item last) as
// the text the calculator prints.
//
// Rendering runs in two passes over one expression. The parser walks backwards from the tag
// and builds a flat tree: every node records the bytes it spans and its operands in the order
// they are written. The printer then walks that tree. Both passes keep their own explicit
// stacks, so arbitrarily deep nesting costs heap memory in proportion to the data instead of
// call-stack depth, and the work stays linear in the size of the data. All storage belongs to
// one call, so calls may run concurrently.

#include "converter/kv68/ExpressionRenderer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter/kv68/Kv68Real.h"
#include "converter/kv68/RendererTables.h"

namespace tabulex {

namespace {

constexpr std::string_view kErrorName = "_ERROR_";
constexpr char kUnreadable = '\x0E';
constexpr std::uint8_t kEndTag = 0xE5;
constexpr std::uint8_t kStopMark = 0xE9;
constexpr std::uint8_t kLineTag = 0xE8;
constexpr std::uint8_t kColonTag = 0xE7;
constexpr std::uint8_t kCommentTag = 0xE6;
constexpr std::uint8_t kListTag = 0xD9;
constexpr std::uint8_t kIndexTag = 0xD5;
constexpr std::uint8_t kCallTag = 0xDA;
constexpr std::uint8_t kNotTag = 0x79;
constexpr std::uint8_t kDerivativeTag = 0xF2;
constexpr std::uint8_t kExtendedTag = 0xE3;
constexpr std::uint8_t kInstructionTag = 0xE4;
constexpr std::uint8_t kSystemVariableTag = 0x1C;

// Calculator characters used by the printer.
constexpr char kMinusSign = '\xAD';
constexpr char kExponentSign = '\x95';
constexpr std::string_view kCommentSign = "\xA9";

// Tags of the whole-variable layouts.
constexpr std::uint8_t kFunctionTag = 0xDC;
constexpr std::uint8_t kDataVariableTag = 0xDD;
constexpr std::uint8_t kGraphDatabaseTag = 0xDE;
constexpr std::uint8_t kTextVariableTag = 0xE0;

TagKind KindOf(std::uint8_t tag) {
  return TagTable()[tag].kind();
}

bool InRange(unsigned value, unsigned low, unsigned high) {
  return value >= low && value <= high;
}

// Whether a tag starts an item inside an expression: not unused, not a variable tag, not a
// separator.
bool IsItemTag(std::uint8_t tag) {
  const TagKind kind = KindOf(tag);
  return kind != 0x00 && kind != 0x28 && kind != 0x2B;
}

// A parsed item. `begin` is the index of its first byte, `end` the index of its tag. The data
// is at most 65535 bytes (its count is 16 bits), so positions and operand counts fit 16 bits;
// a node is kept to 16 bytes, since deeply nested data holds many of them.
struct Node {
  std::uint8_t tag = 0;
  std::uint8_t sub = 0;  // sub-code of 0x1C, 0x1D, 0x1E, 0xE3, 0xE4; letter tag of 0xF0
  bool unreadable = false;
  std::uint16_t childCount = 0;
  std::uint16_t end = 0;
  std::int32_t begin = 0;
  std::uint32_t firstChild = 0;
};

// Operand count of an extended form (tag 0xE3) by sub-code: 0-3, kList for a list closed by
// the end tag, kBad for a sub-code without a form.
constexpr int kList = -1;
constexpr int kBad = -2;
constexpr std::uint16_t kOpenList = 0xFFFF;

int ExtendedOperands(std::uint8_t sub) {
  if (sub == 0x01) return 1;
  if (sub == 0x02 || sub == 0x03 || sub == 0x29 || sub == 0x34) return 0;
  if (sub == 0x04 || InRange(sub, 0x11, 0x13)) return kList;
  if (sub == 0x05 || sub == 0x14) return 2;
  if (InRange(sub, 0x06, 0x0C) || sub == 0x2A) return 1;
  if (InRange(sub, 0x0D, 0x10) || sub == 0x27 || sub == 0x28 || InRange(sub, 0x30, 0x32)) return 2;
  if (InRange(sub, 0x15, 0x1A) || InRange(sub, 0x2D, 0x2F)) return 1;
  if (sub == 0x26 || sub == 0x35) return 2;
  if (sub == 0x2B || sub == 0x2C) return 1;
  return kBad;
}

std::uint8_t InstructionLayout(std::uint8_t sub) {
  return sub < InstructionTable().size() ? InstructionTable()[sub].layout : 0x00;
}

// Instructions that end loops carry two more bytes before their sub-code.
bool EndsLoop(std::uint8_t sub) {
  return sub == 0x07 || sub == 0x0E || sub == 0x11 || sub == 0x15 || sub == 0x16;
}

class Renderer {
 public:
  explicit Renderer(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
    // Nearly every item takes at least one byte, so the data size is a good first bound.
    // Reserving touches no memory yet, and spares deep data the copies of repeated growth.
    nodes_.reserve(bytes.size() + 1);
    children_.reserve(bytes.size());
    frames_.reserve(bytes.size());
    pending_.reserve(bytes.size());
    stack_.reserve(bytes.size() + 1);
    out_.reserve(256 + bytes.size());
  }

  std::string Render();

 private:
  // --- reading ---------------------------------------------------------------------------
  // Bytes before the data read as the stop mark, so the statement loop ends there.
  std::uint8_t At(std::int32_t pos) const {
    return pos >= 0 && pos < Size() ? bytes_[static_cast<std::size_t>(pos)] : kStopMark;
  }
  std::int32_t Size() const { return static_cast<std::int32_t>(bytes_.size()); }
  // Index of the nearest 0x00 at or before `pos`, or -1.
  std::int32_t ZeroAtOrBefore(std::int32_t pos) const {
    for (; pos >= 0; --pos) {
      if (bytes_[static_cast<std::size_t>(pos)] == 0x00) return pos;
    }
    return -1;
  }
  std::string_view Chars(std::int32_t from, std::int32_t to) const {  // [from, to)
    if (from < 0 || to <= from) return {};
    return {reinterpret_cast<const char*>(bytes_.data()) + from,
            static_cast<std::size_t>(to - from)};
  }

  std::uint32_t Parse(std::int32_t pos);
  std::optional<std::uint32_t> Open(std::int32_t pos);
  std::uint32_t AddNode(const Node& node);
  std::uint32_t Leaf(Node node, std::int32_t begin);
  void OpenComposite(Node node, std::int32_t operandsEnd, int count);

  std::uint32_t Child(const Node& node, std::uint32_t i) const {
    return children_[node.firstChild + i];
  }

  // --- printing --------------------------------------------------------------------------
  // One step of the printer: a text to write, then optionally a node to print. A text and
  // the operand after it share one step, and a step is kept to 16 bytes, since deeply nested
  // data holds many of them at once.
  struct Action {
    const char* text = "";
    std::uint32_t node = 0;
    std::uint16_t length = 0;  // of the text
    std::uint8_t base = 10;
    std::uint8_t flags = 0;

    static constexpr std::uint8_t kHasItem = 1;
    static constexpr std::uint8_t kBracket = 2;
    static constexpr std::uint8_t kBare = 4;  // a top-level list: braces left out

    static Action Text(std::string_view t) {
      return {t.empty() ? "" : t.data(), 0, static_cast<std::uint16_t>(t.size()), 10, 0};
    }
    static Action Item(std::uint32_t node, std::uint8_t base, bool bracket, bool bare) {
      return {"", node, 0, base,
              static_cast<std::uint8_t>(kHasItem | (bracket ? kBracket : 0) | (bare ? kBare : 0))};
    }
  };

  void Print(std::uint32_t root, bool topLevelList = false);
  void Expand(std::uint32_t index, std::uint8_t base, bool bare);
  void Emit(std::string_view text) {
    // Texts here are names and short literals; a long one would be split.
    for (; text.size() > 0xFFFF; text.remove_prefix(0xFFFF)) {
      seq_.push_back(Action::Text(text.substr(0, 0xFFFF)));
    }
    seq_.push_back(Action::Text(text));
  }
  void EmitItem(std::uint32_t node, bool bracket, std::uint8_t base) {
    Action item = Action::Item(node, base, bracket, false);
    if (!seq_.empty() && (seq_.back().flags & Action::kHasItem) == 0) {
      item.text = seq_.back().text;  // the text before the operand joins its step
      item.length = seq_.back().length;
      seq_.back() = item;
    } else {
      seq_.push_back(item);
    }
  }
  void EmitJoined(const Node& node, std::uint32_t from, std::string_view separator,
                  std::uint8_t base);

  void PrintInteger(std::int32_t valueBegin, std::int32_t count, bool negative, std::uint8_t base);
  void PrintReal(std::int32_t begin);
  void PrintLetter(std::uint8_t tag);

  TagKind Kind(std::uint32_t index) const {
    const Node& n = nodes_[index];
    return n.unreadable ? TagKind{0} : KindOf(n.tag);
  }
  bool IsName(std::uint32_t i) const { return !nodes_[i].unreadable && nodes_[i].tag == 0x00; }
  bool IsLetter(std::uint32_t i) const { return Kind(i) == 0x02 || Kind(i) == 0x03; }
  bool IsInteger(std::uint32_t i) const { return Kind(i) == 0x06; }
  bool IsNonNegativeInteger(std::uint32_t i) const { return IsInteger(i) && nodes_[i].tag == 0x1F; }
  bool IsNegativeNumber(std::uint32_t i) const;
  bool Is(std::uint32_t i, std::uint8_t tag) const {
    return !nodes_[i].unreadable && nodes_[i].tag == tag;
  }
  bool IsMatrix(std::uint32_t i) const;
  bool KindIn(std::uint32_t i, TagKind low, TagKind high) const {
    return InRange(Kind(i), low, high);
  }
  bool OperatorBracket(std::uint8_t op, bool left, std::uint32_t operand) const;

  void ExpandList(std::uint32_t index, std::uint8_t base, bool bare);
  void ExpandOperator(const Node& node, std::uint8_t base);
  void ExpandExtended(const Node& node, std::uint8_t base);
  void ExpandInstruction(const Node& node, std::uint8_t base);

  // --- whole-variable layouts and statements ----------------------------------------------
  std::int32_t Statements(std::int32_t pos);
  void FunctionOrProgram();
  void DataVariable();
  void GraphDatabase();
  void TextVariable();
  // Parses the items before `pos` up to the end tag; returns them in written order and the
  // position before the end tag (or -1 when the data ran out first).
  std::int32_t ItemList(std::int32_t pos, std::vector<std::uint32_t>& items);
  std::string PrintToString(std::uint32_t root);

  std::span<const std::uint8_t> bytes_;
  std::vector<Node> nodes_;
  std::vector<std::uint32_t> children_;
  std::string out_;
  bool numberSwitch_ = true;

  std::vector<std::uint32_t> frames_;  // the open items, innermost last
  std::vector<std::uint32_t> pending_;
  std::vector<Action> stack_;
  std::vector<Action> seq_;
};

// ---------------------------------------------------------------------------------------------
// Parsing

std::uint32_t Renderer::AddNode(const Node& node) {
  nodes_.push_back(node);
  return static_cast<std::uint32_t>(nodes_.size() - 1);
}

std::uint32_t Renderer::Leaf(Node node, std::int32_t begin) {
  if (begin < 0) {
    // The item would start before the data: unreadable, and it takes the rest of the data.
    node.unreadable = true;
    node.begin = 0;
  } else {
    node.begin = begin;
  }
  return AddNode(node);
}

// While an item is open, its node keeps the parse state: `begin` is the last byte of its next
// operand, `childCount` the operands still to read (kOpenList: up to the end tag) and
// `firstChild` where its operands start on the pending stack.
void Renderer::OpenComposite(Node node, std::int32_t operandsEnd, int count) {
  node.begin = operandsEnd;
  node.childCount = count == kList ? kOpenList : static_cast<std::uint16_t>(count);
  node.firstChild = static_cast<std::uint32_t>(pending_.size());
  frames_.push_back(AddNode(node));
}

// Starts the item whose tag is at `pos`. A leaf is complete at once and returned; an item
// with operands pushes a frame and returns nothing.
std::optional<std::uint32_t> Renderer::Open(std::int32_t pos) {
  Node node;
  node.end = static_cast<std::uint16_t>(pos < 0 ? 0 : pos);
  if (pos < 0) {
    node.unreadable = true;
    return Leaf(node, -1);
  }
  const std::uint8_t tag = At(pos);
  node.tag = tag;
  const TagKind kind = KindOf(tag);

  if (tag == 0x00) return Leaf(node, ZeroAtOrBefore(pos - 1));
  if (InRange(tag, 0x01, 0x1B) || InRange(tag, 0x24, 0x2C) || tag == 0x2E) {
    return Leaf(node, pos);
  }
  if (tag == 0xF0 || tag == kSystemVariableTag || tag == 0x1D || tag == 0x1E) {
    if (pos >= 1) node.sub = At(pos - 1);
    return Leaf(node, pos - 1);
  }
  if (tag == 0x1F || tag == 0x20) {
    if (pos < 1) return Leaf(node, -1);
    return Leaf(node, pos - 1 - At(pos - 1));
  }
  if (tag == 0x21 || tag == 0x22) {
    if (pos < 1) return Leaf(node, -1);
    const std::int32_t denominatorCount = pos - 2 - At(pos - 1);
    if (denominatorCount < 0) return Leaf(node, -1);
    return Leaf(node, denominatorCount - At(denominatorCount));
  }
  if (tag == kRealTag) return Leaf(node, pos - 9);
  if (tag == 0x2D) {  // 0x00, characters, 0x00, tag
    if (pos < 2) return Leaf(node, -1);
    return Leaf(node, ZeroAtOrBefore(pos - 2));
  }
  if (tag == kCommentTag) {  // 0x00, text, 0x00, space count, tag
    if (pos < 3) return Leaf(node, -1);
    node.sub = At(pos - 1);
    return Leaf(node, ZeroAtOrBefore(pos - 3));
  }
  if (tag == kExtendedTag) {
    if (pos < 1) return Leaf(node, -1);
    node.sub = At(pos - 1);
    const int count = ExtendedOperands(node.sub);
    if (count == kBad || count == 0) return Leaf(node, pos - 1);
    OpenComposite(node, pos - 2, count);
    return std::nullopt;
  }
  if (tag == kInstructionTag) {
    if (pos < 1) return Leaf(node, -1);
    node.sub = At(pos - 1);
    if (EndsLoop(node.sub)) return Leaf(node, pos - 3);
    const std::uint8_t layout = InstructionLayout(node.sub);
    if (layout == 0x00) return Leaf(node, pos - 1);
    const int count = layout == 0x11 ? 1 : layout == 0x22 ? 2 : layout == 0x33 ? 3 : kList;
    OpenComposite(node, pos - 2, count);
    return std::nullopt;
  }
  if (tag == kDerivativeTag) {
    std::int32_t first = pos;
    while (first > 0 && At(first - 1) == kDerivativeTag) --first;
    OpenComposite(node, first - 1, 1);
    return std::nullopt;
  }
  if (tag == 0x7B) {
    OpenComposite(node, pos - 1, 2);
    return std::nullopt;
  }
  if (tag == 0x7C || tag == 0x7D) {
    OpenComposite(node, pos - 1, 3);
    return std::nullopt;
  }
  if (InRange(kind, 0x0F, 0x18)) {
    OpenComposite(node, pos - 1, 1);
    return std::nullopt;
  }
  if (InRange(kind, 0x19, 0x21) || tag == 0x7F) {
    OpenComposite(node, pos - 1, 2);
    return std::nullopt;
  }
  if (InRange(kind, 0x22, 0x27)) {
    OpenComposite(node, pos - 1, kList);
    return std::nullopt;
  }
  node.unreadable = true;
  return Leaf(node, pos);
}

// Parses the item whose tag is at `pos` (and everything it contains) without recursion.
std::uint32_t Renderer::Parse(std::int32_t pos) {
  frames_.clear();
  pending_.clear();
  std::int32_t at = pos;
  for (;;) {
    std::optional<std::uint32_t> done = Open(at);
    for (;;) {
      if (done) {
        if (frames_.empty()) return *done;
        Node& open = nodes_[frames_.back()];
        pending_.push_back(*done);
        open.begin = nodes_[*done].begin - 1;
        if (open.childCount != kOpenList) --open.childCount;
        done.reset();
      }
      const std::uint32_t index = frames_.back();
      Node& node = nodes_[index];
      const std::int32_t next = node.begin;
      if (node.childCount == kOpenList) {
        if (next < 0) {
          node.unreadable = true;  // no end tag before the start of the data
          node.begin = 0;
        } else if (At(next) == kEndTag) {
          node.begin = next;
        } else {
          break;
        }
      } else if (node.childCount == 0) {
        node.begin = next + 1;
      } else {
        break;
      }
      // Complete: the operands were read last first; store them in written order.
      const std::uint32_t pendingBase = node.firstChild;
      node.firstChild = static_cast<std::uint32_t>(children_.size());
      node.childCount = static_cast<std::uint16_t>(pending_.size() - pendingBase);
      children_.insert(children_.end(), pending_.rbegin(),
                       pending_.rbegin() + static_cast<std::ptrdiff_t>(node.childCount));
      pending_.resize(pendingBase);
      done = index;
      frames_.pop_back();
    }
    at = nodes_[frames_.back()].begin;
  }
}

// ---------------------------------------------------------------------------------------------
// Printing

bool Renderer::IsNegativeNumber(std::uint32_t i) const {
  const Node& n = nodes_[i];
  if (n.unreadable) return false;
  if (n.tag == 0x20 || n.tag == 0x22) return true;
  return n.tag == kRealTag && (At(n.end - 9) & 0x80) != 0;
}

bool Renderer::IsMatrix(std::uint32_t i) const {
  const Node& n = nodes_[i];
  if (n.unreadable || n.tag != kListTag || n.childCount == 0) return false;
  for (std::uint32_t c = 0; c < n.childCount; ++c) {
    if (!Is(Child(n, c), kListTag)) return false;
  }
  return true;
}

// Whether an operand of a binary operator is bracketed. `left` is the operand stored first.
bool Renderer::OperatorBracket(std::uint8_t op, bool left, std::uint32_t x) const {
  const bool isNot = Is(x, kNotTag);
  switch (op) {
    case 0x8B:  // + .+
    case 0x8C:
      return KindIn(x, 0x19, 0x1B) || isNot;
    case 0x8D:  // - .- +-
    case 0x8E:
    case 0xEB:
      return left ? (KindIn(x, 0x19, 0x1B) || isNot) : (KindIn(x, 0x19, 0x1C) || isNot);
    case 0x8F:  // * .*
    case 0x90:
      if (left) return KindIn(x, 0x19, 0x1C) || isNot;
      return IsNegativeNumber(x) || Is(x, 0x91) || isNot || KindIn(x, 0x19, 0x1C);
    case 0x91:  // / ./
    case 0x92:
      if (left) return KindIn(x, 0x19, 0x1C) || isNot;
      return !(IsName(x) || IsLetter(x) || Kind(x) == 0x04 || Kind(x) == 0x05 || IsInteger(x) ||
               Kind(x) == 0x1E);
    case 0x93:  // ^ .^
    case 0x94:
      if (left) {
        return !(IsName(x) || IsLetter(x) || IsNonNegativeInteger(x) || KindIn(x, 0x09, 0x0E) ||
                 Is(x, kListTag) || Is(x, kIndexTag));
      }
      return !(IsName(x) || IsLetter(x) || IsInteger(x) || Is(x, kListTag) || Is(x, kIndexTag));
    default:
      break;
  }
  if (InRange(op, 0x85, 0x8A)) return left && (KindIn(x, 0x19, 0x1B) || isNot);
  if (InRange(op, 0x82, 0x84)) {
    return !nodes_[x].unreadable && InRange(nodes_[x].tag, 0x7F, op - 1u);
  }
  return false;  // 0x7F, 0x80, 0x81: joined as they are
}

void Renderer::PrintLetter(std::uint8_t tag) {
  if (InRange(tag, 0x01, 0x0A)) {
    out_ += static_cast<char>('q' + (tag - 0x01));
  } else if (InRange(tag, 0x0B, 0x1A)) {
    out_ += static_cast<char>('a' + (tag - 0x0B));
  } else {
    out_ += kUnreadable;
  }
}

// Writes the unsigned integer of `count` bytes (least significant first) at `valueBegin` in
// `base`, by repeated division of the stored value.
void Renderer::PrintInteger(std::int32_t valueBegin, std::int32_t count, bool negative,
                            std::uint8_t base) {
  if (negative) out_ += numberSwitch_ ? std::string_view(&kMinusSign, 1) : std::string_view("-");
  // Most significant byte first, leading zeros dropped.
  std::vector<std::uint8_t> magnitude;
  magnitude.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = count - 1; i >= 0; --i) {
    const std::uint8_t b = At(valueBegin + i);
    if (!magnitude.empty() || b != 0) magnitude.push_back(b);
  }
  if (magnitude.empty()) {
    out_ += '0';
    return;
  }
  // Divide by the largest power of the base below 2^24 at a time, so each pass over the bytes
  // yields several digits and the quotient bytes still fit.
  unsigned chunk = base;
  int chunkDigits = 1;
  while (chunk * base < (1u << 24)) {
    chunk *= base;
    ++chunkDigits;
  }
  std::string digits;  // least significant first
  while (!magnitude.empty()) {
    unsigned remainder = 0;
    for (std::uint8_t& b : magnitude) {
      const unsigned value = remainder * 256 + b;
      b = static_cast<std::uint8_t>(value / chunk);
      remainder = value % chunk;
    }
    for (int d = 0; d < chunkDigits; ++d) {
      const unsigned digit = remainder % base;
      remainder /= base;
      digits += static_cast<char>(digit < 10 ? '0' + digit : 'A' + (digit - 10));
    }
    const auto firstNonZero =
        std::find_if(magnitude.begin(), magnitude.end(), [](std::uint8_t b) { return b != 0; });
    magnitude.erase(magnitude.begin(), firstNonZero);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();  // the last chunk's padding
  out_.append(digits.rbegin(), digits.rend());
}

void Renderer::PrintReal(std::int32_t begin) {
  const Kv68Real real = Kv68Real::FromBytes(bytes_.subspan(static_cast<std::size_t>(begin), 9));
  std::array<char, 64> text{};
  const int length = std::snprintf(text.data(), text.size(), "%.14LG", real.ToLongDouble());
  const std::string_view formatted(text.data(),
                                   static_cast<std::size_t>(std::clamp(length, 0, 63)));
  bool shownAsReal = false;
  for (char c : formatted) {
    if (c == '.' || c == 'E' || c == 'e' || c == '\xBE') shownAsReal = true;
    if (numberSwitch_ && c == '-') c = kMinusSign;
    if (numberSwitch_ && (c == 'E' || c == 'e')) c = kExponentSign;
    out_ += c;
  }
  if (!shownAsReal) out_ += '.';
}

void Renderer::EmitJoined(const Node& node, std::uint32_t from, std::string_view separator,
                          std::uint8_t base) {
  for (std::uint32_t c = from; c < node.childCount; ++c) {
    if (c > from) Emit(separator);
    EmitItem(Child(node, c), false, base);
  }
}

void Renderer::ExpandList(std::uint32_t index, std::uint8_t base, bool bare) {
  const Node& node = nodes_[index];
  const std::uint8_t tag = node.tag;
  if (tag == kListTag) {
    if (IsMatrix(index)) {
      Emit("[");
      for (std::uint32_t r = 0; r < node.childCount; ++r) {
        const Node& row = nodes_[Child(node, r)];
        Emit("[");
        EmitJoined(row, 0, ",", base);
        Emit("]");
      }
      Emit("]");
      return;
    }
    if (!bare) Emit("{");
    EmitJoined(node, 0, ",", base);
    if (!bare) Emit("}");
    return;
  }
  if (tag == kCallTag || tag == kIndexTag) {
    if (node.childCount == 0) {
      Emit(std::string_view(&kUnreadable, 1));
      return;
    }
    const std::uint32_t first = Child(node, 0);
    if (tag == kCallTag) {
      EmitItem(first, false, base);
      Emit("(");
      EmitJoined(node, 1, ",", base);
      Emit(")");
    } else {
      EmitItem(first, Is(first, kIndexTag) || KindIn(first, 0x19, 0x1E), base);
      Emit("[");
      EmitJoined(node, 1, ",", base);
      Emit("]");
    }
    return;
  }
  if (tag == 0xCD) {  // degrees, minutes, seconds
    static constexpr std::array<std::string_view, 3> kMarks = {"\xB0", "'", "\""};
    for (std::uint32_t c = 0; c < node.childCount; ++c) {
      EmitItem(Child(node, c), false, base);
      if (c < kMarks.size()) Emit(kMarks[c]);
    }
    return;
  }
  Emit(TagName(tag, 0));
  Emit("(");
  EmitJoined(node, 0, ",", base);
  Emit(")");
}

void Renderer::ExpandOperator(const Node& node, std::uint8_t base) {
  const std::uint8_t tag = node.tag;
  const std::string_view name = TagName(tag, 0);
  if (node.childCount == 2) {  // binary operators
    const std::uint32_t left = Child(node, 0);
    const std::uint32_t right = Child(node, 1);
    const bool dotted = tag == 0x8C || tag == 0x8E || tag == 0x90 || tag == 0x92 || tag == 0x94;
    const bool spaced = InRange(tag, 0x82, 0x84);
    if (tag == 0x7B) {
      Emit("[[");
      EmitJoined(node, 0, "\x9F", base);
      Emit("]]");
      return;
    }
    EmitItem(left, OperatorBracket(tag, true, left), base);
    if (dotted || spaced) Emit(" ");
    Emit(name);
    if (dotted || spaced) Emit(" ");
    EmitItem(right, OperatorBracket(tag, false, right), base);
    return;
  }
  if (node.childCount == 3) {  // 0x7C, 0x7D
    Emit("[[");
    EmitJoined(node, 0, "\x9F", base);
    Emit("]]");
    return;
  }
  const std::uint32_t operand = Child(node, 0);
  switch (tag) {
    case 0x7A:  // negate, +-
    case 0xEA:
      Emit(name);
      EmitItem(operand, KindIn(operand, 0x19, 0x1C), base);
      return;
    case kNotTag:
      Emit("not ");
      EmitItem(operand, KindIn(operand, 0x19, 0x1E), base);
      return;
    case 0x76:
    case 0x77:
    case 0x78:
    case 0xEF:
      EmitItem(operand,
               !(IsName(operand) || IsLetter(operand) || IsNonNegativeInteger(operand) ||
                 Is(operand, tag)),
               base);
      Emit(name);
      return;
    case 0x75:
      EmitItem(operand, !(IsName(operand) || IsLetter(operand) || IsMatrix(operand)), base);
      Emit(name);
      return;
    case 0x7E:  // a bracketed expression
      EmitItem(operand, true, base);
      return;
    case kDerivativeTag: {
      std::int32_t marks = 0;
      while (At(node.end - marks) == kDerivativeTag) ++marks;
      const Node& f = nodes_[operand];
      if (!f.unreadable && f.tag == kCallTag && f.childCount > 0) {
        EmitItem(Child(f, 0), false, base);
        for (std::int32_t m = 0; m < marks; ++m) Emit("'");
        Emit("(");
        EmitJoined(f, 1, ",", base);
        Emit(")");
      } else {
        EmitItem(operand, false, base);
        for (std::int32_t m = 0; m < marks; ++m) Emit("'");
      }
      return;
    }
    default:
      Emit(std::string_view(&kUnreadable, 1));
      return;
  }
}

void Renderer::ExpandExtended(const Node& node, std::uint8_t base) {
  const std::uint8_t sub = node.sub;
  const std::string_view name = TagName(kExtendedTag, sub);
  auto child = [&](std::uint32_t i) { return Child(node, i); };
  if (sub == 0x2B || sub == 0x2C) {
    Emit(sub == 0x2B ? "0b" : "0h");
    EmitItem(child(0), false, sub == 0x2B ? 2 : 16);
    return;
  }
  switch (ExtendedOperands(sub)) {
    case 0:
      Emit(name);
      Emit("()");
      return;
    case kList:
      Emit(name);
      Emit("(");
      EmitJoined(node, 0, ",", base);
      Emit(")");
      return;
    case 1:
      if (sub == 0x01) {
        Emit(name);
        EmitItem(child(0), false, base);
      } else if (InRange(sub, 0x15, 0x1A) || InRange(sub, 0x2D, 0x2F)) {
        EmitItem(child(0), false, base);
        Emit(name);
      } else {
        Emit(name);
        Emit("(");
        EmitItem(child(0), false, base);
        Emit(")");
      }
      return;
    case 2:
      if (sub == 0x05 || sub == 0x14) {
        EmitItem(child(0), false, base);
        Emit(name);
        EmitItem(child(1), false, base);
      } else if (sub == 0x26) {
        Emit("(");
        EmitItem(child(0), false, base);
        Emit(name);
        EmitItem(child(1), false, base);
        Emit(")");
      } else {
        Emit(name);
        Emit("(");
        EmitItem(child(0), false, base);
        Emit(sub == 0x35 ? ";" : ",");
        EmitItem(child(1), false, base);
        Emit(")");
      }
      return;
    default:
      Emit(std::string_view(&kUnreadable, 1));
      return;
  }
}

void Renderer::ExpandInstruction(const Node& node, std::uint8_t base) {
  const std::uint8_t sub = node.sub;
  const std::string_view name = TagName(kInstructionTag, sub);
  if (sub == 0x87) {
    Emit(" Else");
    return;
  }
  Emit(name);
  if (node.childCount == 0 && InstructionLayout(sub) == 0x00) return;
  if (name.empty() || name.back() != ' ') Emit(" ");
  if (sub == 0x86 && node.childCount >= 2) {  // Define a=b
    EmitItem(Child(node, 0), false, base);
    Emit("=");
    EmitJoined(node, 1, ",", base);
    return;
  }
  EmitJoined(node, 0, ",", base);
  if (sub == 0x3B || sub == 0x39) Emit(" Then");
}

// Writes the text of one node, or queues the actions that write it.
void Renderer::Expand(std::uint32_t index, std::uint8_t base, bool bare) {
  const Node& node = nodes_[index];
  if (node.unreadable) {
    out_ += kUnreadable;
    return;
  }
  const std::uint8_t tag = node.tag;
  const TagKind kind = KindOf(tag);
  switch (tag) {
    case 0x00:
      out_ += Chars(node.begin + 1, node.end);
      return;
    case 0xF0:
      PrintLetter(node.sub);
      return;
    case kSystemVariableTag:
      out_ += TagName(kSystemVariableTag, node.sub);
      return;
    case 0x1D:
    case 0x1E:
      out_ += '@';
      if (tag == 0x1E) out_ += 'n';
      out_ += std::to_string(static_cast<unsigned>(node.sub));
      return;
    case 0x1F:
    case 0x20:
      PrintInteger(node.begin, node.end - 1 - node.begin, tag == 0x20, base);
      return;
    case 0x21:
    case 0x22: {
      const std::int32_t numeratorCount = At(node.end - 1);
      const std::int32_t denominatorCountAt = node.end - 2 - numeratorCount;
      PrintInteger(denominatorCountAt + 1, numeratorCount, tag == 0x22, base);
      out_ += '/';
      PrintInteger(node.begin, denominatorCountAt - node.begin, false, base);
      return;
    }
    case kRealTag:
      PrintReal(node.begin);
      return;
    case 0x2D:  // string: quotes around it, inner quotes doubled
      out_ += '"';
      for (const char c : Chars(node.begin + 1, node.end - 1)) {
        out_ += c;
        if (c == '"') out_ += '"';
      }
      out_ += '"';
      return;
    case 0x2E:  // "nothing"
      return;
    case kCommentTag:
      out_.append(node.sub, ' ');
      out_ += kCommentSign;
      out_ += Chars(node.begin + 1, node.end - 2);
      return;
    default:
      break;
  }
  if (InRange(tag, 0x01, 0x1B)) {
    PrintLetter(tag);
    return;
  }
  if (InRange(kind, 0x09, 0x0E)) {
    out_ += TagName(tag, 0);
    return;
  }

  seq_.clear();
  if (tag == kExtendedTag) {
    ExpandExtended(node, base);
  } else if (tag == kInstructionTag) {
    ExpandInstruction(node, base);
  } else if (tag == 0x52) {  // e to the power
    const std::uint32_t x = Child(node, 0);
    Emit("\x96^");
    EmitItem(x, !(IsName(x) || IsLetter(x) || IsInteger(x) || Is(x, kListTag) || Is(x, kIndexTag)),
             base);
  } else if (InRange(kind, 0x0F, 0x17)) {
    const std::uint32_t x = Child(node, 0);
    Emit(TagName(tag, 0));
    EmitItem(x, Kind(x) != 0, base);
  } else if (InRange(kind, 0x1F, 0x21)) {
    Emit(TagName(tag, 0));
    Emit("(");
    EmitJoined(node, 0, ",", base);
    Emit(")");
  } else if (InRange(kind, 0x22, 0x27)) {
    ExpandList(index, base, bare);
  } else {
    ExpandOperator(node, base);
  }
  for (auto it = seq_.rbegin(); it != seq_.rend(); ++it) stack_.push_back(*it);
}

void Renderer::Print(std::uint32_t root, bool topLevelList) {
  stack_.clear();
  stack_.push_back(Action::Item(root, 10, false, topLevelList));
  while (!stack_.empty()) {
    const Action action = stack_.back();
    stack_.pop_back();
    out_.append(action.text, action.length);
    if ((action.flags & Action::kHasItem) != 0) {
      if ((action.flags & Action::kBracket) != 0) {
        out_ += '(';
        stack_.push_back(Action::Text(")"));
      }
      Expand(action.node, action.base, (action.flags & Action::kBare) != 0);
    }
  }
}

std::string Renderer::PrintToString(std::uint32_t root) {
  std::string saved;
  saved.swap(out_);
  Print(root);
  saved.swap(out_);
  return saved;
}

// ---------------------------------------------------------------------------------------------
// Statements and whole variables

// Renders statements from `pos` backwards; returns the position where the loop stopped.
std::int32_t Renderer::Statements(std::int32_t pos) {
  for (;;) {
    const std::uint8_t b = At(pos);
    // A byte above 0xE8 (the stop mark before the data included) ends the statements, except
    // the tags of items among them (0xEA "+-", 0xF4 IsPrime and so on): those are rendered like
    // any other item, so such an expression does not vanish when it stands alone.
    if (b > kLineTag && !IsItemTag(b)) return pos;
    if (b == kLineTag) {
      out_ += '\n';
      if (pos >= 1) out_.append(At(pos - 1), ' ');
      pos -= 2;
      continue;
    }
    if (b == kColonTag) {
      out_ += ':';
      pos -= 2;
      continue;
    }
    std::uint32_t item = Parse(pos);
    Print(item);
    pos = nodes_[item].begin - 1;
    if (pos >= 0 && At(pos) == kCommentTag) {
      item = Parse(pos);
      Print(item);
      pos = nodes_[item].begin - 1;
    }
    if (pos < 0 || (At(pos) != kLineTag && At(pos) != kColonTag)) return pos;
  }
}

std::int32_t Renderer::ItemList(std::int32_t pos, std::vector<std::uint32_t>& items) {
  items.clear();
  while (pos >= 0 && At(pos) != kEndTag) {
    const std::uint32_t item = Parse(pos);
    items.push_back(item);
    pos = nodes_[item].begin - 1;
  }
  std::reverse(items.begin(), items.end());
  return pos < 0 ? -1 : pos - 1;
}

// Layout: a flags byte before the tag. With bit 3 set, the body is plain text stored as 0x00,
// characters, 0x00; otherwise the parameters (closed by the end tag), then the statements.
void Renderer::FunctionOrProgram() {
  const std::int32_t flagsAt = Size() - 2;
  if (flagsAt < 0) {
    out_ += kUnreadable;
    return;
  }
  if ((At(flagsAt) & 0x08) != 0) {
    const std::int32_t open = flagsAt >= 1 ? ZeroAtOrBefore(flagsAt - 2) : -1;
    if (open < 0) {
      out_ += kUnreadable;
      return;
    }
    for (char c : Chars(open + 1, flagsAt - 1)) out_ += c == '\r' ? '\n' : c;
    return;
  }
  std::vector<std::uint32_t> parameters;
  const std::int32_t bodyEnd = ItemList(flagsAt - 1, parameters);
  out_ += '(';
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (i > 0) out_ += ',';
    Print(parameters[i]);
  }
  out_ += ")\n";
  if (bodyEnd >= 0) Statements(bodyEnd);
}

// Layout: three item lists, each closed by the end tag, read from the tag backwards: the
// columns (lists), their formulas and their titles; 0x2E marks a missing formula or title.
void Renderer::DataVariable() {
  numberSwitch_ = false;
  std::vector<std::uint32_t> columns;
  std::vector<std::uint32_t> formulas;
  std::vector<std::uint32_t> titles;
  std::int32_t pos = ItemList(Size() - 2, columns);
  pos = pos >= 0 ? ItemList(pos, formulas) : -1;
  if (pos >= 0) ItemList(pos, titles);
  out_ += "Data Variable:\nColumn Data\n";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    out_ += "Column #" + std::to_string(i + 1) + " =";
    Print(columns[i]);
    out_ += '\n';
  }
  out_ += "Formula Data\n";
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    out_ += "Formula for Column #" + std::to_string(i + 1) + " =";
    Print(formulas[i]);
    out_ += '\n';
  }
  out_ += "Data Column Titles\n";
  for (std::size_t i = 0; i < titles.size(); ++i) {
    out_ += "Title for Column #" + std::to_string(i + 1) + " =";
    if (Is(titles[i], 0x2E)) {
      out_ += "\"C" + std::to_string(i + 1) + "\"";  // the column's default reference
    } else {
      Print(titles[i]);
    }
    out_ += '\n';
  }
  out_.pop_back();  // the closing line feed follows
}

// Layout: four item lists, each closed by the end tag, read from the tag backwards: range
// settings, graph formats, graph equations and graph-table settings. Each list holds pairs of
// a label item (a system variable or a name) followed by its value.
void Renderer::GraphDatabase() {
  static constexpr std::array<std::string_view, 4> kSections = {
      "Range Settings", "Graph Formats", "Graph Equations", "Graph-Table Settings"};
  out_ += "Graph Database:\n";
  std::vector<std::uint32_t> items;
  std::int32_t pos = Size() - 2;
  for (std::size_t s = 0; s < kSections.size(); ++s) {
    if (pos >= 0) {
      pos = ItemList(pos, items);
    } else {
      items.clear();
    }
    out_ += kSections[s];
    out_ += '\n';
    for (std::size_t i = 0; i < items.size(); i += 2) {
      std::string label = PrintToString(items[i]);
      if (label.size() < 9) label.resize(9, ' ');
      if (s == 0) out_ += ' ';
      out_ += label;
      out_ += '=';
      if (i + 1 < items.size()) Print(items[i + 1]);
      out_ += '\n';
    }
  }
  out_.pop_back();  // the closing line feed follows
}

// Layout: the text stored as 0x00, characters, 0x00 before the tag; lines end with a carriage
// return, and the first character of each line is its kind.
void Renderer::TextVariable() {
  const std::int32_t close = Size() - 2;
  const std::int32_t open = close >= 1 ? ZeroAtOrBefore(close - 1) : -1;
  if (open < 0) {
    out_ += kUnreadable;
    return;
  }
  const std::string_view text = Chars(open + 1, close);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = text.find('\r', start);
    if (stop == std::string_view::npos) stop = text.size();
    const std::string_view line = text.substr(start, stop - start);
    if (!line.empty()) {
      out_ += line.front();
      out_ += ':';
      out_ += line.substr(1);
    }
    start = stop + 1;
    if (start < text.size()) out_ += '\n';
  }
}

std::string Renderer::Render() {
  const std::int32_t last = Size() - 1;
  const std::uint8_t tag = At(last);
  if (last < 0) {
    // no data: an empty line
  } else if (tag == kListTag) {
    numberSwitch_ = false;
    Print(Parse(last), true);
  } else if (tag == kFunctionTag) {
    FunctionOrProgram();
  } else if (tag == kDataVariableTag) {
    DataVariable();
  } else if (tag == kGraphDatabaseTag) {
    GraphDatabase();
  } else if (tag == kTextVariableTag) {
    TextVariable();
  } else if (InRange(tag, 0xDF, 0xE2)) {
    // no text
  } else {
    Statements(last);
  }
  out_ += '\n';
  return std::move(out_);
}

}  // namespace

std::string RenderExpression(std::span<const std::uint8_t> data) {
  std::size_t count = 0;
  if (data.size() >= 2) {
    count = std::min<std::size_t>((std::size_t{data[0]} << 8) | data[1], data.size() - 2);
  }
  Renderer renderer(data.subspan(data.size() >= 2 ? 2 : data.size(), count));
  return renderer.Render();
}

std::string_view TagName(std::uint8_t tag, std::uint8_t subCode) {
  std::string_view name;
  if (subCode == 0) {
    name = TagTable()[tag].name;
  } else if (tag == kSystemVariableTag && subCode < SystemVariableTable().size()) {
    name = SystemVariableTable()[subCode];
  } else if (tag == kExtendedTag && subCode < ExtendedTagTable().size()) {
    name = ExtendedTagTable()[subCode];
  } else if (tag == kInstructionTag && subCode < InstructionTable().size()) {
    name = InstructionTable()[subCode].name;
  }
  return name.empty() ? kErrorName : name;
}

}  // namespace tabulex
