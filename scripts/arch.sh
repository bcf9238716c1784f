# Sourced: sets ZEP_ARCH, the Windows architecture the build targets and the tests run.
# ZEP is a 32-bit program (i686). Some machines cannot execute 32-bit code at all
# (their kernel runs no IA-32 programs, so 32-bit Wine cannot start); there the
# build and the tests fall back to the 64-bit variant (x86_64) under 64-bit Wine.
# ZEP_ARCH set in the environment overrides the choice.
if [ -z "${ZEP_ARCH:-}" ]; then
  if [ ! -e /lib/ld-linux.so.2 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    ZEP_ARCH=i686
  else
    ZEP_ARCH=x86_64
  fi
fi
export ZEP_ARCH
