#include "universe/record.h"

#include <cstring>

#include "base/bytes.h"
#include "base/errors.h"

namespace tarvik {

RecordLayout::RecordLayout(std::string_view name, int size, std::span<const Field> fields)
    : name_(name), size_(size), fields_(fields) {
  for (const Field& f : fields_) {
    if (!f.name.empty()) byName_.emplace(f.name, &f);
  }
}

const Field* RecordLayout::Find(std::string_view fieldName) const {
  auto it = byName_.find(fieldName);
  return it == byName_.end() ? nullptr : it->second;
}

const Field& RecordLayout::Get(std::string_view fieldName) const {
  const Field* f = Find(fieldName);
  if (!f) throw RuntimeError(std::string(name_) + " has no field " + std::string(fieldName));
  return *f;
}

const Field& RecordLayout::At(int offset) const {
  for (const Field& f : fields_) {
    if (f.offset == offset) return f;
  }
  throw RuntimeError(std::string(name_) + " has no field at offset " + std::to_string(offset));
}

int16_t CheckedI16(long long value, std::string_view what) {
  if (value < -32768 || value > 32767) {
    throw RuntimeError("The number " + std::to_string(value) + " does not fit " + std::string(what) +
                       ", which holds -32768 to 32767.");
  }
  return static_cast<int16_t>(value);
}

int32_t CheckedI32(long long value, std::string_view what) {
  if (value < INT32_MIN || value > INT32_MAX) {
    throw RuntimeError("The number " + std::to_string(value) + " does not fit " + std::string(what) +
                       ", which holds -2147483648 to 2147483647.");
  }
  return static_cast<int32_t>(value);
}

void Record::Clear() { std::fill(bytes_.begin(), bytes_.end(), 0); }

void Record::SetFixedValues() {
  for (const Field& f : layout_->fields()) {
    if (!f.fixed) continue;
    for (int i = 1; i <= f.count; ++i) Set(f, f.fixedValue, i);
  }
}

const uint8_t* Record::Element(const Field& f, int index) const {
  if (index < 1 || index > f.count) {
    throw RuntimeError("The index " + std::to_string(index) + " lies outside " + std::string(layout_->name()) + "." +
                       std::string(f.name) + ", which has 1 to " + std::to_string(f.count) + ".");
  }
  return bytes_.data() + f.offset + (index - 1) * f.ElementWidth();
}

uint8_t* Record::Element(const Field& f, int index) {
  return const_cast<uint8_t*>(static_cast<const Record*>(this)->Element(f, index));
}

int32_t Record::Get(const Field& f, int index) const {
  const uint8_t* p = Element(f, index);
  switch (f.type) {
    case FieldType::I16: return GetI16(p);
    case FieldType::I32: return GetI32(p);
    case FieldType::F32: return static_cast<int32_t>(GetF32(p));
    case FieldType::Chars: break;
  }
  throw RuntimeError("type mismatch: " + std::string(f.name) + " is text");
}

void Record::Set(const Field& f, long long value, int index) {
  uint8_t* p = Element(f, index);
  switch (f.type) {
    case FieldType::I16: PutI16(p, CheckedI16(value, f.name)); return;
    case FieldType::I32: PutI32(p, CheckedI32(value, f.name)); return;
    case FieldType::F32: PutF32(p, static_cast<float>(value)); return;
    case FieldType::Chars: break;
  }
  throw RuntimeError("type mismatch: " + std::string(f.name) + " is text");
}

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
