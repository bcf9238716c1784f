# Sourced by the scripts that cross-build a library from Debian's source
# package: the apt-get call they share, a check for an installed package,
# and enable_sources PACKAGE, which makes `apt-get source PACKAGE` work.
apt_get=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Source entries mirror the machine's own binary entries for its release, so
# no archive is named here.
deb822_sources() {
  local codename=$1 file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src.sources) continue ;; esac
    awk -v codename="$codename" 'BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*deb/ && $0 ~ ("(^|\n)Suites:[^\n]*" codename) \
          && !/(^|\n)Enabled:[ \t]*no/ {
        sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print
      }' "$file"
  done
}

one_line_sources() {
  local codename=$1 file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src.list) continue ;; esac
    awk -v codename="$codename" \
      '$1 == "deb" && $0 ~ (" " codename "[ /-]") { $1 = "deb-src"; print }' "$file"
  done
}

enable_sources() {
  if apt-cache showsrc "$1" 2>/dev/null | grep -q "^Package: $1\$"; then
    return 0
  fi
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local entries
  entries=$(deb822_sources "$codename")
  [ -z "$entries" ] || echo "$entries" >/etc/apt/sources.list.d/zep-deb-src.sources
  entries=$(one_line_sources "$codename")
  [ -z "$entries" ] || echo "$entries" >/etc/apt/sources.list.d/zep-deb-src.list
  "${apt_get[@]}" update
}
