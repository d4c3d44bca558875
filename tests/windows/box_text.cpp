// SPDX-License-Identifier: MIT
// Prints, for each message box on the screen, its caption and its text as
// the window system holds them, one box a line: "caption<TAB>text". Run
// beside rsabox.exe under the same Wine server, it reads the boxes from
// outside the program that shows them.

#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

// The window class of dialogs, message boxes included.
constexpr const char* dialog_class = "#32770";

[[nodiscard]] std::string text_of(HWND window)
{
    std::array<char, 1024> text{};
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

[[nodiscard]] std::string class_of(HWND window)
{
    std::array<char, 256> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

// The box's text is its one static control with text; the icon's has none.
BOOL CALLBACK append_static_text(HWND child, LPARAM texts)
{
    if (class_of(child) == "Static") {
        auto& all = *reinterpret_cast<std::string*>(texts);
        all += text_of(child);
    }
    return TRUE;
}

BOOL CALLBACK print_box(HWND window, LPARAM /*unused*/)
{
    if (IsWindowVisible(window) != FALSE && class_of(window) == dialog_class) {
        std::string text;
        EnumChildWindows(window, append_static_text, reinterpret_cast<LPARAM>(&text));
        std::printf("%s\t%s\n", text_of(window).c_str(), text.c_str());
    }
    return TRUE;
}

} // namespace

int main()
{
    EnumWindows(print_box, 0);
    return 0;
}
