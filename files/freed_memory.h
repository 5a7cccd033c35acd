#pragma once

// Keeps the memory of large blocks the program frees for the blocks it
// allocates next, instead of handing it back to the system and faulting it
// in again page by page: a million points pass through several arrays of a
// few megabytes each, and on some machines those page faults cost as much
// as the work itself. All threads share one arena, so that the memory a
// run can have does not depend on when its threads first allocate. Call
// first in main.
void Keep_Freed_Memory();
