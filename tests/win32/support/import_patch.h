// Counting what the library hands to a platform call: the call's entry in this program's import
// table is pointed at a function of the test's, which counts and then calls the real one.
#ifndef KORVA_TESTS_SUPPORT_IMPORT_PATCH_H
#define KORVA_TESTS_SUPPORT_IMPORT_PATCH_H

// Points this program's import of `function` from `dll` at `replacement`; returns the function it
// pointed at before (to be called on, and put back), or null when the program does not import it.
void* patch_import(const char* dll, const char* function, void* replacement);

#endif
