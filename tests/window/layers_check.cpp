// Built as a front-end is, on the form alone: a reach across layers stops the build.
#if !__has_include("run.h") || __has_include("worksheet.h") || __has_include("leading_number.h")
#error "a front-end reaches past the core's face"
#elif __has_include("sheet_file.h") || __has_include("system_file.h") || __has_include("patience.h")
#error "a front-end reaches into the file layer"
#endif
