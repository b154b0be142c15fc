#!/usr/bin/env bash
# Runs dorvik2-run once and checks its outcome: exit 0, the screen in the desktop
# format asked for, an 800x600 PNG, a WAV of 44,100 Hz 16-bit stereo covering the
# advanced time, and WM_GAME_LOADED posted exactly once when threaded, never when
# synchronous.
# The data and portal folders are the synthetic ones when given (the registry then stays
# in the work folder), else empty ones.
#   check_run.sh <dorvik2-run> <Dorvik2.so> <work folder> synchronous|threaded [565|555|32] [data portal]
set -euo pipefail
run=$1 module=$2 work=$3 mode=$4 desktop=${5:-32}
data=${6:-$work/data} portal=${7:-$work/portal}

rm -rf "$work"
mkdir -p "$work/data" "$work/portal"
args=(--module "$module" --data "$data" --portal "$portal" --registry "$work/registry.dat"
      --out "$work/frame.png" --advance 1000 --wav "$work/sound.wav")
[[ $mode == threaded ]] && args+=(--threaded)
args+=(--desktop "$desktop")

if ! out=$("$run" "${args[@]}"); then
  printf '%s\n' "$out"
  echo "FAIL: dorvik2-run exited non-zero"
  exit 1
fi
printf '%s\n' "$out"

bits=32
[[ $desktop != 32 ]] && bits=16
grep -qx "screen: $bits bits per pixel" <<<"$out" || { echo "FAIL: the screen is not $bits bits per pixel"; exit 1; }

signature=$(od -An -tx1 -N8 "$work/frame.png" | tr -d ' \n')
[[ $signature == 89504e470d0a1a0a ]] || { echo "FAIL: not a PNG"; exit 1; }
# IHDR: width and height, big-endian, at bytes 16..23.
read -r width height < <(od -An -tu1 -j16 -N8 "$work/frame.png" |
  awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
[[ $width == 800 && $height == 600 ]] || { echo "FAIL: picture is ${width}x${height}"; exit 1; }

# RIFF/WAVE, PCM, 2 channels, 44,100 Hz, 16 bits; at least the advanced second of data.
header=$(od -An -c -N4 "$work/sound.wav" | tr -d ' \n')$(od -An -c -j8 -N4 "$work/sound.wav" | tr -d ' \n')
[[ $header == RIFFWAVE ]] || { echo "FAIL: not a WAV ($header)"; exit 1; }
read -r tag channels < <(od -An -tu2 -j20 -N4 "$work/sound.wav")
read -r rate < <(od -An -tu4 -j24 -N4 "$work/sound.wav")
read -r bits < <(od -An -tu2 -j34 -N2 "$work/sound.wav")
[[ $tag == 1 && $channels == 2 && $rate == 44100 && $bits == 16 ]] ||
  { echo "FAIL: WAV format $tag/$channels/$rate/$bits"; exit 1; }
data_bytes=$(( $(stat -c %s "$work/sound.wav") - 44 ))
(( data_bytes >= 176400 )) || { echo "FAIL: WAV holds $data_bytes bytes, less than the advanced second"; exit 1; }

loaded=$(grep -c 'posted WM_GAME_LOADED(1, 0)' <<<"$out" || true)
others=$(grep -c 'posted WM_GAME_LOADED' <<<"$out" || true)
expected=0
[[ $mode == threaded ]] && expected=1
[[ $loaded == "$expected" && $others == "$expected" ]] ||
  { echo "FAIL: WM_GAME_LOADED posted $others times ($loaded successful), expected $expected"; exit 1; }
echo "PASS"
