#!/usr/bin/env bash
# Digitizes every log picture of a folder with dipdigitizer-batch, N at a time
# through GNU parallel (as many as there are cores unless -j says otherwise).
#
#   scripts/digitize-archive.sh DIR CALIBRATION OUTDIR [-j N] [--resume] [--wells FILE.csv] [-- BATCH OPTIONS...]
#
# CALIBRATION is a project (.ddp) every log takes, or "auto": each log is
# calibrated from its own depth lines, printed depths and dip track.
# --wells gives each picture its own well details (see dipdigitizer-batch
# --help). Writes the outputs of each log, OUTDIR/reports/NAME.json for each
# log, parallel's job log OUTDIR/jobs.log (each run's jobs added) and
# OUTDIR/summary.csv, one row for every picture of the folder, in name order.
#
# A picture is done when its report says so and its outputs are there. With
# --resume, pictures done are not run again and their outputs are not
# touched; every other picture is run, also one added since. No run replaces
# the report of a picture done with that of a failure. The exit status is
# the number of logs that failed, 0 when none did.
set -euo pipefail

# One job, as parallel runs it: the batch writes its report aside, which
# replaces the log's report unless it tells a failure and the log was done.
if [[ ${1:-} == --job ]]; then
  shift
  batch=$1 out=$2 calibration=$3 picture=$4
  shift 4
  name=$(basename "$picture")
  report="$out/reports/${name%.*}.json"
  status=0
  "$batch" --quiet --calibration "$calibration" --out "$out" --report "$report.part" "$@" "$picture" || status=$?
  if [[ -f $report.part ]]; then
    if ((status != 0)) && bash "$0" --done "$report"; then
      rm -f "$report.part"
    else
      mv -f "$report.part" "$report"
    fi
  fi
  exit "$status"
fi

# Whether the report tells a log done whose outputs are all there.
if [[ ${1:-} == --done ]]; then
  [[ -f $2 ]] || exit 1
  jq -e '.logs | length == 1 and .[0].status == "done"' "$2" > /dev/null 2>&1 || exit 1
  while IFS= read -r output; do
    [[ -f $output ]] || exit 1
  done < <(jq -r '.logs[0].outputs[]' "$2")
  exit 0
fi

usage() {
  echo "usage: $(basename "$0") DIR CALIBRATION OUTDIR [-j N] [--resume] [--wells FILE.csv] [-- BATCH OPTIONS...]" >&2
  exit 1
}
(($# >= 3)) || usage
folder=$1 calibration=$2 out=$3
shift 3
jobs=$(nproc)
resume=false
wells=()
while (($#)); do
  case $1 in
    -j) (($# >= 2)) || usage; jobs=$2; shift 2 ;;
    --resume) resume=true; shift ;;
    --wells) (($# >= 2)) || usage; wells=(--wells "$2"); shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[[ -d $folder && ( -f $calibration || $calibration == auto ) ]] || usage

# The program installed, or else the one built here.
batch=${DIPDIGITIZER_BATCH:-$(command -v dipdigitizer-batch || true)}
[[ -n $batch ]] || batch="$(cd "$(dirname "$0")/.." && pwd)/build/release/app/dipdigitizer-batch"
[[ -x $batch ]] || { echo "dipdigitizer-batch not found: install it or set DIPDIGITIZER_BATCH" >&2; exit 1; }
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")

mkdir -p "$out/reports"
pictures=()
while IFS= read -r -d '' picture; do
  pictures+=("$picture")
done < <(find "$folder" -maxdepth 1 -type f \( -iname '*.bmp' -o -iname '*.tif' -o -iname '*.tiff' \
  -o -iname '*.png' -o -iname '*.jpg' -o -iname '*.jpeg' \) -print0 | LC_ALL=C sort -z)

report_of() {
  local name
  name=$(basename "$1")
  echo "$out/reports/${name%.*}.json"
}

# Rows of the wells file for pictures the folder does not hold.
if ((${#wells[@]})); then
  [[ -f ${wells[1]} ]] || { echo "the wells file \"${wells[1]}\" cannot be read" >&2; exit 1; }
  names=$(for p in "${pictures[@]}"; do basename "$p"; done)
  tail -n +2 "${wells[1]}" | cut -d, -f1 | tr -d '"\r' | while IFS= read -r named; do
    [[ -z $named ]] || grep -qxF -- "$named" <<< "$names" ||
      echo "warning: the wells file names \"$named\", which is not in $folder" >&2
  done
fi

todo=()
for picture in "${pictures[@]}"; do
  if $resume && bash "$self" --done "$(report_of "$picture")"; then
    continue
  fi
  todo+=("$picture")
done

status=0
if ((${#todo[@]})); then
  printf '%s\0' "${todo[@]}" |
    parallel -0 -q -j "$jobs" --joblog +"$out/jobs.log" \
      bash "$self" --job "$batch" "$out" "$calibration" {} "${wells[@]}" "$@" ||
    status=$?
fi

# Seconds to the millisecond, never in exponent form; warnings joined.
{
  echo "picture,status,dips,filled,hollow,seconds,error,warnings,review"
  for picture in "${pictures[@]}"; do
    report=$(report_of "$picture")
    if [[ -f $report ]]; then
      jq -r '.logs[0] | [.picture, .status, .dips, .filled, .hollow,
          ((.seconds.total * 1000 | round) as $ms | "\($ms / 1000 | floor).\("00\($ms % 1000)" | .[-3:])"),
          (.error // ""), (.warnings | join("; ")), (.review // 0)] | @csv' "$report"
    else
      printf '"%s","not run",,,,,,,\n' "$picture"
    fi
  done
} > "$out/summary.csv.part"
mv "$out/summary.csv.part" "$out/summary.csv"
exit "$status"
