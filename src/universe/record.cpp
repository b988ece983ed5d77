#include "universe/record.h"

#include <cstring>

#include "base/bytes.h"
#include "base/errors.h"

namespace tarvik {

RecordLayout::RecordLayout(std::string_view name, int size, std::span<const Field> fields)
    : name_(name), size_(size), fields_(fields) {
  byName_.Reserve(fields_.size());
  for (const Field& f : fields_) {
    if (!f.name.empty()) byName_.Add(f.name, &f);
  }
}

void RecordLayout::ThrowNoField(std::string_view fieldName) const {
  throw RuntimeError(std::string(name_) + " has no field " + std::string(fieldName));
}

const Field& RecordLayout::At(int offset) const {
  for (const Field& f : fields_) {
    if (f.offset == offset) return f;
  }
  throw RuntimeError(std::string(name_) + " has no field at offset " + std::to_string(offset));
}

void ThrowDoesNotFit(long long value, std::string_view what, bool wide) {
  throw RuntimeError("The number " + std::to_string(value) + " does not fit " + std::string(what) +
                     (wide ? ", which holds -2147483648 to 2147483647." : ", which holds -32768 to 32767."));
}

void Record::Clear() { bytes_.assign(static_cast<size_t>(layout_->size()), 0); }

void Record::SetFixedValues() {
  for (const Field& f : layout_->fields()) {
    if (!f.fixed) continue;
    for (int i = 1; i <= f.count; ++i) Set(f, f.fixedValue, i);
  }
}

void Record::ThrowOutside(const Field& f, int index) const {
  throw RuntimeError("The index " + std::to_string(index) + " lies outside " + std::string(layout_->name()) + "." +
                     std::string(f.name) + ", which has 1 to " + std::to_string(f.count) + ".");
}

void Record::ThrowIsText(const Field& f) { throw RuntimeError("type mismatch: " + std::string(f.name) + " is text"); }

float Record::GetFloat(std::string_view field, int index) const {
  const Field& f = layout_->Get(field);
  if (f.type != FieldType::F32) return static_cast<float>(Get(f, index));
  return GetF32(Element(f, index));
}

void Record::SetFloat(std::string_view field, float value, int index) {
  const Field& f = layout_->Get(field);
  if (f.type != FieldType::F32) throw RuntimeError("type mismatch: " + std::string(field) + " is not a float");
  PutF32(Element(f, index), value);
}

std::string Record::Text(const Field& f, int index) const {
  if (f.type != FieldType::Chars) throw RuntimeError("type mismatch: " + std::string(f.name) + " is a number");
  const uint8_t* p = Element(f, index);
  return std::string(reinterpret_cast<const char*>(p), f.charLen);
}

void Record::SetText(const Field& f, std::string_view text, int index) {
  if (f.type != FieldType::Chars) throw RuntimeError("type mismatch: " + std::string(f.name) + " is a number");
  uint8_t* p = Element(f, index);
  size_t n = std::min<size_t>(text.size(), f.charLen);
  std::memcpy(p, text.data(), n);
  std::memset(p + n, ' ', f.charLen - n);
}

void Record::SetBytes(const Field& f, std::string_view bytes, int index) {
  if (f.type != FieldType::Chars) throw RuntimeError("type mismatch: " + std::string(f.name) + " is a number");
  uint8_t* p = Element(f, index);
  std::memcpy(p, bytes.data(), std::min<size_t>(bytes.size(), f.charLen));
}

void Record::SetBytes(std::string_view field, const Record& inner, int index) {
  SetBytes(field, std::string_view(reinterpret_cast<const char*>(inner.bytes().data()), inner.bytes().size()), index);
}

void Record::CheckOffset(int offset, int width) const {
  if (offset < 0 || offset + width > static_cast<int>(bytes_.size())) {
    throw RuntimeError("offset " + std::to_string(offset) + " outside " + std::string(layout_->name()));
  }
}

int32_t Record::I32At(int offset) const {
  CheckOffset(offset, 4);
  return GetI32(bytes_.data() + offset);
}
int16_t Record::I16At(int offset) const {
  CheckOffset(offset, 2);
  return GetI16(bytes_.data() + offset);
}
void Record::SetI32At(int offset, int32_t v) {
  CheckOffset(offset, 4);
  PutI32(bytes_.data() + offset, v);
}
void Record::SetI16At(int offset, int16_t v) {
  CheckOffset(offset, 2);
  PutI16(bytes_.data() + offset, v);
}

}  // namespace tarvik
