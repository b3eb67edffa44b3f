# bench/common.sh: what the benchmark scripts share; sourced by them, not run.

# usage: the comment at the head of the script, on standard error; exits 2.
usage() {
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0" >&2
  exit 2
}

# machine_header: the first lines of machine.txt: when, on what machine, and
# which versions of the general tools.
machine_header() {
  echo "# $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "# $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), Linux $(uname -r)"
  echo "# ffprobe: $(ffprobe -version | head -1)"
  echo "# mediainfo: $(mediainfo --version | tail -1)"
}

# build_runstat OUTDIR: builds bench/runstat (fork, exec, wait4) into OUTDIR
# and sets runstat to its path.
build_runstat() {
  runstat=$1/runstat
  cc -O2 -o "$runstat" "$(dirname "${BASH_SOURCE[0]}")/runstat.c"
}

# in_rounds ROUNDS WORK ITEM...: WORK 0 ITEM for every item once, to warm
# the cache; then ROUNDS rounds of WORK ROUND ITEM for every item, the order
# turned by one each round, so that no item always runs first or after the
# same neighbour.
in_rounds() {
  local rounds=$1 work=$2 r i
  shift 2
  local items=("$@")
  for ((i = 0; i < ${#items[@]}; i++)); do "$work" 0 "${items[i]}"; done
  for ((r = 1; r <= rounds; r++)); do
    for ((i = 0; i < ${#items[@]}; i++)); do "$work" "$r" "${items[(i + r) % ${#items[@]}]}"; done
    echo "round $r of $rounds done" >&2
  done
}

# time_runs OUTDIR ROUNDS FILE...: every tool of the caller's array tools
# on every file, in rounds (see in_rounds), each run measured by runstat
# and recorded in OUTDIR/runs.tsv, which raw names afterwards. The caller's
# command_for TOOL FILE sets cmd to a tool's command line.
time_runs() {
  local outdir=$1 rounds=$2
  shift 2
  build_runstat "$outdir"
  raw=$outdir/runs.tsv
  printf 'round\tfile\ttool\twall_ms\tmaxrss_kib\tminflt\tmajflt\tuser_ms\tsys_ms\tstatus\n' > "$raw"
  in_rounds "$rounds" run_file "$@"
}

# run_file ROUND FILE: every tool once on the file, their order turned by
# the round too; round 0 is the warm-up and is not recorded.
run_file() {
  local j t nt=${#tools[@]}
  for ((j = 0; j < nt; j++)); do
    t=${tools[(j + $1) % nt]}
    command_for "$t" "$2"
    if (($1 == 0)); then
      "$runstat" "${cmd[@]}" > /dev/null
      continue
    fi
    read -r wall rss minflt majflt user sys status < <("$runstat" "${cmd[@]}")
    printf '%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$(basename "$2")" "$t" \
      "$wall" "$rss" "$minflt" "$majflt" "$user" "$sys" "$status" >> "$raw"
  done
}
