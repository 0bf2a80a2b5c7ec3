// window_text [CLASS]: the text of every control of Tallymere's window (Form1), or of its message
// box (#32770), one to a line in UTF-8, as another program reads it from Windows (no screen grab
// reads a label's whole text).
#include <cstdio>
#include <windows.h>

namespace {

BOOL CALLBACK printText(HWND control, LPARAM)
{
    wchar_t text[1024];
    char utf8[4096];
    const int length = GetWindowTextW(control, text, 1024);
    std::printf("%.*s\n",
                WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, 4096, nullptr, nullptr), utf8);
    return TRUE;
}

} // namespace

int main(int argc, char* argv[])
{
    const HWND form = FindWindowA(argc > 1 ? argv[1] : "Form1", "Tallymere");
    return form != nullptr ? (EnumChildWindows(form, printText, 0), 0) : 1;
}
