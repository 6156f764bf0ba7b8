#include "console.h"

// Terminals hold no writes for a selection.
void TurnOffQuickEdit() {}

// A terminal outlives the program; there is nothing to hold.
void HoldConsoleAfterError() {}
