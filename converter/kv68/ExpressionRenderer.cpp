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
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter/kv68/Kv68Real.h"
#include "converter/kv68/RendererTables.h"
#include "converter/model/ByteStream.h"

namespace tabulex {

namespace {

constexpr std::string_view kErrorName = "_ERROR_";

// Calculator characters used by the printer.
constexpr char kUnreadableMark = '\x0E';
constexpr char kMinusSign = '\xAD';
constexpr char kExponentSign = '\x95';
constexpr char kInfinitySign = '\xBE';
constexpr std::string_view kCommentSign = "\xA9";
constexpr std::string_view kEulerPower = "\x96^";  // e, then the power sign
constexpr std::string_view kMatrixSeparator = "\x9F";
constexpr std::array<std::string_view, 3> kAngleMarks = {"\xB0", "'", "\""};

// Flags byte of a function or program: the body is stored as plain text.
constexpr std::uint8_t kPlainTextBody = 0x08;

// A real is the exponent word (its top bit the sign) and 7 BCD bytes before its tag.
constexpr std::int32_t kRealBody = 9;
constexpr std::uint8_t kSignBit = 0x80;

// Instruction sub-codes with a layout of their own.
constexpr std::uint8_t kElseIfSub = 0x39;
constexpr std::uint8_t kIfThenSub = 0x3B;
constexpr std::uint8_t kDefineSub = 0x86;
constexpr std::uint8_t kElseSub = 0x87;
// Instructions that end loops (Cycle, EndFor, EndLoop, EndWhile, Exit) carry two more bytes
// before their sub-code.
constexpr std::array<std::uint8_t, 5> kLoopEndSubs = {0x07, 0x0E, 0x11, 0x15, 0x16};

TagKind KindOf(std::uint8_t tag) {
  return TagTable[tag].kind;
}

bool InRange(unsigned value, unsigned low, unsigned high) {
  return value >= low && value <= high;
}

bool KindIn(TagKind kind, TagKind low, TagKind high) {
  return kind >= low && kind <= high;
}

// Whether a tag starts an item inside an expression: not unused, not a variable tag, not a
// separator.
bool IsItemTag(std::uint8_t tag) {
  const TagKind kind = KindOf(tag);
  return kind != TagKind::kUnused && kind != TagKind::kVariable && kind != TagKind::kSeparator;
}

// ---------------------------------------------------------------------------------------------
// Operand layouts: where an item starts, read backwards from its tag.

enum class ItemLayout : std::uint8_t {
  kUnreadable,
  kName,         // 0x00, characters, tag 0x00
  kSingleByte,   // the tag alone
  kSubCode,      // one byte, then the tag
  kInteger,      // value bytes, their count, tag
  kFraction,     // denominator bytes, count, numerator bytes, count, tag
  kReal,         // the 9 bytes of a real, tag
  kString,       // 0x00, characters, 0x00, tag
  kComment,      // 0x00, text, 0x00, space count, tag
  kExtended,     // operands by the sub-code's form
  kInstruction,  // operands by the sub-code's layout byte
  kDerivative,   // one operand, then a run of derivative tags
  kOneOperand,
  kTwoOperands,
  kThreeOperands,
  kOperandList,  // operands closed by the end tag
};

// Layout by kind, one row per kind range.
struct KindLayoutRow {
  TagKind first;
  TagKind last;
  ItemLayout layout;
};
constexpr std::array<KindLayoutRow, 12> kKindLayouts = {{
    {TagKind::kName, TagKind::kName, ItemLayout::kName},
    {TagKind::kLetter, TagKind::kLetter, ItemLayout::kSingleByte},
    {TagKind::kLetterPrefix, TagKind::kArbitrary, ItemLayout::kSubCode},
    {TagKind::kInteger, TagKind::kInteger, ItemLayout::kInteger},
    {TagKind::kFraction, TagKind::kFraction, ItemLayout::kFraction},
    {TagKind::kReal, TagKind::kReal, ItemLayout::kReal},
    {TagKind::kConstant, TagKind::kBoolean, ItemLayout::kSingleByte},
    {TagKind::kString, TagKind::kString, ItemLayout::kString},
    {TagKind::kInverseHyperbolic, TagKind::kUnaryOperator, ItemLayout::kOneOperand},
    {TagKind::kStoreWith, TagKind::kExpressionAndVariable, ItemLayout::kTwoOperands},
    {TagKind::kThreeArguments, TagKind::kBracketList, ItemLayout::kOperandList},
    {TagKind::kVariable, TagKind::kSeparator, ItemLayout::kUnreadable},
}};

// Tags whose layout differs from their kind's.
struct TagLayoutRow {
  std::uint8_t tag;
  ItemLayout layout;
};
constexpr std::array<TagLayoutRow, 9> kTagLayouts = {{
    {kNothingTag, ItemLayout::kSingleByte},
    {kMatrixForm2Tag, ItemLayout::kTwoOperands},
    {kMatrixForm3Tag, ItemLayout::kThreeOperands},
    {kMatrixForm3AltTag, ItemLayout::kThreeOperands},
    {kJoinTag, ItemLayout::kTwoOperands},
    {kExtendedTag, ItemLayout::kExtended},
    {kInstructionTag, ItemLayout::kInstruction},
    {kCommentTag, ItemLayout::kComment},
    {kDerivativeTag, ItemLayout::kDerivative},
}};

std::array<ItemLayout, 256> BuildItemLayouts() {
  std::array<ItemLayout, 256> layouts{};
  for (unsigned tag = 0; tag < layouts.size(); ++tag) {
    for (const KindLayoutRow& row : kKindLayouts) {
      if (KindIn(KindOf(static_cast<std::uint8_t>(tag)), row.first, row.last)) {
        layouts[tag] = row.layout;
      }
    }
  }
  for (const TagLayoutRow& row : kTagLayouts) layouts[row.tag] = row.layout;
  return layouts;
}

ItemLayout LayoutOf(std::uint8_t tag) {
  static const std::array<ItemLayout, 256> kLayouts = BuildItemLayouts();
  return kLayouts[tag];
}

// The forms of the extended tag, by sub-code.
enum class ExtendedForm : std::uint8_t {
  kNone,           // no form: an unreadable item
  kPrefix,         // name, operand
  kEmptyCall,      // name, "()"
  kListCall,       // name, "(", operands up to the end tag, ")"
  kCall,           // name, "(", one or two operands, ")"
  kSemicolonCall,  // name, "(", a, ";", b, ")"
  kInfix,          // a, name, b
  kInside,         // "(", a, name, b, ")"
  kPostfix,        // operand, name
  kBinary,         // "0b", then the integer in base 2
  kHexadecimal,    // "0h", then the integer in base 16
};

struct ExtendedRow {
  std::uint8_t first;
  std::uint8_t last;
  ExtendedForm form;
  int operands;  // kOperandList for a list closed by the end tag
};
constexpr int kOperandList = -1;
constexpr std::array<ExtendedRow, 19> kExtendedRows = {{
    {0x01, 0x01, ExtendedForm::kPrefix, 1},
    {0x02, 0x03, ExtendedForm::kEmptyCall, 0},
    {0x04, 0x04, ExtendedForm::kListCall, kOperandList},
    {0x05, 0x05, ExtendedForm::kInfix, 2},
    {0x06, 0x0C, ExtendedForm::kCall, 1},
    {0x0D, 0x10, ExtendedForm::kCall, 2},
    {0x11, 0x13, ExtendedForm::kListCall, kOperandList},
    {0x14, 0x14, ExtendedForm::kInfix, 2},
    {0x15, 0x1A, ExtendedForm::kPostfix, 1},
    {0x26, 0x26, ExtendedForm::kInside, 2},
    {0x27, 0x28, ExtendedForm::kCall, 2},
    {0x29, 0x29, ExtendedForm::kEmptyCall, 0},
    {0x2A, 0x2A, ExtendedForm::kCall, 1},
    {0x2B, 0x2B, ExtendedForm::kBinary, 1},
    {0x2C, 0x2C, ExtendedForm::kHexadecimal, 1},
    {0x2D, 0x2F, ExtendedForm::kPostfix, 1},
    {0x30, 0x32, ExtendedForm::kCall, 2},
    {0x34, 0x34, ExtendedForm::kEmptyCall, 0},
    {0x35, 0x35, ExtendedForm::kSemicolonCall, 2},
}};

const ExtendedRow& ExtendedRowOf(std::uint8_t sub) {
  static constexpr ExtendedRow kNoForm = {0, 0, ExtendedForm::kNone, 0};
  for (const ExtendedRow& row : kExtendedRows) {
    if (InRange(sub, row.first, row.last)) return row;
  }
  return kNoForm;
}

// Operand count of an instruction, by its layout byte; kOperandList for a list.
int InstructionOperands(std::uint8_t sub) {
  if (sub >= InstructionTable.size()) return 0;
  switch (InstructionTable[sub].layout) {
    case kNoOperands:
      return 0;
    case kOneOperand:
      return 1;
    case kTwoOperands:
      return 2;
    case kThreeOperands:
      return 3;
    default:
      return kOperandList;
  }
}

bool EndsLoop(std::uint8_t sub) {
  return std::find(kLoopEndSubs.begin(), kLoopEndSubs.end(), sub) != kLoopEndSubs.end();
}

// ---------------------------------------------------------------------------------------------
// Brackets. Each operator side asks for a precedence level; an operand of a lower level is
// bracketed. Operands that are not operators rank highest (kAtom), but some sides let only
// certain of them stand bare, and a few sides bracket particular operands besides.

enum class Level : std::uint8_t {
  kStore,  // store and with
  kXor,
  kOr,
  kAnd,
  kComparison,
  kAdditive,
  kMultiplicative,
  kPower,
  kAtom,    // anything that is not a binary operator
  kAlways,  // a side that brackets every operand
};

// Which operands of level kAtom stay bare.
enum class BareAtoms : std::uint8_t {
  kAll,
  kSimple,        // names, letters, system variables, @ constants, integers
  kBase,          // names, letters, non-negative integers, named values, lists, indexed items
  kExponent,      // names, letters, integers, lists, indexed items
  kPostfixable,   // names, letters, non-negative integers, the same postfix operator
  kTransposable,  // names, letters, matrices
};

// Operands bracketed whatever their level.
enum BracketAlso : std::uint8_t {
  kNothingElse = 0,
  kNot = 1,       // "not" ranks low beside arithmetic and comparisons
  kNegative = 2,  // a negative number
  kQuotient = 4,  // a "/" (not its dotted form)
  kSameTag = 8,   // an operand with the operator's own tag
  kJoin = 16,     // the unnamed joining operator, which ranks with store beside logic
};

struct OperandRule {
  Level bareFrom = Level::kStore;
  BareAtoms atoms = BareAtoms::kAll;
  std::uint8_t also = kNothingElse;
};

enum class Fixity : std::uint8_t {
  kInfix,         // a, name, b
  kSpacedInfix,   // a, " ", name, " ", b
  kPrefix,        // name, operand
  kSpacedPrefix,  // name, " ", operand
  kPostfix,       // operand, name
  kGroup,         // the operand alone, in brackets
};

// `level` is the operator's own level as an operand of another. A prefix operator's operand
// follows the `right` rule, a postfix operator's the `left` rule.
struct OperatorRow {
  std::uint8_t tag;
  Fixity fixity;
  Level level;
  OperandRule left;
  OperandRule right;
};

using enum Level;
// The operand rules, named by the side they serve.
constexpr OperandRule kNever = {};
constexpr OperandRule kEvery = {kAlways};
constexpr OperandRule kOperator = {kAtom};          // any operator of a group
constexpr OperandRule kSigned = {kMultiplicative};  // after a sign
constexpr OperandRule kSum = {kAdditive, BareAtoms::kAll, kNot};
constexpr OperandRule kTerm = {kMultiplicative, BareAtoms::kAll, kNot};
constexpr OperandRule kFactor = {kMultiplicative, BareAtoms::kAll, kNot | kNegative | kQuotient};
constexpr OperandRule kDivisor = {kPower, BareAtoms::kSimple};
constexpr OperandRule kBase = {kAtom, BareAtoms::kBase};
constexpr OperandRule kExponent = {kAtom, BareAtoms::kExponent};
constexpr OperandRule kPostfixed = {kAtom, BareAtoms::kPostfixable};
constexpr OperandRule kTransposed = {kAtom, BareAtoms::kTransposable};
constexpr OperandRule kXorSide = {kXor, BareAtoms::kAll, kJoin};
constexpr OperandRule kOrSide = {kOr, BareAtoms::kAll, kJoin};
constexpr OperandRule kAndSide = {kAnd, BareAtoms::kAll, kJoin};

// clang-format off
constexpr std::array<OperatorRow, 32> kOperatorRows = {{
    // tag               fixity                 level            left         right
    {kTransposeTag,      Fixity::kPostfix,      kAtom,           kTransposed, kNever},
    {kFactorialTag,      Fixity::kPostfix,      kAtom,           kPostfixed,  kNever},
    {kPercentTag,        Fixity::kPostfix,      kAtom,           kPostfixed,  kNever},
    {kRadianTag,         Fixity::kPostfix,      kAtom,           kPostfixed,  kNever},
    {kNotTag,            Fixity::kSpacedPrefix, kAtom,           kNever,      kOperator},
    {kNegateTag,         Fixity::kPrefix,       kAtom,           kNever,      kSigned},
    {kParenthesesTag,    Fixity::kGroup,        kAtom,           kNever,      kEvery},
    {kJoinTag,           Fixity::kInfix,        kAtom,           kNever,      kNever},
    {kStoreTag,          Fixity::kInfix,        kStore,          kNever,      kNever},
    {kWithTag,           Fixity::kInfix,        kStore,          kNever,      kNever},
    {kXorTag,            Fixity::kSpacedInfix,  kXor,            kXorSide,    kXorSide},
    {kOrTag,             Fixity::kSpacedInfix,  kOr,             kOrSide,     kOrSide},
    {kAndTag,            Fixity::kSpacedInfix,  kAnd,            kAndSide,    kAndSide},
    {kLessTag,           Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kLessEqualTag,      Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kEqualTag,          Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kGreaterEqualTag,   Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kGreaterTag,        Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kNotEqualTag,       Fixity::kInfix,        kComparison,     kSum,        kNever},
    {kAddTag,            Fixity::kInfix,        kAdditive,       kSum,        kSum},
    {kDotAddTag,         Fixity::kSpacedInfix,  kAdditive,       kSum,        kSum},
    {kSubtractTag,       Fixity::kInfix,        kAdditive,       kSum,        kTerm},
    {kDotSubtractTag,    Fixity::kSpacedInfix,  kAdditive,       kSum,        kTerm},
    {kMultiplyTag,       Fixity::kInfix,        kMultiplicative, kTerm,       kFactor},
    {kDotMultiplyTag,    Fixity::kSpacedInfix,  kMultiplicative, kTerm,       kFactor},
    {kDivideTag,         Fixity::kInfix,        kMultiplicative, kTerm,       kDivisor},
    {kDotDivideTag,      Fixity::kSpacedInfix,  kMultiplicative, kTerm,       kDivisor},
    {kPowerTag,          Fixity::kInfix,        kPower,          kBase,       kExponent},
    {kDotPowerTag,       Fixity::kSpacedInfix,  kPower,          kBase,       kExponent},
    {kPlusMinusTag,      Fixity::kPrefix,       kAtom,           kNever,      kSigned},
    {kPlusMinusInfixTag, Fixity::kInfix,        kAdditive,       kSum,        kTerm},
    {kPrimeTag,          Fixity::kPostfix,      kAtom,           kPostfixed,  kNever},
}};
// clang-format on

// Row index by tag; kNoRow for tags without one.
constexpr std::uint8_t kNoRow = 0xFF;
constexpr std::array<std::uint8_t, 256> kOperatorRowOf = [] {
  std::array<std::uint8_t, 256> index{};
  index.fill(kNoRow);
  for (std::size_t i = 0; i < kOperatorRows.size(); ++i) {
    index[kOperatorRows[i].tag] = static_cast<std::uint8_t>(i);
  }
  return index;
}();

// A tag's level as an operand.
constexpr std::array<Level, 256> kLevelOf = [] {
  std::array<Level, 256> levels{};
  levels.fill(kAtom);
  for (const OperatorRow& row : kOperatorRows) levels[row.tag] = row.level;
  return levels;
}();

// The item before "[" of an indexed item.
constexpr OperandRule kIndexed = {kAtom, BareAtoms::kAll, kSameTag};

// ---------------------------------------------------------------------------------------------

// A parsed item. `begin` is the index of its first byte, `end` the index of its tag. The data
// is at most 65535 bytes (its count is 16 bits), so positions and operand counts fit 16 bits;
// a node is kept to 16 bytes, since deeply nested data holds many of them.
struct Node {
  std::uint8_t tag = 0;
  std::uint8_t sub = 0;  // sub-code of 0x1C, 0x1D, 0x1E, 0xE3, 0xE4, 0xE6; letter tag of 0xF0
  bool unreadable = false;
  std::uint16_t childCount = 0;
  std::uint16_t end = 0;
  std::int32_t begin = 0;
  std::uint32_t firstChild = 0;
};

// An item whose operands are still being read. `next` is the last byte of its next operand,
// `remaining` the operands still to read (kOpenList: up to the end tag) and `pendingBase` where
// its operands start on the pending stack.
struct Frame {
  std::uint32_t node = 0;
  std::int32_t next = 0;
  std::uint32_t pendingBase = 0;
  std::uint16_t remaining = 0;
};
constexpr std::uint16_t kOpenList = 0xFFFF;

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

// The working lists of a rendering. A sheet renders one expression per cell, so sets are kept
// and reused: emptied, never freed, they spare every cell six allocations.
struct RendererLists {
  std::vector<Node> nodes;
  std::vector<std::uint32_t> children;
  std::vector<Frame> frames;  // the open items, innermost last
  std::vector<std::uint32_t> pending;
  std::vector<Action> stack;
  std::vector<Action> seq;
  std::unique_ptr<RendererLists> next;  // the next set not in use, while this one is not

