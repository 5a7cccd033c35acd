#include "files/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void Guard_Standard_Descriptors()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Read-only, so that writing to it fails as writing to the closed
        // descriptor would have.
        const int taken = open("/dev/null", O_RDONLY);
        if (taken >= 0 && taken != descriptor) {
            dup2(taken, descriptor);
            close(taken);
        }
    }
}
