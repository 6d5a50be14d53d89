#!/usr/bin/env bash
# Draws every picture of the MURLOX client into resources/ with ImageMagick.
# The generated files are committed next to this script, so building the client
# never needs ImageMagick; run this only after changing the artwork.
#
# The output is byte-for-byte reproducible: no timestamps or other metadata are
# written, rendering runs on one thread, and GIF palettes are built without
# dithering.
set -euo pipefail

ART_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT_DIR=$(dirname "$ART_DIR")
# Intermediate pictures are PAM files: unlike PNG or MIFF they carry no gamma
# value, which would otherwise come back slightly rounded and make the GIF
# writer add an ImageMagick extension block to every GIF.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

export MAGICK_THREAD_LIMIT=1
export LC_ALL=C

# One identity: the client's pink with white and a few greys.
PINK='#FF076C' # RGB(255,7,108), the colour of the client's links
PINK_DARK='#D4005A'
PINK_MID='#FF5A9C'
PINK_SOFT='#FF9CC4'
GREY_TEXT='#6E6E6E'
GREY_MARK='#8C8C8C'
GREY_LOGO='#A0A0A0'
GREY_LINE='#D2D2D2'
GREY_PALE='#EBEBEB'
# Tray bitmaps carry no alpha: this colour marks their transparent corners. It is
# also their bottom-left pixel, for loaders that take the key colour from there.
TRAY_KEY='#FF00FF'

FONT_BOLD=DejaVu-Sans-Bold
FONT_CONDENSED_BOLD=DejaVu-Sans-Condensed-Bold

# Everything written must stay free of dates, comments and colour profiles.
NO_METADATA=(-strip +set date:create +set date:modify +set comment)

# write_gif SOURCE DEST: opaque GIF without dithering noise.
write_gif() {
  convert "$1" "${NO_METADATA[@]}" -alpha off +dither "GIF:$2"
}

# one_bit_alpha SOURCE DEST: GIF transparency is all or nothing, so edge pixels
# that are at least half covered are blended onto white (the windows behind
# these pictures are white there) and the rest become fully transparent.
one_bit_alpha() {
  convert "$1" \
    \( -clone 0 -background white -alpha remove -alpha off \) \
    \( -clone 0 -alpha extract -threshold 50% \) \
    -delete 0 -compose CopyOpacity -composite "$2"
}

# write_transparent_gif SOURCE DEST: the transparent palette entry is white as
# well, for decoders that ignore GIF transparency.
write_transparent_gif() {
  one_bit_alpha "$1" "$WORK/matted.pam"
  convert "$WORK/matted.pam" "${NO_METADATA[@]}" -transparent-color white +dither "GIF:$2"
}

# write_bmp24 SOURCE DEST: Windows 3 bitmap (40-byte header), 24 bits per pixel.
write_bmp24() {
  convert "$1" "${NO_METADATA[@]}" -background white -alpha remove -alpha off \
    -type TrueColor -define bmp:format=bmp3 "BMP3:$2"
}

# ---------------------------------------------------------------------------
# Main window: background (the window's client area is 226 x 226; the image
# control is 228 x 232, so the picture fills the control and the design stays
# inside the visible square), logos, close mark, sign-in picture.

make_background() {
  convert -size 228x232 xc:white \
    -fill none -stroke "$GREY_LINE" -strokewidth 1 -draw 'rectangle 0,0 225,225' \
    -stroke none -fill "$PINK" -draw 'rectangle 0,0 225,2' \
    -fill "$GREY_PALE" -draw 'rectangle 16,52 209,52' \
    -fill "$GREY_PALE" -draw 'rectangle 16,199 209,199' \
    -font "$FONT_BOLD" -pointsize 9 -fill "$GREY_MARK" -gravity North \
    -annotate -1+206 'www.murlox.com' \
    "$WORK/background.pam"
  write_gif "$WORK/background.pam" "$OUT_DIR/main_background.gif"
}

