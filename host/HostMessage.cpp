// The host message variant: the factory table by type code, reading, writing,
// copying and destroying.
#include "host/HostMessage.h"

#include <array>
#include <utility>

namespace {

using HostRecordFactory = std::unique_ptr<HostRecord> (*)();

template <class T>
std::unique_ptr<HostRecord> MakeRecordOf() {
  return std::make_unique<HostRecordT<T>>();
}

struct HostTypeEntry {
  const char* name;
  HostRecordFactory make;
};

// Indexed by code, so the order of the list does not matter.
constexpr std::array<HostTypeEntry, HM_TYPE_LIMIT> BuildHostTypes() {
  std::array<HostTypeEntry, HM_TYPE_LIMIT> table{};
  table[HM_NONE] = {"", nullptr};
#define DORVIK_HOST_MESSAGE_ENTRY(code, name, record) table[name] = {#name, &MakeRecordOf<record>};
  DORVIK_HOST_MESSAGES(DORVIK_HOST_MESSAGE_ENTRY)
#undef DORVIK_HOST_MESSAGE_ENTRY
  return table;
}

constexpr std::array<HostTypeEntry, HM_TYPE_LIMIT> kHostTypes = BuildHostTypes();

bool HasRecordType(uint32_t code) {
  return code > HM_NONE && code < HM_TYPE_LIMIT;
}

}  // namespace

const char* HostMsgTypeName(uint32_t code) {
  return code < HM_TYPE_LIMIT ? kHostTypes[code].name : "";
}

std::unique_ptr<HostRecord> MakeHostRecord(uint32_t code) {
  return HasRecordType(code) ? kHostTypes[code].make() : nullptr;
}

HostMessage::HostMessage(const HostMessage& other) {
  AssignHostMessage(*this, other);
}

HostMessage& HostMessage::operator=(const HostMessage& other) {
  AssignHostMessage(*this, other);
  return *this;
}

HostMessage::HostMessage(HostMessage&& other) noexcept
    : type(std::exchange(other.type, HM_NONE)), record(std::move(other.record)) {}

HostMessage& HostMessage::operator=(HostMessage&& other) noexcept {
  if (this != &other) {
    type = std::exchange(other.type, HM_NONE);
    record = std::move(other.record);
  }
  return *this;
}

int ReadHostMessage(HostMessage& msg, IXBuf* buf) {
  DestroyHostMessage(msg);
  uint32_t code = 0;
  if (!ArcRead(code, buf)) {
    return 0;
  }
  msg.type = code;
  if (code == HM_NONE) {
    return 1;
  }
  if (!HasRecordType(code)) {
    return 0;
  }
  msg.record = MakeHostRecord(code);
  return msg.record->Load(buf);
}

int WriteHostMessage(const HostMessage& msg, IXBuf* buf) {
  if (!ArcWrite(buf, msg.type)) {
    return 0;
  }
  return msg.record ? msg.record->Save(buf) : 1;
}

void AssignHostMessage(HostMessage& dst, const HostMessage& src) {
  if (&dst == &src) {
    return;
  }
  // The copy is made before dst lets go of its record, and only from a record that
  // exists: a code of 64 or more never reaches a table.
  std::unique_ptr<HostRecord> copy = src.record ? src.record->Clone() : nullptr;
  dst.type = src.type;
  dst.record = std::move(copy);
}

void DestroyHostMessage(HostMessage& msg) {
  msg.record.reset();
  msg.type = HM_NONE;
}
