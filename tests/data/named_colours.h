#ifndef NAMED_COLOURS_H
#define NAMED_COLOURS_H
#define BLACK    0x8000
#define WHITE    0x7FFF
#define SKY      0x0369 /* a blue */
#define PORT     ((volatile u16*)0x401FFE)
#endif
