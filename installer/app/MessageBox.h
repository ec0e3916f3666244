#pragma once
// The installer's one way of telling the user something: a modal box with an
// OK button and the exclamation icon, captioned with the application title.
#include <windows.h>

#include <string>

namespace installer {

// The program file's name without folder and extension ("Dravik_Installer").
std::string ApplicationTitle();

void ShowMessage(HWND owner, const std::string& text);

}  // namespace installer
