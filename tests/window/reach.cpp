// Compiled as a front-end is, this fails to find HEADER: a window reaches the worksheet file only
// through the core, and sees none of the file layer's headers.
#include HEADER
