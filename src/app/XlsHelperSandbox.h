#pragma once

// Shuts the .xls helper in before it parses anything, so that an exploit of the parser
// library gains no more than the helper needs: reading the one workbook and writing its
// cells to standard output. Once in, the process has no capabilities, cannot gain any
// (no_new_privs), sits in a user and network namespace of its own where the kernel allows
// it, and a seccomp filter refuses every other file, every socket and every exec.
//
// path names the workbook, a regular file. Returns the path through which it is to be
// opened from now on, the only one the filter lets open: a string in a page of its own
// that nothing can write or remap any more. It names the descriptor opened here when
// /proc offers one, so every later open reads the very file checked here, whatever then
// happens to the name. On failure returns null and sets failure to the reason; then the
// file must not be parsed.
const char *EnterXlsHelperSandbox(const char *path, const char *&failure);
