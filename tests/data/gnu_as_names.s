| stage palettes, GNU as for m68k
	.equ	BACK, 0x8000
	.set	FRONT, 0x7fff
	.globl	stage_pal
	.data
stage_pal:
	.short	BACK, FRONT	| backdrop, text
	.hword	0x0f00
	/* the last one */
	.2byte	0x00f0
	.long	0x12345678
