// Built as a front-end is, on the form alone: it reaches the core's face, and no header of the
// file layer nor any other of the core's, so a reach across layers stops the build.
// clang-format off
#if !__has_include("run.h") || __has_include("worksheet.h") || __has_include("leading_number.h") || \
    __has_include("sheet_file.h") || __has_include("system_file.h") || __has_include("patience.h")
#error "a front-end reaches across the layers"
#endif
// clang-format on
