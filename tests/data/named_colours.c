#include "named_colours.h"

typedef unsigned short u16;
extern const u16 clut[2][4];

#define GRASS 0x0490
#define DIRT  0x0742

void show(void)
{
    setpal(clut, 2);
}

const u16 clut[2][4] =
{
    // palette 0
    { BLACK, WHITE, SKY, 0x976 },
    /* palette 1 */
    { BLACK, GRASS, DIRT, 4095 },
};
