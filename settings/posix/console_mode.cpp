#include "console_mode.h"

// Terminals hold no writes for a selection.
void TurnOffQuickEdit() {}
