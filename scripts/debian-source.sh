# Sourced by the scripts that cross-build a library from Debian's source
# package: package checks and installs, enable_sources PACKAGE (which makes
# `apt-get source PACKAGE` work), and the build into the cache with its
# recipe stamp (the caller defines recipe ARCH).
apt_get=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Installs those of the packages that are not installed yet.
install_packages() {
  local missing=() p
  for p in "$@"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  "${apt_get[@]}" update
  "${apt_get[@]}" install --no-install-recommends "${missing[@]}" >/dev/null
}

# Source entries mirror the machine's own binary entries for its release, so
# no archive is named here. With a suite, the entries of the release itself
# (not its -updates or -security) name that suite instead: the next
# release's sources, from the same archive.
deb822_sources() {
  local codename=$1 suite=${2:-} file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src*.sources) continue ;; esac
    awk -v codename="$codename" -v suite="$suite" 'BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Enabled:[ \t]*no/ {
        if (!match($0, /(^|\n)Suites:[^\n]*/)) next
        n = split(substr($0, RSTART, RLENGTH), words, /[ \t\n]+/)
        found = 0
        for (i = 1; i <= n; i++) found = found || words[i] == codename || (suite == "" && index(words[i], codename "-") == 1)
        if (!found) next
        sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src")
        if (suite != "") sub(/\nSuites:[^\n]*/, "\nSuites: " suite)
        sub(/^\n/, ""); print
      }' "$file"
  done
}

one_line_sources() {
  local codename=$1 suite=${2:-} file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src*.list) continue ;; esac
    awk -v codename="$codename" -v suite="$suite" '$1 == "deb" {
        for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /^[a-z]+:/) break
        if (suite == "" ? $i !~ ("^" codename "($|-)") : $i != codename) next
        $1 = "deb-src"; if (suite != "") $i = suite; print
      }' "$file"
  done
}

# enable_sources PACKAGE [SUITE]: makes `apt-get source PACKAGE` (or
# PACKAGE/SUITE) work.
enable_sources() {
  local name=zep-deb-src${2:+-$2}
  if [ -n "${2:-}" ]; then
    [ -f "/etc/apt/sources.list.d/$name.sources" ] || [ -f "/etc/apt/sources.list.d/$name.list" ] &&
      return 0
  elif apt-cache showsrc "$1" 2>/dev/null | grep -q "^Package: $1\$"; then
    return 0
  fi
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local entries
  entries=$(deb822_sources "$codename" "${2:-}")
  [ -z "$entries" ] || echo "$entries" >"/etc/apt/sources.list.d/$name.sources"
  entries=$(one_line_sources "$codename" "${2:-}")
  [ -z "$entries" ] || echo "$entries" >"/etc/apt/sources.list.d/$name.list"
  "${apt_get[@]}" update
}

# The architectures to build for (i686 always, $ZEP_ARCH too) whose cache
# /var/cache/zep/PACKAGE-ARCH does not hold the caller's recipe ARCH.
missing_arches() {
  local arch
  for arch in i686 $([ "$ZEP_ARCH" = i686 ] || echo "$ZEP_ARCH"); do
    [ "$(cat "/var/cache/zep/$1-$arch/.zep-recipe" 2>/dev/null)" = "$(recipe "$arch")" ] ||
      echo "$arch"
  done
}

# cross_build PACKAGE ARCH BUILDER [SOURCE]: fetches the source package
# (SOURCE, such as PACKAGE/SUITE; else PACKAGE) into a folder of its own,
# runs BUILDER ARCH SOURCE PREFIX (which installs into PREFIX; its output goes
# to a log shown when it fails), and makes the result the cache
# /var/cache/zep/PACKAGE-ARCH with the recipe's stamp.
cross_build() {
  local cache=/var/cache/zep/$1-$2 work src
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  echo "setup: cross-building $1 for $2-w64-mingw32 into $cache (once)"
  (cd "$work" && apt-get source -qq "${4:-$1}" >/dev/null 2>&1)
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -n 1)
  ("$3" "$2" "$src" "$work/install") >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    return 1
  }
  recipe "$2" >"$work/install/.zep-recipe"
  mkdir -p "$(dirname "$cache")"
  rm -rf "$cache"
  mv "$work/install" "$cache"
}
