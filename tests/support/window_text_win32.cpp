// window_text: the text of every control of Tallymere's window, one to a line in UTF-8, as another
// program reads it from Windows (no screen grab reads a label's whole text).
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

int main()
{
    const HWND form = FindWindowW(L"Form1", L"Tallymere");
    return form != nullptr ? (EnumChildWindows(form, printText, 0), 0) : 1;
}
