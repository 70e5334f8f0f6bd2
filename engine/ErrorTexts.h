#pragma once

#include <string_view>

namespace qov::errors {

// The script engine's own words, shown in the error report or a notice.
inline constexpr std::u32string_view kNoArgument = U"引数無し";
inline constexpr std::u32string_view kNoCommand = U"命令無し";
inline constexpr std::u32string_view kComparison = U"比較式";
inline constexpr std::u32string_view kNotNumber = U"数値が不正";
inline constexpr std::u32string_view kOutOfRange = U"範囲外";
inline constexpr std::u32string_view kOverflow = U"桁あふれ";
inline constexpr std::u32string_view kBadLineNo = U"行番号が不正";
inline constexpr std::u32string_view kNoEndcm = U"ENDCM無し";
inline constexpr std::u32string_view kCannotLoad = U"ファイルが読込めません";
inline constexpr std::u32string_view kFp = U"FP";
inline constexpr std::u32string_view kFj = U"FJ";

inline constexpr std::u32string_view kSaveFailed = U"セーブできませんでした";
inline constexpr std::u32string_view kBadSaveFile = U"セーブファイルが読めません";

}  // namespace qov::errors
