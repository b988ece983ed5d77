// Records described once, as tables of fields. A layout names every field (unnamed
// ones have an empty name) with its offset, type and count; a Record is the record's
// bytes with typed little-endian access by field name and 1-based element index.
//
// Writing a value that does not fit its field (an int16 above 32767, say), or using an
// element index outside the field, is a RuntimeError; the record is left unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/name_table.h"

namespace tarvik {

enum class FieldType : uint8_t { I16, I32, F32, Chars };

struct Field {
  std::string_view name;  // empty for a field no step names
  int offset;
  FieldType type;
  int count;     // number of elements (1 for a single value)
  int charLen;   // bytes per element of a Chars field; 0 otherwise
  // A whole-number field that always holds the same value in every element.
  bool fixed = false;
  int32_t fixedValue = 0;

  constexpr Field Always(int32_t value) const {
    Field f = *this;
    f.fixed = true;
    f.fixedValue = value;
    return f;
  }

  int ElementWidth() const {
    switch (type) {
      case FieldType::I16: return 2;
      case FieldType::I32: return 4;
      case FieldType::F32: return 4;
      case FieldType::Chars: return charLen;
    }
    return 0;
  }
  int Width() const { return ElementWidth() * count; }
};

// Shorthands for writing field tables.
constexpr Field I16(std::string_view n, int off, int count = 1) { return {n, off, FieldType::I16, count, 0}; }
constexpr Field I32(std::string_view n, int off, int count = 1) { return {n, off, FieldType::I32, count, 0}; }
constexpr Field F32(std::string_view n, int off, int count = 1) { return {n, off, FieldType::F32, count, 0}; }
constexpr Field Chars(std::string_view n, int off, int len, int count = 1) {
  return {n, off, FieldType::Chars, count, len};
}

// One element of a whole-number field (I16, I32 or F32), found once: the field and the
// byte offset of its element within the record, so that writing it needs neither a
// look-up nor the index arithmetic. Made only for an index inside the field.
struct FieldElement {
  const Field* field = nullptr;  // nullptr: no such element (a text field, or an index outside)
  int offset = 0;

  // The element `index` (1-based) of the field; none for an index outside it or a text field.
  static FieldElement Of(const Field& f, int index) {
    if (f.type == FieldType::Chars || index < 1 || index > f.count) return {};
    return {&f, f.offset + (index - 1) * f.ElementWidth()};
  }
};

class RecordLayout {
 public:
  RecordLayout(std::string_view name, int size, std::span<const Field> fields);
  std::string_view name() const { return name_; }
  int size() const { return size_; }
  std::span<const Field> fields() const { return fields_; }
  // The named field, or nullptr.
  const Field* Find(std::string_view fieldName) const {
    const Field* const* f = byName_.Find(fieldName);
    return f ? *f : nullptr;
  }
  // The named field; a missing name is a programming error and throws RuntimeError.
  const Field& Get(std::string_view fieldName) const {
    const Field* f = Find(fieldName);
    if (!f) ThrowNoField(fieldName);
    return *f;
  }
  // The field that starts at `offset` (named or not); none is a programming error and
  // throws RuntimeError.
  const Field& At(int offset) const;

 private:
  [[noreturn]] void ThrowNoField(std::string_view fieldName) const;
  std::string_view name_;
  int size_;
  std::span<const Field> fields_;
  NameTable<const Field*> byName_;
};

// Defines the layout function `fn`: the layout named `label`, `bytes` long, of the
// fields that follow, built once on first use.
#define TARVIK_RECORD_LAYOUT(fn, label, bytes, ...)          \
  const RecordLayout& fn() {                                 \
    static const Field fields[] = {__VA_ARGS__};             \
    static const RecordLayout layout(label, bytes, fields);  \
    return layout;                                           \
  }

class Record {
 public:
  explicit Record(const RecordLayout& layout) : layout_(&layout), bytes_(layout.size(), 0) {}

