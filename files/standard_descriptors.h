#pragma once

// Keeps descriptors 0, 1 and 2 taken when the program was started with any
// of them closed: otherwise the next file opened would get the number and
// the program would be written into it. A closed standard output stays
// unwritable (writes fail with "Bad file descriptor"). Call first in main.
void Guard_Standard_Descriptors();
