#pragma once

// The plug-in's own module handle, recorded by the library entry on process
// attach; null until then and on platforms without one. The monitor window
// uses it as the instance of its window class.
extern void* module_handle;
