#pragma once
// The texts the system shows in its message boxes: titles, questions and
// warnings, in one place. They are the system's own words and are shown
// exactly as written here.
#include <string_view>

namespace korvagrid {

// Titles.
inline constexpr std::string_view kQuestionTitle = "Внимание!";  // Yes/No questions
inline constexpr std::string_view kWarningTitle = "Ай-ай-ай";    // warnings of runs and dialogs
inline constexpr std::string_view kFileWarningTitle =
    "Ай-ай-ай...";  // warnings of the file commands

// The questions a run asks about a point that does not fit its source system.
inline constexpr std::string_view kWrongSourceQuestionHead =
    "Ошибка в выборе исходной системы координат.";
inline constexpr std::string_view kWrongSourceQuestionTail = "Продолжить вычисления?";
inline constexpr std::string_view kXTooFewDigits = "или в формате их записи (У 'X' мало знаков)";
inline constexpr std::string_view kXTooLarge = "или в формате их записи ('X' великоват)";

// A degree, minute or seconds value out of its range in geographic input.
inline constexpr std::string_view kInvalidValueMessage = "Встречено недопустимое значение";
// Minutes or seconds above 59 typed as the own system's central meridian.
inline constexpr std::string_view kAbove59Message = "Значение больше 59";

// The file commands.
inline constexpr std::string_view kTooLargeMessage = " Слишком большой файл";
inline constexpr std::string_view kSaveChangesPrompt = "Сохранить изменения?";

}  // namespace korvagrid
