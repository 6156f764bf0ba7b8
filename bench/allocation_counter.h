#pragma once

// Counts every allocation the program makes through operator new, so that a
// benchmark can report what its loop allocated. Linking this file replaces the
// global operator new and delete.
long AllocationCount();
