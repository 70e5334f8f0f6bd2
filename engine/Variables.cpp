#include "engine/Variables.h"

#include <utility>

#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov {

void Variables::outOfRange() {
  throw ScriptError{std::u32string(errors::kOutOfRange)};
}

std::int16_t Variables::itemCount(int index) const {
  return itemCounts_[checked(index, kItemCount)];
}

void Variables::setItemCount(int index, std::int16_t count) {
  itemCounts_[checked(index, kItemCount)] = count;
}

const std::u32string& Variables::itemName(int index) const {
  return itemNames_[checked(index, kItemCount)];
}

void Variables::setItemName(int index, std::u32string name) {
  itemNames_[checked(index, kItemCount)] = std::move(name);
}

void Variables::assign(const std::array<std::int16_t, kVarCount>& vars,
                       const std::array<std::int16_t, kItemCount>& counts,
                       const std::array<std::u32string, kItemCount>& names) {
  vars_ = vars;
  itemCounts_ = counts;
  itemNames_ = names;
}

}  // namespace qov