  const RecordLayout& layout() const { return *layout_; }
  std::vector<uint8_t>& bytes() { return bytes_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  int size() const { return layout_->size(); }
  // Clears every byte to zero (the "reset" of a constructor); bytes left cut short by
  // a failed read are made whole again.
  void Clear();
  // Writes the value of every field that always holds one (Field::Always).
  void SetFixedValues();

  // Whole-number fields (I16 and I32); index is 1-based.
  int32_t Get(std::string_view field, int index = 1) const { return Get(layout_->Get(field), index); }
  void Set(std::string_view field, long long value, int index = 1) { Set(layout_->Get(field), value, index); }
  int32_t Get(const Field& f, int index = 1) const;
  // Reads a whole number from an element's bytes at p, as the field's type holds it (for
  // a record's bytes read where they lie, without a Record).
  static int32_t Read(const Field& f, const uint8_t* p) {
    switch (f.type) {
      case FieldType::I16: return GetI16(p);
      case FieldType::I32: return GetI32(p);
      case FieldType::F32: return static_cast<int32_t>(GetF32(p));
      case FieldType::Chars: break;
    }
    ThrowIsText(f);
  }
  void Set(const Field& f, long long value, int index = 1);
  // Set(*e.field, value, index) for the element e stands for: the same bytes written, the
  // same error for a value that does not fit.
  void Set(const FieldElement& e, long long value) { Put(*e.field, bytes_.data() + e.offset, value); }
  // Writes a value the element is known to hold into the element of a whole-number
  // field of type `type` at byte `offset`, both taken from a FieldElement of this
  // record's layout: the bytes Set of that element writes, without a look at the field.
  void SetFitting(FieldType type, int offset, int32_t value) {
    uint8_t* p = bytes_.data() + offset;
    switch (type) {
      case FieldType::I16: PutI16(p, static_cast<int16_t>(value)); return;
      case FieldType::I32: PutI32(p, value); return;
      case FieldType::F32: PutF32(p, static_cast<float>(value)); return;
      case FieldType::Chars: return;
    }
  }

  float GetFloat(std::string_view field, int index = 1) const;
  void SetFloat(std::string_view field, float value, int index = 1);

  // Text fields: the element's bytes, exactly as held.
  std::string Text(std::string_view field, int index = 1) const { return Text(layout_->Get(field), index); }
  std::string Text(const Field& f, int index = 1) const;
  // Fixed-length assignment: cut to the field's length or padded with blanks.
  void SetText(std::string_view field, std::string_view text, int index = 1) { SetText(layout_->Get(field), text, index); }
  void SetText(const Field& f, std::string_view text, int index = 1);
  // Raw element bytes, no padding (for names that are already scrambled, stored stems,
  // and records held inside a larger one).
  void SetBytes(const Field& f, std::string_view bytes, int index = 1);
  void SetBytes(std::string_view field, std::string_view bytes, int index = 1) {
    SetBytes(layout_->Get(field), bytes, index);
  }
  void SetBytes(std::string_view field, const Record& inner, int index = 1);

  // Raw little-endian access at a byte offset, for the unnamed fields.
  int32_t I32At(int offset) const;
  int16_t I16At(int offset) const;
  void SetI32At(int offset, int32_t v);
  void SetI16At(int offset, int16_t v);

 private:
  // The element's first byte; an index outside the field throws RuntimeError.
  const uint8_t* Element(const Field& f, int index) const {
    if (index < 1 || index > f.count) ThrowOutside(f, index);
    return bytes_.data() + f.offset + (index - 1) * f.ElementWidth();
  }
  uint8_t* Element(const Field& f, int index) {
    if (index < 1 || index > f.count) ThrowOutside(f, index);
    return bytes_.data() + f.offset + (index - 1) * f.ElementWidth();
  }
  // Writes a whole number into an element's bytes at p, as the field's type holds it.
  static void Put(const Field& f, uint8_t* p, long long value);
  [[noreturn]] void ThrowOutside(const Field& f, int index) const;
  [[noreturn]] static void ThrowIsText(const Field& f);
  void CheckOffset(int offset, int width) const;
  const RecordLayout* layout_;
  std::vector<uint8_t> bytes_;
};

// A value that does not fit an int16: RuntimeError with a message naming the field.
[[noreturn]] void ThrowDoesNotFit(long long value, std::string_view what, bool wide);
inline int16_t CheckedI16(long long value, std::string_view what) {
  if (value < -32768 || value > 32767) ThrowDoesNotFit(value, what, false);
  return static_cast<int16_t>(value);
}
inline int32_t CheckedI32(long long value, std::string_view what) {
  if (value < INT32_MIN || value > INT32_MAX) ThrowDoesNotFit(value, what, true);
  return static_cast<int32_t>(value);
}

// Get and Set of an element by its field and index check the index and read or write the
// element as Read and Put do, with the element's place worked out inside the one switch
// on the field's type: the same checks in the same order (the index, then the type, then
// the value), the same bytes and the same errors as Read(f, Element(f, index)) and
// Put(f, Element(f, index), value), without a second switch for the element's width.
inline int32_t Record::Get(const Field& f, int index) const {
  if (static_cast<unsigned>(index) - 1u >= static_cast<unsigned>(f.count)) ThrowOutside(f, index);
  const uint8_t* p = bytes_.data() + f.offset;
  const size_t i = static_cast<size_t>(index - 1);
  switch (f.type) {
    case FieldType::I16: return GetI16(p + 2 * i);
    case FieldType::I32: return GetI32(p + 4 * i);
    case FieldType::F32: return static_cast<int32_t>(GetF32(p + 4 * i));
    case FieldType::Chars: break;
  }
  ThrowIsText(f);
}

inline void Record::Set(const Field& f, long long value, int index) {
  if (static_cast<unsigned>(index) - 1u >= static_cast<unsigned>(f.count)) ThrowOutside(f, index);
  uint8_t* p = bytes_.data() + f.offset;
  const size_t i = static_cast<size_t>(index - 1);
  switch (f.type) {
    case FieldType::I16: PutI16(p + 2 * i, CheckedI16(value, f.name)); return;
    case FieldType::I32: PutI32(p + 4 * i, CheckedI32(value, f.name)); return;
    case FieldType::F32: PutF32(p + 4 * i, static_cast<float>(value)); return;
    case FieldType::Chars: break;
  }
  ThrowIsText(f);
}

inline void Record::Put(const Field& f, uint8_t* p, long long value) {
  switch (f.type) {
    case FieldType::I16: PutI16(p, CheckedI16(value, f.name)); return;
    case FieldType::I32: PutI32(p, CheckedI32(value, f.name)); return;
    case FieldType::F32: PutF32(p, static_cast<float>(value)); return;
    case FieldType::Chars: break;
  }
  ThrowIsText(f);
}

}  // namespace tarvik
