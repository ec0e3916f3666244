#pragma once
// Every user-facing message of the add-in: a modal box with the text, one
// OK button and no help context.
#include <string_view>

void ShowMessage(std::wstring_view text);
