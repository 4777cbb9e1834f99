// Operators of the script language on CValue.
#include "runtime/interp/script_value.h"

#include "runtime/interp/script_object.h"
#include "runtime/interp/value_numbers.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// 32-bit wrapping arithmetic without signed overflow.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
int32_t WrapAdd(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t WrapSub(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t WrapMul(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
int32_t ShiftLeft(int32_t a, int32_t by) { return Wrap(static_cast<uint32_t>(a) << (by & 31)); }
int32_t ShiftRight(int32_t a, int32_t by) { return a >> (by & 31); }  // arithmetic

int32_t Compare(int cmp, CValueOp op) {
    switch (op) {
    case CValueOp::Equal: return cmp == 0;
    case CValueOp::NotEqual: return cmp != 0;
    case CValueOp::Less: return cmp < 0;
    case CValueOp::Greater: return cmp > 0;
    case CValueOp::LessEqual: return cmp <= 0;
    case CValueOp::GreaterEqual: return cmp >= 0;
    default: return 0;
    }
}

bool IsComparison(CValueOp op) {
    return op >= CValueOp::Equal && op <= CValueOp::GreaterEqual;
}

}  // namespace

void CValue::ApplyOther(CValueOp op, CValue& right) {
    if (m_tag == kInt && right.m_tag == kInt && op != CValueOp::ShiftRight) {
        IntOp(op, right);  // the common case: nothing to unify
        return;
    }
    if (op == CValueOp::ShiftRight) {
        ShiftRightOp(right);  // the right operand is read as it is, not unified
        return;
    }
    UnifyOperands(right);
    switch (m_tag) {
    case kInt:
        if (right.m_tag == kObject) {
            ObjectOp(op, right);  // a non-zero integer against an object
            return;
        }
        IntOp(op, right);
        return;
    case kDouble: DoubleOp(op, right); return;
    case kText: TextOp(op, right); return;
    case kObject: ObjectOp(op, right); return;
    default: Raise(41);
    }
}

void CValue::IntOp(CValueOp op, const CValue& right) {
    int32_t a = m_payload.i, b = right.m_payload.i;
    int32_t r = 0;
    switch (op) {
    case CValueOp::Add: r = WrapAdd(a, b); break;
    case CValueOp::Sub: r = WrapSub(a, b); break;
    case CValueOp::Mul: r = WrapMul(a, b); break;
    case CValueOp::Div:
        if (b == 0)
            Raise(111);
        r = (b == -1) ? WrapSub(0, a) : a / b;  // INT_MIN / -1 wraps to INT_MIN
        break;
    case CValueOp::Mod:
        if (b == 0)
            Raise(111);
        r = (b == -1) ? 0 : a % b;
        break;
    case CValueOp::ShiftLeft: r = ShiftLeft(a, b); break;
    case CValueOp::BitAnd: r = a & b; break;
    case CValueOp::BitOr: r = a | b; break;
    case CValueOp::BitXor: r = a ^ b; break;
    case CValueOp::LogicalAnd: r = a != 0 && b != 0; break;
    case CValueOp::LogicalOr: r = a != 0 || b != 0; break;
    default: r = Compare(a < b ? -1 : (a > b ? 1 : 0), op); break;
    }
    SetInt(r);
}

void CValue::DoubleOp(CValueOp op, const CValue& right) {
    double a = m_payload.d, b = right.m_payload.d;
    switch (op) {
    case CValueOp::Add: SetDouble(a + b); return;
    case CValueOp::Sub: SetDouble(a - b); return;
    case CValueOp::Mul: SetDouble(a * b); return;
    case CValueOp::Div:
        if (b == 0.0)
            Raise(111);
        SetDouble(a / b);
        return;
    case CValueOp::Mod:
        if (b == 0.0)
            Raise(111);
        SetDouble(std::fmod(a, b));
        return;
    default: break;
    }
    int32_t ia = tw::TruncateToInt(a), ib = tw::TruncateToInt(b);
    switch (op) {
    case CValueOp::ShiftLeft: SetInt(ShiftLeft(ia, ib)); return;
    case CValueOp::BitAnd: SetInt(ia & ib); return;
    case CValueOp::BitOr: SetInt(ia | ib); return;
    case CValueOp::BitXor: SetInt(ia ^ ib); return;
    case CValueOp::LogicalAnd: SetInt(ia != 0 && ib != 0); return;
    case CValueOp::LogicalOr: SetInt(ia != 0 || ib != 0); return;
    default: break;
    }
    // IEEE comparison: NaN is unequal to everything and neither less nor greater.
    int32_t r = 0;
    switch (op) {
    case CValueOp::Equal: r = a == b; break;
    case CValueOp::NotEqual: r = a != b; break;
    case CValueOp::Less: r = a < b; break;
    case CValueOp::Greater: r = a > b; break;
    case CValueOp::LessEqual: r = a <= b; break;
    case CValueOp::GreaterEqual: r = a >= b; break;
    default: break;
    }
    SetInt(r);
}

void CValue::TextOp(CValueOp op, const CValue& right) {
    switch (op) {
    case CValueOp::Add: Concatenate(right.GetString()); return;
    case CValueOp::Sub: SubtractText(right.GetString()); return;
    default: break;
    }
    if (!IsComparison(op))
        Raise(12);
    const char* left = m_payload.text ? m_payload.text : "";
    // strcmp compares the bytes as unsigned char.
    SetInt(Compare(std::strcmp(left, right.GetString()), op));
}

void CValue::ObjectOp(CValueOp op, const CValue& right) {
    if (op != CValueOp::Equal && op != CValueOp::NotEqual)
        Raise(18);
    // After unification both sides are references, or one side is a non-zero
    // integer, which equals no reference.
    bool same = m_tag == kObject && right.m_tag == kObject && m_payload.object == right.m_payload.object;
    SetInt(op == CValueOp::Equal ? same : !same);  // releases the left's reference
}

void CValue::ShiftRightOp(const CValue& right) {
    switch (m_tag) {
    case kInt: SetInt(ShiftRight(m_payload.i, right.GetInt())); return;
    case kDouble: SetInt(ShiftRight(tw::TruncateToInt(m_payload.d), right.GetInt())); return;
    case kText: Raise(12);
    case kObject: Raise(18);
    default: Raise(41);
    }
}

void CValue::Concatenate(const char* right) {
    std::size_t rightLength = std::strlen(right);
    if (rightLength == 0)
        return;
    const bool growable = (m_flags & kGrowable) && !(m_flags & kBorrowed) && m_payload.text != nullptr;
    const char* left = m_payload.text;
    std::size_t leftLength = growable ? Header()->length : (left ? std::strlen(left) : 0);
    std::size_t needed = leftLength + rightLength + 1;
    if (growable && needed <= Header()->capacity && Header()->holders == 1) {
        // In place; the right text may be this very text (s += s).
        std::memmove(m_payload.text + leftLength, right, rightLength);
        m_payload.text[leftLength + rightLength] = 0;
        Header()->length = leftLength + rightLength;
        return;
    }
    // A fresh block with room to grow: the right text may lie inside the
    // left one, which stays until both are copied.
    std::size_t capacity = needed < 32 ? 32 : needed + needed / 2;
    char* joined = NewGrowableText(left, leftLength, capacity);
    std::memcpy(joined + leftLength, right, rightLength + 1);
    Header(joined)->length = leftLength + rightLength;
    DropContent();
    TakeGrowableText(joined);
}

void CValue::PrependText(const char* text) {
    const std::size_t n = std::strlen(text);
    if (n == 0 || !HoldsOwnedText())
        return;
    const std::size_t length = TextLength();
    if (HoldsUnsharedText() && Header()->front >= n) {
        GrowableHeader* header = Header();
        const char* block = m_payload.text - kGrowableHeader - header->front;
        const uintptr_t at = reinterpret_cast<uintptr_t>(text);
        // Not when the text lies in this block: writing the front would
        // overwrite it.
        if (at < reinterpret_cast<uintptr_t>(block) ||
            at >= reinterpret_cast<uintptr_t>(m_payload.text + header->capacity)) {
            GrowableHeader moved = *header;
            moved.front -= n;
            moved.length += n;
            moved.capacity += n;
            m_payload.text -= n;
            std::memcpy(m_payload.text, text, n);
            std::memcpy(Header(), &moved, sizeof moved);
            return;
        }
    }
    const std::size_t total = length + n;
    char* block = AllocText(total + kGrowableHeader + total + 1);
    char* joined = block + total + kGrowableHeader;
    GrowableHeader* header = Header(joined);
    header->length = total;
    header->capacity = total + 1;
    header->holders = 1;
    header->front = total;
    std::memcpy(joined, text, n);
    std::memcpy(joined + n, m_payload.text, length + 1);
    DropContent();
    TakeGrowableText(joined);
}

void CValue::TakeTextFrom(CValue& source) {
    if (&source == this)
        return;
    if (!source.HoldsOwnedText()) {
        Assign(source);
        return;
    }
    if (source.m_owner != nullptr)
        m_owner = source.m_owner;
    DropContent();
    m_tag = kText;
    m_flags = (m_flags & ~(kBorrowed | kGrowable)) | (source.m_flags & kGrowable);
    m_payload.text = source.m_payload.text;
    source.m_flags &= ~kGrowable;
    source.m_tag = kInt;
    source.m_payload.reference = 0;
}

std::size_t CValue::TextLength() const {
    if (m_tag != kText || m_payload.text == nullptr)
        return 0;
    return (m_flags & kGrowable) && !(m_flags & kBorrowed) ? Header()->length : std::strlen(m_payload.text);
}

void CValue::TruncateText(std::size_t length) {
    if (!HoldsOwnedText() || length >= TextLength())
        return;
    if (SharesText()) {
        // The other holders keep the whole text.
        char* cut = NewGrowableText(m_payload.text, length, length + 1);
        DropContent();
        TakeGrowableText(cut);
        return;
    }
    m_payload.text[length] = 0;
    if (m_flags & kGrowable)
        Header()->length = length;
}

void CValue::SubtractText(const char* right) {
    const char* left = m_payload.text;
    std::size_t rightLength = std::strlen(right);
    // Removing the empty text removes nothing (and must not loop on it).
    if (left == nullptr || rightLength == 0)
        return;
    char* result = AllocText(std::strlen(left) + 1);
    char* out = result;
    const char* p = left;
    for (const char* match = std::strstr(p, right); match; match = std::strstr(p, right)) {
        std::memcpy(out, p, match - p);
        out += match - p;
        p = match + rightLength;
    }
    std::strcpy(out, p);
    DropContent();
    TakeOwnedText(result);
}

// ---- unary operators ----

void CValue::Negate() {
    switch (m_tag) {
    case kInt: m_payload.i = WrapSub(0, m_payload.i); return;
    case kDouble: m_payload.d = -m_payload.d; return;
    case kText: Raise(12);
    case kObject: Raise(18);
    case kNone: case kMemberRef: case kIndexedNameRef: case kMemberArrayRef: case kArrayCellRef: return;
    default: Raise(41);
    }
}

void CValue::LogicalNot() {
    switch (m_tag) {
    case kInt: m_payload.i = m_payload.i == 0; return;
    case kDouble: SetInt(m_payload.d == 0.0); return;
    case kText: Raise(12);
    case kObject: Raise(18);
    case kNone: case kMemberRef: case kIndexedNameRef: case kMemberArrayRef: case kArrayCellRef: return;
    default: Raise(41);
    }
}

void CValue::LogicalNotKeepKind() {
    switch (m_tag) {
    case kInt: m_payload.i = m_payload.i == 0; return;
    case kDouble: m_payload.d = m_payload.d == 0.0 ? 1.0 : 0.0; return;
    case kText: Raise(12);
    case kObject: Raise(18);
    default: Raise(41);
    }
}

void CValue::BitwiseNot() {
    switch (m_tag) {
    case kInt: m_payload.i = ~m_payload.i; return;
    case kDouble: SetInt(~tw::TruncateToInt(m_payload.d)); return;
    case kText: Raise(12);
    case kObject: Raise(18);
    default: Raise(41);
    }
}

void CValue::Increment() {
    switch (m_tag) {
    case kInt: m_payload.i = WrapAdd(m_payload.i, 1); return;
    case kDouble: m_payload.d += 1.0; return;
    case kText: Raise(12);
    case kObject: Raise(18);
    default: Raise(41);
    }
}

void CValue::Decrement() {
    switch (m_tag) {
    case kInt: m_payload.i = WrapSub(m_payload.i, 1); return;
    case kDouble: m_payload.d -= 1.0; return;
    case kText: Raise(12);
    case kObject: Raise(18);
    default: Raise(41);
    }
}