  void Clear() {
    nodes.clear();
    children.clear();
    frames.clear();
    pending.clear();
    stack.clear();
    seq.clear();
  }
};

// The sets of working lists not in use, shared by every thread under a lock. Not one set per
// thread: an object a thread keeps for itself is destroyed when the thread ends, and the Windows
// build's runtime runs that destructor after it has freed the object's storage, which corrupts
// the heap of whatever host thread used the converter and ends.
class ListsPool {
 public:
  std::unique_ptr<RendererLists> Borrow() {
    const std::lock_guard lock(mutex_);
    if (!unused_) return std::make_unique<RendererLists>();
    std::unique_ptr<RendererLists> lists = std::move(unused_);
    unused_ = std::move(lists->next);
    return lists;
  }
  void GiveBack(std::unique_ptr<RendererLists> lists) {
    const std::lock_guard lock(mutex_);
    lists->next = std::move(unused_);
    unused_ = std::move(lists);
  }

 private:
  std::mutex mutex_;
  std::unique_ptr<RendererLists> unused_;
};

// A set of lists borrowed for one rendering and given back when it ends, also by an exception.
class BorrowedLists {
 public:
  BorrowedLists() : lists_(Pool().Borrow()) {}
  BorrowedLists(const BorrowedLists&) = delete;
  BorrowedLists& operator=(const BorrowedLists&) = delete;
  ~BorrowedLists() { Pool().GiveBack(std::move(lists_)); }
  RendererLists& Get() { return *lists_; }

