#include "sim/game/Objects.h"

#include <algorithm>

namespace sim {

void ObjectTable::Add(std::shared_ptr<void> storage, UObject* object, Kind kind) {
  Record record;
  record.storage = std::move(storage);
  record.object = object;
  record.kind = kind;
  record.index = static_cast<std::int32_t>(records_.size());
  record.serial = nextSerial_++;
  byAddress_[object] = records_.size();
  records_.push_back(std::move(record));
}

const ObjectTable::Record* ObjectTable::Find(const void* object) const {
  if (object == nullptr) return nullptr;
  const auto found = byAddress_.find(object);
  return found == byAddress_.end() ? nullptr : &records_[found->second];
}

void ObjectTable::Destroy(const void* object) {
  const auto found = byAddress_.find(object);
  if (found != byAddress_.end()) records_[found->second].alive = false;
}

void ObjectTable::Clear() {
  for (Record& record : records_) graveyard_.push_back(std::move(record));
  records_.clear();
  byAddress_.clear();
}

UObject* ObjectTable::Live(const void* object, std::initializer_list<Kind> kinds) const {
  const Record* record = Find(object);
  if (record == nullptr || !record->alive) return nullptr;
  if (std::find(kinds.begin(), kinds.end(), record->kind) == kinds.end()) return nullptr;
  return record->object;
}

bool ObjectTable::IsLive(const void* object) const {
  const Record* record = Find(object);
  return record != nullptr && record->alive;
}

bool ObjectTable::IsKnown(const void* object) const {
  if (Find(object) != nullptr) return true;
  return std::any_of(graveyard_.begin(), graveyard_.end(),
                     [&](const Record& record) { return record.object == object; });
}

FWeakObjectPtr ObjectTable::WeakOf(const void* object) const {
  FWeakObjectPtr weak;
  weak.ObjectIndex = -1;
  if (const Record* record = Find(object)) {
    weak.ObjectIndex = record->index;
    weak.ObjectSerialNumber = record->serial;
  }
  return weak;
}

UObject* ObjectTable::Resolve(const FWeakObjectPtr& weak) const {
  if (weak.ObjectIndex < 0 || static_cast<std::size_t>(weak.ObjectIndex) >= records_.size()) return nullptr;
  const Record& record = records_[static_cast<std::size_t>(weak.ObjectIndex)];
  if (!record.alive || record.serial != weak.ObjectSerialNumber) return nullptr;
  return record.object;
}

ObjectTable& Objects() {
  static auto* table = new ObjectTable();  // never destroyed (see Host.h)
  return *table;
}

}  // namespace sim
