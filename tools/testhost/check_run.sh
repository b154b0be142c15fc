#!/usr/bin/env bash
# Runs dorvik2-run once and checks its outcome.
# A window life (synchronous or threaded): exit 0, the screen in the desktop format
# asked for, an 800x600 PNG, a WAV of 44,100 Hz 16-bit stereo covering the advanced time,
# and WM_GAME_LOADED posted exactly once when threaded, never when synchronous.
# A scripted game: exit 0, a frame per checkpoint and per 500 ms of the script's virtual
# time, a contact sheet of them all, a WAV of 44,100 frames per second of that time (to
# within one frame), and a transcript ending in the pass with every command sent.
# The data and portal folders are the synthetic ones when given (the registry then stays
# in the work folder), else empty ones.
#   check_run.sh <dorvik2-run> <Dorvik2.so> <work folder> synchronous|threaded [565|555|32] [data portal]
#   check_run.sh <dorvik2-run> <Dorvik2.so> <work folder> scripted 565|555|32 data portal <script>
set -euo pipefail
run=$1 module=$2 work=$3 mode=$4 desktop=${5:-32}
data=${6:-$work/data} portal=${7:-$work/portal} script=${8:-}

fail() { echo "FAIL: $*"; exit 1; }

# An 800x600 PNG, or another size when given.
check_png() {
  local file=$1 want_width=${2:-800} want_height=${3:-600} signature width height
  [[ -f $file ]] || fail "no picture $file"
  signature=$(od -An -tx1 -N8 "$file" | tr -d ' \n')
  [[ $signature == 89504e470d0a1a0a ]] || fail "$file is not a PNG"
  # IHDR: width and height, big-endian, at bytes 16..23.
  read -r width height < <(od -An -tu1 -j16 -N8 "$file" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [[ $width == "$want_width" && $height == "$want_height" ]] ||
    fail "$file is ${width}x${height}, not ${want_width}x${want_height}"
}

# RIFF/WAVE, PCM, 2 channels, 44,100 Hz, 16 bits; prints its frame count.
wav_frames() {
  local file=$1 header tag channels rate bits
  header=$(od -An -c -N4 "$file" | tr -d ' \n')$(od -An -c -j8 -N4 "$file" | tr -d ' \n')
  [[ $header == RIFFWAVE ]] || fail "not a WAV ($header)"
  read -r tag channels < <(od -An -tu2 -j20 -N4 "$file")
  read -r rate < <(od -An -tu4 -j24 -N4 "$file")
  read -r bits < <(od -An -tu2 -j34 -N2 "$file")
  [[ $tag == 1 && $channels == 2 && $rate == 44100 && $bits == 16 ]] || fail "WAV format $tag/$channels/$rate/$bits"
  echo $(( ($(stat -c %s "$file") - 44) / 4 ))
}

rm -rf "$work"
mkdir -p "$work/data" "$work/portal"

if [[ $mode == scripted ]]; then
  out_dir=$work/out
  if ! out=$("$run" --module "$module" --data "$data" --portal "$portal" --desktop "$desktop" \
               --script "$script" --out-dir "$out_dir"); then
    printf '%s\n' "$out"
    fail "dorvik2-run exited non-zero"
  fi
  printf '%s\n' "$out"
  for printed in "frames: $out_dir/frames" "contact sheet: $out_dir/contact.png" "sound: $out_dir/sound.wav" \
                 "transcript: $out_dir/transcript.txt"; do
    grep -q "^$printed" <<<"$out" || fail "the path line \"$printed\" is missing"
  done
  # The script's own clock: @ms absolute, +ms after the line before; `end` is last.
  end_ms=$(awk '/^[@+][0-9]+/ { n = substr($1, 2) + 0; t = ($1 ~ /^@/) ? n : t + n } END { print t }' "$script")
  frames=0
  while read -r name; do
    matches=("$out_dir"/frames/[0-9][0-9][0-9]-"$name".png)
    [[ ${#matches[@]} == 1 && -f ${matches[0]} ]] || fail "no single frame for checkpoint $name"
    check_png "${matches[0]}"
    frames=$((frames + 1))
  done < <(awk '/^[@+][0-9]+ +checkpoint / { print $3 }' "$script")
  for ((ms = 500; ms <= end_ms; ms += 500)); do
    matches=("$out_dir"/frames/[0-9][0-9][0-9]-"${ms}ms".png)
    [[ -f ${matches[0]} ]] || fail "no frame at $ms ms"
    frames=$((frames + 1))
  done
  written=$(find "$out_dir/frames" -name '*.png' | wc -l)
  (( written == frames )) || fail "$written frames written, expected $frames"
  # Quarter-size thumbnails (200x150), eight to a row, 2 pixels apart and around.
  columns=$(( frames < 8 ? frames : 8 )) rows=$(( (frames + 7) / 8 ))
  check_png "$out_dir/contact.png" $((2 + columns * 202)) $((2 + rows * 152))
  got=$(wav_frames "$out_dir/sound.wav")
  want=$(( end_ms * 441 / 10 ))
  (( got >= want - 1 && got <= want + 1 )) || fail "WAV holds $got frames, expected $want for $end_ms ms"
  transcript=$out_dir/transcript.txt
  [[ $(tail -n1 "$transcript") == "script passed" ]] || fail "the transcript does not end in the pass"
  sends=$(grep -c ' host Send(' "$transcript" || true)
  expected=$(grep -cE '^[@+][0-9]+ +expect cmd ' "$script" || true)
  (( sends == expected )) || fail "the transcript holds $sends commands, the script expects $expected"
  echo "PASS"
  exit 0
fi

args=(--module "$module" --data "$data" --portal "$portal" --registry "$work/registry.dat"
      --out "$work/frame.png" --advance 1000 --wav "$work/sound.wav")
[[ $mode == threaded ]] && args+=(--threaded)
args+=(--desktop "$desktop")

if ! out=$("$run" "${args[@]}"); then
  printf '%s\n' "$out"
  fail "dorvik2-run exited non-zero"
fi
printf '%s\n' "$out"

bits=32
[[ $desktop != 32 ]] && bits=16
grep -qx "screen: $bits bits per pixel" <<<"$out" || fail "the screen is not $bits bits per pixel"

check_png "$work/frame.png"
# At least the advanced second of sound.
got=$(wav_frames "$work/sound.wav")
(( got >= 44100 )) || fail "WAV holds $got frames, less than the advanced second"

loaded=$(grep -c 'posted WM_GAME_LOADED(1, 0)' <<<"$out" || true)
others=$(grep -c 'posted WM_GAME_LOADED' <<<"$out" || true)
expected=0
[[ $mode == threaded ]] && expected=1
[[ $loaded == "$expected" && $others == "$expected" ]] ||
  fail "WM_GAME_LOADED posted $others times ($loaded successful), expected $expected"
echo "PASS"
