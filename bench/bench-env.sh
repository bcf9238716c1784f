# Sourced by bench/run and bench/run-decode.sh: sets up, builds, and enters the
# Wine environment.
# bench_inputs is the folder of the generated inputs; winpath turns a host
# path into the path Wine sees.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
bench_inputs="$ZEP_BUILD_DIR/bench-media"
mkdir -p "$bench_inputs"
winpath() { echo "Z:${1//\//\\}"; }
