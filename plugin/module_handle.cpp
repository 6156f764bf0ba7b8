#include "module_handle.h"

void* module_handle = nullptr;