# draw_logo BOX_COLOUR DEST: the word MURLOX in white on a rounded box.
draw_logo() {
  convert -size 76x36 xc:white \
    -fill "$1" -draw 'roundrectangle 0,0 75,35 7,7' \
    -font "$FONT_CONDENSED_BOLD" -pointsize 16 -fill white -gravity Center \
    -annotate +0+0 'MURLOX' \
    "$2"
}

make_logos() {
  draw_logo "$PINK" "$WORK/logo_active.pam"
  write_gif "$WORK/logo_active.pam" "$OUT_DIR/logo_active.gif"
  draw_logo "$GREY_LOGO" "$WORK/logo_inactive.pam"
  write_gif "$WORK/logo_inactive.pam" "$OUT_DIR/logo_inactive.gif"
}

make_close_mark() {
  convert -size 17x25 xc:white \
    -draw "stroke $GREY_MARK stroke-width 2 stroke-linecap round \
           line 4.5,8.5 12.5,16.5 line 12.5,8.5 4.5,16.5" \
    "$WORK/close_mark.pam"
  write_gif "$WORK/close_mark.pam" "$OUT_DIR/close_mark.gif"
}

# draw_sign_in DISC_COLOUR HALO_COLOUR DEST: a disc with a "door and arrow"
# sign and the words SIGN IN; the halo ring outside it marks the hover state.
draw_sign_in() {
  convert -size 119x119 xc:none \
    -fill none -stroke "$2" -strokewidth 3 -draw 'circle 59,59 59,2' \
    -stroke none -fill "$1" -draw 'circle 59,59 59,6' \
    -stroke none -fill white \
    -draw 'rectangle 64,27 79,30 rectangle 76,27 79,62 rectangle 64,59 79,62' \
    -draw 'rectangle 38,43 56,46 polygon 54,35.5 66,44.5 54,53.5' \
    -font "$FONT_BOLD" -pointsize 15 -fill white -gravity Center \
    -annotate +0+24 'SIGN IN' \
    "$3"
}

make_sign_in() {
  draw_sign_in "$PINK" none "$WORK/sign_in.pam"
  write_transparent_gif "$WORK/sign_in.pam" "$OUT_DIR/sign_in.gif"
  draw_sign_in "$PINK_DARK" "$PINK_SOFT" "$WORK/sign_in_hover.pam"
  write_transparent_gif "$WORK/sign_in_hover.pam" "$OUT_DIR/sign_in_hover.gif"
}

# The "Signing in..." spinner: eight dots on a ring, a pink head with a fading
# tail that moves one place per frame. Every frame covers the same pixels, so it
# plays the same whatever frame disposal a decoder honours.
make_signing_in_animation() {
  local shades=("$PINK" "$PINK_MID" "$PINK_SOFT" "$GREY_LINE" "$GREY_LINE" "$GREY_LINE" "$GREY_LINE" "$GREY_LINE")
  local frames=() frame dot
  for frame in 0 1 2 3 4 5 6 7; do
    local dots=()
    for dot in 0 1 2 3 4 5 6 7; do
      dots+=(-draw "fill ${shades[$(((frame - dot + 8) % 8))]} translate 30,30 rotate $((dot * 45)) \
                    circle 0,-20 0,-15")
    done
    convert -size 60x60 xc:none "${dots[@]}" "$WORK/spin_$frame.pam"
    one_bit_alpha "$WORK/spin_$frame.pam" "$WORK/spin_${frame}_matted.pam"
    frames+=(-delay 10 "$WORK/spin_${frame}_matted.pam")
  done
  convert -dispose Background -loop 0 "${frames[@]}" "${NO_METADATA[@]}" \
    -transparent-color white +dither \
    "GIF:$OUT_DIR/signing_in_animation.gif"
}

# ---------------------------------------------------------------------------
# Sign-in window (white): go picture, 44 x 44 as its image control.

