#!/usr/bin/env bash
# The yardstick of the pack benchmark: the density images of a template
# project made by ImageMagick's convert, one process per image on all cores,
# as a designer would script them by hand.
#
#   bench/imagemagick-resizes.sh prepare DIR [SKINWRIGHT]  # project + job list in DIR
#   bench/imagemagick-resizes.sh run DIR                   # the resizes alone
#
# Compare with the whole pack of the same project:
#   SKINWRIGHT pack DIR/projects/demo/demo.wtpj --name demo --out DIR/out --home DIR/home
set -euo pipefail

convert=/usr/bin/convert
mode=${1:?prepare or run}
dir=${2:?folder}

if [ "$mode" = prepare ]; then
  skinwright=${3:-build-rel/skinwright}
  if [ ! -x "$convert" ]; then
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO apt-get install -y -q --no-install-recommends imagemagick
  fi
  rm -rf "$dir"
  mkdir -p "$dir/out" "$dir/im"
  "$skinwright" create --name demo --dir "$dir/projects" --home "$dir/home" >/dev/null
  p="$dir/projects/demo/demo"
  jobs="$dir/jobs.txt"
  : >"$jobs"
  add() { printf '%s\n%s\n%s\n' "$1" "$2" "$3" >>"$jobs"; }
  call="$p/screencall/content/res/drawable-xxhdpi"
  for size in 1440x2560 1080x1920 720x1280 540x960; do
    add "$call/custom_wallpaper.png" "$size" "$dir/im/custom_wallpaper_$size.png"
  done
  for button in incoming_answer incoming_answer_pressed incoming_hangup incoming_hangup_pressed \
                incoming_reminder incoming_sms; do
    size=$(identify -format '%w %h' "$call/$button.png")
    w=${size% *}
    h=${size#* }
    for factor in 1.3 1 0.66 0.5; do
      size=$(awk -v w="$w" -v h="$h" -v f="$factor" 'BEGIN { printf "%dx%d", int(w * f), int(h * f) }')
      add "$call/$button.png" "$size" "$dir/im/${button}_$factor.png"
    done
  done
  launcher="$p/launcher/content/res/drawable-xxhdpi"
  add "$launcher/wallpaper_grass.png" 540x960 "$dir/im/wallpaper_grass_1.png"
  add "$launcher/wallpaper_grass.png" 720x1280 "$dir/im/wallpaper_grass_2.png"
  lock="$p/lockscreen/content/res/drawable-xxhdpi"
  k=1
  for size in 540x960 720x1280 1080x1920 1440x2560; do
    add "$lock/lockscreen_wallpaper.png" "$size" "$dir/im/lockscreen_wallpaper_$k.png"
    k=$((k + 1))
  done
  echo "$(($(wc -l <"$jobs") / 3)) resizes in $jobs"
  exit 0
fi

# One convert a resize, as many at once as there are cores; "!" asks for
# exactly that size, as the pack does.
xargs -d '\n' -n 3 -P "$(nproc)" sh -c "exec $convert \"\$0\" -resize \"\$1!\" \"\$2\"" <"$dir/jobs.txt"
