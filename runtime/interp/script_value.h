#pragma once
// CValue: the one value type of the script language (variables, argument
// cells, evaluation slots, event arguments, results, array cells).
//
// A tagged variant that knows its owning interpreter, through which every
// conversion failure raises a numbered runtime error. Text is owned (freed with
// the value) or borrowed (flag bit 0, never freed). An owned text in a block
// with a header (kGrowable) is counted: copying the value shares the block,
// and whatever changes the text in place first makes it the block's only
// holder, so no holder ever sees another one's change. Object references (tag 3)
// are counted and the value's address is recorded in the object, so that a
// dying object can turn the value into integer 0; array references (tag 5) are
// counted and the array is freed when the last one goes. Values are never
// copied implicitly (their addresses matter): use Assign.
#include <cstddef>
#include <cstdint>

// Windows headers map GetObject to GetObjectA; the member keeps its own name.
#ifdef GetObject
#undef GetObject
#endif

class CInterpretor;
class CIBaseClassImpl;
class CScriptArray;
struct CFunctionRecord;  // a function of the compiled program

// Binary operators of the language (the left value receives the result).
enum class CValueOp {
    Add, Sub, Mul, Div, Mod, ShiftLeft, ShiftRight, BitAnd, BitOr, BitXor,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, LogicalAnd, LogicalOr,
};

class CValue {
public:
    enum Tag : uint32_t {
        kInt = 0,
        kDouble = 1,
        kText = 2,
        kObject = 3,
        kFunction = 4,
        kArray = 5,
        kNone = 6,           // default-constructed; with a payload: unresolved name (place kind 6)
        kMemberRef = 7,      // assignable places of the evaluation handlers, kinds 7 to 10
        kIndexedNameRef = 8,
        kMemberArrayRef = 9,
        kArrayCellRef = 10,
        kDefault = 11,       // omitted argument
    };
    static constexpr uint32_t kBorrowed = 1;  // flag: the text is not owned
    // flag: the owned text lies in a buffer with a length, capacity and
    // holder count header, so that appending ("+", "+=") extends it in place
    // in amortised constant time instead of copying the whole text every
    // time, and a copy of the value shares the buffer.
    static constexpr uint32_t kGrowable = 2;
    static constexpr int32_t kOmittedInt = INT32_MIN;
    static const char* const kOmittedText;  // "Default string"

    CValue();
    explicit CValue(CInterpretor* owner) : m_owner(owner) { m_payload.reference = 0; }
    CValue(CInterpretor* owner, const CValue* source);
    explicit CValue(CIBaseClassImpl* object);
    CValue(CInterpretor* owner, const char* text, int32_t borrow);
    CValue(CInterpretor* owner, int32_t i);
    ~CValue() {
        if (HoldsContent())
            ReleaseContent();
    }
    CValue(const CValue&) = delete;
    CValue& operator=(const CValue&) = delete;

    // Copies the source (own copy of text; objects and arrays counted) and
    // takes its owner. Reference kinds 6 to 10 raise 41.
    void Assign(const CValue& source);
    void Assign(CInterpretor* owner, const CValue& source);

    void SetInt(int32_t i) {
        DropContent();
        m_payload.i = i;
    }
    void SetDouble(double d) {
        DropContent();
        m_tag = kDouble;
        m_payload.d = d;
    }
    void SetString(const char* text, int32_t borrow);  // null: text tag with null payload
    char* AllocString(int32_t n);  // owned zero-length buffer of n bytes; none (null) for n < 1
    // drop = 0 overwrites without releasing the old content (a dying object
    // clearing its referrers). A null object gives integer 0.
    void SetObject(CIBaseClassImpl* object, int32_t drop);
    void SetDefault() {
        DropContent();
        m_tag = kDefault;
        m_payload.i = kOmittedInt;
    }
    void SetFunction(CFunctionRecord* record);
    void SetReference(uint32_t kind, uintptr_t payload);  // kinds 6 to 10, else 41
    void Clear() { DropContent(); }  // integer 0
    void MakeArray();  // a new empty array, count 1; 15 when it cannot be allocated

