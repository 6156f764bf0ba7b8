#pragma once

// One instance of a program per machine (per session on Windows). One file per
// platform.

// Claims the lock of that name for this process until it ends. False when
// another process holds it already. A named mutex of the session on Windows, a
// locked file in the temporary folder elsewhere.
bool ClaimOnlyInstance(const char* name);