# draw_go DISC_COLOUR HALO_COLOUR DEST
draw_go() {
  convert -size 44x44 xc:white \
    -fill none -stroke "$2" -strokewidth 2 -draw 'circle 22,22 22,1.5' \
    -stroke none -fill "$1" -draw 'circle 22,22 22,4' \
    -stroke white -strokewidth 4 -draw 'line 12,22 25,22' \
    -stroke none -fill white -draw 'polygon 22,13.5 32,22 22,30.5' \
    "$3"
}

make_go() {
  draw_go "$PINK" white "$WORK/go.pam"
  write_gif "$WORK/go.pam" "$OUT_DIR/go_button.gif"
  draw_go "$PINK_DARK" "$PINK_SOFT" "$WORK/go_hover.pam"
  write_gif "$WORK/go_hover.pam" "$OUT_DIR/go_button_hover.gif"
}

# ---------------------------------------------------------------------------
# Keep-this window (white): set picture, 65 x 50 as its image control.

# draw_set BOX_COLOUR HALO_COLOUR DEST
draw_set() {
  convert -size 65x50 xc:white \
    -fill none -stroke "$2" -strokewidth 2 -draw 'roundrectangle 3,9 61,40 9,9' \
    -stroke none -fill "$1" -draw 'roundrectangle 6,12 58,37 6,6' \
    -font "$FONT_BOLD" -pointsize 13 -fill white -gravity Center \
    -annotate +0+0 'SET' \
    "$3"
}

make_set() {
  draw_set "$PINK" white "$WORK/set.pam"
  write_gif "$WORK/set.pam" "$OUT_DIR/set_button.gif"
  draw_set "$PINK_DARK" "$PINK_SOFT" "$WORK/set_hover.pam"
  write_gif "$WORK/set_hover.pam" "$OUT_DIR/set_button_hover.gif"
}

# ---------------------------------------------------------------------------
# Notification background: the popup draws this 76 x 36 bitmap at its top left
# over white, keyed on its bottom-left pixel, which therefore stays white.

make_notification_logo() {
  convert -size 76x36 xc:white \
    -font "$FONT_CONDENSED_BOLD" -pointsize 16 -fill "$PINK" -gravity NorthWest \
    -annotate +6+3 'MURLOX' \
    -stroke none -fill "$PINK" -draw 'rectangle 7,22 40,23' \
    -font "$FONT_BOLD" -pointsize 9 -fill "$GREY_TEXT" -gravity NorthEast \
    -annotate +6+18 'news' \
    "$WORK/notification_logo.pam"
  write_bmp24 "$WORK/notification_logo.pam" "$OUT_DIR/notification_logo.bmp"
}

# ---------------------------------------------------------------------------
# The "STRIP" bitmap: 138 x 3, 24 bits, four colour blocks per row.

make_strip() {
  convert -size 138x3 xc:black \
    -fill 'rgb(255,255,51)' -draw 'rectangle 0,0 71,0' \
    -fill 'rgb(247,163,16)' -draw 'rectangle 72,0 93,0' \
    -fill 'rgb(51,153,204)' -draw 'rectangle 94,0 115,0' \
    -fill 'rgb(153,204,153)' -draw 'rectangle 116,0 137,0' \
    -fill 'rgb(251,218,48)' -draw 'rectangle 0,1 71,1' \
    -fill 'rgb(255,0,0)' -draw 'rectangle 72,1 93,1' \
    -fill 'rgb(51,102,204)' -draw 'rectangle 94,1 115,1' \
    -fill 'rgb(115,188,136)' -draw 'rectangle 116,1 137,1' \
    -fill 'rgb(255,204,51)' -draw 'rectangle 0,2 71,2' \
    -fill 'rgb(204,0,0)' -draw 'rectangle 72,2 93,2' \
    -fill 'rgb(43,41,144)' -draw 'rectangle 94,2 115,2' \
    -fill 'rgb(15,141,48)' -draw 'rectangle 116,2 137,2' \
    +antialias "$WORK/strip.pam"
  write_bmp24 "$WORK/strip.pam" "$OUT_DIR/strip.bmp"
}

# ---------------------------------------------------------------------------
# Tray images and the 16 px icon share one hand-set pixel pattern: a rounded
# square with a white M. Drawn pixel by pixel, it stays sharp at 16 px.

