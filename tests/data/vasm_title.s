* The title screen in Motorola syntax, as vasm reads it: names from equ, a
* use before the label, a 4-colour logo and a binary palette included.
BLACK   equ     $8000
WHITE   EQU     $7FFF
        xdef    TitlePalettes
        lea     TitlePalettes,a0
TitlePalettes:
        dc.w    BLACK,WHITE,$0F00,$00F0,$000F,$0FF0,$0F0F,$00FF   ; sky
        dc.w    $0888,$0444,$0CCC,$0321,$0234,$0A5A,$05A5,$7000
        dc.w    BLACK,$0111,$0222,$0333,$0444,$0555,$0666,$0777   ; ground
        dc.w    $0888,$0999,$0AAA,$0BBB,$0CCC,$0DDD,$0EEE,$0FFF
LogoPal dc.w    WHITE,$0F00,$00F0,$000F
Checkers:
        incbin  "checkers.pal"
