#!/usr/bin/env bash
# Digitizes every log picture of a folder with dipdigitizer-batch, N at a time
# through GNU parallel (as many as there are cores unless -j says otherwise).
#
#   scripts/digitize-archive.sh DIR CALIBRATION OUTDIR [-j N] [--resume] [-- BATCH OPTIONS...]
#
# CALIBRATION is a project (.ddp) every log takes, or "auto": each log is
# calibrated from its own depth lines, printed depths and dip track.
# Writes the outputs of each log, OUTDIR/reports/NAME.json for each log,
# parallel's job log OUTDIR/jobs.log and OUTDIR/summary.csv. With --resume,
# logs already done are not run again and their outputs are not touched;
# logs that failed are run again. The exit status is parallel's: the number
# of logs that failed, 0 when none did.
set -euo pipefail

usage() {
  echo "usage: $(basename "$0") DIR CALIBRATION OUTDIR [-j N] [--resume] [-- BATCH OPTIONS...]" >&2
  exit 1
}
(($# >= 3)) || usage
folder=$1 calibration=$2 out=$3
shift 3
jobs=$(nproc)
resume=()
while (($#)); do
  case $1 in
    -j) (($# >= 2)) || usage; jobs=$2; shift 2 ;;
    --resume) resume=(--resume-failed); shift ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[[ -d $folder && ( -f $calibration || $calibration == auto ) ]] || usage

# The program installed, or else the one built here.
batch=${DIPDIGITIZER_BATCH:-$(command -v dipdigitizer-batch || true)}
[[ -n $batch ]] || batch="$(cd "$(dirname "$0")/.." && pwd)/build/release/app/dipdigitizer-batch"
[[ -x $batch ]] || { echo "dipdigitizer-batch not found: install it or set DIPDIGITIZER_BATCH" >&2; exit 1; }

mkdir -p "$out/reports"
status=0
# Sorted, so that the job numbers --resume goes by stay those of the first run.
find "$folder" -maxdepth 1 -type f \( -iname '*.bmp' -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.png' \
  -o -iname '*.jpg' -o -iname '*.jpeg' \) -print0 | LC_ALL=C sort -z |
  parallel -0 -q -j "$jobs" --joblog "$out/jobs.log" "${resume[@]}" \
    "$batch" --quiet --calibration "$calibration" --out "$out" --report "$out/reports/{/.}.json" "$@" {} ||
  status=$?

{
  echo "picture,status,dips,filled,hollow,seconds,error"
  shopt -s nullglob
  for report in "$out"/reports/*.json; do
    jq -r '.logs[] | [.picture, .status, .dips, .filled, .hollow, .seconds.total, (.error // "")] | @csv' "$report"
  done | LC_ALL=C sort
} > "$out/summary.csv.part"
mv "$out/summary.csv.part" "$out/summary.csv"
exit "$status"