    // Readers; none changes the value.
    int32_t GetInt() const { return m_tag == kInt ? m_payload.i : GetIntOther(); }
    // The integer of a value that holds an integer, to read and write in
    // place (the integer rounds of fused loops, which check the tag first).
    int32_t* IntSlot() { return &m_payload.i; }
    double GetDouble() const { return m_tag == kDouble ? m_payload.d : GetDoubleOther(); }
    float GetFloat() const;
    // Numbers are written into statement strings of the owner, valid until
    // they are freed at the end of the tick period.
    const char* GetString() const;
    const char* GetStringNonNull() const { return GetString(); }
    CIBaseClassImpl* GetObject() const {
        if (m_tag != kObject)
            RaiseNotAnObject();
        return m_payload.object;
    }
    CIBaseClassImpl* GetObjectNonNull() const;
    CFunctionRecord* GetFunction() const;
    // The function of a value known to hold one (tag 4).
    CFunctionRecord* FunctionOf() const { return m_payload.function; }
    uintptr_t GetReferencePayload() const;    // kinds 6 to 9 with a payload
    uintptr_t GetArrayCellReference() const;  // kind 10
    int32_t IsDefault() const { return m_tag == kDefault; }
    int32_t IsObjectOfClass(uint32_t classId) const;
    int32_t GetObjectClassId() const;  // -1 when not a non-null object

    // Drops a reference to object held here, or in the cells of the array held
    // here (recursively); such a value becomes integer 0.
    void ClearReferencesTo(CIBaseClassImpl* object);

    // In-place conversions used by the operators.
    void ConvertToDouble();
    void ConvertToString();
    void ConvertToInt();
    void UnifyNumeric(CValue& other);
    void UnifyOperands(CValue& right);

    // left = left op right. The right value may be converted in place.
    // Inline: the commonest operators on two integers.
    void Apply(CValueOp op, CValue& right);
    void Negate();
    void LogicalNot();          // integer result
    void LogicalNotKeepKind();  // a double stays a double
    void BitwiseNot();
    void Increment();
    void Decrement();

    // Script arrays. GetArrayItem turns a non-array into a new array first and
    // returns the cell (null while never stored); the array is dimensioned or
    // grown to cover the indices.
    CValue* GetArrayItem(const int32_t* indices, int32_t count);
    // Storage index of the cell (CScriptArray::CellIndex); 0 when not an array.
    uint32_t GetArrayCellIndex(const int32_t* indices, int32_t count);
    void SetArrayItem(int32_t key, const CValue& value);
    void SetArrayItemText(int32_t key, const char* text);
    void SetArrayItemAt(const int32_t* indices, int32_t count, const CValue& value);
    void SetArrayCell(uint32_t flat, const CValue& value);  // flat index, as CScriptArray::GetCell
    CScriptArray* GetArray() const;  // null when not an array or the handle is invalid
    // What "+" does to a text with a text: appends in place when it can.
    void AppendText(const char* text) { Concatenate(text); }
    // this = text + this, for an owned text (HoldsOwnedText): in place when
    // this value is the only holder and there is room in front; otherwise a
    // fresh block with room in front as large as the text, so that building
    // a text from the front is linear too.
    void PrependText(const char* text);
    // An owned text in a counted block that no other value holds.
    bool HoldsUnsharedText() const { return HoldsOwnedText() && (m_flags & kGrowable) && Header()->holders == 1; }
    // An owned text (not borrowed): what TakeTextFrom can move.
    bool HoldsOwnedText() const { return m_tag == kText && !(m_flags & kBorrowed) && m_payload.text != nullptr; }
    // Moves the owned text of source here without copying it (the source
    // becomes integer 0); Assign for anything else.
    void TakeTextFrom(CValue& source);
    // Bytes of the text (its header's count when it has one).
    std::size_t TextLength() const;
    // Cuts an owned text back to length bytes (no longer than it is).
    void TruncateText(std::size_t length);

    // Raw access for the evaluation handlers.
    uint32_t GetTag() const { return m_tag; }
    uint32_t GetFlags() const { return m_flags; }
    CInterpretor* GetOwner() const { return m_owner; }
    void SetOwner(CInterpretor* owner) { m_owner = owner; }
    CValue* GetOrigin() const { return m_origin; }
    void SetOrigin(CValue* origin) { m_origin = origin; }
    const char* GetText() const { return m_tag == kText ? m_payload.text : nullptr; }
    uint32_t GetArrayHandle() const { return m_tag == kArray ? m_payload.handle : 0; }

    // Raises through the owner; a value without owner throws CIError itself.
    [[noreturn]] void Raise(int32_t code, int32_t detail = 0) const;

private:
    union Payload {
        int32_t i;
        double d;
        char* text;
        CIBaseClassImpl* object;
        uint32_t handle;
        CFunctionRecord* function;
        uintptr_t reference;
    };

