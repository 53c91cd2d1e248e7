; ---------------------------------------------------------------------------
; title.pal - palettes of the title screen
; Palette RAM starts at $400000, 16 words per palette set.
; Colour 0 of every set must be $8000 black (reference black).
; ---------------------------------------------------------------------------

        xdef    TitlePalettes

        section data
        even
TitlePalettes:
; Palette Set $00 : sky
        dc.w    $8000,$7FFF,$0F00,$00F0,$000F,$0FF0,$0F0F,$00FF
        dc.w    $0888,$0444,$0CCC,$4321,$1234,$5A5A,$A5A5,$7000
; Palette Set $01 : ground (was $0F00 based, darkened)
        dc.w    $8000,$0111,$0222,$0333,$0444,$0555,$0666,$0777
        dc.w    $0888,$0999,$0AAA,$0BBB,$0CCC,$0DDD,$0EEE,$0FFF
* Palette Set $02 : logo, the last four words still free
        dc.w    $8000,$7F00,$70F0,$700F  ; red, green, blue
        dc.w    $1000,$2000,$3000,$4000,$5000,$6000,$7000,$0001
TitleEnd:
