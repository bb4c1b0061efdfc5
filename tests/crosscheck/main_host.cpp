/* Host entry of the probe: the stand-in starts from its plain state (drive C:
 * is the host's root, the current directory the host's own). */
#include <standin.h>

#include "probe.h"

int main(void)
{
    standin::Reset();
    return RunProbe();
}