    // Header in front of a growable text (kGrowable). Packed: a text built
    // from the front starts, and so its header, at any byte.
#pragma pack(push, 1)
    struct GrowableHeader {
        std::size_t length;    // bytes of text, without the terminating zero
        std::size_t capacity;  // bytes available for text and terminating zero
        std::size_t holders;   // values holding this block
        std::size_t front;     // free bytes in front of the header (room to prepend)
    };
#pragma pack(pop)
    // Rounded up so that the text keeps the allocator's alignment.
    static constexpr std::size_t kGrowableHeader = (sizeof(GrowableHeader) + 15) & ~std::size_t{15};
    static_assert(sizeof(GrowableHeader) <= kGrowableHeader, "header fits");
    static GrowableHeader* Header(char* text) { return reinterpret_cast<GrowableHeader*>(text - kGrowableHeader); }
    GrowableHeader* Header() const { return Header(m_payload.text); }

    bool ReleasingAll() const;
    // Text, object or array: something to release. One test instead of
    // three (every tag is below 32).
    bool HoldsContent() const { return ((1u << kText | 1u << kObject | 1u << kArray) >> m_tag) & 1u; }
    // Releases text, object or array; integer 0 with payload and flags cleared.
    // Inline: numbers, the common case, hold nothing to release.
    void DropContent() {
        if (HoldsContent())
            ReleaseContent();
        m_tag = kInt;
        m_flags &= ~(kBorrowed | kGrowable);
        m_payload.reference = 0;
    }
    void ReleaseContent();  // the release part of DropContent
    int32_t GetIntOther() const;  // GetInt of anything but an integer
    double GetDoubleOther() const;  // GetDouble of anything but a double
    [[noreturn]] void RaiseNotAnObject() const;  // 18, or 41 for a place
    void AssignHeld(const CValue& source);  // Assign of a text, object, array or place
    void TakeObject(CIBaseClassImpl* object);  // tag 3, counted and linked
    void TakeOwnedText(char* text);
    char* AllocText(std::size_t bytes) const;  // raises 15
    char* CopyText(const char* text) const;    // owned copy; null stays null
    // A growable block holding length bytes of text and room for capacity
    // bytes in all (at least length + 1); one holder. Raises 15.
    char* NewGrowableText(const char* text, std::size_t length, std::size_t capacity) const;
    void TakeGrowableText(char* text);  // tag, flag and payload of a growable block
    bool SharesText() const { return (m_flags & kGrowable) && Header()->holders > 1; }
    void SetNullObject();
    void StoreInArray(uint32_t index, const CValue& value);  // storage index
    CScriptArray* RequireArray() const;  // raises 44

    void ApplyOther(CValueOp op, CValue& right);  // Apply of the other cases
    void IntOp(CValueOp op, const CValue& right);
    void DoubleOp(CValueOp op, const CValue& right);
    void TextOp(CValueOp op, const CValue& right);
    void ObjectOp(CValueOp op, const CValue& right);
    void ShiftRightOp(const CValue& right);
    void Concatenate(const char* right);
    void SubtractText(const char* right);

    CInterpretor* m_owner = nullptr;
    CValue* m_origin = nullptr;
    uint32_t m_tag = kNone;
    uint32_t m_flags = 0;
    Payload m_payload;

    friend class CScriptArray;
};

inline void CValue::Apply(CValueOp op, CValue& right) {
    if (m_tag == kInt && right.m_tag == kInt) {
        const int32_t a = m_payload.i, b = right.m_payload.i;
        switch (op) {  // wrapping arithmetic, as IntOp
        case CValueOp::Add: SetInt(static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b))); return;
        case CValueOp::Sub: SetInt(static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b))); return;
        case CValueOp::Mul: SetInt(static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b))); return;
        case CValueOp::BitAnd: SetInt(a & b); return;
        case CValueOp::BitOr: SetInt(a | b); return;
        case CValueOp::BitXor: SetInt(a ^ b); return;
        case CValueOp::Equal: SetInt(a == b); return;
        case CValueOp::NotEqual: SetInt(a != b); return;
        case CValueOp::Less: SetInt(a < b); return;
        case CValueOp::Greater: SetInt(a > b); return;
        case CValueOp::LessEqual: SetInt(a <= b); return;
        case CValueOp::GreaterEqual: SetInt(a >= b); return;
        default: break;
        }
    }
    ApplyOther(op, right);
}

// Numbers, functions and omitted values, which hold nothing, are copied
// inline; the rest in AssignHeld.
inline void CValue::Assign(const CValue& source) {
    const uint32_t tag = source.m_tag;
    constexpr uint32_t kPlain = 1u << kInt | 1u << kDouble | 1u << kFunction | 1u << kDefault;
    if (tag < 32 && (kPlain >> tag & 1) && &source != this) {
        if (source.m_owner != nullptr)
            m_owner = source.m_owner;
        Payload payload = source.m_payload;
        DropContent();
        m_tag = tag;
        m_payload = payload;
        return;
    }
    AssignHeld(source);
}