 private:
  static ListsPool& Pool() {
    static ListsPool pool;
    return pool;
  }
  std::unique_ptr<RendererLists> lists_;
};

class Renderer {
 public:
  Renderer(std::span<const std::uint8_t> bytes, RendererLists& lists)
      : bytes_(bytes),
        nodes_(lists.nodes),
        children_(lists.children),
        frames_(lists.frames),
        pending_(lists.pending),
        stack_(lists.stack),
        seq_(lists.seq) {
    lists.Clear();
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
  std::optional<std::uint32_t> OpenExtended(Node node, std::int32_t pos);
  std::optional<std::uint32_t> OpenInstruction(Node node, std::int32_t pos);
  std::optional<std::uint32_t> OpenDerivative(Node node, std::int32_t pos);
  std::int32_t FractionBegin(std::int32_t pos) const;
  std::uint32_t AddNode(const Node& node);
  std::uint32_t Leaf(Node node, std::int32_t begin);
  std::nullopt_t OpenComposite(Node node, std::int32_t operandsEnd, int count);
  std::optional<std::uint32_t> CloseIfComplete();

  std::uint32_t Child(const Node& node, std::uint32_t i) const {
    return children_[node.firstChild + i];
  }

  // --- printing --------------------------------------------------------------------------

  void Print(std::uint32_t root, bool topLevelList = false);
  void Expand(std::uint32_t index, std::uint8_t base, bool bare);
  bool PrintLeaf(const Node& node, TagKind kind, std::uint8_t base);
  void ExpandComposite(std::uint32_t index, TagKind kind, std::uint8_t base, bool bare);
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
  // name, "(", the operands from `from` on with `separator` between, ")"
  void EmitCall(std::string_view name, const Node& node, std::uint32_t from, std::uint8_t base,
                std::string_view separator = ",");

  void PrintInteger(std::int32_t valueBegin, std::int32_t count, bool negative, std::uint8_t base);
  void PrintFraction(const Node& node, std::uint8_t base);
  void PrintReal(std::int32_t begin);
  void PrintLetter(std::uint8_t tag);
  void PrintString(const Node& node);
  void PrintComment(const Node& node);

  TagKind Kind(std::uint32_t index) const {
    const Node& n = nodes_[index];
    return n.unreadable ? TagKind::kUnused : KindOf(n.tag);
  }
  bool IsName(std::uint32_t i) const { return Is(i, kNameTag); }
  bool IsLetter(std::uint32_t i) const {
    return Kind(i) == TagKind::kLetter || Kind(i) == TagKind::kLetterPrefix;
  }
  bool IsInteger(std::uint32_t i) const { return Kind(i) == TagKind::kInteger; }
  bool IsNonNegativeInteger(std::uint32_t i) const { return Is(i, kIntegerTag); }
  bool IsNegativeNumber(std::uint32_t i) const;
  bool Is(std::uint32_t i, std::uint8_t tag) const {
    return !nodes_[i].unreadable && nodes_[i].tag == tag;
  }
  bool IsMatrix(std::uint32_t i) const;
  Level LevelOf(std::uint32_t i) const {
    return nodes_[i].unreadable ? kAtom : kLevelOf[nodes_[i].tag];
  }
  bool StaysBare(BareAtoms atoms, std::uint8_t op, std::uint32_t x) const;
  // Whether operand `x` of operator `op` is bracketed under `rule`. The level test decides
  // most operands, so it is kept inline.
  bool Bracketed(const OperandRule& rule, std::uint8_t op, std::uint32_t x) const {
    const Level level = LevelOf(x);
    if (level < rule.bareFrom) return true;
    if (rule.also == kNothingElse && (level != kAtom || rule.atoms == BareAtoms::kAll)) {
      return false;
    }
    return BracketedBeyondLevel(rule, op, x, level);
  }
  bool BracketedBeyondLevel(const OperandRule& rule, std::uint8_t op, std::uint32_t x,
                            Level level) const;
  bool BracketedAlso(std::uint8_t also, std::uint8_t op, std::uint32_t x) const;

  void ExpandList(std::uint32_t index, std::uint8_t base, bool bare);
  void ExpandOperator(const Node& node, std::uint8_t base);
  void ExpandDerivative(const Node& node, std::uint8_t base);
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
  std::vector<Node>& nodes_;
  std::vector<std::uint32_t>& children_;
  std::vector<Frame>& frames_;
  std::vector<std::uint32_t>& pending_;
  std::vector<Action>& stack_;
  std::vector<Action>& seq_;
  std::string out_;
  bool numberSwitch_ = true;
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

std::nullopt_t Renderer::OpenComposite(Node node, std::int32_t operandsEnd, int count) {
  const std::uint32_t index = AddNode(node);
  frames_.push_back({index, operandsEnd, static_cast<std::uint32_t>(pending_.size()),
                     count == kOperandList ? kOpenList : static_cast<std::uint16_t>(count)});
  return std::nullopt;
}

std::int32_t Renderer::FractionBegin(std::int32_t pos) const {
  if (pos < 1) return -1;
  const std::int32_t denominatorCount = pos - 2 - At(pos - 1);
  if (denominatorCount < 0) return -1;
  return denominatorCount - At(denominatorCount);
}

std::optional<std::uint32_t> Renderer::OpenExtended(Node node, std::int32_t pos) {
  if (pos < 1) return Leaf(node, -1);
  node.sub = At(pos - 1);
  const int count = ExtendedRowOf(node.sub).operands;
  if (count == 0) return Leaf(node, pos - 1);  // also a sub-code without a form
  return OpenComposite(node, pos - 2, count);
}

std::optional<std::uint32_t> Renderer::OpenInstruction(Node node, std::int32_t pos) {
  if (pos < 1) return Leaf(node, -1);
  node.sub = At(pos - 1);
  if (EndsLoop(node.sub)) return Leaf(node, pos - 3);
  const int count = InstructionOperands(node.sub);
  if (count == 0) return Leaf(node, pos - 1);
  return OpenComposite(node, pos - 2, count);
}

// Each derivative mark is one more derivative tag; the operand ends before the first.
std::optional<std::uint32_t> Renderer::OpenDerivative(Node node, std::int32_t pos) {
  std::int32_t first = pos;
  while (first > 0 && At(first - 1) == kDerivativeTag) --first;
  return OpenComposite(node, first - 1, 1);
}

// Starts the item whose tag is at `pos`. A leaf is complete at once and returned; an item
// with operands pushes a frame and returns nothing.
std::optional<std::uint32_t> Renderer::Open(std::int32_t pos) {
  Node node;
  if (pos < 0) return Leaf(node, -1);
  node.end = static_cast<std::uint16_t>(pos);
  node.tag = At(pos);
  switch (LayoutOf(node.tag)) {
    case ItemLayout::kName:
      return Leaf(node, ZeroAtOrBefore(pos - 1));
    case ItemLayout::kSingleByte:
      return Leaf(node, pos);
    case ItemLayout::kSubCode:
      if (pos >= 1) node.sub = At(pos - 1);
      return Leaf(node, pos - 1);
    case ItemLayout::kInteger:
      return Leaf(node, pos < 1 ? -1 : pos - 1 - At(pos - 1));
    case ItemLayout::kFraction:
      return Leaf(node, FractionBegin(pos));
    case ItemLayout::kReal:
      return Leaf(node, pos - kRealBody);
    case ItemLayout::kString:
      return Leaf(node, pos < 2 ? -1 : ZeroAtOrBefore(pos - 2));
    case ItemLayout::kComment:
      if (pos < 3) return Leaf(node, -1);
      node.sub = At(pos - 1);
      return Leaf(node, ZeroAtOrBefore(pos - 3));
    case ItemLayout::kExtended:
      return OpenExtended(node, pos);
    case ItemLayout::kInstruction:
      return OpenInstruction(node, pos);
    case ItemLayout::kDerivative:
      return OpenDerivative(node, pos);
    case ItemLayout::kOneOperand:
      return OpenComposite(node, pos - 1, 1);
    case ItemLayout::kTwoOperands:
      return OpenComposite(node, pos - 1, 2);
    case ItemLayout::kThreeOperands:
      return OpenComposite(node, pos - 1, 3);
    case ItemLayout::kOperandList:
      return OpenComposite(node, pos - 1, kOperandList);
    case ItemLayout::kUnreadable:
      break;
  }
  node.unreadable = true;
  return Leaf(node, pos);
}

// Completes the innermost open item if it has all its operands, and returns it.
std::optional<std::uint32_t> Renderer::CloseIfComplete() {
  const Frame& frame = frames_.back();
  const std::uint32_t index = frame.node;
  const std::uint32_t pendingBase = frame.pendingBase;
  Node& node = nodes_[index];
  if (frame.remaining == kOpenList) {
    if (frame.next < 0) {
      node.unreadable = true;  // no end tag before the start of the data
      node.begin = 0;
    } else if (At(frame.next) == kEndTag) {
      node.begin = frame.next;
    } else {
      return std::nullopt;
    }
  } else if (frame.remaining == 0) {
    node.begin = frame.next + 1;
  } else {
    return std::nullopt;
  }
  // The operands were read last first; store them in written order.
  node.firstChild = static_cast<std::uint32_t>(children_.size());
  node.childCount = static_cast<std::uint16_t>(pending_.size() - pendingBase);
  children_.insert(children_.end(), pending_.rbegin(),
                   pending_.rbegin() + static_cast<std::ptrdiff_t>(node.childCount));
  pending_.resize(pendingBase);
  frames_.pop_back();
  return index;
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
        Frame& open = frames_.back();
        pending_.push_back(*done);
        open.next = nodes_[*done].begin - 1;
        if (open.remaining != kOpenList) --open.remaining;
      }
      done = CloseIfComplete();
      if (!done) break;
    }
    at = frames_.back().next;
  }
}

// ---------------------------------------------------------------------------------------------
// Printing

bool Renderer::IsNegativeNumber(std::uint32_t i) const {
  const Node& n = nodes_[i];
  if (n.unreadable) return false;
  if (n.tag == kNegativeIntegerTag || n.tag == kNegativeFractionTag) return true;
  return n.tag == kRealTag && (At(n.end - kRealBody) & kSignBit) != 0;
}

bool Renderer::IsMatrix(std::uint32_t i) const {
  const Node& n = nodes_[i];
  if (n.unreadable || n.tag != kListTag || n.childCount == 0) return false;
  for (std::uint32_t c = 0; c < n.childCount; ++c) {
    if (!Is(Child(n, c), kListTag)) return false;
  }
  return true;
}

bool Renderer::StaysBare(BareAtoms atoms, std::uint8_t op, std::uint32_t x) const {
  switch (atoms) {
    case BareAtoms::kAll:
      return true;
    case BareAtoms::kSimple:
      return IsName(x) || IsLetter(x) || Kind(x) == TagKind::kSystemVariable ||
             Kind(x) == TagKind::kArbitrary || IsInteger(x);
    case BareAtoms::kBase:
      return IsName(x) || IsLetter(x) || IsNonNegativeInteger(x) ||
             KindIn(Kind(x), TagKind::kConstant, TagKind::kReservedValue) || Is(x, kListTag) ||
             Is(x, kIndexTag);
    case BareAtoms::kExponent:
      return IsName(x) || IsLetter(x) || IsInteger(x) || Is(x, kListTag) || Is(x, kIndexTag);
    case BareAtoms::kPostfixable:
      return IsName(x) || IsLetter(x) || IsNonNegativeInteger(x) || Is(x, op);
    case BareAtoms::kTransposable:
      return IsName(x) || IsLetter(x) || IsMatrix(x);
  }
  return true;
}

bool Renderer::BracketedBeyondLevel(const OperandRule& rule, std::uint8_t op, std::uint32_t x,
                                    Level level) const {
  if (rule.also != kNothingElse && BracketedAlso(rule.also, op, x)) return true;
  return level == kAtom && rule.atoms != BareAtoms::kAll && !StaysBare(rule.atoms, op, x);
}

bool Renderer::BracketedAlso(std::uint8_t also, std::uint8_t op, std::uint32_t x) const {
  return ((also & kNot) != 0 && Is(x, kNotTag)) ||
         ((also & kNegative) != 0 && IsNegativeNumber(x)) ||
         ((also & kQuotient) != 0 && Is(x, kDivideTag)) || ((also & kSameTag) != 0 && Is(x, op)) ||
         ((also & kJoin) != 0 && Is(x, kJoinTag));
}

void Renderer::PrintLetter(std::uint8_t tag) {
  if (InRange(tag, kLetterQTag, kLetterZTag)) {
    out_ += static_cast<char>('q' + (tag - kLetterQTag));
  } else if (InRange(tag, kLetterATag, kLetterPTag)) {
    out_ += static_cast<char>('a' + (tag - kLetterATag));
  } else {
    out_ += kUnreadableMark;
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
  const Kv68Real real =
      Kv68Real::FromBytes(bytes_.subspan(static_cast<std::size_t>(begin), kRealBody));
  const std::string formatted = real.ToText();
  bool shownAsReal = false;
  for (char c : formatted) {
    if (c == '.' || c == 'E' || c == 'e' || c == kInfinitySign) shownAsReal = true;
    if (numberSwitch_ && c == '-') c = kMinusSign;
    if (numberSwitch_ && (c == 'E' || c == 'e')) c = kExponentSign;
    out_ += c;
  }
  if (!shownAsReal) out_ += '.';
}

void Renderer::PrintFraction(const Node& node, std::uint8_t base) {
  const std::int32_t numeratorCount = At(node.end - 1);
  const std::int32_t denominatorCountAt = node.end - 2 - numeratorCount;
  PrintInteger(denominatorCountAt + 1, numeratorCount, node.tag == kNegativeFractionTag, base);
  out_ += '/';
  PrintInteger(node.begin, denominatorCountAt - node.begin, false, base);
}

// Quotes around the characters, inner quotes doubled.
void Renderer::PrintString(const Node& node) {
  out_ += '"';
  for (const char c : Chars(node.begin + 1, node.end - 1)) {
    out_ += c;
    if (c == '"') out_ += '"';
  }
  out_ += '"';
}

// As many spaces as the count byte says, the comment sign, then the text.
void Renderer::PrintComment(const Node& node) {
  out_.append(node.sub, ' ');
  out_ += kCommentSign;
  out_ += Chars(node.begin + 1, node.end - 2);
}

void Renderer::EmitJoined(const Node& node, std::uint32_t from, std::string_view separator,
                          std::uint8_t base) {
  for (std::uint32_t c = from; c < node.childCount; ++c) {
    if (c > from) Emit(separator);
    EmitItem(Child(node, c), false, base);
  }
}

void Renderer::EmitCall(std::string_view name, const Node& node, std::uint32_t from,
                        std::uint8_t base, std::string_view separator) {
  if (!name.empty()) Emit(name);
  Emit("(");
  EmitJoined(node, from, separator, base);
  Emit(")");
}

// The argument-list kinds: lists and matrices, calls, indexed items, angles and named
// functions.
void Renderer::ExpandList(std::uint32_t index, std::uint8_t base, bool bare) {
  const Node& node = nodes_[index];
  const std::uint8_t tag = node.tag;
  if (tag == kListTag && IsMatrix(index)) {
    Emit("[");
    for (std::uint32_t r = 0; r < node.childCount; ++r) {
      Emit("[");
      EmitJoined(nodes_[Child(node, r)], 0, ",", base);
      Emit("]");
    }
    Emit("]");
  } else if (tag == kListTag) {
    if (!bare) Emit("{");
    EmitJoined(node, 0, ",", base);
    if (!bare) Emit("}");
  } else if ((tag == kCallTag || tag == kIndexTag) && node.childCount == 0) {
    Emit(std::string_view(&kUnreadableMark, 1));
  } else if (tag == kCallTag) {
    EmitItem(Child(node, 0), false, base);
    EmitCall({}, node, 1, base);
  } else if (tag == kIndexTag) {
    const std::uint32_t indexed = Child(node, 0);
    EmitItem(indexed, Bracketed(kIndexed, tag, indexed), base);
    Emit("[");
    EmitJoined(node, 1, ",", base);
    Emit("]");
  } else if (tag == kDegreesMinutesSecondsTag) {
    for (std::uint32_t c = 0; c < node.childCount; ++c) {
      EmitItem(Child(node, c), false, base);
      if (c < kAngleMarks.size()) Emit(kAngleMarks[c]);
    }
  } else {
    EmitCall(TagName(tag, 0), node, 0, base);
  }
}

// Operators by their row, the matrix-style forms and derivative marks.
void Renderer::ExpandOperator(const Node& node, std::uint8_t base) {
  const std::uint8_t tag = node.tag;
  if (tag == kMatrixForm2Tag || tag == kMatrixForm3Tag || tag == kMatrixForm3AltTag) {
    Emit("[[");
    EmitJoined(node, 0, kMatrixSeparator, base);
    Emit("]]");
    return;
  }
  if (tag == kDerivativeTag) return ExpandDerivative(node, base);
  if (kOperatorRowOf[tag] == kNoRow) return Emit(std::string_view(&kUnreadableMark, 1));
  const OperatorRow& row = kOperatorRows[kOperatorRowOf[tag]];
  const std::string_view name = TagName(tag, 0);
  const std::uint32_t first = Child(node, 0);
  switch (row.fixity) {
    case Fixity::kInfix:
    case Fixity::kSpacedInfix: {
      const bool spaced = row.fixity == Fixity::kSpacedInfix;
      const std::uint32_t second = Child(node, 1);
      EmitItem(first, Bracketed(row.left, tag, first), base);
      if (spaced) Emit(" ");
      Emit(name);
      if (spaced) Emit(" ");
      EmitItem(second, Bracketed(row.right, tag, second), base);
      return;
    }
    case Fixity::kPrefix:
    case Fixity::kSpacedPrefix:
      Emit(name);
      if (row.fixity == Fixity::kSpacedPrefix) Emit(" ");
      return EmitItem(first, Bracketed(row.right, tag, first), base);
    case Fixity::kPostfix:
      EmitItem(first, Bracketed(row.left, tag, first), base);
      return Emit(name);
    case Fixity::kGroup:
      return EmitItem(first, Bracketed(row.right, tag, first), base);
  }
}

// The function name, one "'" per derivative tag, then the bracketed arguments.
void Renderer::ExpandDerivative(const Node& node, std::uint8_t base) {
  std::int32_t marks = 0;
  while (At(node.end - marks) == kDerivativeTag) ++marks;
  const std::uint32_t operand = Child(node, 0);
  const Node& f = nodes_[operand];
  const bool call = !f.unreadable && f.tag == kCallTag && f.childCount > 0;
  EmitItem(call ? Child(f, 0) : operand, false, base);
  for (std::int32_t m = 0; m < marks; ++m) Emit("'");
  if (call) EmitCall({}, f, 1, base);
}

void Renderer::ExpandExtended(const Node& node, std::uint8_t base) {
  const std::string_view name = TagName(kExtendedTag, node.sub);
  switch (ExtendedRowOf(node.sub).form) {
    case ExtendedForm::kNone:
      return Emit(std::string_view(&kUnreadableMark, 1));
    case ExtendedForm::kPrefix:
      Emit(name);
      return EmitItem(Child(node, 0), false, base);
    case ExtendedForm::kEmptyCall:
      Emit(name);
      return Emit("()");
    case ExtendedForm::kListCall:
    case ExtendedForm::kCall:
      return EmitCall(name, node, 0, base);
    case ExtendedForm::kSemicolonCall:
      return EmitCall(name, node, 0, base, ";");
    case ExtendedForm::kInfix:
      return EmitJoined(node, 0, name, base);
    case ExtendedForm::kInside:
      return EmitCall({}, node, 0, base, name);
    case ExtendedForm::kPostfix:
      EmitItem(Child(node, 0), false, base);
      return Emit(name);
    case ExtendedForm::kBinary:
      Emit("0b");
      return EmitItem(Child(node, 0), false, 2);
    case ExtendedForm::kHexadecimal:
      Emit("0h");
      return EmitItem(Child(node, 0), false, 16);
  }
}

void Renderer::ExpandInstruction(const Node& node, std::uint8_t base) {
  const std::uint8_t sub = node.sub;
  const std::string_view name = TagName(kInstructionTag, sub);
  if (sub == kElseSub) return Emit(" Else");
  Emit(name);
  if (node.childCount == 0 && InstructionOperands(sub) == 0) return;
  if (name.empty() || name.back() != ' ') Emit(" ");
  if (sub == kDefineSub && node.childCount >= 2) {  // Define a=b
    EmitItem(Child(node, 0), false, base);
    Emit("=");
    EmitJoined(node, 1, ",", base);
    return;
  }
  EmitJoined(node, 0, ",", base);
  if (sub == kIfThenSub || sub == kElseIfSub) Emit(" Then");
}

// Writes a leaf's text; false for an item with operands.
bool Renderer::PrintLeaf(const Node& node, TagKind kind, std::uint8_t base) {
  const std::uint8_t tag = node.tag;
  switch (tag) {
    case kNameTag:
      out_ += Chars(node.begin + 1, node.end);
      return true;
    case kLetterPrefixTag:
      PrintLetter(node.sub);
      return true;
    case kSystemVariableTag:
      out_ += TagName(kSystemVariableTag, node.sub);
      return true;
    case kArbitraryTag:
    case kArbitraryIntegerTag:
      out_ += tag == kArbitraryIntegerTag ? "@n" : "@";
      out_ += std::to_string(static_cast<unsigned>(node.sub));
      return true;
    case kIntegerTag:
    case kNegativeIntegerTag:
      PrintInteger(node.begin, node.end - 1 - node.begin, tag == kNegativeIntegerTag, base);
      return true;
    case kFractionTag:
    case kNegativeFractionTag:
      PrintFraction(node, base);
      return true;
    case kRealTag:
      PrintReal(node.begin);
      return true;
    case kStringTag:
      PrintString(node);
      return true;
    case kNothingTag:
      return true;
    case kCommentTag:
      PrintComment(node);
      return true;
    default:
      break;
  }
  if (kind == TagKind::kLetter) {
    PrintLetter(tag);
    return true;
  }
  if (KindIn(kind, TagKind::kConstant, TagKind::kReservedValue)) {
    out_ += TagName(tag, 0);
    return true;
  }
  return false;
}

// Queues the steps that write an item with operands.
void Renderer::ExpandComposite(std::uint32_t index, TagKind kind, std::uint8_t base, bool bare) {
  const Node& node = nodes_[index];
  const std::uint8_t tag = node.tag;
  if (tag == kExtendedTag) {
    ExpandExtended(node, base);
  } else if (tag == kInstructionTag) {
    ExpandInstruction(node, base);
  } else if (tag == kExpTag) {
    const std::uint32_t x = Child(node, 0);
    Emit(kEulerPower);
    EmitItem(x, Bracketed(kExponent, tag, x), base);
  } else if (KindIn(kind, TagKind::kInverseHyperbolic, TagKind::kTransform)) {
    const std::uint32_t x = Child(node, 0);
    Emit(TagName(tag, 0));
    EmitItem(x, Kind(x) != TagKind::kUnused, base);  // an unreadable argument stands alone
  } else if (KindIn(kind, TagKind::kSolver, TagKind::kExpressionAndVariable)) {
    EmitCall(TagName(tag, 0), node, 0, base);
  } else if (KindIn(kind, TagKind::kThreeArguments, TagKind::kBracketList)) {
    ExpandList(index, base, bare);
  } else {
    ExpandOperator(node, base);
  }
}

// Writes the text of one node, or queues the steps that write it.
void Renderer::Expand(std::uint32_t index, std::uint8_t base, bool bare) {
  const Node& node = nodes_[index];
  if (node.unreadable) {
    out_ += kUnreadableMark;
    return;
  }
  const TagKind kind = KindOf(node.tag);
  if (PrintLeaf(node, kind, base)) return;
  seq_.clear();
  ExpandComposite(index, kind, base, bare);
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
    out_ += kUnreadableMark;
    return;
  }
  if ((At(flagsAt) & kPlainTextBody) != 0) {
    const std::int32_t open = flagsAt >= 1 ? ZeroAtOrBefore(flagsAt - 2) : -1;
    if (open < 0) {
      out_ += kUnreadableMark;
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
    if (Is(titles[i], kNothingTag)) {
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
    out_ += kUnreadableMark;
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
  } else if (InRange(tag, kGraphDatabaseTag + 1, kLastVariableTag)) {
    // no text
  } else {
    Statements(last);
  }
  out_ += '\n';
  return std::move(out_);
}

}  // namespace

std::string RenderExpression(std::span<const std::uint8_t> data) {
  // A big-endian byte count leads the tokens; a count past the end is cut to what there is.
  InputStream in =
      InputStream::Over(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  const std::size_t declared = in.ReadU16BE().value_or(0);
  const std::size_t count = std::min(declared, in.Remaining());
  BorrowedLists lists;
  Renderer renderer(data.subspan(in.Tell(), count), lists.Get());
  return renderer.Render();
}

std::string_view TagName(std::uint8_t tag, std::uint8_t subCode) {
  std::string_view name;
  if (subCode == 0) {
    name = TagTable[tag].name;
  } else if (tag == kSystemVariableTag && subCode < SystemVariableTable.size()) {
    name = SystemVariableTable[subCode];
  } else if (tag == kExtendedTag && subCode < ExtendedTagTable.size()) {
    name = ExtendedTagTable[subCode];
  } else if (tag == kInstructionTag && subCode < InstructionTable.size()) {
    name = InstructionTable[subCode].name;
  }
  return name.empty() ? kErrorName : name;
}

}  // namespace tabulex
