// The body of both helper executables.
#pragma once

#include "ipc/shared_block.h"

// Runs the helper on the token of its command line ("<file name> <token>");
// returns the process exit code: 0 after a normal end, 1 when it refused to
// run (no block, another header, a wrong token, no window).
int RunHelperProcess(Helper helper);
