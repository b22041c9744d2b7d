// SDL 1.2 key symbols that the simulation reacts to. Kept here as plain numbers
// so that the core does not depend on SDL; app/ checks them against SDL's own.
#ifndef ORRERY_CORE_SIM_KEYS_H
#define ORRERY_CORE_SIM_KEYS_H

enum SimKey {
    KeyKeypadMultiply = 268,
    KeyKeypadMinus = 269,
    KeyKeypadPlus = 270,
    KeyF2 = 283,
    KeyF3 = 284,
    KeyF4 = 285
};

#endif
