#pragma once

// Symbols of libbrindlekit.so that the program and the tests may use. Everything
// else in the library is hidden.
#define BRINDLEKIT_API __attribute__((visibility("default")))
