# Sourced by the scripts in this folder: installs Debian packages that are
# missing, refreshing the package lists first only when something is, and
# runs a command as root.

# Runs a command as root: directly when the script runs as root, else
# through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "$1 needs root: run this script as root." >&2
    return 1
  fi
}

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What a build of the core and tervane-cli needs, and what every build needs,
# the desktop app's Qt included.
CORE_BUILD_PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev)
BUILD_PACKAGES=("${CORE_BUILD_PACKAGES[@]}" qt6-base-dev qt6-svg-dev)

# The fonts of a Debian desktop, for windows drawn without one (offscreen
# tests, screenshots): the fit tests measure every window in DejaVu Sans and
# in Noto Sans (fonts-noto-core) and fail where either is missing.
FONT_PACKAGES=(fonts-dejavu-core fonts-noto-core fonts-noto-mono)

# The sanitizer build and the fuzzers: clang and its runtimes (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer).
SANITIZE_PACKAGES=(clang libclang-rt-14-dev)

# The Windows check (scripts/test-windows): the MinGW-w64 cross compiler
# with posix threads, and Wine to run what it builds.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64)

# The Debian package (scripts/package): dpkg-shlibdeps and dpkg-buildflags,
# and lintian to check what it builds.
PACKAGE_PACKAGES=(dpkg-dev lintian)
