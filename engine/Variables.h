#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qov {

// The script's whole memory: 31 variables and 17 items, each a name and a count. Every
// accessor checks its index and throws ScriptError ("範囲外") outside the table.
class Variables {
 public:
  static constexpr int kVarCount = 31;
  static constexpr int kItemCount = 17;

  [[nodiscard]] std::int16_t var(int index) const { return vars_[checked(index, kVarCount)]; }
  void setVar(int index, std::int16_t value) { vars_[checked(index, kVarCount)] = value; }
  [[nodiscard]] std::int16_t itemCount(int index) const;
  void setItemCount(int index, std::int16_t count);
  [[nodiscard]] const std::u32string& itemName(int index) const;
  void setItemName(int index, std::u32string name);

  [[nodiscard]] const std::array<std::int16_t, kVarCount>& vars() const { return vars_; }
  [[nodiscard]] const std::array<std::int16_t, kItemCount>& itemCounts() const {
    return itemCounts_;
  }
  [[nodiscard]] const std::array<std::u32string, kItemCount>& itemNames() const {
    return itemNames_;
  }
  // Replaces everything at once (LOAD).
  void assign(const std::array<std::int16_t, kVarCount>& vars,
              const std::array<std::int16_t, kItemCount>& counts,
              const std::array<std::u32string, kItemCount>& names);

 private:
  // Inline: variables are read and written by nearly every script line.
  static std::size_t checked(int index, int size) {
    if (index < 0 || index >= size) [[unlikely]] {
      outOfRange();
    }
    return static_cast<std::size_t>(index);
  }
  [[noreturn]] static void outOfRange();

  std::array<std::int16_t, kVarCount> vars_{};
  std::array<std::int16_t, kItemCount> itemCounts_{};
  std::array<std::u32string, kItemCount> itemNames_{};
};

}  // namespace qov
