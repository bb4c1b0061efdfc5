/* Windows entry of the probe: the real system needs no preparation. */
#include "probe.h"

int main(void) { return RunProbe(); }