# tray_pattern_xpm FILL_COLOUR KEY_COLOUR: prints the 16 x 16 pattern as XPM.
tray_pattern_xpm() {
  cat <<XPM
/* XPM */
static char *tray[] = {
"16 16 3 1",
"k c $2",
"p c $1",
"w c #FFFFFF",
"kkppppppppppppkk",
"kppppppppppppppk",
"pppppppppppppppp",
"pppwwppppppwwppp",
"pppwwwppppwwwppp",
"pppwwwwppwwwwppp",
"pppwwpwwwwpwwppp",
"pppwwppwwppwwppp",
"pppwwppppppwwppp",
"pppwwppppppwwppp",
"pppwwppppppwwppp",
"pppwwppppppwwppp",
"pppwwppppppwwppp",
"pppppppppppppppp",
"kppppppppppppppk",
"kkppppppppppppkk"
};
XPM
}

make_tray_images() {
  tray_pattern_xpm "$PINK" "$TRAY_KEY" >"$WORK/tray_signed_in.xpm"
  write_bmp24 "$WORK/tray_signed_in.xpm" "$OUT_DIR/tray_signed_in.bmp"
  tray_pattern_xpm "$GREY_MARK" "$TRAY_KEY" >"$WORK/tray_signed_out.xpm"
  write_bmp24 "$WORK/tray_signed_out.xpm" "$OUT_DIR/tray_signed_out.bmp"
}

# draw_icon SIZE DEST [FILL_COLOUR]: the larger icon images, drawn with smooth edges.
draw_icon() {
  local size=$1
  local fill=${3:-$PINK}
  local scale
  scale=$(awk -v s="$size" 'BEGIN { print s / 32 }')
  # Coordinates are laid out for 32 px and scaled to the requested size.
  convert -size "${size}x${size}" xc:none \
    -draw "scale $scale,$scale fill $fill roundrectangle 0,0 31.5,31.5 6,6" \
    -draw "scale $scale,$scale fill white \
           polygon 6,26 6,6 10,6 16,14 22,6 26,6 26,26 22,26 22,12.7 16,20.7 10,12.7 10,26" \
    "$2"
}

# The tray icons at the small-icon size of each screen scale (100, 125, 150 and 200 %): the
# hand-set 16 px pattern, and the larger ones drawn.
make_tray_icons() {
  local state fill
  for state in signed_in signed_out; do
    fill=$PINK
    [ "$state" = signed_out ] && fill=$GREY_MARK
    tray_pattern_xpm "$fill" None >"$WORK/tray_${state}_16.xpm"
    convert "$WORK/tray_${state}_16.xpm" "$WORK/tray_${state}_16.pam"
    draw_icon 20 "$WORK/tray_${state}_20.pam" "$fill"
    draw_icon 24 "$WORK/tray_${state}_24.pam" "$fill"
    draw_icon 32 "$WORK/tray_${state}_32.pam" "$fill"
    convert "$WORK/tray_${state}_16.pam" "$WORK/tray_${state}_20.pam" \
      "$WORK/tray_${state}_24.pam" "$WORK/tray_${state}_32.pam" \
      "${NO_METADATA[@]}" "ICO:$OUT_DIR/tray_${state}.ico"
  done
}

make_app_icon() {
  tray_pattern_xpm "$PINK" None >"$WORK/icon_16.xpm"
  convert "$WORK/icon_16.xpm" "$WORK/icon_16.pam"
  draw_icon 32 "$WORK/icon_32.pam"
  draw_icon 48 "$WORK/icon_48.pam"
  convert "$WORK/icon_16.pam" "$WORK/icon_32.pam" "$WORK/icon_48.pam" \
    "${NO_METADATA[@]}" "ICO:$OUT_DIR/murlox.ico"
}

make_background
make_logos
make_close_mark
make_sign_in
make_signing_in_animation
make_go
make_set
make_notification_logo
make_strip
make_tray_images
make_tray_icons
make_app_icon
