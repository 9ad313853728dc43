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
# log (and NAME.exit, how its job ended in the last run that ran it),
# parallel's job log OUTDIR/jobs.log (each run's jobs added) and
# OUTDIR/summary.csv, one row for every picture of the folder, in name order.
#
# A picture is done when its report says so and its outputs are there. With
# --resume, pictures done are not run again and their outputs are not
# touched; every other picture is run, also one added since. No run replaces
# the report of a picture done with that of a failure. Pictures whose names
# differ only in their extension would share their outputs and report: they
# are refused before anything runs. The exit status is the number of logs
# that failed (101 for more than 100), 0 when none did; 255 when nothing ran
# (bad arguments, an unreadable wells file, names that collide) or the run
# was stopped.
set -euo pipefail

# The report of a picture: named after it, without its extension.
report_of() {
  local name
  name=$(basename -- "$1")
  printf '%s/reports/%s.json' "$2" "${name%.*}"
}

# One job, as parallel runs it: the batch writes its report aside, which
# replaces the log's report unless it tells a failure and the log was done.
# NAME.exit keeps the job's exit status and what became of the report:
# "written", "kept" (the log's earlier done report) or "none".
if [[ ${1:-} == --job ]]; then
  shift
  batch=$1 out=$2 calibration=$3 picture=$4
  shift 4
  report=$(report_of "$picture" "$out")
  status=0
  # Stopped (parallel passes its SIGTERM on), the job still records how
  # the batch, which stops cleanly, ended.
  trap : TERM INT
  "$batch" --quiet --calibration "$calibration" --out "$out" --report "$report.part" "$@" "$picture" || status=$?
  became=none
  if [[ -f $report.part ]]; then
    if ((status != 0)) && bash "$0" --done "$report"; then
      rm -f "$report.part"
      became=kept
    else
      mv -f "$report.part" "$report"
      became=written
    fi
  fi
  echo "$status $became" > "${report%.json}.exit"
  exit "$status"
fi

# Whether the report tells a log done whose outputs are all there.
if [[ ${1:-} == --done ]]; then
  [[ -f $2 ]] || exit 1
  jq -e '.logs | length == 1 and .[0].status == "done"' "$2" > /dev/null 2>&1 || exit 1
  while IFS= read -r -d '' output; do
    [[ -f $output ]] || exit 1
  done < <(jq -j '.logs[0].outputs[] | . + "\u0000"' "$2")
  exit 0
fi

usage() {
  echo "usage: $(basename "$0") DIR CALIBRATION OUTDIR [-j N] [--resume] [--wells FILE.csv] [-- BATCH OPTIONS...]" >&2
  exit 255
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
[[ -x $batch ]] || { echo "dipdigitizer-batch not found: install it or set DIPDIGITIZER_BATCH" >&2; exit 255; }
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")

# Every path whole, so that reports name the same files whichever folder a
# later run (a --resume) starts from.
folder=$(realpath -- "$folder")
out=$(realpath -m -- "$out")
[[ $calibration == auto ]] || calibration=$(realpath -- "$calibration")
if ((${#wells[@]})); then
  [[ -f ${wells[1]} ]] || { echo "the wells file \"${wells[1]}\" cannot be read" >&2; exit 255; }
  wells[1]=$(realpath -- "${wells[1]}")
fi

pictures=()
while IFS= read -r -d '' picture; do
  pictures+=("$picture")
done < <(find "$folder" -maxdepth 1 -type f \( -iname '*.bmp' -o -iname '*.tif' -o -iname '*.tiff' \
  -o -iname '*.png' -o -iname '*.jpg' -o -iname '*.jpeg' \) -print0 | LC_ALL=C sort -z)

# Pictures that would share a report and outputs.
declare -A named=()
collisions=0
for picture in "${pictures[@]}"; do
  report=$(report_of "$picture" "$out")
  if [[ -n ${named[$report]+set} ]]; then
    echo "\"${named[$report]}\" and \"$picture\" would both write $(basename -- "${report%.json}").* and its report: rename one of them" >&2
    collisions=$((collisions + 1))
  else
    named[$report]=$picture
  fi
done
((collisions == 0)) || exit 255

# Rows of the wells file for pictures the folder does not hold, read by the
# batch's own reader.
if ((${#wells[@]})); then
  declare -A present=()
  for picture in "${pictures[@]}"; do
    present[$(basename -- "$picture")]=1
  done
  listed=$(mktemp)
  trap 'rm -f "$listed"' EXIT
  "$batch" --wells "${wells[1]}" --wells-pictures > "$listed" || exit 255
  while IFS= read -r -d '' row; do
    [[ -n ${present[$row]+set} ]] || echo "warning: the wells file names \"$row\", which is not in $folder" >&2
  done < "$listed"
fi

mkdir -p "$out/reports"
declare -A running=()
todo=()
for picture in "${pictures[@]}"; do
  report=$(report_of "$picture" "$out")
  if $resume && bash "$self" --done "$report"; then
    continue
  fi
  rm -f "${report%.json}.exit"
  running[$picture]=1
  todo+=("$picture")
done

status=0
if ((${#todo[@]})); then
  printf '%s\0' "${todo[@]}" |
    parallel -0 -q -j "$jobs" --joblog +"$out/jobs.log" \
      bash "$self" --job "$batch" "$out" "$calibration" {} "${wells[@]}" "$@" ||
    status=$?
fi

# The summary says what this run found. A row from the log's report, with
# the given status and exit code; seconds to the millisecond, never in
# exponent form; warnings joined.
from_report() {
  jq -r --arg status "$2" --argjson code "$3" '.logs[0] | [.picture, $status, .dips, .filled, .hollow,
      ((.seconds.total * 1000 | round) as $ms | "\($ms / 1000 | floor).\("00\($ms % 1000)" | .[-3:])"),
      (.error // ""), (.warnings | join("; ")), (.review // 0), $code] | @csv' "$1"
}
# A row without a report: the picture, its status, an error and the code.
bare() {
  jq -rn --arg picture "$1" --arg status "$2" --arg error "$3" --arg code "$4" \
    '[$picture, $status, null, null, null, null, $error, null, null, ($code | tonumber? // null)] | @csv'
}
{
  echo "picture,status,dips,filled,hollow,seconds,error,warnings,review,exit_code"
  for picture in "${pictures[@]}"; do
    report=$(report_of "$picture" "$out")
    done=false
    bash "$self" --done "$report" && done=true
    if [[ -z ${running[$picture]+set} ]]; then
      from_report "$report" done 0
    elif [[ ! -f ${report%.json}.exit ]]; then
      if $done; then from_report "$report" done 0; else bare "$picture" "not run" "" ""; fi
    else
      read -r code became < "${report%.json}.exit"
      if $done && { ((code == 0)) || [[ $became == kept && $code == 3 ]]; }; then
        from_report "$report" done 0
      elif [[ $became == written ]]; then
        from_report "$report" failed "$code"
      elif [[ $became == kept ]]; then
        bare "$picture" failed "The job ended with exit code $code; the log's earlier outputs and report are kept." "$code"
      else
        bare "$picture" failed "The job ended with exit code $code and wrote no report." "$code"
      fi
    fi
  done
} > "$out/summary.csv.part"
mv "$out/summary.csv.part" "$out/summary.csv"
exit "$status"
