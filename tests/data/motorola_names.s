* Title screen colours, Motorola syntax
BLACK   equ     $8000
WHITE   EQU     $7FFF
RED     = $0F00
GREY    set     $0888

        xdef    LogoPal
        xdef    TitlePal
        xdef    Checkers

        section code
ShowTitle:
        lea     TitlePal,a0
        lea     LogoPal,a1
        rts

        section data
        even
TitlePal:
        dc.w    BLACK,WHITE,RED,$00F0   ; first four
* the rest, written out
        DC.W    $000F,$0FF0,$0F0F,$00FF
        dc.w    $0444,$0CCC,$4321,$1234,$5A5A,$A5A5,$7000,$0001
        dc.l    $12345678               ; not a colour
LogoPal dc.w    WHITE,RED,$00F0,$000F
Checkers:
        incbin  "checkers.pal"
        even
